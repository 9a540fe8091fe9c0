#include "tools/UrlGrab.h"

#include "app/SafeFile.h"
#include "tags/TagEngine.h"

#include <QFile>
#include <QFileInfo>

namespace UrlGrab {

namespace {
// (line, column), both from 1, of a character offset of text.
void lineColumn(QStringView text, qsizetype offset, int& line, int& column)
{
    const QStringView head = text.left(offset);
    line = int(head.count(QLatin1Char('\n'))) + 1;
    column = int(offset - (head.lastIndexOf(QLatin1Char('\n')) + 1)) + 1;
}
} // namespace

QList<TextRange> linkRanges(QStringView text)
{
    static const QString open = QStringLiteral("<A HREF=");
    static const QString close = QStringLiteral("</A>");
    QList<TextRange> out;
    qsizetype from = 0;
    for (;;) {
        const qsizetype start = text.indexOf(open, from, Qt::CaseInsensitive);
        if (start < 0)
            break;
        const qsizetype end = text.indexOf(close, start + open.size(), Qt::CaseInsensitive);
        if (end < 0)
            break;
        out.append(TextRange{start, end + close.size() - start});
        from = end + close.size();
    }
    return out;
}

QStringList grab(TagHost& host, EditorContract& ed)
{
    const QString text = ed.RawText();
    const QList<TextRange> ranges = linkRanges(text);
    QStringList found;
    found.reserve(ranges.size());
    for (const TextRange& r : ranges) {
        found << text.mid(r.start, r.length);
        host.SetStatusText(QStringLiteral("Found URL ") + found.last());
    }
    if (!ranges.isEmpty()) {
        const TextRange& last = ranges.last();
        int l1 = 0, c1 = 0, l2 = 0, c2 = 0;
        lineColumn(text, last.start, l1, c1);
        lineColumn(text, last.start + last.length, l2, c2);
        ed.SelectRange(l1, c1, l2, c2, true);
        ed.CopySelection();
    }
    return found;
}

QStringList libraryLines(const QStringList& entries)
{
    QStringList out;
    for (const QString& e : entries)
        out << e.split(QLatin1Char('\n'));
    return out;
}

QString bookmarkFileProblem(const QString& path)
{
    const QFileInfo info(path);
    if (info.size() > kMaxBookmarkFile)
        return QStringLiteral("%1 is too large (%2 MB) to be a bookmark file.")
            .arg(SafeFile::shown(path), QString::number(info.size() / (1024 * 1024)));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("Unable to open %1: %2.").arg(SafeFile::shown(path), f.errorString());
    if (f.read(64 * 1024).contains('\0'))
        return QStringLiteral("%1 holds binary data; it is not a bookmark file.").arg(SafeFile::shown(path));
    return QString();
}

} // namespace UrlGrab
