#include "editor/TOvcTextFileEditor.h"

#include "app/AppError.h"
#include "app/KeyMap.h"
#include "app/FileStamp.h"
#include "app/PathUtil.h"
#include "app/SafeFile.h"
#include "app/UiPrompter.h"
#include "editor/HtmlHighlighter.h"
#include "editor/LineNumberGutter.h"
#include "editor/TagMatcher.h"
#include "editor/TextSearch.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPainter>
#include <QSaveFile>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>

namespace {

// A block whose preceding line break came from a character that the text
// document turns into a break (U+2029, U+FDD0, U+FDD1) rather than from a
// line end, or from a line end of another style than the file's usual one;
// saving writes that character or line end back. Splitting a block keeps the
// mark on its first part, whose break is unchanged, so a new line takes the
// usual style; deleting the break deletes the block and its mark. (Undoing
// such a deletion brings the break back as a usual line end: the undo
// history keeps no block data.)
class BreakMark : public QTextBlockUserData {
public:
    explicit BreakMark(QChar c, int style = -1) : ch(c), lineEnd(style) {}
    const QChar ch;     // null: a line end of style lineEnd
    const int lineEnd;
};

bool isBreakChar(char16_t c)
{
    return c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
}

// The hourglass while a file operation or search runs.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The whole text of the document holds U+2029 at every line break: a
// search text spanning lines is looked for in that form.
QString searchNeedle(const QString& text)
{
    QString needle = text;
    needle.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    needle.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    needle.replace(QLatin1Char('\n'), QChar::ParagraphSeparator);
    return needle;
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString expandTabs(const QString& text, int tabSize)
{
    if (!text.contains(QLatin1Char('\t')))
        return text;
    QString out;
    out.reserve(text.size() + 8 * tabSize);
    for (QChar c : text) {
        if (c == QLatin1Char('\t'))
            out.append(QString(tabSize - int(out.size() % tabSize), QLatin1Char(' ')));
        else
            out.append(c);
    }
    return out;
}

// Column, counted from 0, at which a character offset of text is shown.
int displayColumn(const QString& text, int offset, int tabSize)
{
    int col = 0;
    for (int i = 0; i < offset && i < text.size(); ++i)
        col = text.at(i) == QLatin1Char('\t') ? (col / tabSize + 1) * tabSize : col + 1;
    return col;
}

QByteArray readFile(const QString& fileName)
{
    const QFileInfo info(fileName);
    if (fileName.isEmpty())
        throw EFileError(QStringLiteral("No file name was given."));
    if (info.isDir())
        throw EFileError(QStringLiteral("Unable to open %1: it is a folder, not a file.").arg(shown(fileName)));
    // Devices and pipes could deliver without end.
    if (info.exists() && !info.isFile())
        throw EFileError(QStringLiteral("Unable to open %1: it is not a regular file.").arg(shown(fileName)));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFileError(QStringLiteral("Unable to open %1: %2.").arg(shown(fileName), file.errorString()));
    if (file.size() > TOvcTextFileEditor::MaxFileSize)
        throw EFileError(QStringLiteral("Unable to open %1: the file is too large (%2 MB).")
                             .arg(shown(fileName))
                             .arg(file.size() / (1024 * 1024)));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EFileError(QStringLiteral("Unable to read %1: %2.").arg(shown(fileName), file.errorString()));
    return bytes;
}

} // namespace

TOvcTextFileEditor::TOvcTextFileEditor(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(WidgetWidth);
    SetFixedFont(QFont(QStringLiteral("Courier New"), 10));
    SetColor(Qt::white);
    SetFixedFontColor(Qt::black);
    SetScrollBars(m_scrollBars);
    setTabChangesFocus(!m_wantTab);
    updateTabStops();
    updateCaretShape();
    document()->setModified(false);
    setupEditingView();
}

// ---------------------------------------------------------------- positions

void TOvcTextFileEditor::checkLine(int line) const
{
    if (line < 1 || line > document()->blockCount())
        throw EEditorError(QStringLiteral("Invalid line or paragraph index"));
}

QTextCursor TOvcTextFileEditor::cursorAt(int line, int column) const
{
    const QTextBlock block = document()->findBlockByNumber(line - 1);
    const int length = block.length() - 1;
    int offset = std::clamp(column, 1, length + 1) - 1;
    // Never between the two halves of a surrogate pair.
    if (offset > 0 && offset < length) {
        const QString text = block.text();
        if (text.at(offset - 1).isHighSurrogate() && text.at(offset).isLowSurrogate())
            --offset;
    }
    QTextCursor c(document());
    c.setPosition(block.position() + offset);
    return c;
}

namespace {
void positionOf(const QTextDocument* doc, int pos, int& line, int& column)
{
    const QTextBlock block = doc->findBlock(pos);
    line = block.blockNumber() + 1;
    column = pos - block.position() + 1;
}
} // namespace

bool TOvcTextFileEditor::SelectionRange(int& l1, int& c1, int& l2, int& c2) const
{
    const QTextCursor c = textCursor();
    positionOf(document(), c.selectionStart(), l1, c1);
    positionOf(document(), c.selectionEnd(), l2, c2);
    return c.hasSelection();
}

void TOvcTextFileEditor::SelectRange(int l1, int c1, int l2, int c2, bool caretAtEnd)
{
    if (document()->isEmpty())
        return;
    const int lines = document()->blockCount();
    const int from = cursorAt(std::clamp(l1, 1, lines), c1).position();
    const int to = cursorAt(std::clamp(l2, 1, lines), c2).position();
    QTextCursor c(document());
    c.setPosition(caretAtEnd ? from : to);
    c.setPosition(caretAtEnd ? to : from, QTextCursor::KeepAnchor);
    showCursor(c);
}

void TOvcTextFileEditor::CaretPosition(int& line, int& column) const
{
    positionOf(document(), textCursor().position(), line, column);
}

void TOvcTextFileEditor::MoveCaret(int line, int column)
{
    checkLine(line);
    if (column < 1)
        throw EEditorError(QStringLiteral("Invalid line or paragraph index"));
    showCursor(cursorAt(line, column));
}

void TOvcTextFileEditor::showCursor(const QTextCursor& c)
{
    setTextCursor(c);
    ensureCursorVisible();
}

// ---------------------------------------------------------------- editing

void TOvcTextFileEditor::markBreaks(int firstBlockNumber, QStringView text)
{
    // Counts breaks the way the text document makes them: CR LF, CR, LF,
    // U+2029, U+FDD0 and U+FDD1 each end a block.
    if (!text.contains(QChar(0x2029)) && !text.contains(QChar(0xFDD0)) && !text.contains(QChar(0xFDD1)))
        return;
    int breaks = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\n') {
            ++breaks;
        } else if (c == u'\r') {
            if (i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            ++breaks;
        } else if (isBreakChar(c)) {
            ++breaks;
            QTextBlock block = document()->findBlockByNumber(firstBlockNumber + breaks);
            if (block.isValid()) {
                block.setUserData(new BreakMark(QChar(c)));
                m_hasBreakMarks = true;
            }
        }
    }
}

