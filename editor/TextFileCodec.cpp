#include "editor/TextFileCodec.h"

#include <QRegularExpression>
#include <QStringConverter>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

using Format = TextFileFormat;

const char kUtf8Bom[] = "\xEF\xBB\xBF";

// Windows-1252 at 0x80..0x9F. The five bytes it leaves undefined map to the
// control characters of the same number, so every byte has a character.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// A byte that is not part of valid UTF-8 travels through the text as the
// lone low surrogate U+DC00 + byte, and is written back as that byte.
constexpr char16_t kEscapeBase = 0xDC00;
bool isEscape(char16_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

// Byte of c in Windows-1252, or -1.
int cp1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    if (isEscape(c))
        return c - kEscapeBase;
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == c)
            return 0x80 + i;
    }
    return -1;
}

QString decodeCp1252(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(bytes[i]);
        d[i] = QChar(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b));
    }
    return out;
}

// UTF-8 where every byte that is not part of a valid sequence becomes an
// escape. *multiByte: some valid sequence of two or more bytes was found.
QString decodeUtf8Escaped(QByteArrayView bytes, bool* multiByte)
{
    QString out;
    out.reserve(bytes.size());
    const auto* b = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const uchar c = b[i];
        if (c < 0x80) {
            out.append(QChar(char16_t(c)));
            ++i;
            continue;
        }
        int length = 0;
        uchar low = 0x80, high = 0xBF;  // range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0)
                low = 0xA0;
            else if (c == 0xED)
                high = 0x9F;  // no encoded surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0)
                low = 0x90;
            else if (c == 0xF4)
                high = 0x8F;
        }
        bool valid = length > 0 && i + length <= n && b[i + 1] >= low && b[i + 1] <= high;
        for (int k = 2; valid && k < length; ++k)
            valid = (b[i + k] & 0xC0) == 0x80;
        if (!valid) {
            out.append(QChar(char16_t(kEscapeBase + c)));
            ++i;
            continue;
        }
        char32_t cp = c & (0xFF >> (length + 1));
        for (int k = 1; k < length; ++k)
            cp = (cp << 6) | (b[i + k] & 0x3F);
        if (cp >= 0x10000) {
            out.append(QChar::highSurrogate(cp));
            out.append(QChar::lowSurrogate(cp));
        } else {
            out.append(QChar(char16_t(cp)));
        }
        *multiByte = true;
        i += length;
    }
    return out;
}

bool hasSurrogates(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); });
}

// UTF-8 that writes escapes back as their bytes and a lone surrogate of any
// other kind as U+FFFD.
void appendUtf8Escaped(QByteArray& out, QStringView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(char16_t(c), text[i + 1].unicode());
            ++i;
        } else if (isEscape(char16_t(c))) {
            out.append(char(c - kEscapeBase));
            continue;
        } else if (QChar::isSurrogate(c)) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out.append(char(c));
        } else if (c < 0x800) {
            out.append(char(0xC0 | (c >> 6)));
            out.append(char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.append(char(0xE0 | (c >> 12)));
            out.append(char(0x80 | ((c >> 6) & 0x3F)));
            out.append(char(0x80 | (c & 0x3F)));
        } else {
            out.append(char(0xF0 | (c >> 18)));
            out.append(char(0x80 | ((c >> 12) & 0x3F)));
            out.append(char(0x80 | ((c >> 6) & 0x3F)));
            out.append(char(0x80 | (c & 0x3F)));
        }
    }
}

void appendCp1252(QByteArray& out, QStringView text)
{
    for (QChar c : text) {
        const int b = cp1252Byte(c.unicode());
        out.append(char(b < 0 ? '?' : b));
    }
}

void appendUtf16(QByteArray& out, QStringView text, bool bigEndian)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const char lo = char(u & 0xFF), hi = char(u >> 8);
        out.append(bigEndian ? hi : lo);
        out.append(bigEndian ? lo : hi);
    }
}

