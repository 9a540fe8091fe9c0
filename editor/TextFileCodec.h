#pragma once
// Decoding and encoding of document files so that a file opened and saved
// without edits comes back byte for byte, whatever its encoding and line ends.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

struct TextFileFormat {
    enum Encoding {
        Utf8,         // invalid bytes ride along as U+DC80..U+DCFF (see decode)
        Windows1252,  // any 8-bit file: every byte maps to one character and back
        Utf16LE,
        Utf16BE,
        Utf32LE,
        Utf32BE,
        Named,        // another encoding Qt knows, named by the file itself (charset)
    };
    static constexpr Encoding Latin1 = Windows1252;
    enum LineEnd { CRLF, LF, CR };
    Encoding encoding = Utf8;
    QByteArray charset;           // Named: the name the file declared
    bool bom = false;             // UTF-16 and UTF-32 files always have one
    LineEnd lineEnd = CRLF;       // the most frequent style: new lines take it
    bool finalLineEnd = true;     // the file ended with a line end
    bool mixedLineEnds = false;   // the file mixes styles; each line keeps its own
    bool escapedBytes = false;    // a UTF-8 file with bytes that are not UTF-8
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
    // Only when the file mixes line ends: the style (a LineEnd value) of each
    // line end in order, the final one included.
    QByteArray lineEnds;
};

namespace TextFileCodec {
// A BOM decides first (UTF-8, UTF-16, UTF-32); then a declaration in the first
// 1 024 bytes (<meta charset>, http-equiv Content-Type, <?xml encoding?>) that
// names an encoding Qt knows and that the bytes agree with; then UTF-8 when
// the bytes hold any valid multi-byte sequence or are plain ASCII (a few
// invalid bytes are carried as U+DC80..U+DCFF and written back unchanged);
// else Windows-1252.
// Declarations::Ignored leaves out the declaration step: for the program's
// own files, which are UTF-8 (else Windows-1252) whatever text they hold.
enum class Declarations { Obeyed, Ignored };
DecodedText decode(const QByteArray& bytes, Declarations declarations = Declarations::Obeyed);
// The bytes read as the encoding the user names, not as decode would guess:
// "UTF-8", "Windows-1252", "UTF-16 LE", "UTF-16 BE", "UTF-32 LE", "UTF-32 BE"
// (a byte order mark of that encoding is taken as one) or any charset Qt
// knows. False, with the reason in *error, when the bytes would not come
// back unchanged from a save in that encoding.
bool decodeAs(const QByteArray& bytes, const QString& encoding, DecodedText* out, QString* error);
// The encodings decodeAs offers by name, the usual ones first.
QStringList reopenEncodings();
// text uses '\n' between lines; the format restores BOM, line ends and the
// final line end. lineEnds (as from decode) gives lines their own ends; lines
// beyond it take format.lineEnd.
QByteArray encode(const QString& text, const TextFileFormat& format, const QByteArray& lineEnds = {});
// True when every character of text can be written in the format's encoding.
bool canEncode(const QString& text, const TextFileFormat& format);
bool canEncode(const QString& text, TextFileFormat::Encoding encoding);
// The charset name a declaration in the first 1 024 bytes gives, lower case;
// empty when none. An XML declaration at the start counts; else <meta> tags
// are looked for as a browser's prescan does: comments and the attribute
// values of other tags are skipped.
QByteArray declaredCharset(const QByteArray& bytes);
// Where in text (its first 1 024 characters) the declaration declaredCharset
// would find names the charset: the name's offset and length (0: none).
struct CharsetDeclaration {
    qsizetype start = -1;
    qsizetype length = 0;
};
CharsetDeclaration findDeclaration(QStringView text);
// "UTF-8", "UTF-8 BOM", "Windows-1252", "UTF-16 LE", ... or the declared name.
QString encodingName(const TextFileFormat& format);
// "CR LF", "LF" or "CR".
QString lineEndName(TextFileFormat::LineEnd lineEnd);
// As lineEndName, or "Mixed" for a file that mixes styles.
QString lineEndName(const TextFileFormat& format);
// Lines longer than this make the status line warn about slow editing.
constexpr int kLongLineWarning = 20000;
}
