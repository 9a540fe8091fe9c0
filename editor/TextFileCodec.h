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
    bool nulBytes = false;        // the text holds NUL characters
    qint64 lineEndCount[3] = {0, 0, 0};  // line ends found in the file, by LineEnd
};

struct DecodedText {
    // Lines joined with '\n' whatever the file used. Any other character,
    // U+2028 and U+2029 included, is kept as it is. A line end that closes
    // the file is not part of the text: format.finalLineEnd records it.
    QString text;
    TextFileFormat format;
};

namespace TextFileCodec {
// UTF-8 when the bytes are valid UTF-8 (with or without BOM), else Latin-1.
DecodedText decode(const QByteArray& bytes);
// text uses '\n' between lines; the format restores BOM, line ends and final line end.
QByteArray encode(const QString& text, const TextFileFormat& format);
// True when every character of text can be written in the encoding.
bool canEncode(const QString& text, TextFileFormat::Encoding encoding);
// "CR LF", "LF" or "CR".
QString lineEndName(TextFileFormat::LineEnd lineEnd);
// Lines longer than this make the status line warn about slow editing.
constexpr int kLongLineWarning = 20000;
}