// Turns every CR LF, LF and lone CR of text into '\n' in place, counting
// each style (and recording each line end's style in *styles), and notes the
// longest line and any NUL character.
void normalizeLineEnds(QString& text, Format& format, QByteArray* styles)
{
    const qsizetype n = text.size();
    if (n == 0)
        return;
    char16_t* d = reinterpret_cast<char16_t*>(text.data());
    qsizetype w = 0;
    qsizetype lineStart = 0;
    qsizetype longest = 0;
    bool nul = false;
    qsizetype r = 0;
    while (r < n) {
        // A run without control characters up to CR moves down in one go.
        qsizetype e = r;
        while (e < n && d[e] > u'\r')
            ++e;
        if (e > r) {
            if (w != r)
                std::memmove(d + w, d + r, size_t(e - r) * sizeof(char16_t));
            w += e - r;
            r = e;
            if (r == n)
                break;
        }
        const char16_t c = d[r];
        if (c == u'\r' || c == u'\n') {
            Format::LineEnd style = Format::LF;
            if (c == u'\r') {
                style = r + 1 < n && d[r + 1] == u'\n' ? Format::CRLF : Format::CR;
                if (style == Format::CRLF)
                    ++r;
            }
            ++format.lineEndCount[style];
            styles->append(char(style));
            longest = std::max(longest, w - lineStart);
            d[w++] = u'\n';
            lineStart = w;
        } else {
            if (c == 0)
                nul = true;
            d[w++] = c;
        }
        ++r;
    }
    longest = std::max(longest, w - lineStart);
    text.truncate(w);
    format.longestLine = int(std::min<qsizetype>(longest, std::numeric_limits<int>::max()));
    format.nulBytes = nul;
}

void chooseLineEnd(Format& format)
{
    const qint64* count = format.lineEndCount;
    int styles = 0;
    for (int i = 0; i < 3; ++i)
        styles += count[i] > 0 ? 1 : 0;
    format.mixedLineEnds = styles > 1;
    // Most frequent style; ties and files without line ends take CR LF, then LF.
    Format::LineEnd best = Format::CRLF;
    for (Format::LineEnd e : {Format::LF, Format::CR}) {
        if (count[e] > count[best])
            best = e;
    }
    format.lineEnd = best;
}

bool isLatinFamily(const QByteArray& name)
{
    static const char* const names[] = {"iso-8859-1", "iso8859-1", "iso_8859-1", "latin1", "l1",
                                        "windows-1252", "cp1252", "x-cp1252", "us-ascii", "ascii",
                                        "cp819", "ibm819", "iso-ir-100", "csisolatin1"};
    return std::any_of(std::begin(names), std::end(names), [&](const char* n) { return name == n; });
}

// Decodes body as the declared charset when Qt knows it and the bytes agree.
bool decodeDeclared(const QByteArray& name, QByteArrayView body, DecodedText& out)
{
    if (name.isEmpty() || name.startsWith("utf-16") || name.startsWith("utf-32") || name.startsWith("ucs"))
        return false;
    if (name == "utf-8" || name == "utf8") {
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless
                                                        | QStringConverter::Flag::ConvertInitialBom);
        out.text = utf8.decode(body);
        if (utf8.hasError())
            return false;
        out.format.encoding = Format::Utf8;
        return true;
    }
    if (isLatinFamily(name)) {
        out.text = decodeCp1252(body);
        out.format.encoding = Format::Windows1252;
        return true;
    }
    QStringDecoder decoder(name.constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return false;
    QString text = decoder.decode(body);
    if (decoder.hasError())
        return false;
    QStringEncoder encoder(name.constData());
    const QByteArray back = encoder.encode(text);
    if (encoder.hasError() || QByteArrayView(back) != body)
        return false;
    out.text = std::move(text);
    out.format.encoding = Format::Named;
    out.format.charset = name;
    return true;
}

