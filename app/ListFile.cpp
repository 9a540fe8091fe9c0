#include "app/ListFile.h"

#include "app/SafeFile.h"
#include "editor/TextFileCodec.h"

#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <algorithm>

namespace ListFile {

namespace {
// The files read with a UTF-8 BOM, so that writing them keeps it.
QMutex bomMutex;
QHash<QString, bool>& filesWithBom()
{
    static QHash<QString, bool> files;
    return files;
}
QString bomKey(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}
} // namespace

DecodedText decode(const QByteArray& bytes)
{
    return TextFileCodec::decode(bytes, TextFileCodec::Declarations::Ignored);
}

QStringList splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

bool read(const QString& path, QStringList* lines, QString* error, TextFileCodec::Declarations declarations)
{
    QByteArray bytes;
    if (!SafeFile::read(path, &bytes, error))
        return false;
    // The decoder has already taken off the final line end, so what is left
    // splits into exactly the file's lines: an empty last line stays.
    const DecodedText decoded = TextFileCodec::decode(bytes, declarations);
    {
        QMutexLocker lock(&bomMutex);
        if (decoded.format.bom && decoded.format.encoding == TextFileFormat::Utf8)
            filesWithBom().insert(bomKey(path), true);
        else
            filesWithBom().remove(bomKey(path));
    }
    QStringList result;
    if (!decoded.text.isEmpty() || decoded.format.finalLineEnd)
        result = decoded.text.split(QLatin1Char('\n'));
    if (lines)
        *lines = std::move(result);
    return true;
}

QString midWhole(const QString& text, qsizetype from, qsizetype units)
{
    if (from >= text.size() || units <= 0)
        return QString();
    qsizetype end = std::min(text.size(), from + units);
    if (end < text.size() && text.at(end - 1).isHighSurrogate() && text.at(end).isLowSurrogate())
        --end;
    return text.mid(from, end - from);
}

void write(const QString& path, const QStringList& lines)
{
    TextFileFormat format;
    format.encoding = TextFileFormat::Utf8;
    format.finalLineEnd = false;
    QByteArray bytes;
    {
        QMutexLocker lock(&bomMutex);
        if (filesWithBom().contains(bomKey(path)))
            bytes = QByteArray("\xEF\xBB\xBF");
    }
    // A first line starting with U+FEFF needs a mark before it, or reading
    // would take its own for one and drop it.
    if (bytes.isEmpty() && !lines.isEmpty() && lines.first().startsWith(QChar(0xFEFF)))
        bytes = QByteArray("\xEF\xBB\xBF");
    // Bytes that were not UTF-8 when the file was read go back as they were.
    for (const QString& line : lines) {
        bytes += TextFileCodec::encode(line, format);
        bytes += "\r\n";
    }
    SafeFile::write(path, bytes);
}

} // namespace ListFile
