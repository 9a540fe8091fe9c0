#include "app/ListFile.h"

#include "app/SafeFile.h"
#include "editor/TextFileCodec.h"

namespace ListFile {

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

bool read(const QString& path, QStringList* lines, QString* error)
{
    QByteArray bytes;
    if (!SafeFile::read(path, &bytes, error))
        return false;
    // The decoder has already taken off the final line end, so what is left
    // splits into exactly the file's lines: an empty last line stays.
    const DecodedText decoded = TextFileCodec::decode(bytes);
    QStringList result;
    if (!decoded.text.isEmpty() || decoded.format.finalLineEnd)
        result = decoded.text.split(QLatin1Char('\n'));
    if (lines)
        *lines = std::move(result);
    return true;
}

void write(const QString& path, const QStringList& lines)
{
    QString text;
    for (const QString& line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    SafeFile::write(path, text.toUtf8());
}

} // namespace ListFile