bool decodeWide(QByteArrayView body, Format::Encoding encoding, QString& text)
{
    if (encoding == Format::Utf16LE || encoding == Format::Utf16BE) {
        if (body.size() % 2)
            return false;
        // Code units are copied as they are, lone surrogates included.
        text = QString(body.size() / 2, Qt::Uninitialized);
        QChar* d = text.data();
        const bool be = encoding == Format::Utf16BE;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const uchar a = uchar(body[2 * i]), b = uchar(body[2 * i + 1]);
            d[i] = QChar(char16_t(be ? (a << 8) | b : (b << 8) | a));
        }
        return true;
    }
    const auto which = encoding == Format::Utf32LE ? QStringConverter::Utf32LE : QStringConverter::Utf32BE;
    QStringDecoder decoder(which, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    text = decoder.decode(body);
    if (decoder.hasError())
        return false;
    QStringEncoder encoder(which, QStringConverter::Flag::Stateless);
    const QByteArray back = encoder.encode(text);
    return QByteArrayView(back) == body;
}

QByteArray bomOf(const Format& format)
{
    if (!format.bom)
        return {};
    switch (format.encoding) {
    case Format::Utf8:
        return QByteArray(kUtf8Bom, 3);
    case Format::Utf16LE:
        return QByteArray("\xFF\xFE", 2);
    case Format::Utf16BE:
        return QByteArray("\xFE\xFF", 2);
    case Format::Utf32LE:
        return QByteArray("\xFF\xFE\0\0", 4);
    case Format::Utf32BE:
        return QByteArray("\0\0\xFE\xFF", 4);
    default:
        return {};
    }
}

// The prescan a browser runs over the first bytes of a page to find its
// encoding: comments, other tags and their attribute values are stepped
// over, and only a <meta> tag's charset, or its http-equiv Content-Type
// content, counts. head is lower case.
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

// Reads one attribute at pos; false at the tag's end.
bool nextAttribute(const QByteArray& head, qsizetype& pos, QByteArray& name, QByteArray& value,
                   qsizetype* valueAt = nullptr)
{
    const qsizetype n = head.size();
    while (pos < n && (isBlank(head[pos]) || head[pos] == '/'))
        ++pos;
    if (pos >= n || head[pos] == '>')
        return false;
    name.clear();
    value.clear();
    while (pos < n) {
        const char c = head[pos];
        if (c == '=' && !name.isEmpty())
            break;
        if (isBlank(c) || c == '/' || c == '>')
            break;
        name += c;
        ++pos;
    }
    while (pos < n && isBlank(head[pos]))
        ++pos;
    if (pos >= n || head[pos] != '=')
        return true;
    ++pos;
    while (pos < n && isBlank(head[pos]))
        ++pos;
    if (pos >= n)
        return true;
    const char quote = head[pos];
    if (quote == '"' || quote == '\'') {
        const qsizetype end = head.indexOf(quote, pos + 1);
        value = head.mid(pos + 1, (end < 0 ? n : end) - pos - 1);
        if (valueAt)
            *valueAt = pos + 1;
        pos = end < 0 ? n : end + 1;
        return true;
    }
    if (valueAt)
        *valueAt = pos;
    while (pos < n && !isBlank(head[pos]) && head[pos] != '>')
        value += head[pos++];
    return true;
}

// Where a value's text starts once leading blanks are skipped.
qsizetype skipBlanks(const QByteArray& value, qsizetype at)
{
    while (at < value.size() && isBlank(value[at]))
        ++at;
    return at;
}

