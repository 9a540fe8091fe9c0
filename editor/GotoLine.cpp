#include "editor/GotoLine.h"

#include "app/UiPrompter.h"
#include "editor/EditorContract.h"
#include "editor/TOvcTextFileEditor.h"

#include <algorithm>

namespace GotoLine {

void run(QWidget* parent, EditorContract& editor)
{
    int line = 0, column = 0;
    editor.CaretPosition(line, column);
    const int count = editor.LineCount();
    QString value = QString::number(line);
    if (!UiPrompter::instance().inputText(parent, QStringLiteral("Go to Line"),
                                          QStringLiteral("Line number (1 - %1):").arg(count), value))
        return;
    bool ok = false;
    const qlonglong wanted = value.trimmed().toLongLong(&ok);
    if (!ok) {
        UiPrompter::instance().message(parent, QStringLiteral("\"%1\" is not a line number.").arg(value.trimmed()));
        return;
    }
    editor.MoveCaret(int(std::clamp<qlonglong>(wanted, 1, count)), 1);
    // The line found is shown in the middle of the view, with what surrounds it.
    if (auto* view = dynamic_cast<TOvcTextFileEditor*>(&editor))
        view->CentreCaret();
    editor.FocusEditor();
}

} // namespace GotoLine
