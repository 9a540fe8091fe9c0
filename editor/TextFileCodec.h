#pragma once
// Decoding and encoding of document files so that a file opened and saved
// without edits comes back byte for byte.
#include <QByteArray>
#include <QString>

struct TextFileFormat {
    enum Encoding { Utf8, Latin1 };
    enum LineEnd { CRLF, LF, CR };
    Encoding encoding = Utf8;
    bool bom = false;
    LineEnd lineEnd = CRLF;       // the style used when saving
    bool finalLineEnd = true;     // the file ended with a line end
    bool mixedLineEnds = false;   // the file mixed styles; lineEnd is the most frequent
    int longestLine = 0;          // characters in the longest line
};

struct DecodedText {
    // Lines joined with '\n' whatever the file used. Any other character,
    // U+2028 and U+2029 included, is kept as it is.
    QString text;
    TextFileFormat format;
};

namespace TextFileCodec {
// UTF-8 when the bytes are valid UTF-8 (with or without BOM), else Latin-1.
DecodedText decode(const QByteArray& bytes);
// text uses '\n' between lines; the format restores BOM, line ends and final line end.
QByteArray encode(const QString& text, const TextFileFormat& format);
// Lines longer than this make the status line warn about slow editing.
constexpr int kLongLineWarning = 20000;
}
