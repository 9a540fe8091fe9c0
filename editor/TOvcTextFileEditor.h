#pragma once
// The plain-text editing control of a document window.
#include "editor/EditorContract.h"
#include "editor/TextFileCodec.h"

#include <QFont>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <array>

class TOvcTextFileEditor : public QPlainTextEdit, public EditorContract {
    Q_OBJECT
public:
    enum TabType { ttReal, ttFixed, ttSmart };
    enum ScrollBars { ssNone, ssHorizontal, ssVertical, ssBoth };

    explicit TOvcTextFileEditor(QWidget* parent = nullptr);

    // EditorContract
    bool SelectionRange(int& l1, int& c1, int& l2, int& c2) const override;
    void SelectRange(int l1, int c1, int l2, int c2, bool caretAtEnd) override;
    void CaretPosition(int& line, int& column) const override;
    void MoveCaret(int line, int column) override;
    void InsertAtCaret(const QString& text) override;
    void DeleteSelection() override;
    bool SearchText(const QString& text, int flags) override;
    int ReplaceText(const QString& text, const QString& replacement, int flags) override;
    void UndoStep() override;
    void RedoStep() override;
    void CutSelection() override;
    void CopySelection() override;
    void PasteClipboard() override;
    void ClearAll() override;
    void LoadFile(const QString& fileName) override;
    void SaveFile(const QString& fileName) override;
    bool Modified() const override;
    void SetModified(bool modified) override;
    void SetBookmark(int number) override;
    void GotoBookmark(int number) override;
    QString LineText(int line) const override;
    int LineLength(int line) const override;
    int LineCount() const override;
    qint64 TextSize() const override;
    void FocusEditor() override;

    // Whole text, lines joined by '\n', every character as stored.
    QString RawText() const;
    // Replaces the whole text (one undo step), caret at 1:1.
    void SetRawText(const QString& text);

    // Published properties
    bool WordWrap() const;
    void SetWordWrap(bool on);
    int WrapColumn() const { return m_wrapColumn; }
    void SetWrapColumn(int column);
    bool AutoIndent() const { return m_autoIndent; }
    void SetAutoIndent(bool on) { m_autoIndent = on; }
    TabType tabType() const { return m_tabType; }
    void SetTabType(TabType t) { m_tabType = t; }
    int TabSize() const { return m_tabSize; }
    void SetTabSize(int size);
    ScrollBars scrollBars() const { return m_scrollBars; }
    void SetScrollBars(ScrollBars s);
    bool InsertMode() const { return !overwriteMode(); }
    void SetInsertMode(bool on);
    bool MakeBackup() const { return m_makeBackup; }
    void SetMakeBackup(bool on) { m_makeBackup = on; }
    QString BackupExt() const { return m_backupExt; }
    void SetBackupExt(const QString& ext) { m_backupExt = ext; }
    QFont FixedFont() const { return font(); }
    void SetFixedFont(const QFont& f);
    QColor FixedFontColor() const;
    void SetFixedFontColor(const QColor& c);
    QColor Color() const;
    void SetColor(const QColor& c);
    int RightMargin() const { return m_rightMargin; }
    void SetRightMargin(int m) { m_rightMargin = m; }
    bool WantTab() const { return m_wantTab; }
    void SetWantTab(bool on);
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool on) { setReadOnly(on); }

    // Format of the file last loaded or saved (new documents: UTF-8, CR LF).
    const TextFileFormat& fileFormat() const { return m_format; }
    QString fileName() const { return m_fileName; }

signals:
    // A short notice for the status line (mixed line ends, very long lines).
    void notice(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QTextCursor cursorAt(int line, int column) const;
    void checkLine(int line) const;

    int m_wrapColumn = 0;
    bool m_autoIndent = true;
    TabType m_tabType = ttReal;
    int m_tabSize = 8;
    ScrollBars m_scrollBars = ssVertical;
    bool m_makeBackup = false;
    QString m_backupExt = QStringLiteral("BAK");
    int m_rightMargin = 5;
    bool m_wantTab = true;
    TextFileFormat m_format;
    QString m_fileName;
    std::array<QTextCursor, 10> m_bookmarks;
    std::array<bool, 10> m_bookmarkSet{};
};
