#pragma once
// The plain-text editing control of a document window: a view over a
// TextBuffer that lays out only the rows on screen.
#include "app/FileStamp.h"
#include "app/SafeFile.h"
#include "editor/EditorContract.h"
#include "editor/TextBuffer.h"
#include "editor/TextFileCodec.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QPointer>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class CompletionPopup;
class HtmlHighlighter;
class LineNumberGutter;
class SearchMarks;
class FoldModel;
class FoldGutter;
class CaretSet;
struct CaretSel;
class QSaveFile;
class QTextLayout;
class QTimer;
class QMimeData;

class TOvcTextFileEditor : public QAbstractScrollArea, public EditorContract, private TextBufferListener {
    Q_OBJECT
public:
    enum TabType { ttReal, ttFixed, ttSmart };
    enum ScrollBars { ssNone, ssHorizontal, ssVertical, ssBoth };

    explicit TOvcTextFileEditor(QWidget* parent = nullptr);
    // A second view of twin's text (a split window): its own caret, scroll
    // position, folds and carets; edits are made to the one text and seen
    // in both, undone in either. Looks like twin when made.
    explicit TOvcTextFileEditor(TOvcTextFileEditor& twin, QWidget* parent = nullptr);
    ~TOvcTextFileEditor() override;
    // True for a second view made from another editor.
    bool isTwin() const { return m_twin; }

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
    // Reads the document's file again as encoding (TextFileCodec::decodeAs);
    // false, the text unchanged, with the reason in *error when it cannot.
    bool ReopenWithEncoding(const QString& encoding, QString* error);
    // Every line end takes the style, as one undo step.
    void ConvertLineEnds(TextFileFormat::LineEnd style);
    void SaveFile(const QString& fileName) override;
    bool Modified() const override;
    void SetModified(bool modified) override;
    void SetBookmark(int number) override;
    void GotoBookmark(int number) override;
    QString LineText(int line) const override;
    QString RawLineText(int line) const override;
    const TagLineSource* tagLines() const override;

    // Language commands (TOvcTextFileEditor_lang.cpp).
    // Ctrl+/: the selection or the caret's line in a comment of its
    // language, or out of it again; one undo step.
    void ToggleComment();
    // Ctrl+E (Tab: only a likely one): the abbreviation before the caret
    // expanded; false when there is none.
    bool ExpandAbbreviation(bool onlyLikely = false);
    // The "Case" setting for completed and expanded tags ("U", "L", other:
    // as listed), fixed or read afresh each time from a source.
    void SetTagCase(const QString& caseSetting)
    {
        m_tagCase = [caseSetting] { return caseSetting; };
    }
    void SetTagCaseSource(std::function<QString()> source) { m_tagCase = std::move(source); }
    // ">" after an opening tag's name puts its closing tag after the caret.
    bool CloseOnGreater() const { return m_closeOnGreater; }
    void SetCloseOnGreater(bool on) { m_closeOnGreater = on; }
    // Completion lists while typing.
    bool CompletionOn() const { return m_completionOn; }
    void SetCompletionOn(bool on) { m_completionOn = on; }
    CompletionPopup* completionPopup() const { return m_completion; }
    int LineLength(int line) const override;
    int LineCount() const override;
    qint64 TextSize() const override;
    void FocusEditor() override;
    void BeginEditGroup() override;
    void EndEditGroup() override;

    QString RawText() const override;
    QString textForSaving(QByteArray* lineEnds) const override;
    void DeleteRanges(const QList<TextRange>& ranges) override;
    void ReplaceRanges(const QList<TextRange>& ranges, const QStringList& texts) override;
    // Replaces the whole text (one undo step), caret at 1:1.
    void SetRawText(const QString& text);