void TOvcTextFileEditor::insertKeepingBreaks(QTextCursor& c, const QString& text)
{
    c.beginEditBlock();
    c.removeSelectedText();
    const int firstBlock = c.blockNumber();
    c.insertText(text);
    markBreaks(firstBlock, text);
    c.endEditBlock();
}

void TOvcTextFileEditor::InsertAtCaret(const QString& text)
{
    if (isReadOnly())
        return;
    QTextCursor c = textCursor();
    insertKeepingBreaks(c, text);
    showCursor(c);
}

void TOvcTextFileEditor::DeleteSelection()
{
    if (isReadOnly())
        return;
    QTextCursor c = textCursor();
    if (!c.hasSelection())
        return;
    c.removeSelectedText();
    showCursor(c);
}

void TOvcTextFileEditor::DeleteRanges(const QList<TextRange>& ranges)
{
    if (isReadOnly() || ranges.isEmpty())
        return;
    // Each removal is an edit block of its own, so each undoes on its own.
    // Every removal lays its line out again; meanwhile the lines are laid
    // out without text shaping, which a fixed-pitch font does not need and
    // which costs most of the time, and the glyphs are kept between the
    // layout and the cursor's look at it.
    QTextDocument* doc = document();
    const QFont shownFont = doc->defaultFont();
    QFont fast = shownFont;
    fast.setStyleStrategy(QFont::StyleStrategy(shownFont.styleStrategy() | QFont::PreferNoShaping));
    doc->setDefaultFont(fast);
    QTextCursor c(doc);
    qsizetype shift = 0;
    for (const TextRange& r : ranges) {
        const int end = doc->characterCount() - 1;
        const int from = int(std::clamp<qsizetype>(r.start - shift, 0, end));
        const int to = int(std::clamp<qsizetype>(r.start - shift + r.length, from, end));
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        // The block the removal starts in stays; later ones join it.
        QTextLayout* layout = doc->findBlock(from).layout();
        const bool cached = layout->cacheEnabled();
        layout->setCacheEnabled(true);
        c.removeSelectedText();
        layout->setCacheEnabled(cached);
        shift += to - from;
    }
    doc->setDefaultFont(shownFont);
    showCursor(c);
}

void TOvcTextFileEditor::UndoStep()
{
    if (isReadOnly() || !document()->isUndoAvailable()) {
        UiPrompter::instance().beep();
        return;
    }
    undo();
    ensureCursorVisible();
}