// The charset named in a Content-Type value ("text/html; charset=koi8-r").
QByteArray charsetInContent(const QByteArray& content, qsizetype* foundAt = nullptr)
{
    qsizetype at = 0;
    while ((at = content.indexOf("charset", at)) >= 0) {
        qsizetype p = at + 7;
        while (p < content.size() && isBlank(content[p]))
            ++p;
        if (p >= content.size() || content[p] != '=') {
            at = p;
            continue;
        }
        ++p;
        while (p < content.size() && isBlank(content[p]))
            ++p;
        if (p >= content.size())
            return {};
        const char quote = content[p];
        if (quote == '"' || quote == '\'') {
            const qsizetype end = content.indexOf(quote, p + 1);
            if (foundAt)
                *foundAt = skipBlanks(content, p + 1);
            return end < 0 ? QByteArray() : content.mid(p + 1, end - p - 1);
        }
        qsizetype end = p;
        while (end < content.size() && !isBlank(content[end]) && content[end] != ';')
            ++end;
        if (foundAt)
            *foundAt = p;
        return content.mid(p, end - p);
    }
    return {};
}

// at: where the charset name starts in head.
QByteArray prescanCharset(const QByteArray& head, qsizetype* at = nullptr)
{
    const qsizetype n = head.size();
    auto isLetter = [](char c) { return c >= 'a' && c <= 'z'; };
    qsizetype pos = 0;
    QByteArray name, value;
    while (pos < n) {
        if (head[pos] != '<') {
            ++pos;
            continue;
        }
        if (head.mid(pos, 4) == "<!--") {
            const qsizetype end = head.indexOf("-->", pos + 2);
            pos = end < 0 ? n : end + 3;
        } else if (head.mid(pos, 5) == "<meta" && pos + 5 < n && (isBlank(head[pos + 5]) || head[pos + 5] == '/')) {
            pos += 5;
            QByteArray charset, content;
            bool pragma = false;
            qsizetype valueAt = -1, charsetAt = -1, contentAt = -1;
            while (nextAttribute(head, pos, name, value, &valueAt)) {
                if (name == "charset" && charset.isEmpty()) {
                    charset = value.trimmed();
                    charsetAt = valueAt + skipBlanks(value, 0);
                } else if (name == "http-equiv" && value.trimmed() == "content-type") {
                    pragma = true;
                } else if (name == "content" && content.isEmpty()) {
                    content = value;
                    contentAt = valueAt;
                }
            }
            if (charset.isEmpty() && pragma) {
                qsizetype inContent = -1;
                charset = charsetInContent(content, &inContent).trimmed();
                charsetAt = contentAt + inContent;
            }
            if (!charset.isEmpty()) {
                if (at)
                    *at = charsetAt;
                return charset;
            }
            ++pos;
        } else if (pos + 1 < n && (isLetter(head[pos + 1])
                                   || (head[pos + 1] == '/' && pos + 2 < n && isLetter(head[pos + 2])))) {
            // Another tag: its name, then its attributes, whose values may hold anything.
            while (pos < n && !isBlank(head[pos]) && head[pos] != '>')
                ++pos;
            while (nextAttribute(head, pos, name, value)) {
            }
            ++pos;
        } else if (pos + 1 < n && (head[pos + 1] == '!' || head[pos + 1] == '/' || head[pos + 1] == '?')) {
            const qsizetype end = head.indexOf('>', pos);
            pos = end < 0 ? n : end + 1;
        } else {
            ++pos;
        }
    }
    return {};
}

const char16_t* eolText(int style)
{
    return style == Format::CRLF ? u"\r\n" : style == Format::LF ? u"\n" : u"\r";
}

} // namespace