    // Published properties
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool on);
    // Lines wrap at the control's width; WrapColumn is kept for the program,
    // which sets it from the visible width.
    int WrapColumn() const { return m_wrapColumn; }
    void SetWrapColumn(int column);
    // Rows wrap at this column when it is set and narrower than the window
    // (0: at the window's width); a faint line is drawn at it.
    int WrapAtColumn() const { return m_wrapAt; }
    void SetWrapAtColumn(int column);
    // Guides: spaces, tabs and line ends made visible; indentation guides;
    // a marker at the start of each row a wrapped line goes on in.
    bool ShowWhitespace() const { return m_showWhitespace; }
    void SetShowWhitespace(bool on);
    bool IndentGuides() const { return m_indentGuides; }
    void SetIndentGuides(bool on);
    bool WrapMarkers() const { return m_wrapMarkers; }
    void SetWrapMarkers(bool on);
    // Rows a wrapped line goes on in start at its indentation (up to half a row).
    bool WrapIndent() const { return m_wrapIndent; }
    void SetWrapIndent(bool on);
    bool AutoIndent() const { return m_autoIndent; }
    void SetAutoIndent(bool on) { m_autoIndent = on; }
    TabType tabType() const { return m_tabType; }
    void SetTabType(TabType t) { m_tabType = t; }
    int TabSize() const { return m_tabSize; }
    void SetTabSize(int size);
    ScrollBars scrollBars() const { return m_scrollBars; }
    void SetScrollBars(ScrollBars s);
    bool InsertMode() const { return !m_overwrite; }
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
    void SetWantTab(bool on) { m_wantTab = on; }
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool on);

    // Format of the file last loaded or saved (new documents: UTF-8, CR LF).
    const TextFileFormat& fileFormat() const { return m_format; }
    void SetFileFormat(const TextFileFormat& format);
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

    // The text itself, for readers that scan it in chunks or take a snapshot.
    const TextBuffer& buffer() const { return m_buf; }
    // Forgets every undo and redo step.
    void ClearUndoHistory() override { m_buf.ClearHistory(); }

    // Caret and selection as offsets into RawText().
    qsizetype caretOffset() const;
    qsizetype anchorOffset() const;
    bool hasSelection() const { return caretOffset() != anchorOffset(); }
    // Selects from anchor to caret (clamped), and shows the caret.
    void setSelection(qsizetype anchor, qsizetype caret);
    // The selected text, line breaks as '\n'.
    QString selectedText() const;

    // Where the caret is drawn (viewport coordinates), and where an offset would be.
    QRect cursorRect() const;
    QRect cursorRect(qsizetype offset) const;
    int cursorWidth() const;
    // The offset nearest a point of the viewport.
    qsizetype offsetAt(const QPoint& viewportPos) const;
    qreal tabStopDistance() const;
    bool tabChangesFocus() const { return !m_wantTab; }
    // Rows the line (1-based) takes on screen.
    int displayRows(int line) const;
    // Line (0-based) shown at the top, and the tops of the lines that start on screen.
    int firstVisibleLine() const;
    std::vector<std::pair<int, int>> visibleLineTops() const;
    int lineHeight() const { return m_lineHeight; }
    // The set bookmarks: number and line (0-based).
    std::vector<std::pair<int, int>> bookmarkLines() const;
    // Marks beside lines in the gutter, for tools that report on the text
    // (problems found by a check): the line (0-based), a severity (0 the
    // gravest; the gravest of a line decides its colour) and a tool tip.
    struct LineMark {
        int line = 0;
        int severity = 0;
        QString toolTip;
    };
    void setLineMarks(std::vector<LineMark> marks);
    // Sorted by line.
    const std::vector<LineMark>& lineMarks() const { return m_lineMarks; }
    // The last text searched for: its matches are marked.
    QString searchMarkText() const;

    // Search as the Find dialog uses it. FindNext finds as SearchText does
    // and, finding nothing, goes on from the start of the text (backwards:
    // its end), or of the scope; *wrapped tells whether it did.
    bool FindNext(const QString& text, int flags, bool* wrapped = nullptr);
    // Marks every match of text (SearchFlags MatchCase, WholeWord, RegExp,
    // InSelection) without moving the caret; an empty text marks none.
    void MarkSearchMatches(const QString& text, int flags);
    void ClearSearchMarks();
    // The marked matches: how many, and the number of the selected one (0:
    // the selection is none of them). searchStatus() says it for the status
    // line: "3 of 17", "17 matches", "No matches".
    int searchMatchCount() const;
    int searchMatchNumber() const;
    QString searchStatus() const;
    // Why the last search found nothing because of its pattern ("" otherwise).
    QString searchError() const { return m_searchError; }
    // InSelection searches keep to the selection made when the scope was
    // set: by the first such search after ClearSearchScope.
    void ClearSearchScope();
    const SearchMarks& searchMarks() const { return *m_searchMarks; }

    // Folding. Lines are 0-based. The caret never stays in folded lines:
    // moved there by a search, Go to or a bookmark, it unfolds them.
    FoldModel& folds() { return *m_folds; }
    const FoldModel& folds() const { return *m_folds; }
    // Folds the region starting on line, or unfolds the fold there; false
    // when neither could be done.
    bool ToggleFold(int line);
    // Folds the innermost region around the caret / unfolds at the caret's line.
    bool FoldAtCaret();
    bool UnfoldAtCaret();
    void FoldAll();
    void UnfoldAll();
    // Regions nested deeper than level are folded, the others opened.
    void FoldToLevel(int level);
    // Folds the regions starting on these lines (kept from an earlier session).
    void RestoreFolds(const std::vector<int>& lines);
    // The fold markers' strip beside the line numbers.
    bool Folding() const;
    void SetFolding(bool on);
    bool isLineHidden(int line) const { return hiddenRangeOf(line) != nullptr; }

    // Several carets. Ctrl+click adds one, Ctrl+D the next occurrence of the
    // selection, Escape goes back to one; Alt+drag and Alt+Shift+arrows
    // select a block of columns (a caret a line). Typing, Backspace,
    // Delete, arrows, Home/End, copy, cut and paste act at every caret,
    // one undo step each.
    void AddCaret(qsizetype offset);
    bool AddNextOccurrence();
    void ClearExtraCarets();
    int caretCount() const;
    // Every caret, ordered (the editor's own one marked primary).
    std::vector<CaretSel> carets() const;
    // Selects the columns [column1, column2) of lines line1..line2 (0-based;
    // columns as shown: tabs to their stops, wide characters two).
    void SelectBlock(int line1, int column1, int line2, int column2);
    // Puts the carets at these places (the one marked primary, or the first,
    // becomes the editor's own).
    void SetCarets(const std::vector<CaretSel>& carets);

    // Scrolls so that the caret's row is in the middle of the view.
    void CentreCaret();

    // Quotes of attribute values and brackets close themselves when typed,
    // and typing the closing one steps over it.
    bool AutoPairs() const { return m_autoPairs; }
    void SetAutoPairs(bool on);

    // Editing view: colours, line numbers, the current line, the tag pair
    // around the caret and the closing tag offered after "</".
    HtmlHighlighter* highlighter() const { return m_highlighter.get(); }
    bool SyntaxHighlighting() const;
    void SetSyntaxHighlighting(bool on);
    bool LineNumbers() const;
    void SetLineNumbers(bool on);
    LineNumberGutter* gutter() const { return m_gutter; }
    bool AutoCloseTags() const { return m_autoCloseTags; }
    void SetAutoCloseTags(bool on) { m_autoCloseTags = on; }
    // The tags marked as the pair around the caret (none, or both).
    QList<TextRange> matchedTags() const { return m_tagMarks; }
    // The bracket or quote pair marked at the caret (none, or both).
    QList<TextRange> matchedBrackets() const { return m_bracketMarks; }
    // Works out the pair around the caret now rather than when idle.
    void refreshTagMatch();

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

