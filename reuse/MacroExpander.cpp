#include "reuse/MacroExpander.h"

#include "editor/EditorContract.h"
#include "reuse/MacroList.h"

int MacroExpander::expand(EditorContract& editor, const QStringList& entries, MacroClipboard& clipboard,
                          const Status& status)
{
    int count = 0;
    status(QStringLiteral("Searching for Macros ..."));
    int flags = SearchFlags::Plain | SearchFlags::Global;
    const QString open = QStringLiteral("[");
    const QString close = QStringLiteral("]");
    while (editor.SearchText(open, flags)) {
        flags = SearchFlags::Plain;
        int l1 = 0, c1 = 0;
        editor.CaretPosition(l1, c1);
        // No "]" after this "[" means none after any later "[" either.
        if (!editor.SearchText(close, SearchFlags::Plain))
            break;
        int l2 = 0, c2 = 0;
        editor.CaretPosition(l2, c2);
        editor.SelectRange(l1, c1 - 1, l2, c2, true);
        editor.CopySelection();
        QString expansion;
        if (MacroList::findExpansion(entries, clipboard.text(), &expansion)) {
            clipboard.setText(expansion);
            if (expansion.isEmpty())
                editor.DeleteSelection();  // pasting nothing would leave the key
            else
                editor.PasteClipboard();
        }
        ++count;
        status(QStringLiteral("Macro ") + clipboard.text());
    }
    return count;
}

QString MacroExpander::resultMessage(int count)
{
    return count == 0 ? QStringLiteral("No Macros found !") : QString::number(count) + QStringLiteral(" Macros found !");
}
