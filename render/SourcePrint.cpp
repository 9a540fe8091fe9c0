#include "render/SourcePrint.h"

#include "editor/EditorContract.h"

QStringList SourcePrint::lines(const EditorContract& editor, bool selectionOnly)
{
    QStringList out;
    int l1 = 1, c1 = 1, l2 = 0, c2 = 1;
    const bool selected = selectionOnly && editor.SelectionRange(l1, c1, l2, c2);
    if (!selected) {
        l1 = 1;
        l2 = editor.LineCount();
    }
    for (int line = l1; line <= l2; ++line) {
        QString text = editor.LineText(line);
        // Columns count from 1: the selection starts at column c1 and ends
        // before column c2, so c1 - 1 characters go blank, c2 - 1 stay.
        if (selected && line == l2)
            text.truncate(qMax(0, c2 - 1));
        if (selected && line == l1)
            text.replace(0, qMin<qsizetype>(c1 - 1, text.size()), QString(qMin<qsizetype>(c1 - 1, text.size()), QLatin1Char(' ')));
        out << text.left(MaxLineLength);
    }
    return out;
}