signals:
    // A short notice for the status line (mixed line ends, very long lines).
    void notice(const QString& text);
    void textChanged();
    void cursorPositionChanged();
    void selectionChanged();
    void modificationChanged(bool modified);
    // A file was loaded (LoadFile): its name is fileName().
    void fileLoaded();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool event(QEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void timerEvent(QTimerEvent* e) override;
    bool focusNextPrevChild(bool next) override;
    // Plain text only, line breaks as '\n'.
    virtual QMimeData* createMimeDataFromSelection() const;
    // Puts the completely written new file in place of the old one; false
    // when that fails (the old file then stays as it was).
    virtual bool commitSave(QSaveFile& file) const;

private:
    friend class LineNumberGutter;
    // Long lines: the column at an offset every kColumnStep characters or so.
    struct ColumnMarks {
        std::vector<std::pair<qsizetype, qsizetype>> at;  // offset in the line, column
        bool tabs = false;
    };
    // A slice of a line laid out for drawing.
    struct RowLayout {
        std::unique_ptr<QTextLayout> layout;
        qreal x0 = 0;  // x of the slice's start from the text's left edge
        bool checkColours = false;  // moved along by an edit: its colours may have changed
    };
    // Which part of a line a row shows.
    struct Row {
        int line = 0;
        qsizetype start = 0;  // offsets within the line
        qsizetype end = 0;
    };

    // TextBufferListener
    void TextChanged(const TextBuffer& buffer, const TextChange& change) override;
    void ModifiedChanged(const TextBuffer& buffer, bool modified) override;

    // Geometry
    void updateMetrics();
    int wrapColumns() const;
    int wrapColumnsFor(int viewportWidth) const;
    // Both gutters' width for a text of so many lines.
    int gutterWidthFor(qsizetype lines) const;
    void recomputeAllRows();
    void rebuildRowIndex();
    qint64 rowOfLine(int line) const;             // first row of a line
    std::pair<int, int> lineOfRow(qint64 row) const;  // line, row within it
    qint64 totalRows() const;
    int rowsOfLine(int line) const;
    const std::vector<qsizetype>& rowStarts(int line) const;
    Row rowAt(int line, int rowInLine) const;
    int rowInLineOf(int line, qsizetype offsetInLine) const;
    int columnsOf(QStringView text) const;
    qsizetype columnOf(int line, qsizetype offsetInLine) const;
    const ColumnMarks& columnMarks(int line) const;
    // After an edit inside one line: its rows and columns worked out again
    // from near the edit, as far as they change.
    // Returns the first and last row of the line that changed.
    std::pair<int, int> resyncRows(int line, std::vector<qsizetype> old, const TextChange& c);
    void resyncColumns(int line, ColumnMarks old, const TextChange& c);
    qsizetype offsetOfColumn(int line, qsizetype column) const;
    RowLayout& layoutFor(const Row& row) const;
    qreal xOf(const Row& row, qsizetype offsetInLine) const;
    int visibleRows() const;
    int textLeft() const;  // x of column 0 in viewport coordinates
    void updateScrollBars();
    void ensureCaretVisible();
    void dropLayouts(int fromLine, int toLine);

    // Caret and editing
    void setCaret(qsizetype offset, bool keepAnchor = false);
    void caretMoved(bool keepGoalX = false);
    void checkLine(int line) const;
    // A file read, decoded and counted into rows for this view, ready to be
    // taken in. A large file is read on a worker while the events go on.
    struct LoadedFile;
    bool loadFile(const QString& fileName, const std::function<bool(const QByteArray&, DecodedText*)>& decode);
    void takeLoaded(const QString& fileName, LoadedFile& loaded);
    qsizetype offsetOf(int line, int column) const;  // clamped, never inside a surrogate pair
    void positionOf(qsizetype offset, int& line, int& column) const;
    void replaceSelection(const QString& text, EditKind kind = EditKind::Plain);
    void removeRange(qsizetype from, qsizetype to, EditKind kind = EditKind::Plain);
    TextRange findMatch(const QString& text, int flags) const;
    void moveCaretByKey(QKeyEvent* e, bool& handled);
    qsizetype wordLeft(qsizetype from) const;
    qsizetype wordRight(qsizetype from) const;
    void selectWordAt(qsizetype offset);
    void selectLineAt(qsizetype offset);
    void indentSelection(bool unindent);
    // True when the selection runs over a line end or holds a whole line.
    bool selectsWholeLines() const;
    // Search scope for flags: kept, set from the selection, or dropped.
    void prepareScope(int flags);
    // Typing with auto pairs; false when text is no pair character.
    bool typePairChar(const QString& text);
    bool deletePair();
    void forgetPendingClosers();
    // Brackets and quotes around the caret joined to the tag marks.
    void addBracketMarks();
    // Several carets: the key handled at every caret (false: not one of theirs).
    bool multiCaretKey(QKeyEvent* e);
    void applyCarets(const std::vector<CaretSel>& carets);
    // The column of an offset as shown, and where a column lies on a line.
    qsizetype displayColumn(qsizetype offset) const;
    qsizetype offsetAtColumn(int line, qsizetype column) const;
    void updateBlock();
    void findBracketPair();
    void typeText(const QString& text);
    void startBlink();
    void clearBookmarks();
    void updateGutterGeometry();
    void updatePrimarySelection();
    void insertFromMime(const QMimeData* data, qsizetype at, bool moveFromSelf);
    void autoScrollStep();
    // Enter: a line end, and the line's indentation when AutoIndent is on.
    void insertLineBreak();
    void insertTabKey();
    // After "</" typed in text: the innermost open element's name and ">".
    void completeClosingTag();
    void paintRows(QPainter& p, const QRect& clip);
    // Folding: whether rows come from the tree (wrapped or folded), the
    // folded range holding a line, and the last line shown.
    bool rowTreeInUse() const;
    const std::pair<int, int>* hiddenRangeOf(int line) const;
    int lastShownLine() const;
    // After folds changed: rows, scroll range and drawing follow.
    void foldsChanged();
    // Keeps the caret out of folded lines: stepping over them when moved by
    // a key (m_keyStep: the direction), unfolding them when put there.
    void keepCaretOutOfFolds();
    // Columns of the line's indentation for its guides (blank lines: as
    // the lines around them).
    int guideIndent(int line) const;
    // Columns a wrapped line's later rows start at.
    qsizetype wrapHang(int line) const;
    void writeFile(const QString& fileName, const QByteArray& bytes) const;
    // A text interface for screen readers, and news of caret moves and edits for them.
    static void installAccessibility();
    void tellAccessibility(bool textChanged);

    TOvcTextFileEditor(std::shared_ptr<TextBuffer> buffer, bool twin, QWidget* parent);
    // The text, shared with a second view of it when the window is split.
    std::shared_ptr<TextBuffer> m_bufOwner;
    TextBuffer& m_buf;
    bool m_twin = false;
    int m_caretMark = -1;
    int m_anchorMark = -1;
    qreal m_goalX = -1;

    bool m_wordWrap = true;
    int m_wrapColumn = 0;
    int m_wrapAt = 0;
    bool m_showWhitespace = false;
    bool m_indentGuides = false;
    bool m_wrapMarkers = false;
    bool m_wrapIndent = false;
    bool m_autoIndent = true;
    TabType m_tabType = ttReal;
    int m_tabSize = 8;
    ScrollBars m_scrollBars = ssVertical;
    bool m_overwrite = false;
    bool m_makeBackup = false;
    QString m_backupExt = QStringLiteral("BAK");
    int m_rightMargin = 5;
    bool m_wantTab = true;
    bool m_readOnly = false;
    TextFileFormat m_format;
    FileStamp m_stamp;
    mutable SafeFile::WriteReport m_lastWrite;
    QString m_fileName;
    std::array<int, 10> m_bookmarks{};
    std::array<bool, 10> m_bookmarkSet{};
    int m_groupDepth = 0;

    // Metrics of the fixed-pitch font.
    qreal m_charWidth = 8;
    int m_lineHeight = 16;
    int m_ascent = 12;

    // Rows: per line (wrap on) with a Fenwick tree over them.
    std::vector<int> m_rowCount;
    std::vector<qint64> m_rowTree;
    int m_rowsWidth = -1;  // wrap width the counts were made for
    // Row counts made with a file's text, for the next whole-text change.
    std::vector<int> m_loadedRows;
    int m_loadedRowsWidth = -1;
    bool m_loading = false;
    qsizetype m_maxColumns = 0;
    mutable std::map<int, std::vector<qsizetype>> m_rowStartCache;
    mutable std::map<int, ColumnMarks> m_columnMarks;
    mutable std::map<std::pair<int, qsizetype>, RowLayout> m_layouts;

    // Caret blink and mouse state
    int m_blinkTimer = 0;
    int m_autoScrollTimer = 0;
    bool m_caretVisible = true;
    int m_clickCount = 0;
    qint64 m_lastClickTime = 0;
    QPoint m_lastClickPos;
    QPoint m_pressPos;
    bool m_mayDrag = false;
    bool m_selecting = false;
    qsizetype m_selectOrigin = 0;      // word or line selections grow from here
    qsizetype m_selectOriginEnd = 0;
    qsizetype m_dropCaret = -1;
    // What the last paint showed, so that a move of the caret within a line repaints little.
    mutable QRect m_caretRectShown;
    mutable int m_caretLineShown = -1;
    mutable bool m_selectionShown = false;
    QString m_preedit;
    int m_preeditCursor = 0;

    std::unique_ptr<HtmlHighlighter> m_highlighter;
    // Language commands (TOvcTextFileEditor_lang.cpp).
    bool languageKey(QKeyEvent* e);
    bool completionKey(QKeyEvent* e);
    void afterTyping(const QString& text);
    void offerClosingTag();
    // Help that needs the page's states (or its tag pairs) far down a large
    // page, before the worker has them, waits for them instead of holding
    // up the key: it is given when they come, if the text and the caret
    // are as they were.
    enum Deferred : unsigned { DeferCloseTag = 1, DeferClosingTag = 2, DeferCompletion = 4 };
    bool readyOrDefer(int line, Deferred what);
    void runDeferred();
    unsigned m_deferred = 0;
    quint64 m_deferredRevision = 0;
    qsizetype m_deferredCaret = -1;
    void updateCompletion(bool typed);
    std::function<QString()> m_tagCase;
    QString tagCase() const { return m_tagCase ? m_tagCase() : QString(); }
    bool m_closeOnGreater = true;
    bool m_completionOn = true;
    CompletionPopup* m_completion = nullptr;
    LineNumberGutter* m_gutter = nullptr;
    QTimer* m_matchTimer = nullptr;
    QList<TextRange> m_tagMarks;
    bool m_autoCloseTags = true;
    std::vector<LineMark> m_lineMarks;
    // Search marks and scope; kept last: they listen to the buffer.
    std::unique_ptr<SearchMarks> m_searchMarks;
    QString m_searchError;
    bool m_scopeFresh = false;
    // Several carets and block selections.
    std::unique_ptr<CaretSet> m_carets;
    bool m_blockActive = false;
    int m_blockLine[2] = {0, 0};
    int m_blockColumn[2] = {0, 0};
    bool m_blockDragging = false;
    // Auto pairs: closing characters put in by typing, still to be typed over.
    bool m_autoPairs = false;
    // Folding (kept after the buffer: its folds are marks of it).
    std::unique_ptr<FoldModel> m_folds;
    std::vector<std::pair<int, int>> m_hiddenRanges;  // merged, ordered
    FoldGutter* m_foldGutter = nullptr;
    int m_keyStep = 0;
    mutable std::vector<std::pair<QRect, int>> m_foldMarkerRects;  // viewport, header line
    QList<TextRange> m_bracketMarks;
    std::vector<int> m_pendingClosers;
};