void TOvcTextFileEditor::RedoStep()
{
    if (isReadOnly() || !document()->isRedoAvailable()) {
        UiPrompter::instance().beep();
        return;
    }
    redo();
    ensureCursorVisible();
}

QString TOvcTextFileEditor::selectedPlainText() const
{
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

QMimeData* TOvcTextFileEditor::createMimeDataFromSelection() const
{
    auto* data = new QMimeData;
    data->setText(selectedPlainText());
    return data;
}

void TOvcTextFileEditor::CutSelection()
{
    if (isReadOnly() || !textCursor().hasSelection())
        return;
    QGuiApplication::clipboard()->setText(selectedPlainText());
    DeleteSelection();
}

void TOvcTextFileEditor::CopySelection()
{
    if (!textCursor().hasSelection())
        return;
    QGuiApplication::clipboard()->setText(selectedPlainText());
}

void TOvcTextFileEditor::PasteClipboard()
{
    if (isReadOnly())
        return;
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    // Clipboard text from elsewhere: a U+2029 in it becomes a line end.
    QTextCursor c = textCursor();
    c.insertText(text);
    showCursor(c);
}

void TOvcTextFileEditor::ClearAll()
{
    if (isReadOnly())
        return;
    QTextCursor c(document());
    c.select(QTextCursor::Document);
    c.removeSelectedText();
    clearBookmarks();
    showCursor(c);
}

QString TOvcTextFileEditor::RawText() const
{
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

void TOvcTextFileEditor::SetRawText(const QString& text)
{
    QTextCursor c(document());
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    insertKeepingBreaks(c, text);
    c.endEditBlock();
    clearBookmarks();
    showCursor(QTextCursor(document()));
}

// ---------------------------------------------------------------- search

QTextCursor TOvcTextFileEditor::findMatch(const QString& text, int flags) const
{
    QTextDocument* doc = document();
    const bool backward = flags & SearchFlags::Backward;
    const Qt::CaseSensitivity cs = (flags & SearchFlags::MatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const bool whole = flags & SearchFlags::WholeWord;
    const QTextCursor caret = textCursor();
    const int end = doc->characterCount() - 1;
    const int origin = (flags & SearchFlags::Global) ? (backward ? end : 0)
                     : (backward ? caret.selectionStart() : caret.selectionEnd());

    auto match = [doc](int pos, int length) {
        QTextCursor c(doc);
        c.setPosition(pos);
        c.setPosition(pos + length, QTextCursor::KeepAnchor);
        return c;
    };

    // A text spanning lines is looked for in the whole text.
    const QString needle = searchNeedle(text);
    if (needle.contains(QChar::ParagraphSeparator)) {
        const QString all = doc->toRawText();
        const qsizetype at = backward ? TextSearch::lastIndexOf(all, needle, origin, cs, whole)
                                      : TextSearch::indexOf(all, needle, origin, cs, whole);
        return at < 0 ? QTextCursor() : match(int(at), int(needle.size()));
    }

    // Otherwise block by block from the origin, so that a search near the
    // caret costs little however long the document is; a search that goes
    // on further takes the whole text once, which is faster from then on.
    // A match never spans blocks, and the U+2029 between them in the whole
    // text is no word character: both ways find the same matches.
    constexpr int kBlocksOneByOne = 1000;
    QTextBlock block = doc->findBlock(origin);
    int scanned = 0;
    if (!backward) {
        qsizetype from = origin - block.position();
        for (; block.isValid() && scanned < kBlocksOneByOne; block = block.next(), from = 0, ++scanned) {
            const qsizetype at = TextSearch::indexOf(block.text(), needle, from, cs, whole);
            if (at >= 0)
                return match(block.position() + int(at), int(needle.size()));
        }
        if (block.isValid()) {
            const qsizetype at = TextSearch::indexOf(doc->toRawText(), needle, block.position(), cs, whole);
            if (at >= 0)
                return match(int(at), int(needle.size()));
        }
    } else {
        qsizetype until = origin - block.position();
        for (; block.isValid() && scanned < kBlocksOneByOne;
             block = block.previous(), until = block.length(), ++scanned) {
            const qsizetype at = TextSearch::lastIndexOf(block.text(), needle, until, cs, whole);
            if (at >= 0)
                return match(block.position() + int(at), int(needle.size()));
        }
        if (block.isValid()) {
            const int blockEnd = block.position() + block.length() - 1;
            const qsizetype at = TextSearch::lastIndexOf(doc->toRawText(), needle, blockEnd, cs, whole);
            if (at >= 0)
                return match(int(at), int(needle.size()));
        }
    }
    return QTextCursor();
}

bool TOvcTextFileEditor::SearchText(const QString& text, int flags)
{
    if (text.isEmpty() || text.size() > MaxSearchLength)
        return false;
    BusyCursor busy;
    const QTextCursor found = findMatch(text, flags);
    if (found.isNull())
        return false;
    showCursor(found);
    return true;
}

int TOvcTextFileEditor::ReplaceText(const QString& text, const QString& replacement, int flags)
{
    if (isReadOnly() || text.isEmpty() || text.size() > MaxSearchLength
        || replacement.size() > MaxSearchLength)
        return 0;
    if (flags & SearchFlags::ReplaceAll) {
        BusyCursor busy;
        return replaceAll(text, replacement, flags);
    }
    if (!(flags & SearchFlags::ReplaceOne))
        return 0;
    BusyCursor busy;
    QTextCursor found = findMatch(text, flags);
    if (found.isNull())
        return 0;
    const int start = found.selectionStart();
    insertKeepingBreaks(found, replacement);
    // A backward search goes on from before the replacement.
    if (flags & SearchFlags::Backward)
        found.setPosition(start);
    showCursor(found);
    return 1;
}

int TOvcTextFileEditor::replaceAll(const QString& text, const QString& replacement, int flags)
{
    QTextDocument* doc = document();
    const bool backward = flags & SearchFlags::Backward;
    const QTextCursor caret = textCursor();
    int from = 0;
    int to = doc->characterCount() - 1;
    if (!(flags & SearchFlags::Global)) {
        if (backward)
            to = caret.selectionStart();
        else
            from = caret.selectionEnd();
    }

    const QString needle = searchNeedle(text);
    const Qt::CaseSensitivity cs = (flags & SearchFlags::MatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;

    // Matches are found in the whole text at once and replaced from the
    // last to the first, so that earlier positions stay valid, all in one
    // edit block: one undo step however many there are.
    const QList<qsizetype> found = [&] {
        const QString all = doc->toRawText();
        return TextSearch::findAll(all, needle, from, to, cs, flags & SearchFlags::WholeWord);
    }();
    if (found.isEmpty())
        return 0;
    QTextCursor c(doc);
    c.beginEditBlock();
    for (qsizetype i = found.size() - 1; i >= 0; --i) {
        c.setPosition(int(found[i]));
        c.setPosition(int(found[i] + needle.size()), QTextCursor::KeepAnchor);
        insertKeepingBreaks(c, replacement);
    }
    c.endEditBlock();
    return int(found.size());
}

// ---------------------------------------------------------------- files

void TOvcTextFileEditor::LoadFile(const QString& fileName)
{
    BusyCursor busy;
    const QByteArray bytes = readFile(fileName);
    DecodedText decoded = TextFileCodec::decode(bytes);
    const TextFileFormat& format = decoded.format;

    // Loading is not an edit: the text goes in without an undo record and
    // the history starts afresh.
    QTextDocument* doc = document();
    doc->setUndoRedoEnabled(false);
    {
        QTextCursor c(doc);
        c.beginEditBlock();
        c.select(QTextCursor::Document);
        c.removeSelectedText();
        m_hasBreakMarks = false;
        c.insertText(decoded.text);
        c.endEditBlock();
    }
    markBreaks(0, decoded.text);
    m_finalLineEnd = format.lineEnd;
    if (!decoded.lineEnds.isEmpty()) {
        // Lines whose end differs from the usual style remember their own.
        qsizetype k = 0;
        for (QTextBlock b = doc->begin().next(); b.isValid() && k < decoded.lineEnds.size(); b = b.next()) {
            if (dynamic_cast<const BreakMark*>(b.userData()))
                continue;  // a break from a character, not a line end
            const int style = decoded.lineEnds[k++];
            if (style != format.lineEnd) {
                b.setUserData(new BreakMark(QChar(), style));
                m_hasBreakMarks = true;
            }
        }
        if (k < decoded.lineEnds.size())
            m_finalLineEnd = TextFileFormat::LineEnd(decoded.lineEnds[k]);
    }
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
    m_format = format;
    m_fileName = fileName;
    m_stamp = FileStamp::of(fileName, bytes);
    decoded.text.clear();
    clearBookmarks();
    showCursor(QTextCursor(doc));
    horizontalScrollBar()->setValue(0);

    QStringList notes;
    if (format.mixedLineEnds) {
        QStringList styles;
        for (TextFileFormat::LineEnd e : {TextFileFormat::CRLF, TextFileFormat::LF, TextFileFormat::CR}) {
            if (format.lineEndCount[e] > 0)
                styles << TextFileCodec::lineEndName(e);
        }
        notes << QStringLiteral("The file mixes line ends (%1); each line keeps its own, new lines take %2.")
                     .arg(styles.join(QStringLiteral(", ")), TextFileCodec::lineEndName(format.lineEnd));
    }
    if (format.escapedBytes)
        notes << QStringLiteral("The file holds bytes that are not UTF-8; they are kept as they are.");
    if (format.longestLine > TextFileCodec::kLongLineWarning)
        notes << QStringLiteral("The file has very long lines (up to %1 characters); editing them may be slow.")
                     .arg(format.longestLine);
    if (!notes.isEmpty())
        emit notice(notes.join(QLatin1Char(' ')));
}

QString TOvcTextFileEditor::textForSaving(QByteArray* lineEnds) const
{
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    bool ownEnds = m_format.finalLineEnd && m_finalLineEnd != m_format.lineEnd;
    if (m_hasBreakMarks) {
        QChar* d = text.data();
        for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
            if (const auto* mark = dynamic_cast<const BreakMark*>(b.userData()); mark && b.position() > 0) {
                if (!mark->ch.isNull())
                    d[b.position() - 1] = mark->ch;
                else
                    ownEnds = true;
            }
        }
    }
    if (lineEnds && ownEnds) {
        lineEnds->clear();
        lineEnds->reserve(document()->blockCount());
        for (QTextBlock b = document()->begin().next(); b.isValid(); b = b.next()) {
            const auto* mark = dynamic_cast<const BreakMark*>(b.userData());
            if (!mark)
                lineEnds->append(char(m_format.lineEnd));
            else if (mark->ch.isNull())
                lineEnds->append(char(mark->lineEnd));
        }
        lineEnds->append(char(m_finalLineEnd));
    }
    return text;
}

void TOvcTextFileEditor::writeFile(const QString& fileName, const QByteArray& bytes) const
{
    SafeFile::Options options;
    if (m_makeBackup)
        options.backupExtension = m_backupExt;
    options.commit = [this](QSaveFile& file) { return commitSave(file); };
    options.report = &m_lastWrite;
    SafeFile::write(fileName, bytes, options);
}

bool TOvcTextFileEditor::commitSave(QSaveFile& file) const
{
    return file.commit();
}

bool TOvcTextFileEditor::CanEncodeText() const
{
    if (m_format.encoding != TextFileFormat::Windows1252 && m_format.encoding != TextFileFormat::Named)
        return true;
    return TextFileCodec::canEncode(textForSaving(nullptr), m_format);
}

void TOvcTextFileEditor::ConvertToUtf8()
{
    m_format.encoding = TextFileFormat::Utf8;
    m_format.charset.clear();
    m_format.bom = false;
    m_format.escapedBytes = false;
}

void TOvcTextFileEditor::SaveFile(const QString& fileName)
{
    BusyCursor busy;
    TextFileFormat format = m_format;
    QByteArray lineEnds;
    const QString text = textForSaving(&lineEnds);
    // Never a lossy file: the caller asks the user to convert first.
    if (!TextFileCodec::canEncode(text, format))
        throw EFileError(QStringLiteral("Unable to save %1: the text holds characters that %2 cannot store.")
                             .arg(shown(fileName), TextFileCodec::encodingName(format)));
    const QByteArray bytes = TextFileCodec::encode(text, format, lineEnds);
    writeFile(fileName, bytes);
    format.mixedLineEnds = !lineEnds.isEmpty() && std::any_of(lineEnds.cbegin(), lineEnds.cend(), [&](char e) {
        return e != char(format.lineEnd);
    });
    m_format = format;
    m_fileName = fileName;
    m_stamp = FileStamp::of(fileName, bytes);
    document()->setModified(false);
}

bool TOvcTextFileEditor::Modified() const
{
    return document()->isModified();
}

void TOvcTextFileEditor::SetModified(bool modified)
{
    document()->setModified(modified);
}

// ---------------------------------------------------------------- bookmarks

void TOvcTextFileEditor::BeginEditGroup()
{
    // An edit block belongs to the document, so changes through any cursor join it.
    if (m_groupDepth++ == 0) {
        // Undo puts the caret back where the group began.
        m_groupCursor = textCursor();
        m_groupCursor.beginEditBlock();
    }
}

void TOvcTextFileEditor::EndEditGroup()
{
    if (m_groupDepth > 0 && --m_groupDepth == 0)
        m_groupCursor.endEditBlock();
}

void TOvcTextFileEditor::SetBookmark(int number)
{
    if (number < 0 || number > 9)
        return;
    // A cursor of the document moves with the text around it.
    m_bookmarks[size_t(number)] = QTextCursor(document());
    m_bookmarks[size_t(number)].setPosition(textCursor().position());
    // Text typed at a bookmark goes after it: the mark stays where it was set.
    m_bookmarks[size_t(number)].setKeepPositionOnInsert(true);
    m_bookmarkSet[size_t(number)] = true;
}

void TOvcTextFileEditor::GotoBookmark(int number)
{
    if (number < 0 || number > 9 || !m_bookmarkSet[size_t(number)])
        return;
    QTextCursor c(document());
    c.setPosition(m_bookmarks[size_t(number)].position());
    showCursor(c);
}

void TOvcTextFileEditor::clearBookmarks()
{
    m_bookmarks.fill(QTextCursor());
    m_bookmarkSet.fill(false);
}

// ---------------------------------------------------------------- lines

QString TOvcTextFileEditor::LineText(int line) const
{
    checkLine(line);
    return expandTabs(document()->findBlockByNumber(line - 1).text(), m_tabSize);
}

QString TOvcTextFileEditor::RawLineText(int line) const
{
    checkLine(line);
    return document()->findBlockByNumber(line - 1).text();
}

int TOvcTextFileEditor::LineLength(int line) const
{
    return int(LineText(line).size());
}

int TOvcTextFileEditor::LineCount() const
{
    return document()->blockCount();
}

qint64 TOvcTextFileEditor::TextSize() const
{
    const QTextDocument* doc = document();
    return qint64(doc->characterCount() - 1) + qint64(doc->blockCount() - 1);
}

void TOvcTextFileEditor::FocusEditor()
{
    // The keyboard follows an insertion made from another window (a chooser,
    // a wizard): the document window and the main window come to the front
    // too, so what the user types next lands here.
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
            if (QMdiArea* area = sub->mdiArea(); area && area->activeSubWindow() != sub)
                area->setActiveSubWindow(sub);
            break;
        }
    }
    QWidget* top = window();
    if (top->isVisible() && QApplication::activeWindow() != top)
        top->activateWindow();
    setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------- properties

bool TOvcTextFileEditor::WordWrap() const
{
    return lineWrapMode() != NoWrap;
}

void TOvcTextFileEditor::SetWordWrap(bool on)
{
    setLineWrapMode(on ? WidgetWidth : NoWrap);
}

void TOvcTextFileEditor::SetWrapColumn(int column)
{
    m_wrapColumn = std::max(0, column);
}

void TOvcTextFileEditor::SetTabSize(int size)
{
    m_tabSize = std::clamp(size, 1, 64);
    updateTabStops();
}

void TOvcTextFileEditor::SetScrollBars(ScrollBars s)
{
    m_scrollBars = s;
    const bool horizontal = s == ssHorizontal || s == ssBoth;
    const bool vertical = s == ssVertical || s == ssBoth;
    setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TOvcTextFileEditor::SetInsertMode(bool on)
{
    setOverwriteMode(!on);
    updateCaretShape();
}

void TOvcTextFileEditor::SetFixedFont(const QFont& f)
{
    QFont font = f;
    // Falls back to another fixed-pitch face where the named one is missing.
    font.setStyleHint(QFont::TypeWriter);
    setFont(font);
    updateTabStops();
    updateCaretShape();
}

QColor TOvcTextFileEditor::FixedFontColor() const
{
    return palette().color(QPalette::Text);
}

void TOvcTextFileEditor::SetFixedFontColor(const QColor& c)
{
    QPalette p = palette();
    p.setColor(QPalette::Text, c);
    setPalette(p);
}

QColor TOvcTextFileEditor::Color() const
{
    return palette().color(QPalette::Base);
}

void TOvcTextFileEditor::SetColor(const QColor& c)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, c);
    setPalette(p);
    if (m_highlighter) {
        m_highlighter->setDarkBackground(c.lightness() < 128);
        updateMarks();
        viewport()->update();
    }
}

void TOvcTextFileEditor::SetWantTab(bool on)
{
    m_wantTab = on;
    setTabChangesFocus(!on);
}

void TOvcTextFileEditor::updateTabStops()
{
    setTabStopDistance(QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' ')) * m_tabSize);
}

