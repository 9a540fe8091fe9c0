#pragma once
// Shared pieces of the tag tests: the editing control with probes, a host
// that records what the engine shows, and documents written with markers:
//   "|"      the caret, nothing selected
//   "[...]"  a selection with the caret at its end
//   "{...}"  a selection with the caret at its start
#include "app/AppError.h"
#include "app/AppSettings.h"
#include "app/TMegaRegistry.h"
#include "editor/TOvcTextFileEditor.h"
#include "tags/TagEngine.h"

#include <QStringList>

// The editing control, counting focus requests; insertions can be made to fail.
class TestEditor : public TOvcTextFileEditor {
public:
    int focusCalls = 0;
    bool failInsert = false;
    void FocusEditor() override
    {
        ++focusCalls;
        TOvcTextFileEditor::FocusEditor();
    }
    void makeReadOnly() { SetReadOnly(true); }
    void InsertAtCaret(const QString& text) override
    {
        if (failInsert)
            throw EEditorError(QStringLiteral("Invalid line or paragraph index"));
        TOvcTextFileEditor::InsertAtCaret(text);
    }
};

class TestHost : public TagHost {
public:
    EditorContract* editor = nullptr;
    QStringList statuses;
    QStringList tagPanels;
    QStringList messages;
    TMegaRegistry ini{AppSettings::kAppName, AppSettings::kCompany, AppSettings::kIniName};

    TestHost() { ini.Open(); }
    EditorContract* activeEditor() override { return editor; }
    void SetStatusText(const QString& text) override { statuses << text; }
    void SetTagPanel(const QString& text) override { tagPanels << text; }
    TMegaRegistry& settings() override { return ini; }
    void ShowMessage(const QString& text) override { messages << text; }

    void setTags(const QString& caseSetting, const QString& stay)
    {
        ini.WriteString(AppSettings::kTags, QStringLiteral("Case"), caseSetting);
        ini.WriteString(AppSettings::kTags, QStringLiteral("Stay Selected"), stay);
    }
    void reset()
    {
        statuses.clear();
        tagPanels.clear();
        messages.clear();
    }
};

namespace Marked {

struct Pos {
    int line = 0, col = 0;
};

// Fills the editor from a marked text; the editor ends unmodified.
inline void set(EditorContract& ed, const QString& marked)
{
    QString plain;
    Pos open, close, caret;
    bool caretAtStart = false;
    int line = 1, col = 1;
    for (const QChar ch : marked) {
        if (ch == QLatin1Char('[') || ch == QLatin1Char('{')) {
            open = {line, col};
            caretAtStart = ch == QLatin1Char('{');
        } else if (ch == QLatin1Char(']') || ch == QLatin1Char('}')) {
            close = {line, col};
        } else if (ch == QLatin1Char('|')) {
            caret = {line, col};
        } else {
            plain += ch;
            if (ch == QLatin1Char('\n')) {
                ++line;
                col = 1;
            } else {
                ++col;
            }
        }
    }
    ed.ClearAll();
    ed.InsertAtCaret(plain);
    if (open.line)
        ed.SelectRange(open.line, open.col, close.line, close.col, !caretAtStart);
    else if (caret.line)
        ed.MoveCaret(caret.line, caret.col);
    else
        ed.MoveCaret(1, 1);
    ed.SetModified(false);
}

// The editor's text with its caret and selection marked.
inline QString get(const EditorContract& ed)
{
    int l1 = 0, c1 = 0, l2 = 0, c2 = 0, cl = 0, cc = 0;
    const bool sel = ed.SelectionRange(l1, c1, l2, c2);
    ed.CaretPosition(cl, cc);
    const bool caretAtStart = sel && cl == l1 && cc == c1;
    QString out;
    for (int line = 1; line <= ed.LineCount(); ++line) {
        const QString text = ed.LineText(line);
        for (int col = 1; col <= text.size() + 1; ++col) {
            if (sel && line == l2 && col == c2)
                out += caretAtStart ? QLatin1Char('}') : QLatin1Char(']');
            if (sel && line == l1 && col == c1)
                out += caretAtStart ? QLatin1Char('{') : QLatin1Char('[');
            if (!sel && line == cl && col == cc)
                out += QLatin1Char('|');
            if (col <= text.size())
                out += text.at(col - 1);
        }
        if (line < ed.LineCount())
            out += QLatin1Char('\n');
    }
    return out;
}

} // namespace Marked