namespace TextFileCodec {

// The declaration in head (lower case), the name's start in *at.
static QByteArray declarationIn(const QByteArray& head, qsizetype* at)
{
    static const QRegularExpression xml(
        QStringLiteral("^\\s*<\\?xml\\b[^>]*?encoding\\s*=\\s*[\"']([a-z0-9_.:\\-]+)"));
    const QRegularExpressionMatch x = xml.match(QString::fromLatin1(head));
    if (x.hasMatch()) {
        *at = x.capturedStart(1);
        return x.captured(1).toLatin1();
    }
    const QByteArray name = prescanCharset(head, at);
    const bool plain = std::all_of(name.cbegin(), name.cend(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.' || c == ':' || c == '-';
    });
    return plain ? name : QByteArray();
}

QByteArray declaredCharset(const QByteArray& bytes)
{
    qsizetype at = -1;
    return declarationIn(bytes.left(1024).toLower(), &at);
}

CharsetDeclaration findDeclaration(QStringView text)
{
    // One byte a character, so that offsets are the text's own.
    QByteArray head = text.left(1024).toLatin1().toLower();
    CharsetDeclaration out;
    qsizetype at = -1;
    const QByteArray name = declarationIn(head, &at);
    if (!name.isEmpty() && at >= 0) {
        out.start = at;
        out.length = name.size();
    }
    return out;
}

DecodedText decode(const QByteArray& bytes, Declarations declarations)
{
    DecodedText out;
    Format& format = out.format;
    const QByteArrayView all(bytes);

    struct Bom { const char* bytes; int size; Format::Encoding encoding; };
    static const Bom boms[] = {
        {"\xFF\xFE\0\0", 4, Format::Utf32LE}, {"\0\0\xFE\xFF", 4, Format::Utf32BE},
        {"\xFF\xFE", 2, Format::Utf16LE},     {"\xFE\xFF", 2, Format::Utf16BE},
    };
    bool decoded = false;
    for (const Bom& b : boms) {
        if (all.startsWith(QByteArrayView(b.bytes, b.size)) && decodeWide(all.sliced(b.size), b.encoding, out.text)) {
            format.encoding = b.encoding;
            format.bom = true;
            decoded = true;
            break;
        }
    }

    if (!decoded) {
        const bool bom = bytes.startsWith(kUtf8Bom);
        const QByteArrayView body = bom ? all.sliced(3) : all;
        if (!bom && declarations == Declarations::Obeyed && decodeDeclared(declaredCharset(bytes), body, out)) {
            decoded = true;
        } else {
            // A second BOM after the first is text and must stay.
            QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless
                                                            | QStringConverter::Flag::ConvertInitialBom);
            out.text = utf8.decode(body);
            format.encoding = Format::Utf8;
            format.bom = bom;
            if (utf8.hasError()) {
                bool multiByte = bom;
                out.text = decodeUtf8Escaped(body, &multiByte);
                format.escapedBytes = true;
                if (!multiByte) {
                    // Not a single UTF-8 character: an 8-bit file.
                    out.text = decodeCp1252(all);
                    format.encoding = Format::Windows1252;
                    format.bom = false;
                    format.escapedBytes = false;
                }
            }
        }
    }

    normalizeLineEnds(out.text, format, &out.lineEnds);
    chooseLineEnd(format);
    format.finalLineEnd = out.text.endsWith(QLatin1Char('\n'));
    if (format.finalLineEnd)
        out.text.chop(1);
    if (!format.mixedLineEnds)
        out.lineEnds.clear();
    return out;
}