void TOvcTextFileEditor::updateCaretShape()
{
    // A block as wide as a character while typing overwrites.
    const int charWidth = std::max(1, qRound(QFontMetricsF(font()).horizontalAdvance(QLatin1Char('M'))));
    setCursorWidth(overwriteMode() ? charWidth : 1);
}

// ---------------------------------------------------------------- keys

void TOvcTextFileEditor::insertLineBreak()
{
    QTextCursor c = textCursor();
    QTextCursor start(document());
    start.setPosition(c.selectionStart());
    const QString line = start.block().text();
    int indent = 0;
    while (m_autoIndent && indent < start.positionInBlock() && indent < line.size()
           && (line.at(indent) == QLatin1Char(' ') || line.at(indent) == QLatin1Char('\t')))
        ++indent;
    c.beginEditBlock();
    c.insertText(QLatin1Char('\n') + line.left(indent));
    c.endEditBlock();
    showCursor(c);
}

void TOvcTextFileEditor::insertTabKey()
{
    QTextCursor c = textCursor();
    QTextCursor start(document());
    start.setPosition(c.selectionStart());
    const int column = displayColumn(start.block().text(), start.positionInBlock(), m_tabSize);
    QString insert = QStringLiteral("\t");
    if (m_tabType == ttFixed) {
        insert = QString(m_tabSize - column % m_tabSize, QLatin1Char(' '));
    } else if (m_tabType == ttSmart && start.block().previous().isValid()) {
        // To the start of the next word of the line above, if it has one.
        const QString above = expandTabs(start.block().previous().text(), m_tabSize);
        int i = column;
        while (i < above.size() && !above.at(i).isSpace())
            ++i;
        while (i < above.size() && above.at(i).isSpace())
            ++i;
        if (i < above.size() && i > column)
            insert = QString(i - column, QLatin1Char(' '));
    }
    c.insertText(insert);
    showCursor(c);
}

