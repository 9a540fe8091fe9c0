#pragma once
// The operations through which the rest of the program edits a document.
// Positions are (line, column), both counted from 1, in the text's own lines
// (word wrap is display only). Columns count characters of the line.
// Refused positions throw EEditorError("Invalid line or paragraph index");
// file system failures throw EFileError.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class TagLineSource;

namespace SearchFlags {
enum : int {
    Plain = 1,      // plain search
    Backward = 2,   // search backwards
    MatchCase = 4,  // compare letter case
    Global = 8,     // whole text: from its start (forwards) or end (backwards)
    ReplaceOne = 16,
    ReplaceAll = 32,
    WholeWord = 64,
    RegExp = 128,       // text is a regular expression (QRegularExpression), matched within lines
    InSelection = 256,  // only inside the search scope: the selection when the scope was set
};
}

// A stretch of the whole text: start is a character offset into RawText().
struct TextRange {
    qsizetype start = 0;
    qsizetype length = 0;
};

class EditorContract {
public:
    // Longest search and replacement text; longer ones find and replace nothing.
    static constexpr int MaxSearchLength = 255;

    virtual ~EditorContract() = default;

    // True only when text is selected; (l1, c1) is always the start.
    virtual bool SelectionRange(int& l1, int& c1, int& l2, int& c2) const = 0;
    // Clamps lines into 1..LineCount and columns into 1..length+1.
    virtual void SelectRange(int l1, int c1, int l2, int c2, bool caretAtEnd) = 0;
    virtual void CaretPosition(int& line, int& column) const = 0;
    // Cancels any selection. Refuses a line outside 1..LineCount or a column below 1.
    virtual void MoveCaret(int line, int column) = 0;
    // Replaces the selection, caret after the inserted text. The text may hold
    // line breaks ("\n"). A read-only editor changes nothing.
    virtual void InsertAtCaret(const QString& text) = 0;
    virtual void DeleteSelection() = 0;
    // Without Global, a forward search starts at the selection's end (the
    // caret) and a backward one looks for a match that ends at or before the
    // selection's start. Found: the match is selected, caret directly after it.
    virtual bool SearchText(const QString& text, int flags) = 0;
    // ReplaceOne replaces the selection when it is a match (the one a search
    // just found), else the match SearchText would find; ReplaceAll every
    // match in the searched range, as one undo step. With RegExp, "\1" or
    // "$1" in the replacement stand for the groups. Returns the number of
    // replacements (0 without ReplaceOne or ReplaceAll).
    virtual int ReplaceText(const QString& text, const QString& replacement, int flags) = 0;
    virtual void UndoStep() = 0;
    virtual void RedoStep() = 0;
    virtual void CutSelection() = 0;
    virtual void CopySelection() = 0;
    virtual void PasteClipboard() = 0;
    virtual void ClearAll() = 0;
    virtual void LoadFile(const QString& fileName) = 0;
    virtual void SaveFile(const QString& fileName) = 0;
    virtual bool Modified() const = 0;
    virtual void SetModified(bool modified) = 0;
    virtual void SetBookmark(int number) = 0;
    virtual void GotoBookmark(int number) = 0;
    virtual QString LineText(int line) const = 0;  // tabs expanded
    // The line as stored, tabs kept: its offsets are the columns minus 1.
    virtual QString RawLineText(int line) const = 0;
    virtual int LineLength(int line) const = 0;
    virtual int LineCount() const = 0;
    virtual qint64 TextSize() const = 0;  // characters, two per line end
    virtual void FocusEditor() = 0;
    // The whole text, lines joined by "\n", every character as stored.
    virtual QString RawText() const = 0;
    // The text exactly as a save writes it, for copies that must come back
    // byte for byte (recovery): "\n" at line ends, and the character a line
    // break came from where that was not a line end (U+2029, U+FDD0, U+FDD1).
    // *lineEnds receives the style (a TextFileFormat::LineEnd) of each line
    // end, the one closing the file last, when some line keeps its own end;
    // empty: every line end has the file's style. The base knows of no own
    // line ends; an editor that keeps them gives them here.
    virtual QString textForSaving(QByteArray* lineEnds) const
    {
        if (lineEnds)
            lineEnds->clear();
        return RawText();
    }
    // Deletes each range, first to last, as DeleteSelection would one after
    // the other: every range an undo step of its own, the caret left where
    // the last one began. Ranges are ascending, apart, and given as offsets
    // into the text before the first deletion. For commands that remove many
    // pieces at once; a read-only editor changes nothing.
    virtual void DeleteRanges(const QList<TextRange>& ranges) = 0;
    // Replaces each range by the text of the same index, as selecting it and
    // InsertAtCaret would one after the other: every range an undo step of
    // its own, the caret left after the last text put in. Ranges as for
    // DeleteRanges; a read-only editor changes nothing.
    virtual void ReplaceRanges(const QList<TextRange>& ranges, const QStringList& texts) = 0;
    // Forgets every undo and redo step: the text as it stands is where undo stops.
    virtual void ClearUndoHistory() = 0;
    // The document's lines with the tokenizer states and tag pairs the editor
    // keeps up to date, for the tag matcher; null when it keeps none.
    virtual const TagLineSource* tagLines() const { return nullptr; }
    // Changes made between the two calls undo and redo as one step. Calls nest.
    virtual void BeginEditGroup() = 0;
    virtual void EndEditGroup() = 0;
};

// Groups the changes of its lifetime into one undo step.
class EditGroup {
public:
    explicit EditGroup(EditorContract& editor) : m_editor(editor) { m_editor.BeginEditGroup(); }
    ~EditGroup() { m_editor.EndEditGroup(); }
    EditGroup(const EditGroup&) = delete;
    EditGroup& operator=(const EditGroup&) = delete;

private:
    EditorContract& m_editor;
};
