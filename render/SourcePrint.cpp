#include "render/SourcePrint.h"

#include "editor/EditorContract.h"

namespace {
// Tabs to the next stop; start is the column the text begins at.
QString expanded(const QString& text, int tabWidth, qsizetype start = 0)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('\t'))
            out.append(QString(tabWidth - (start + out.size()) % tabWidth, QLatin1Char(' ')));
        else
            out.append(c);
    }
    return out;
}
}

QStringList SourcePrint::lines(const EditorContract& editor, bool selectionOnly, int tabWidth)
{
    tabWidth = qMax(1, tabWidth);
    QStringList out;
    int l1 = 1, c1 = 1, l2 = 0, c2 = 1;
    const bool selected = selectionOnly && editor.SelectionRange(l1, c1, l2, c2);
    if (!selected) {
        l1 = 1;
        l2 = editor.LineCount();
    }
    for (int line = l1; line <= l2; ++line) {
        // Selection columns count characters of the stored line from 1: the
        // selection starts at column c1 and ends before column c2.
        QString text = editor.RawLineText(line);
        if (selected && line == l2)
            text.truncate(qMax(0, c2 - 1));
        if (selected && line == l1) {
            const QString before = expanded(text.left(c1 - 1), tabWidth);
            text = QString(before.size(), QLatin1Char(' ')) + expanded(text.mid(c1 - 1), tabWidth, before.size());
        } else {
            text = expanded(text, tabWidth);
        }
        out << text.left(MaxLineLength);
    }
    return out;
}