bool TOvcTextFileEditor::event(QEvent* e)
{
    // Keys of the frame's key map (Ctrl+X, Ctrl+V, ...) run the frame's
    // commands, not the text control's own versions of them.
    if (e->type() == QEvent::ShortcutOverride
        && KeyMap::claims(static_cast<QKeyEvent*>(e)->keyCombination())) {
        e->ignore();
        return true;
    }
    return QPlainTextEdit::event(e);
}

void TOvcTextFileEditor::keyPressEvent(QKeyEvent* e)
{
    // The control's own keys run the same operations as the program's
    // commands, so they beep, keep to plain text and respect ReadOnly alike.
    if (e->matches(QKeySequence::Undo)) {
        UndoStep();
    } else if (e->matches(QKeySequence::Redo)) {
        RedoStep();
    } else if (e->matches(QKeySequence::Cut)) {
        CutSelection();
    } else if (e->matches(QKeySequence::Copy)) {
        CopySelection();
    } else if (e->matches(QKeySequence::Paste)) {
        PasteClipboard();
    } else {
        const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
        const int key = e->key();
        if (key == Qt::Key_Insert && mods == Qt::NoModifier) {
            SetInsertMode(!InsertMode());
        } else if (!isReadOnly() && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)
                   && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            // Shift+Enter too: the text control would put U+2028 into the file.
            insertLineBreak();
        } else if (key == Qt::Key_Tab && mods == Qt::NoModifier && !m_wantTab) {
            // Not for the text even where no other control can take the focus.
            e->ignore();
            return;
        } else if (!isReadOnly() && m_wantTab && key == Qt::Key_Tab && mods == Qt::NoModifier
                   && m_tabType != ttReal) {
            insertTabKey();
        } else if (!isReadOnly() && m_autoCloseTags && e->text() == QLatin1String("/")
                   && !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            QPlainTextEdit::keyPressEvent(e);
            completeClosingTag();
            return;
        } else {
            QPlainTextEdit::keyPressEvent(e);
            return;
        }
    }
    e->accept();
}

