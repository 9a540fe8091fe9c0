#pragma once
// The plain-text editing control of a document window.
#include "app/FileStamp.h"
#include "app/SafeFile.h"
#include "editor/EditorContract.h"
#include "editor/TextFileCodec.h"

#include <QColor>
#include <QFont>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <array>

class HtmlHighlighter;
class LineNumberGutter;
class QSaveFile;
class QTimer;

class TOvcTextFileEditor : public QPlainTextEdit, public EditorContract {
    Q_OBJECT
public:
    enum TabType { ttReal, ttFixed, ttSmart };
    enum ScrollBars { ssNone, ssHorizontal, ssVertical, ssBoth };

    explicit TOvcTextFileEditor(QWidget* parent = nullptr);

    // Files larger than this are refused by LoadFile.
    static constexpr qint64 MaxFileSize = qint64(256) * 1024 * 1024;

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
    QString RawLineText(int line) const override;
    int LineLength(int line) const override;
    int LineCount() const override;
    qint64 TextSize() const override;
    void FocusEditor() override;
    void BeginEditGroup() override;
    void EndEditGroup() override;

    QString RawText() const override;
    void DeleteRanges(const QList<TextRange>& ranges) override;
    // Replaces the whole text (one undo step), caret at 1:1.
    void SetRawText(const QString& text);

    // Published properties
    bool WordWrap() const;
    void SetWordWrap(bool on);
    // Lines wrap at the control's width; WrapColumn is kept for the program,
    // which sets it from the visible width.
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
    void SetFileFormat(const TextFileFormat& format) { m_format = format; m_finalLineEnd = format.lineEnd; }
    QString fileName() const { return m_fileName; }
    // False when the text holds characters the file's encoding cannot store;
    // SaveFile then refuses to write (never a lossy file).
    bool CanEncodeText() const;
    // The next save writes UTF-8, every character converted.
    void ConvertToUtf8();
    // The file as this document last loaded or saved it (size, time, hash).
    const FileStamp& fileStamp() const { return m_stamp; }
    void SetFileStamp(const FileStamp& stamp) { m_stamp = stamp; }
    // What the last save kept or dropped (set-id bits, backup, written in place).
    const SafeFile::WriteReport& lastWrite() const { return m_lastWrite; }

    // Editing view: colours, line numbers, the current line, the tag pair
    // around the caret and the closing tag offered after "</".
    HtmlHighlighter* highlighter() const { return m_highlighter; }
    bool SyntaxHighlighting() const;
    void SetSyntaxHighlighting(bool on);
    bool LineNumbers() const;
    void SetLineNumbers(bool on);
    LineNumberGutter* gutter() const { return m_gutter; }
    bool AutoCloseTags() const { return m_autoCloseTags; }
    void SetAutoCloseTags(bool on) { m_autoCloseTags = on; }
    // The tags marked as the pair around the caret (none, or both).
    QList<QTextCursor> matchedTags() const { return m_tagMarks; }
    // Works out the pair around the caret now rather than when idle.
    void refreshTagMatch();

signals:
    // A short notice for the status line (mixed line ends, very long lines).
    void notice(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;
    // Plain text only, line breaks as '\n'.
    QMimeData* createMimeDataFromSelection() const override;
    // Puts the completely written new file in place of the old one; false
    // when that fails (the old file then stays as it was).
    virtual bool commitSave(QSaveFile& file) const;

private:
    friend class LineNumberGutter;
    void setupEditingView();
    void updateGutterGeometry();
    void updateMarks();
    // After "</" typed in text: the innermost open element's name and ">".
    void completeClosingTag();

    QTextCursor cursorAt(int line, int column) const;
    void checkLine(int line) const;
    // The match SearchText would select, or a null cursor.
    QTextCursor findMatch(const QString& text, int flags) const;
    int replaceAll(const QString& text, const QString& replacement, int flags);
    // Inserts text at c (replacing its selection) and remembers which of
    // the line breaks it makes came from characters other than line ends.
    void insertKeepingBreaks(QTextCursor& c, const QString& text);
    void markBreaks(int firstBlockNumber, QStringView text);
    // The text as it goes to the file: '\n' at line ends, the original
    // character where a line break came from U+2029, U+FDD0 or U+FDD1.
    // *lineEnds receives each line end's style when some line keeps its own.
    QString textForSaving(QByteArray* lineEnds) const;
    QString selectedPlainText() const;
    void writeFile(const QString& fileName, const QByteArray& bytes) const;
    void showCursor(const QTextCursor& c);
    void clearBookmarks();
    void updateTabStops();
    void updateCaretShape();
    // Enter: a line end, and the line's indentation when AutoIndent is on.
    void insertLineBreak();
    void insertTabKey();

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
    TextFileFormat::LineEnd m_finalLineEnd = TextFileFormat::CRLF;  // style of the line end closing the file
    FileStamp m_stamp;
    mutable SafeFile::WriteReport m_lastWrite;
    QString m_fileName;
    std::array<QTextCursor, 10> m_bookmarks;
    std::array<bool, 10> m_bookmarkSet{};
    QTextCursor m_groupCursor;
    int m_groupDepth = 0;
    bool m_hasBreakMarks = false;  // some block carries a break mark
    HtmlHighlighter* m_highlighter = nullptr;
    LineNumberGutter* m_gutter = nullptr;
    QTimer* m_matchTimer = nullptr;
    QList<QTextCursor> m_tagMarks;
    bool m_autoCloseTags = true;
};
