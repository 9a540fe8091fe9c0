#include "tools/HtmlToText.h"

#include "app/AppSettings.h"
#include "tags/TagEngine.h"

namespace HtmlToText {

QList<TextRange> tagRanges(QStringView text)
{
    QList<TextRange> out;
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = text.indexOf(QLatin1Char('<'), from);
        if (open < 0)
            break;
        const qsizetype close = text.indexOf(QLatin1Char('>'), open + 1);
        if (close < 0)
            break;
        out.append(TextRange{open, close - open + 1});
        from = close + 1;
    }
    return out;
}

namespace {
// (line, column), both from 1, of a character offset of text.
void lineColumn(QStringView text, qsizetype offset, int& line, int& column)
{
    const QStringView head = text.left(offset);
    line = int(head.count(QLatin1Char('\n'))) + 1;
    column = int(offset - (head.lastIndexOf(QLatin1Char('\n')) + 1)) + 1;
}
} // namespace

int StripTags(EditorContract& ed)
{
    // The same removals as searching for "<" and ">" and cutting each tag in
    // turn, but found in one pass over the text and made at once: a cut per
    // tag, each through the clipboard, is far too slow for a large page.
    // The last tag still goes by a cut, so the clipboard ends up holding it.
    QList<TextRange> ranges = tagRanges(ed.RawText());
    if (ranges.isEmpty())
        return 0;
    const int count = int(ranges.size());
    TextRange last = ranges.takeLast();
    qsizetype removed = 0;
    for (const TextRange& r : std::as_const(ranges))
        removed += r.length;
    ed.DeleteRanges(ranges);
    const QString now = ed.RawText();
    last.start -= removed;
    int l1 = 0, c1 = 0, l2 = 0, c2 = 0;
    lineColumn(now, last.start, l1, c1);
    lineColumn(now, last.start + last.length, l2, c2);
    ed.SelectRange(l1, c1, l2, c2, true);
    ed.CutSelection();
    ed.SetModified(true);
    return count;
}

int ExportasText(TagHost& host)
{
    int removed = 0;
    if (EditorContract* ed = host.activeEditor()) {
        host.SetStatusText(QStringLiteral("Converting to Text ..."));
        removed = StripTags(*ed);
    }
    host.SetStatusText(AppSettings::kReady);
    return removed;
}

} // namespace HtmlToText