void TOvcTextFileEditor::resizeEvent(QResizeEvent* e)
{
    QPlainTextEdit::resizeEvent(e);
    updateGutterGeometry();
}

void TOvcTextFileEditor::changeEvent(QEvent* e)
{
    QPlainTextEdit::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        updateTabStops();
        updateCaretShape();
        updateGutterGeometry();
    }
}

// ---------------------------------------------------------------- editing view

namespace {

// The document's blocks, with the states the highlighter knows.
class BlockLines : public TagLineSource {
public:
    BlockLines(const QTextDocument* doc, HtmlHighlighter* h) : m_doc(doc), m_h(h) {}
    int lineCount() const override { return m_doc->blockCount(); }
    QString lineText(int line) const override { return m_doc->findBlockByNumber(line).text(); }
    int startState(int line) const override { return m_h->startState(line); }

private:
    const QTextDocument* m_doc;
    HtmlHighlighter* m_h;
};

// How far the marks and "</" look for the other tag (the command has no limit).
constexpr int kMatchLines = 3000;
constexpr int kCloseLines = 20000;

} // namespace

void TOvcTextFileEditor::setupEditingView()
{
    m_highlighter = new HtmlHighlighter(document());
    m_highlighter->setDarkBackground(Color().lightness() < 128);
    m_gutter = new LineNumberGutter(this);
    m_matchTimer = new QTimer(this);
    m_matchTimer->setSingleShot(true);
    m_matchTimer->setInterval(0);
    connect(m_matchTimer, &QTimer::timeout, this, &TOvcTextFileEditor::refreshTagMatch);
    connect(this, &QPlainTextEdit::blockCountChanged, this, [this] {
        if (m_gutter->neededWidth() != viewportMargins().left())
            updateGutterGeometry();
    });
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& r, int dy) {
        if (dy)
            m_gutter->scroll(0, dy);
        else
            m_gutter->update(0, r.y(), m_gutter->width(), r.height());
    });
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        updateMarks();
        m_matchTimer->start();
        m_gutter->update();
    });
    connect(document(), &QTextDocument::contentsChanged, m_matchTimer, qOverload<>(&QTimer::start));
    updateGutterGeometry();
    updateMarks();
}

