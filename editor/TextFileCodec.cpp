#include "editor/TextFileCodec.h"

#include <QStringConverter>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

const char kUtf8Bom[] = "\xEF\xBB\xBF";

// Turns every CR LF, LF and lone CR of text into '\n' in place, counting
// each style, and notes the longest line and any NUL character.
void normalizeLineEnds(QString& text, TextFileFormat& format)
{
    const qsizetype n = text.size();
    if (n == 0)
        return;
    QChar* d = text.data();
    qsizetype w = 0;
    qsizetype lineStart = 0;
    qsizetype longest = 0;
    bool nul = false;
    for (qsizetype r = 0; r < n; ++r) {
        const char16_t c = d[r].unicode();
        if (c == u'\r' || c == u'\n') {
            if (c == u'\n') {
                ++format.lineEndCount[TextFileFormat::LF];
            } else if (r + 1 < n && d[r + 1].unicode() == u'\n') {
                ++format.lineEndCount[TextFileFormat::CRLF];
                ++r;
            } else {
                ++format.lineEndCount[TextFileFormat::CR];
            }
            longest = std::max(longest, w - lineStart);
            d[w++] = QLatin1Char('\n');
            lineStart = w;
        } else {
            if (c == 0)
                nul = true;
            if (w != r)
                d[w] = d[r];
            ++w;
        }
    }
    longest = std::max(longest, w - lineStart);
    text.truncate(w);
    format.longestLine = int(std::min<qsizetype>(longest, std::numeric_limits<int>::max()));
    format.nulBytes = nul;
}

void chooseLineEnd(TextFileFormat& format)
{
    const qint64* count = format.lineEndCount;
    int styles = 0;
    for (int i = 0; i < 3; ++i)
        styles += count[i] > 0 ? 1 : 0;
    format.mixedLineEnds = styles > 1;
    // Most frequent style; ties and files without line ends take CR LF, then LF.
    TextFileFormat::LineEnd best = TextFileFormat::CRLF;
    for (TextFileFormat::LineEnd e : {TextFileFormat::LF, TextFileFormat::CR}) {
        if (count[e] > count[best])
            best = e;
    }
    format.lineEnd = best;
}

} // namespace

namespace TextFileCodec {

DecodedText decode(const QByteArray& bytes)
{
    DecodedText out;
    TextFileFormat& format = out.format;

    QByteArrayView body(bytes);
    const bool bom = bytes.startsWith(kUtf8Bom);
    if (bom)
        body = body.sliced(3);

    // A second BOM after the first is text and must stay.
    QStringDecoder utf8(QStringConverter::Utf8,
                        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    out.text = utf8.decode(body);
    if (!utf8.hasError()) {
        format.encoding = TextFileFormat::Utf8;
        format.bom = bom;
    } else {
        // Not UTF-8: every byte becomes the character of the same number, so
        // each one is written back unchanged.
        out.text = QString::fromLatin1(bytes);
        format.encoding = TextFileFormat::Latin1;
        format.bom = false;
    }

    normalizeLineEnds(out.text, format);
    chooseLineEnd(format);
    format.finalLineEnd = out.text.endsWith(QLatin1Char('\n'));
    if (format.finalLineEnd)
        out.text.chop(1);
    return out;
}

QByteArray encode(const QString& text, const TextFileFormat& format)
{
    const char* eol = format.lineEnd == TextFileFormat::CRLF ? "\r\n"
                    : format.lineEnd == TextFileFormat::LF   ? "\n"
                                                             : "\r";
    const qsizetype eolLength = format.lineEnd == TextFileFormat::CRLF ? 2 : 1;
    const bool utf8 = format.encoding == TextFileFormat::Utf8;

    QStringEncoder encoder(utf8 ? QStringConverter::Utf8 : QStringConverter::Latin1,
                           QStringConverter::Flag::Stateless);
    const qsizetype lineEnds = text.count(QLatin1Char('\n')) + 1;
    QByteArray out;
    out.resize(3 + encoder.requiredSpace(text.size()) + lineEnds * eolLength);
    char* const start = out.data();
    char* p = start;
    if (utf8 && format.bom) {
        memcpy(p, kUtf8Bom, 3);
        p += 3;
    }
    const QStringView all(text);
    qsizetype from = 0;
    for (;;) {
        const qsizetype end = all.indexOf(QLatin1Char('\n'), from);
        p = encoder.appendToBuffer(p, all.sliced(from, (end < 0 ? all.size() : end) - from));
        if (end < 0)
            break;
        memcpy(p, eol, size_t(eolLength));
        p += eolLength;
        from = end + 1;
    }
    if (format.finalLineEnd) {
        memcpy(p, eol, size_t(eolLength));
        p += eolLength;
    }
    out.truncate(p - start);
    return out;
}

bool canEncode(const QString& text, TextFileFormat::Encoding encoding)
{
    if (encoding == TextFileFormat::Utf8)
        return true;
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xFF; });
}

QString lineEndName(TextFileFormat::LineEnd lineEnd)
{
    switch (lineEnd) {
    case TextFileFormat::CRLF:
        return QStringLiteral("CR LF");
    case TextFileFormat::LF:
        return QStringLiteral("LF");
    case TextFileFormat::CR:
        break;
    }
    return QStringLiteral("CR");
}

} // namespace TextFileCodec
