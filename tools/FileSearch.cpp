#include "tools/FileSearch.h"

#include "app/SafeFile.h"
#include "editor/TextFileCodec.h"
#include "editor/TextSearch.h"

#include <QFileInfo>

namespace FileSearch {

namespace {

QList<qsizetype> matches(const QString& text, const FileSearchOptions& o)
{
    if (o.text.isEmpty() || o.text.contains(QLatin1Char('\n')) || o.text.contains(QLatin1Char('\r')))
        return {};
    return TextSearch::findAll(text, o.text, 0, text.size(), o.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive,
                               o.wholeWord);
}

// Bytes that the decoded character at text[i] came from.
qsizetype bytesOf(const QByteArray& bytes, qsizetype at, const QString& text, qsizetype i,
                  TextFileFormat::Encoding encoding)
{
    if (text.at(i) == QLatin1Char('\n'))
        return (bytes.at(at) == '\r' && at + 1 < bytes.size() && bytes.at(at + 1) == '\n') ? 2 : 1;
    if (encoding == TextFileFormat::Latin1)
        return 1;
    const uchar lead = uchar(bytes.at(at));
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    return 4;  // a character outside the basic plane: two QChars
}

} // namespace

int countMatches(const QByteArray& bytes, const FileSearchOptions& options)
{
    return int(matches(TextFileCodec::decode(bytes).text, options).size());
}

Replaced replaceAll(const QByteArray& bytes, const FileSearchOptions& options, const QString& replacement)
{
    Replaced out;
    const DecodedText decoded = TextFileCodec::decode(bytes);
    const QList<qsizetype> found = matches(decoded.text, options);
    out.matches = int(found.size());
    if (found.isEmpty()) {
        out.bytes = bytes;
        return out;
    }
    if (!TextFileCodec::canEncode(replacement, decoded.format.encoding)) {
        out.error = QStringLiteral("the replacement holds characters that its Latin-1 encoding cannot store");
        return out;
    }
    TextFileFormat piece = decoded.format;
    piece.bom = false;
    piece.finalLineEnd = false;
    const QByteArray with = TextFileCodec::encode(replacement, piece);

    // Walk the text and the bytes side by side, copying the bytes between
    // matches unchanged.
    const QString& text = decoded.text;
    const qsizetype needle = options.text.size();
    qsizetype at = decoded.format.bom ? 3 : 0;
    qsizetype copiedTo = 0;
    qsizetype i = 0;
    out.bytes.reserve(bytes.size() + found.size() * (with.size() + 4));
    for (qsizetype start : found) {
        for (; i < start; ++i) {
            const qsizetype n = bytesOf(bytes, at, text, i, decoded.format.encoding);
            at += n;
            if (n == 4)
                ++i;  // the pair's second half
        }
        const qsizetype matchStart = at;
        for (; i < start + needle; ++i) {
            const qsizetype n = bytesOf(bytes, at, text, i, decoded.format.encoding);
            at += n;
            if (n == 4)
                ++i;
        }
        out.bytes += bytes.mid(copiedTo, matchStart - copiedTo);
        out.bytes += with;
        copiedTo = at;
    }
    out.bytes += bytes.mid(copiedTo);
    return out;
}

bool readFile(const QString& path, QByteArray* bytes, QString* error)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        *error = QStringLiteral("not a regular file");
        return false;
    }
    if (info.size() > kMaxFileSize) {
        *error = QStringLiteral("the file is too large (%1 MB)").arg(info.size() / (1024 * 1024));
        return false;
    }
    return SafeFile::read(path, bytes, error);
}

} // namespace FileSearch