bool TOvcTextFileEditor::SyntaxHighlighting() const
{
    return m_highlighter->isEnabled();
}

void TOvcTextFileEditor::SetSyntaxHighlighting(bool on)
{
    m_highlighter->setEnabled(on);
    viewport()->update();
}

bool TOvcTextFileEditor::LineNumbers() const
{
    return !m_gutter->isHidden();
}

void TOvcTextFileEditor::SetLineNumbers(bool on)
{
    m_gutter->setVisible(on);
    updateGutterGeometry();
}

void TOvcTextFileEditor::updateGutterGeometry()
{
    if (!m_gutter)
        return;
    const int w = m_gutter->neededWidth();
    setViewportMargins(w, 0, 0, 0);
    const QRect cr = contentsRect();
    m_gutter->setGeometry(cr.left(), cr.top(), w, cr.height());
    m_gutter->update();
}

void TOvcTextFileEditor::paintEvent(QPaintEvent* e)
{
    // Colours the blocks about to be drawn, and only those.
    if (m_highlighter->isEnabled()) {
        QTextBlock b = firstVisibleBlock();
        const int first = b.blockNumber();
        int last = first;
        const qreal height = viewport()->height();
        qreal top = blockBoundingGeometry(b).translated(contentOffset()).top();
        for (; b.isValid() && top <= height; b = b.next()) {
            last = b.blockNumber();
            top += blockBoundingRect(b).height();
        }
        m_highlighter->highlight(first, last);
    }
    QPlainTextEdit::paintEvent(e);
}