QByteArray encode(const QString& text, const Format& format, const QByteArray& lineEnds)
{
    const QStringView all(text);
    const qsizetype lineCount = text.count(QLatin1Char('\n')) + 1;
    auto styleOf = [&](qsizetype k) { return k < lineEnds.size() ? int(lineEnds[k]) : int(format.lineEnd); };

    if (format.encoding == Format::Named) {
        // Stateful encodings must see the whole text at once.
        QString full;
        full.reserve(text.size() + lineCount * 2);
        qsizetype from = 0, k = 0;
        for (;;) {
            const qsizetype end = all.indexOf(QLatin1Char('\n'), from);
            full.append(all.sliced(from, (end < 0 ? all.size() : end) - from));
            if (end < 0)
                break;
            full.append(QStringView(eolText(styleOf(k++))));
            from = end + 1;
        }
        if (format.finalLineEnd)
            full.append(QStringView(eolText(styleOf(k))));
        QStringEncoder encoder(format.charset.constData());
        return encoder.encode(full);
    }

    const bool utf8 = format.encoding == Format::Utf8;
    const bool fastUtf8 = utf8 && !hasSurrogates(all);
    QStringEncoder utf8Encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QStringEncoder utf32Encoder(format.encoding == Format::Utf32BE ? QStringConverter::Utf32BE
                                                                   : QStringConverter::Utf32LE,
                                QStringConverter::Flag::Stateless);
    auto appendText = [&](QByteArray& out, QStringView part) {
        switch (format.encoding) {
        case Format::Utf8:
            if (fastUtf8) {
                const qsizetype at = out.size();
                out.resize(at + utf8Encoder.requiredSpace(part.size()));
                char* end = utf8Encoder.appendToBuffer(out.data() + at, part);
                out.truncate(end - out.constData());
            } else {
                appendUtf8Escaped(out, part);
            }
            break;
        case Format::Windows1252:
            appendCp1252(out, part);
            break;
        case Format::Utf16LE:
        case Format::Utf16BE:
            appendUtf16(out, part, format.encoding == Format::Utf16BE);
            break;
        default:
            out.append(utf32Encoder.encode(part));
            break;
        }
    };
    QByteArray eols[3];
    for (int style = 0; style < 3; ++style)
        appendText(eols[style], QStringView(eolText(style)));

    QByteArray out = bomOf(format);
    const int width = format.encoding == Format::Windows1252 ? 1
                    : format.encoding == Format::Utf8        ? 3
                    : format.encoding >= Format::Utf32LE     ? 4
                                                             : 2;
    out.reserve(out.size() + text.size() * width + lineCount * 2 * width);
    qsizetype from = 0, k = 0;
    for (;;) {
        const qsizetype end = all.indexOf(QLatin1Char('\n'), from);
        appendText(out, all.sliced(from, (end < 0 ? all.size() : end) - from));
        if (end < 0)
            break;
        out.append(eols[styleOf(k++)]);
        from = end + 1;
    }
    if (format.finalLineEnd)
        out.append(eols[styleOf(k)]);
    return out;
}

bool canEncode(const QString& text, const Format& format)
{
    switch (format.encoding) {
    case Format::Windows1252:
        return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return cp1252Byte(c.unicode()) >= 0; });
    case Format::Named: {
        QStringEncoder encoder(format.charset.constData());
        const QByteArray bytes = encoder.encode(text);
        if (encoder.hasError())
            return false;
        QStringDecoder decoder(format.charset.constData());
        return decoder.decode(bytes) == text;
    }
    default:
        return true;
    }
}

bool canEncode(const QString& text, Format::Encoding encoding)
{
    Format format;
    format.encoding = encoding;
    return canEncode(text, format);
}

