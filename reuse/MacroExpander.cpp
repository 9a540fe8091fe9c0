#include "reuse/MacroExpander.h"

#include "editor/EditorContract.h"
#include "reuse/MacroList.h"

int MacroExpander::expand(EditorContract& editor, const QStringList& entries, MacroClipboard& clipboard,
                          const Status& status)
{
    status(QStringLiteral("Searching for Macros ..."));
    // The keys are found in a copy of the text, then replaced in one pass.
    const QString text = editor.RawText();
    QList<TextRange> ranges;
    QStringList texts;
    int count = 0;
    QString last;  // what the clipboard ends with
    bool lastMatched = false;
    qsizetype lastStart = 0, lastEnd = 0;
    for (qsizetype from = 0;;) {
        const qsizetype open = text.indexOf(QLatin1Char('['), from);
        if (open < 0)
            break;
        // No "]" after this "[" means none after any later "[" either.
        const qsizetype close = text.indexOf(QLatin1Char(']'), open + 1);
        if (close < 0)
            break;
        const QString key = text.mid(open, close + 1 - open);
        QString expansion;
        lastMatched = MacroList::findExpansion(entries, key, &expansion);
        if (lastMatched) {
            ranges << TextRange{open, key.size()};
            texts << expansion;
        }
        last = lastMatched ? expansion : key;
        lastStart = open;
        lastEnd = close + 1;
        ++count;
        status(QStringLiteral("Macro ") + last);
        from = close + 1;
    }
    if (count == 0)
        return 0;
    editor.ReplaceRanges(ranges, texts);
    if (!lastMatched) {
        // The last key matched nothing: it stays selected, the caret after
        // its "]". Expansions hold no line break, so only the columns of its
        // first line moved, by what the expansions before it on that line added.
        const qsizetype lineStart = text.lastIndexOf(QLatin1Char('\n'), lastStart - 1) + 1;
        qsizetype grown = 0;
        for (qsizetype i = ranges.size() - 1; i >= 0 && ranges[i].start >= lineStart; --i)
            grown += texts[i].size() - ranges[i].length;
        const int l1 = 1 + int(QStringView(text).left(lineStart).count(QLatin1Char('\n')));
        const int c1 = int(lastStart - lineStart + grown) + 1;
        const QStringView key = QStringView(text).mid(lastStart, lastEnd - lastStart);
        const qsizetype breaks = key.count(QLatin1Char('\n'));
        const int l2 = l1 + int(breaks);
        const int c2 = breaks ? int(key.size() - key.lastIndexOf(QLatin1Char('\n'))) : c1 + int(key.size());
        editor.SelectRange(l1, c1, l2, c2, true);
    }
    clipboard.setText(last);
    return count;
}

QString MacroExpander::resultMessage(int count)
{
    return count == 0 ? QStringLiteral("No Macros found !") : QString::number(count) + QStringLiteral(" Macros found !");
}