void TOvcTextFileEditor::updateMarks()
{
    const QColor base = Color();
    const bool dark = base.lightness() < 128;
    QList<QTextEdit::ExtraSelection> marks;
    QTextEdit::ExtraSelection line;
    line.format.setBackground(dark ? base.lighter(135) : QColor(0xEE, 0xF3, 0xFA));
    line.format.setProperty(QTextFormat::FullWidthSelection, true);
    line.cursor = textCursor();
    line.cursor.clearSelection();
    marks << line;
    for (const QTextCursor& c : std::as_const(m_tagMarks)) {
        QTextEdit::ExtraSelection tag;
        tag.format.setBackground(dark ? QColor(0x6B, 0x5A, 0x1E) : QColor(0xFF, 0xE2, 0x8A));
        tag.cursor = c;
        marks << tag;
    }
    setExtraSelections(marks);
}

void TOvcTextFileEditor::refreshTagMatch()
{
    m_matchTimer->stop();
    m_tagMarks.clear();
    const QTextCursor caret = textCursor();
    if (!caret.hasSelection()) {
        const BlockLines lines(document(), m_highlighter);
        const std::optional<TagRef> tag = TagMatcher::tagAt(lines, caret.blockNumber(), caret.positionInBlock());
        const std::optional<TagRef> other = tag ? TagMatcher::partner(lines, *tag, kMatchLines) : std::nullopt;
        if (other) {
            for (const TagRef& t : {*tag, *other}) {
                const int at = document()->findBlockByNumber(t.line).position();
                QTextCursor c(document());
                c.setPosition(at + t.start);
                c.setPosition(at + t.nameEnd, QTextCursor::KeepAnchor);
                m_tagMarks << c;
            }
        }
    }
    updateMarks();
}

void TOvcTextFileEditor::completeClosingTag()
{
    QTextCursor c = textCursor();
    if (c.hasSelection())
        return;
    const QTextBlock block = c.block();
    const int at = c.positionInBlock();
    const QString text = block.text();
    if (at < 2 || text.at(at - 2) != QLatin1Char('<') || text.at(at - 1) != QLatin1Char('/'))
        return;
    // Only in the page's text: not in a tag, a comment or a script.
    const int state = Html::HtmlTokenizer::tokenize(QStringView(text).left(at - 2),
                                                    m_highlighter->startState(block.blockNumber()), nullptr);
    if (!Html::HtmlTokenizer::isTextState(state))
        return;
    const BlockLines lines(document(), m_highlighter);
    const QString name = TagMatcher::innermostOpen(lines, block.blockNumber(), at - 2, kCloseLines);
    if (name.isEmpty())
        return;
    // Its own undo step: undo takes back the completion and keeps "</".
    c.beginEditBlock();
    c.insertText(name + QLatin1Char('>'));
    c.endEditBlock();
    showCursor(c);
}
