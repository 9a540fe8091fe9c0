#include "tools/FileSearch.h"

#include "app/FileStamp.h"
#include "app/PathUtil.h"
#include "app/SafeFile.h"
#include "editor/TextFileCodec.h"
#include "editor/TextSearch.h"

#include <QFileInfo>
#include <QStringView>

namespace FileSearch {

namespace {

QList<qsizetype> matches(const QString& text, const FileSearchOptions& o)
{
    if (o.text.isEmpty() || o.text.contains(QLatin1Char('\n')) || o.text.contains(QLatin1Char('\r')))
        return {};
    return TextSearch::findAll(text, o.text, 0, text.size(), o.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive,
                               o.wholeWord);
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
    out.bytes = bytes;
    if (found.isEmpty())
        return out;
    // The file is rewritten through the codec, which gives back every byte
    // it read; one it cannot give back unchanged is not touched.
    if (TextFileCodec::encode(decoded.text, decoded.format, decoded.lineEnds) != bytes) {
        out.error = QStringLiteral("the file cannot be rewritten byte for byte in its encoding (%1)")
                        .arg(TextFileCodec::encodingName(decoded.format));
        return out;
    }
    if (!TextFileCodec::canEncode(replacement, decoded.format)) {
        out.error = QStringLiteral("the replacement holds characters that its encoding (%1) cannot store")
                        .arg(TextFileCodec::encodingName(decoded.format));
        return out;
    }
    // A file that mixes line ends keeps each line's own; line breaks in the
    // replacement take the file's most frequent style.
    const QString& text = decoded.text;
    const qsizetype needle = options.text.size();
    const qsizetype newBreaks = replacement.count(QLatin1Char('\n'));
    QByteArray lineEnds = decoded.lineEnds;
    QString changed;
    changed.reserve(text.size() + found.size() * (replacement.size() - needle));
    qsizetype from = 0;
    qsizetype breaksBefore = 0;  // line ends of the new text before the match
    for (qsizetype start : found) {
        const QStringView between = QStringView(text).mid(from, start - from);
        changed += between;
        breaksBefore += between.count(QLatin1Char('\n'));
        changed += replacement;
        if (newBreaks && !lineEnds.isEmpty()) {
            lineEnds.insert(breaksBefore, QByteArray(newBreaks, char(decoded.format.lineEnd)));
            breaksBefore += newBreaks;
        }
        from = start + needle;
    }
    changed += QStringView(text).mid(from);
    out.bytes = TextFileCodec::encode(changed, decoded.format, lineEnds);
    return out;
}

bool isText(const QByteArray& bytes)
{
    static const QByteArrayView signatures[] = {
        QByteArrayView("\x89PNG\r\n\x1A\n"), QByteArrayView("\xFF\xD8\xFF"), QByteArrayView("GIF87a"),
        QByteArrayView("GIF89a"), QByteArrayView("%PDF-"), QByteArrayView("PK\x03\x04"), QByteArrayView("PK\x05\x06"),
        QByteArrayView("\x1F\x8B"), QByteArrayView("\xFD" "7zXZ"),
        QByteArrayView("7z\xBC\xAF\x27\x1C"), QByteArrayView("Rar!\x1A\x07"), QByteArrayView("\x7F" "ELF"),
        QByteArrayView("RIFF"), QByteArrayView("OggS"), QByteArrayView("fLaC"),
        QByteArrayView("wOFF"), QByteArrayView("wOF2"), QByteArrayView("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"),
        QByteArrayView("\x00\x00\x01\x00", 4), QByteArrayView("II*\x00", 4), QByteArrayView("MM\x00*", 4),
        QByteArrayView("SQLite format 3"),
    };
    for (const QByteArrayView& s : signatures)
        if (QByteArrayView(bytes).startsWith(s))
            return false;
    if (!bytes.contains('\0'))
        return true;
    // UTF-16 and UTF-32 (little-endian UTF-32 starts as UTF-16 does).
    const QByteArrayView all(bytes);
    return all.startsWith("\xFF\xFE") || all.startsWith("\xFE\xFF") || all.startsWith(QByteArrayView("\0\0\xFE\xFF", 4));
}

QString identityKey(const QString& path)
{
    const FileStamp st = FileStamp::stat(path);
    if (st.exists)
        return QStringLiteral("%1:%2").arg(st.device).arg(st.inode);
    return PathUtil::compareKey(path);
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