bool decodeAs(const QByteArray& bytes, const QString& encoding, DecodedText* out, QString* error)
{
    DecodedText d;
    Format& format = d.format;
    const QByteArrayView all(bytes);
    const QString name = encoding.toUpper();
    bool ok = true;
    auto wide = [&](Format::Encoding e, QByteArrayView bom) {
        format.encoding = e;
        format.bom = all.startsWith(bom);
        ok = decodeWide(format.bom ? all.sliced(bom.size()) : all, e, d.text);
    };
    if (name == QLatin1String("UTF-8")) {
        format.bom = bytes.startsWith(kUtf8Bom);
        bool multiByte = false;
        d.text = decodeUtf8Escaped(format.bom ? all.sliced(3) : all, &multiByte);
        format.encoding = Format::Utf8;
        format.escapedBytes = hasSurrogates(d.text) && std::any_of(d.text.cbegin(), d.text.cend(), [](QChar c) {
            return isEscape(c.unicode());
        });
    } else if (name == QLatin1String("WINDOWS-1252")) {
        d.text = decodeCp1252(all);
        format.encoding = Format::Windows1252;
    } else if (name == QLatin1String("UTF-16 LE")) {
        wide(Format::Utf16LE, QByteArrayView("\xFF\xFE", 2));
    } else if (name == QLatin1String("UTF-16 BE")) {
        wide(Format::Utf16BE, QByteArrayView("\xFE\xFF", 2));
    } else if (name == QLatin1String("UTF-32 LE")) {
        wide(Format::Utf32LE, QByteArrayView("\xFF\xFE\0\0", 4));
    } else if (name == QLatin1String("UTF-32 BE")) {
        wide(Format::Utf32BE, QByteArrayView("\0\0\xFE\xFF", 4));
    } else {
        const QByteArray charset = encoding.toLatin1().toLower();
        QStringDecoder decoder(charset.constData(), QStringConverter::Flag::Stateless);
        if (!decoder.isValid()) {
            if (error)
                *error = encoding + QStringLiteral(" is not an encoding this system knows.");
            return false;
        }
        d.text = decoder.decode(all);
        QStringEncoder encoder(charset.constData());
        const QByteArray back = encoder.encode(d.text);
        ok = !decoder.hasError() && !encoder.hasError() && QByteArrayView(back) == all;
        format.encoding = Format::Named;
        format.charset = charset;
    }
    if (!ok) {
        if (error)
            *error = QStringLiteral("The file is not valid ") + encoding
                + QStringLiteral(": saved in it, its bytes would change.");
        return false;
    }
    normalizeLineEnds(d.text, format, &d.lineEnds);
    chooseLineEnd(format);
    format.finalLineEnd = d.text.endsWith(QLatin1Char('\n'));
    if (format.finalLineEnd)
        d.text.chop(1);
    if (!format.mixedLineEnds)
        d.lineEnds.clear();
    *out = std::move(d);
    return true;
}

QStringList reopenEncodings()
{
    QStringList names{QStringLiteral("UTF-8"),     QStringLiteral("Windows-1252"), QStringLiteral("UTF-16 LE"),
                      QStringLiteral("UTF-16 BE"), QStringLiteral("UTF-32 LE"),    QStringLiteral("UTF-32 BE")};
    for (const char* n : {"ISO-8859-2", "ISO-8859-5", "ISO-8859-7", "ISO-8859-9", "ISO-8859-15", "Windows-1250",
                          "Windows-1251", "KOI8-R", "Shift_JIS", "EUC-JP", "EUC-KR", "GB18030", "Big5"})
        if (QStringDecoder(n).isValid())
            names << QString::fromLatin1(n);
    return names;
}

QString encodingName(const Format& format)
{
    switch (format.encoding) {
    case Format::Utf8:
        return format.bom ? QStringLiteral("UTF-8 BOM") : QStringLiteral("UTF-8");
    case Format::Windows1252:
        return QStringLiteral("Windows-1252");
    case Format::Utf16LE:
        return QStringLiteral("UTF-16 LE");
    case Format::Utf16BE:
        return QStringLiteral("UTF-16 BE");
    case Format::Utf32LE:
        return QStringLiteral("UTF-32 LE");
    case Format::Utf32BE:
        return QStringLiteral("UTF-32 BE");
    case Format::Named:
        break;
    }
    return QString::fromLatin1(format.charset).toUpper();
}

QString lineEndName(Format::LineEnd lineEnd)
{
    switch (lineEnd) {
    case Format::CRLF:
        return QStringLiteral("CR LF");
    case Format::LF:
        return QStringLiteral("LF");
    case Format::CR:
        break;
    }
    return QStringLiteral("CR");
}

QString lineEndName(const Format& format)
{
    return format.mixedLineEnds ? QStringLiteral("Mixed") : lineEndName(format.lineEnd);
}

} // namespace TextFileCodec
