// Property: any file the codec accepts comes back byte for byte.
#include "editor/TextFileCodec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const DecodedText decoded = TextFileCodec::decode(bytes);
    if (decoded.format.mixedLineEnds)
        return 0;
    if (TextFileCodec::encode(decoded.text, decoded.format) != bytes)
        std::abort();
    return 0;
}
