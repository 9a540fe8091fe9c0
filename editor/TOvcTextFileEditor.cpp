#include "editor/TOvcTextFileEditor.h"
#include "editor/MemoryRelease.h"

#include "app/AppError.h"
#include "app/BackgroundTask.h"
#include "app/BusyCursor.h"
#include "app/KeyMap.h"
#include "app/FileStamp.h"
#include "app/PathUtil.h"
#include "app/SafeFile.h"
#include "app/UiPrompter.h"
#include "editor/HtmlHighlighter.h"
#include "editor/AutoPairs.h"
#include "editor/CaretSet.h"
#include "editor/FoldGutter.h"
#include "editor/FoldModel.h"
#include "editor/LineNumberGutter.h"
#include "editor/SearchMarks.h"
#include "editor/TagMatcher.h"
#include "editor/FileTypes.h"
#include "editor/TextSearch.h"
#include "editor/ViewGuides.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QDrag>
#include <QFile>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QSaveFile>
#include <QScrollBar>
#include <QStyle>
#include <QStyleHints>
#include <QTextLayout>
#include <QTimer>
#include <QtMath>

#include <algorithm>
#include <climits>
#include <tuple>
#include <limits>

namespace {

// Room between the viewport's edge and the text.
constexpr int kMargin = 4;
// Lines longer than this are laid out, without wrap, only around what is shown.
constexpr qsizetype kLongLine = 2000;
// Long lines keep their column every so many characters.
constexpr qsizetype kColumnStep = 1024;
// Files from this size on are read and decoded on a worker.
constexpr qint64 kLoadOnWorker = qint64(8) * 1024 * 1024;

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Text from outside (the program, the clipboard, a drop) with its line ends as '\n'.
QString plainLines(QString text)
{
    if (text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    return text;
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

bool isWide(char16_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF)
        || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF)
        || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F)
        || (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6);
}

// Columns a character takes at column col: tabs to the next stop, East
// Asian wide characters (and those outside the BMP) two, combining marks none.
inline int charColumns(char16_t c, qsizetype col, int tab)
{
    if (c < 0x300)
        return c == u'\t' ? tab - int(col % tab) : 1;
    if (QChar::isLowSurrogate(c))
        return 0;
    if (QChar::isHighSurrogate(c) || isWide(c))
        return 2;
    if (c >= 0x200B && c <= 0x200F)
        return 0;
    const QChar::Category cat = QChar::category(char32_t(c));
    return cat == QChar::Mark_NonSpacing || cat == QChar::Mark_Enclosing ? 0 : 1;
}

// Breaks a line into rows of at most width columns, after the last space
// of a row when it has one, else where the row is full.
struct RowBreaker {
    int width = 80;
    int tab = 8;
    // Rows after a line's first start at its indentation (at most half a row).
    bool indentWrapped = false;
    qsizetype col = 0;
    qsizetype pos = 0;
    qsizetype rowStart = 0;
    qsizetype lastBreak = -1;
    qsizetype colAtBreak = 0;
    int rows = 1;
    qsizetype hang = 0;     // column the line's later rows start at
    qsizetype rowHang = 0;  // that of the current row (0 on the first)
    bool leading = true;    // still in the line's leading blanks
    std::vector<qsizetype>* starts = nullptr;

    void reset()
    {
        col = pos = rowStart = colAtBreak = 0;
        lastBreak = -1;
        rows = 1;
        hang = rowHang = 0;
        leading = true;
    }
    void feed(char16_t c)
    {
        if (leading && c != u' ' && c != u'\t') {
            leading = false;
            if (indentWrapped)
                hang = std::min<qsizetype>(col, width / 2);
        }
        int w = charColumns(c, col - rowHang, tab);
        while (w > 0 && col > rowHang && col + w > width) {
            if (lastBreak > rowStart) {
                rowStart = lastBreak;
                col = col - colAtBreak + hang;
            } else {
                rowStart = pos;
                col = hang;
            }
            rowHang = hang;
            lastBreak = -1;
            ++rows;
            if (starts)
                starts->push_back(rowStart);
            if (c == u'\t')
                w = tab - int((col - rowHang) % tab);
        }
        col += w;
        ++pos;
        if (c == u' ' || c == u'\t') {
            lastBreak = pos;
            colAtBreak = col;
        }
    }
};

// Row counts of the lines of [from, to) (from at a line's start), in order.
// A line of plain characters (below U+0300) whose columns fit in a row is
// one row without breaking it character by character.
void countRows(const TextSnapshot& t, qsizetype from, qsizetype to, int width, int tab, bool indentWrapped,
               std::vector<int>& out)
{
    RowBreaker rb;
    rb.width = width;
    rb.tab = tab;
    rb.indentWrapped = indentWrapped;
    TextSnapshot::ChunkReader reader(t, from, to);
    QStringView chunk;
    while (reader.Next(&chunk)) {
        const char16_t* p = chunk.utf16();
        const qsizetype n = chunk.size();
        qsizetype i = 0;
        while (i < n) {
            const qsizetype found = chunk.indexOf(u'\n', i);
            const qsizetype end = found < 0 ? n : found;
            const bool lineEnds = end < n;
            if (rb.pos == 0 && lineEnds && end - i <= width) {
                unsigned plain = 1;
                for (qsizetype j = i; j < end; ++j)
                    plain &= unsigned(p[j] < 0x300) & unsigned(p[j] != u'\t');
                if (!plain) {
                    // Tabs (indentation mostly): one row when its columns fit.
                    qsizetype col = 0;
                    for (qsizetype j = i; j < end && plain == 0 && col <= width; ++j) {
                        if (p[j] >= 0x300)
                            plain = 2;
                        col += p[j] == u'\t' ? tab - col % tab : 1;
                    }
                    plain = plain == 0 && col <= width;
                }
                if (plain) {
                    out.push_back(1);
                    i = end + 1;
                    continue;
                }
            }
            for (qsizetype j = i; j < end; ++j)
                rb.feed(p[j]);
            if (!lineEnds)
                break;
            out.push_back(rb.rows);
            rb.reset();
            i = end + 1;
        }
    }
    out.push_back(rb.rows);
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
                             .arg(shown(fileName), QString::number(file.size() / (1024 * 1024))));
    // Read into room of the file's size (reading all grows by halves); a file
    // that grew meanwhile is read to its end.
    QByteArray bytes(file.size(), Qt::Uninitialized);
    qint64 got = 0;
    while (got < bytes.size()) {
        const qint64 n = file.read(bytes.data() + got, bytes.size() - got);
        if (n <= 0)
            break;
        got += n;
    }
    bytes.truncate(got);
    if (got == file.size() && file.error() == QFileDevice::NoError)
        bytes += file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EFileError(QStringLiteral("Unable to read %1: %2.").arg(shown(fileName), file.errorString()));
    return bytes;
}

} // namespace

TOvcTextFileEditor::TOvcTextFileEditor(QWidget* parent)
    : TOvcTextFileEditor(std::make_shared<TextBuffer>(), false, parent)
{
}

TOvcTextFileEditor::TOvcTextFileEditor(TOvcTextFileEditor& twin, QWidget* parent)
    : TOvcTextFileEditor(twin.m_bufOwner, true, parent)
{
    // As the first view looks and behaves.
    m_format = twin.m_format;
    m_fileName = twin.m_fileName;
    m_maxColumns = twin.m_maxColumns;
    m_readOnly = twin.m_readOnly;
    m_autoIndent = twin.m_autoIndent;
    m_tabType = twin.m_tabType;
    m_wantTab = twin.m_wantTab;
    m_autoCloseTags = twin.m_autoCloseTags;
    m_autoPairs = twin.m_autoPairs;
    SetColor(twin.Color());
    SetFixedFontColor(twin.FixedFontColor());
    SetFixedFont(twin.FixedFont());
    SetTabSize(twin.TabSize());
    SetSyntaxHighlighting(twin.SyntaxHighlighting());
    SetLineNumbers(twin.LineNumbers());
    SetFolding(twin.Folding());
    SetShowWhitespace(twin.ShowWhitespace());
    SetIndentGuides(twin.IndentGuides());
    SetWrapMarkers(twin.WrapMarkers());
    SetWrapAtColumn(twin.WrapAtColumn());
    SetWrapIndent(twin.WrapIndent());
    m_wordWrap = !twin.WordWrap();
    SetWordWrap(twin.WordWrap());
    setSelection(twin.anchorOffset(), twin.caretOffset());
}

TOvcTextFileEditor::TOvcTextFileEditor(std::shared_ptr<TextBuffer> buffer, bool twin, QWidget* parent)
    : QAbstractScrollArea(parent), m_bufOwner(std::move(buffer)), m_buf(*m_bufOwner), m_twin(twin)
{
    if (!twin)
        m_buf.SetText(QString(), m_format);
    m_buf.AddListener(this);
    m_caretMark = m_buf.AddMark(0, MarkSide::After);
    m_anchorMark = m_buf.AddMark(0, MarkSide::After);
    for (int& b : m_bookmarks)
        b = m_buf.AddMark(0, MarkSide::Before);
    m_highlighter = std::make_unique<HtmlHighlighter>(m_buf);

    installAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAcceptDrops(true);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setAcceptDrops(true);

    m_gutter = new LineNumberGutter(this);
    m_foldGutter = new FoldGutter(this);
    m_foldGutter->hide();
    m_matchTimer = new QTimer(this);
    m_matchTimer->setSingleShot(true);
    m_matchTimer->setInterval(0);
    connect(m_matchTimer, &QTimer::timeout, this, &TOvcTextFileEditor::refreshTagMatch);
    // Colours guessed far down a page are made again once the states are in.
    m_highlighter->setOnStatesReady([this] {
        m_layouts.clear();
        viewport()->update();
        if (m_foldGutter)
            m_foldGutter->update();
        m_matchTimer->start();
        runDeferred();
    });

    SetFixedFont(QFont(QStringLiteral("Courier New"), 10));
    SetColor(Qt::white);
    SetFixedFontColor(Qt::black);
    SetScrollBars(m_scrollBars);
    updateMetrics();
    updateGutterGeometry();
    m_searchMarks = std::make_unique<SearchMarks>(m_buf);
    m_folds = std::make_unique<FoldModel>(m_buf);
    m_carets = std::make_unique<CaretSet>(m_buf);
}

TOvcTextFileEditor::~TOvcTextFileEditor()
{
    m_buf.RemoveListener(this);
    // The text may live on in the other view: this one's marks go.
    m_buf.RemoveMark(m_caretMark);
    m_buf.RemoveMark(m_anchorMark);
    for (int b : m_bookmarks)
        m_buf.RemoveMark(b);
    forgetPendingClosers();
}

// ---------------------------------------------------------------- geometry

void TOvcTextFileEditor::updateMetrics()
{
    const QFontMetricsF fm(font());
    m_charWidth = fm.horizontalAdvance(QLatin1Char('M'));
    if (m_charWidth <= 0)
        m_charWidth = 8;
    m_lineHeight = std::max(1, qCeil(fm.height()));
    m_ascent = qCeil(fm.ascent());
}

int TOvcTextFileEditor::wrapColumns() const
{
    return wrapColumnsFor(viewport()->width());
}

int TOvcTextFileEditor::wrapColumnsFor(int viewportWidth) const
{
    const int window = std::max(10, int((viewportWidth - 2 * kMargin) / m_charWidth));
    return m_wrapAt > 0 ? std::min(window, std::max(10, m_wrapAt)) : window;
}

int TOvcTextFileEditor::gutterWidthFor(qsizetype lines) const
{
    return (m_gutter ? m_gutter->widthFor(lines) : 0) + (m_foldGutter ? m_foldGutter->neededWidth() : 0);
}

int TOvcTextFileEditor::visibleRows() const
{
    return std::max(1, viewport()->height() / m_lineHeight);
}

int TOvcTextFileEditor::textLeft() const
{
    return kMargin - (m_wordWrap ? 0 : horizontalScrollBar()->value());
}

void TOvcTextFileEditor::recomputeAllRows()
{
    m_rowStartCache.clear();
    m_layouts.clear();
    if (!m_wordWrap) {
        m_rowCount.clear();
        m_rowTree.clear();
        m_rowsWidth = -1;
        // Folded lines take no row: a line a row, the hidden ones none.
        if (!m_hiddenRanges.empty()) {
            m_rowCount.assign(size_t(m_buf.LineCount()), 1);
            rebuildRowIndex();
        }
        updateScrollBars();
        return;
    }
    m_rowsWidth = wrapColumns();
    const TextSnapshot& t = m_buf.Text();
    m_rowCount.clear();
    m_rowCount.reserve(size_t(t.LineCount()));
    countRows(t, 0, t.Length(), m_rowsWidth, m_tabSize, m_wrapIndent, m_rowCount);
    rebuildRowIndex();
    updateScrollBars();
}

void TOvcTextFileEditor::rebuildRowIndex()
{
    const size_t n = m_rowCount.size();
    m_rowTree.assign(n + 1, 0);
    auto hidden = m_hiddenRanges.begin();
    for (size_t i = 1; i <= n; ++i) {
        const int line = int(i) - 1;
        while (hidden != m_hiddenRanges.end() && hidden->second < line)
            ++hidden;
        const bool folded = hidden != m_hiddenRanges.end() && hidden->first <= line;
        m_rowTree[i] += folded ? 0 : m_rowCount[i - 1];
        const size_t j = i + (i & (~i + 1));
        if (j <= n)
            m_rowTree[j] += m_rowTree[i];
    }
}

qint64 TOvcTextFileEditor::rowOfLine(int line) const
{
    if (!rowTreeInUse())
        return line;
    qint64 sum = 0;
    for (size_t i = std::min<size_t>(size_t(std::max(line, 0)), m_rowCount.size()); i > 0; i &= i - 1)
        sum += m_rowTree[i];
    return sum;
}

std::pair<int, int> TOvcTextFileEditor::lineOfRow(qint64 row) const
{
    const int lines = int(m_buf.LineCount());
    row = std::max<qint64>(row, 0);
    if (!rowTreeInUse())
        return {int(std::min<qint64>(row, lines - 1)), 0};
    const size_t n = m_rowCount.size();
    size_t pos = 0;
    size_t step = 1;
    while (step * 2 <= n)
        step *= 2;
    qint64 rem = row;
    for (; step > 0; step >>= 1) {
        if (pos + step <= n && m_rowTree[pos + step] <= rem) {
            pos += step;
            rem -= m_rowTree[pos];
        }
    }
    if (pos >= n) {
        const int last = lastShownLine();
        return {last, rowsOfLine(last) - 1};
    }
    return {int(pos), int(rem)};
}

qint64 TOvcTextFileEditor::totalRows() const
{
    if (!rowTreeInUse())
        return m_buf.LineCount();
    return rowOfLine(int(m_rowCount.size()));
}

int TOvcTextFileEditor::rowsOfLine(int line) const
{
    if (!m_hiddenRanges.empty() && hiddenRangeOf(line))
        return 0;
    if (!m_wordWrap || line < 0 || size_t(line) >= m_rowCount.size())
        return 1;
    return m_rowCount[size_t(line)];
}

bool TOvcTextFileEditor::rowTreeInUse() const
{
    return (m_wordWrap || !m_hiddenRanges.empty()) && !m_rowTree.empty();
}

const std::pair<int, int>* TOvcTextFileEditor::hiddenRangeOf(int line) const
{
    const auto it = std::partition_point(m_hiddenRanges.begin(), m_hiddenRanges.end(),
                                         [line](const std::pair<int, int>& r) { return r.second < line; });
    return it != m_hiddenRanges.end() && it->first <= line ? &*it : nullptr;
}

int TOvcTextFileEditor::lastShownLine() const
{
    const int last = int(m_buf.LineCount()) - 1;
    const std::pair<int, int>* r = hiddenRangeOf(last);
    return r ? std::max(0, r->first - 1) : last;
}

int TOvcTextFileEditor::displayRows(int line) const
{
    return rowsOfLine(line - 1);
}

const std::vector<qsizetype>& TOvcTextFileEditor::rowStarts(int line) const
{
    static const std::vector<qsizetype> kWhole{0};
    if (!m_wordWrap)
        return kWhole;
    auto it = m_rowStartCache.find(line);
    if (it != m_rowStartCache.end())
        return it->second;
    std::vector<qsizetype> starts{0};
    RowBreaker rb;
    rb.width = m_rowsWidth > 0 ? m_rowsWidth : wrapColumns();
    rb.tab = m_tabSize;
    rb.indentWrapped = m_wrapIndent;
    rb.starts = &starts;
    const TextSnapshot& t = m_buf.Text();
    t.ForEachChunk(t.LineStart(line), t.LineEndOffset(line), [&](QStringView chunk) {
        for (QChar c : chunk)
            rb.feed(c.unicode());
        return true;
    });
    return m_rowStartCache.emplace(line, std::move(starts)).first->second;
}

TOvcTextFileEditor::Row TOvcTextFileEditor::rowAt(int line, int rowInLine) const
{
    Row r;
    r.line = line;
    const qsizetype length = m_buf.Text().LineLength(line);
    if (!m_wordWrap) {
        r.end = length;
        return r;
    }
    const std::vector<qsizetype>& s = rowStarts(line);
    rowInLine = std::clamp(rowInLine, 0, int(s.size()) - 1);
    r.start = s[size_t(rowInLine)];
    r.end = size_t(rowInLine + 1) < s.size() ? s[size_t(rowInLine + 1)] : length;
    return r;
}

int TOvcTextFileEditor::rowInLineOf(int line, qsizetype offsetInLine) const
{
    if (!m_wordWrap)
        return 0;
    const std::vector<qsizetype>& s = rowStarts(line);
    return int(std::upper_bound(s.begin(), s.end(), offsetInLine) - s.begin()) - 1;
}

int TOvcTextFileEditor::columnsOf(QStringView text) const
{
    qsizetype col = 0;
    for (QChar c : text)
        col += charColumns(c.unicode(), col, m_tabSize);
    return int(col);
}

const TOvcTextFileEditor::ColumnMarks& TOvcTextFileEditor::columnMarks(int line) const
{
    auto it = m_columnMarks.find(line);
    if (it != m_columnMarks.end())
        return it->second;
    const TextSnapshot& t = m_buf.Text();
    const qsizetype ls = t.LineStart(line);
    ColumnMarks m;
    m.at.emplace_back(0, 0);
    qsizetype c = 0, i = 0;
    t.ForEachChunk(ls, t.LineEndOffset(line), [&](QStringView chunk) {
        for (QChar ch : chunk) {
            const char16_t u = ch.unicode();
            m.tabs = m.tabs || u == u'\t';
            c += charColumns(u, c, m_tabSize);
            if (++i % kColumnStep == 0)
                m.at.emplace_back(i, c);
        }
        return true;
    });
    return m_columnMarks.emplace(line, std::move(m)).first->second;
}

qsizetype TOvcTextFileEditor::columnOf(int line, qsizetype offsetInLine) const
{
    const TextSnapshot& t = m_buf.Text();
    const qsizetype ls = t.LineStart(line);
    const qsizetype length = t.LineEndOffset(line) - ls;
    offsetInLine = std::clamp<qsizetype>(offsetInLine, 0, length);
    qsizetype col = 0;
    qsizetype from = 0;
    if (length > kLongLine) {
        const auto& at = columnMarks(line).at;
        auto it = std::upper_bound(at.begin(), at.end(), std::make_pair(offsetInLine, std::numeric_limits<qsizetype>::max()));
        --it;
        from = it->first;
        col = it->second;
    }
    t.ForEachChunk(ls + from, ls + offsetInLine, [&](QStringView chunk) {
        for (QChar ch : chunk)
            col += charColumns(ch.unicode(), col, m_tabSize);
        return true;
    });
    return col;
}

qsizetype TOvcTextFileEditor::offsetOfColumn(int line, qsizetype column) const
{
    const TextSnapshot& t = m_buf.Text();
    const qsizetype ls = t.LineStart(line);
    const qsizetype length = t.LineEndOffset(line) - ls;
    qsizetype col = 0, at = 0;
    if (length > kLongLine) {
        const auto& marks = columnMarks(line).at;
        const auto it = std::upper_bound(marks.begin(), marks.end(), column,
                                         [](qsizetype c, const std::pair<qsizetype, qsizetype>& m) { return c < m.second; });
        const size_t k = it == marks.begin() ? 0 : size_t(it - marks.begin()) - 1;
        at = marks[k].first;
        col = marks[k].second;
    }
    qsizetype result = length;
    t.ForEachChunk(ls + at, ls + length, [&](QStringView chunk) {
        for (QChar ch : chunk) {
            const int w = charColumns(ch.unicode(), col, m_tabSize);
            if (w > 0 && col + w / 2.0 > column) {
                result = at;
                return false;
            }
            col += w;
            ++at;
        }
        return true;
    });
    return result;
}

std::pair<int, int> TOvcTextFileEditor::resyncRows(int line, std::vector<qsizetype> old, const TextChange& c)
{
    const TextSnapshot& t = m_buf.Text();
    const qsizetype ls = t.LineStart(line);
    const qsizetype p = c.offset - ls;
    const qsizetype d = c.inserted - c.removed;
    const qsizetype editEnd = p + c.inserted;
    // From the start of the row before the edited one: the edit may let a
    // word move back up.
    size_t k = size_t(std::upper_bound(old.begin(), old.end(), p) - old.begin());
    k = k >= 2 ? k - 2 : 0;
    std::vector<qsizetype> rows(old.begin(), old.begin() + qsizetype(k) + 1);
    RowBreaker rb;
    rb.width = m_rowsWidth > 0 ? m_rowsWidth : wrapColumns();
    rb.tab = m_tabSize;
    rb.indentWrapped = m_wrapIndent;
    rb.pos = rb.rowStart = old[k];
    rb.starts = &rows;
    if (k > 0) {
        // Going on from a later row: past the indentation, at the row's hang.
        rb.leading = false;
        rb.hang = rb.rowHang = rb.col = wrapHang(line);
    }
    size_t tail = old.size();
    int lastChanged = INT_MAX;
    t.ForEachChunk(ls + old[k], t.LineEndOffset(line), [&](QStringView chunk) {
        for (QChar ch : chunk) {
            const size_t before = rows.size();
            rb.feed(ch.unicode());
            if (rows.size() == before || rows.back() < editEnd)
                continue;
            // A row that starts where one started before: the rest is as it was.
            const auto it = std::lower_bound(old.begin(), old.end(), rows.back() - d);
            if (it != old.end() && *it == rows.back() - d) {
                tail = size_t(it - old.begin()) + 1;
                lastChanged = int(rows.size()) - 2;
                return false;
            }
        }
        return true;
    });
    for (size_t j = tail; j < old.size(); ++j)
        rows.push_back(old[j] + d);
    m_rowStartCache[line] = std::move(rows);
    return {int(k), lastChanged};
}

void TOvcTextFileEditor::resyncColumns(int line, ColumnMarks old, const TextChange& c)
{
    const TextSnapshot& t = m_buf.Text();
    const qsizetype ls = t.LineStart(line);
    const qsizetype p = c.offset - ls;
    const qsizetype d = c.inserted - c.removed;
    // Much new text needs marks of its own: the line is counted again when next asked for.
    if (c.inserted > kColumnStep)
        return;
    bool tabs = old.tabs;
    t.ForEachChunk(c.offset, c.offset + c.inserted, [&](QStringView chunk) {
        tabs = tabs || chunk.contains(QLatin1Char('\t'));
        return !tabs;
    });
    // Columns after a tab depend on those before it: such lines are counted again.
    if (tabs)
        return;
    auto& at = old.at;
    const auto after = std::upper_bound(at.begin(), at.end(), std::make_pair(p + c.removed, std::numeric_limits<qsizetype>::max()));
    auto keep = std::upper_bound(at.begin(), at.end(), std::make_pair(p, std::numeric_limits<qsizetype>::max()));
    ColumnMarks m;
    m.at.assign(at.begin(), keep);
    if (after != at.end()) {
        // The first mark after the edit, counted again from the last one before it.
        qsizetype col = m.at.back().second;
        const qsizetype to = after->first + d;
        t.ForEachChunk(ls + m.at.back().first, ls + to, [&](QStringView chunk) {
            for (QChar ch : chunk)
                col += charColumns(ch.unicode(), col, m_tabSize);
            return true;
        });
        const qsizetype dc = col - after->second;
        for (auto it = after; it != at.end(); ++it)
            m.at.emplace_back(it->first + d, it->second + dc);
    }
    m_columnMarks[line] = std::move(m);
}

TOvcTextFileEditor::RowLayout& TOvcTextFileEditor::layoutFor(const Row& row) const
{
    const auto key = std::make_pair(row.line, row.start);
    auto it = m_layouts.find(key);
    if (it != m_layouts.end() && it->second.layout && it->second.layout->text().size() == row.end - row.start) {
        if (!it->second.checkColours)
            return it->second;
        // Kept when the colours are still the same (a long line's far rows).
        const QList<QTextLayout::FormatRange> now = m_highlighter->isEnabled()
            ? m_highlighter->formatsIn(row.line, row.start, row.end) : QList<QTextLayout::FormatRange>();
        const QList<QTextLayout::FormatRange> had = it->second.layout->formats();
        const bool same = now.size() == had.size()
                       && std::equal(now.begin(), now.end(), had.begin(), [](const auto& a, const auto& b) {
                              return a.start == b.start && a.length == b.length && a.format == b.format;
                          });
        if (same) {
            it->second.checkColours = false;
            return it->second;
        }
    }
    RowLayout& rl = m_layouts[key];
    rl.checkColours = false;
    const TextSnapshot& t = m_buf.Text();
    const QString text = t.Text(t.LineStart(row.line) + row.start, row.end - row.start);
    rl.layout = std::make_unique<QTextLayout>(text, font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(tabStopDistance());
    rl.layout->setTextOption(option);
    rl.layout->setCacheEnabled(true);
    if (m_highlighter->isEnabled() && HtmlHighlighter::isLongLine(t.LineLength(row.line))) {
        // A long line: the colours of this row alone, from the nearest checkpoint.
        rl.layout->setFormats(m_highlighter->formatsIn(row.line, row.start, row.end));
    } else if (m_highlighter->isEnabled()) {
        const QList<QTextLayout::FormatRange>& all = m_highlighter->lineFormats(row.line);
        QList<QTextLayout::FormatRange> mine;
        for (const QTextLayout::FormatRange& f : all) {
            const qsizetype a = std::max<qsizetype>(f.start, row.start);
            const qsizetype b = std::min<qsizetype>(f.start + f.length, row.end);
            if (a < b)
                mine.append(QTextLayout::FormatRange{int(a - row.start), int(b - a), f.format});
        }
        rl.layout->setFormats(mine);
    }
    rl.layout->beginLayout();
    QTextLine l = rl.layout->createLine();
    if (l.isValid()) {
        l.setLineWidth(1.0e7);
        l.setPosition(QPointF(0, 0));
    }
    rl.layout->endLayout();
    if (m_wordWrap)
        rl.x0 = row.start == 0 ? 0 : wrapHang(row.line) * m_charWidth;
    else
        rl.x0 = row.start == 0 ? 0 : columnOf(row.line, row.start) * m_charWidth;
    return rl;
}

qreal TOvcTextFileEditor::xOf(const Row& row, qsizetype offsetInLine) const
{
    if (!m_wordWrap && m_buf.Text().LineLength(row.line) > kLongLine)
        return columnOf(row.line, offsetInLine) * m_charWidth;
    RowLayout& rl = layoutFor(row);
    const QTextLine l = rl.layout->lineAt(0);
    if (!l.isValid())
        return rl.x0;
    return rl.x0 + l.cursorToX(int(std::clamp<qsizetype>(offsetInLine - row.start, 0, row.end - row.start)));
}

void TOvcTextFileEditor::dropLayouts(int fromLine, int toLine)
{
    for (auto it = m_layouts.lower_bound({fromLine, 0}); it != m_layouts.end() && it->first.first <= toLine;)
        it = m_layouts.erase(it);
}

void TOvcTextFileEditor::updateScrollBars()
{
    QScrollBar* v = verticalScrollBar();
    const int page = visibleRows();
    const qint64 rows = totalRows();
    v->setRange(0, int(std::clamp<qint64>(rows - page, 0, INT_MAX)));
    v->setPageStep(page);
    v->setSingleStep(1);
    QScrollBar* h = horizontalScrollBar();
    if (m_wordWrap) {
        h->setRange(0, 0);
    } else {
        // Text wider than the view scrolls a quarter of a view past its
        // end: typing at the end of the longest line then moves the view in
        // steps, not a column at every key.
        const qint64 width = qint64((m_maxColumns + 2) * m_charWidth) + 2 * kMargin;
        const qint64 beyond = width > viewport()->width() ? viewport()->width() / 4 : 0;
        h->setRange(0, int(std::clamp<qint64>(width - viewport()->width() + beyond, 0, INT_MAX)));
        h->setPageStep(viewport()->width());
        h->setSingleStep(std::max(1, qRound(m_charWidth * 2)));
    }
}

int TOvcTextFileEditor::firstVisibleLine() const
{
    return lineOfRow(verticalScrollBar()->value()).first;
}

std::vector<std::pair<int, int>> TOvcTextFileEditor::visibleLineTops() const
{
    std::vector<std::pair<int, int>> tops;
    auto [line, r] = lineOfRow(verticalScrollBar()->value());
    const int lines = int(m_buf.LineCount());
    const int h = viewport()->height();
    for (int y = 0; y < h && line < lines;) {
        if (const std::pair<int, int>* hidden = m_hiddenRanges.empty() ? nullptr : hiddenRangeOf(line)) {
            line = hidden->second + 1;
            r = 0;
            continue;
        }
        if (r == 0)
            tops.emplace_back(line, y);
        y += m_lineHeight * (rowsOfLine(line) - r);
        ++line;
        r = 0;
    }
    return tops;
}

QRect TOvcTextFileEditor::cursorRect(qsizetype offset) const
{
    const TextSnapshot& t = m_buf.Text();
    offset = std::clamp<qsizetype>(offset, 0, t.Length());
    const int line = int(t.LineOfOffset(offset));
    const qsizetype inLine = offset - t.LineStart(line);
    const int r = rowInLineOf(line, inLine);
    const qint64 row = rowOfLine(line) + r - verticalScrollBar()->value();
    const qreal x = xOf(rowAt(line, r), inLine);
    const qint64 y = row * m_lineHeight;
    return QRect(textLeft() + qRound(x), int(std::clamp<qint64>(y, -1000000, 1000000)), cursorWidth(), m_lineHeight);
}

QRect TOvcTextFileEditor::cursorRect() const
{
    return cursorRect(caretOffset());
}

int TOvcTextFileEditor::cursorWidth() const
{
    return m_overwrite ? std::max(1, qRound(m_charWidth)) : 1;
}

qreal TOvcTextFileEditor::tabStopDistance() const
{
    return QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' ')) * m_tabSize;
}

qsizetype TOvcTextFileEditor::offsetAt(const QPoint& pos) const
{
    const TextSnapshot& t = m_buf.Text();
    const qint64 row = verticalScrollBar()->value() + qint64(std::floor(qreal(pos.y()) / m_lineHeight));
    if (row < 0)
        return 0;
    if (row >= totalRows())
        return m_hiddenRanges.empty() ? t.Length() : t.LineEndOffset(lastShownLine());
    const auto [line, r] = lineOfRow(row);
    const Row rw = rowAt(line, r);
    const qsizetype ls = t.LineStart(line);
    const qreal x = pos.x() - textLeft();
    qsizetype at;
    if (!m_wordWrap && rw.end > kLongLine) {
        at = offsetOfColumn(line, qsizetype(std::max<qreal>(0, x) / m_charWidth + 0.5));
    } else {
        RowLayout& rl = layoutFor(rw);
        const QTextLine l = rl.layout->lineAt(0);
        at = rw.start + (l.isValid() ? l.xToCursor(x - rl.x0, QTextLine::CursorBetweenCharacters) : 0);
        // Past the end of a wrapped row: at its end, not at the next row's start.
        if (at >= rw.end && r + 1 < rowsOfLine(line) && rw.end > rw.start)
            at = rw.end - 1;
    }
    at = std::clamp<qsizetype>(at, 0, t.LineLength(line));
    if (at > 0 && t.CharAt(ls + at).isLowSurrogate())
        --at;
    return ls + at;
}

void TOvcTextFileEditor::ensureCaretVisible()
{
    const TextSnapshot& t = m_buf.Text();
    const qsizetype caret = caretOffset();
    const int line = int(t.LineOfOffset(caret));
    const qsizetype inLine = caret - t.LineStart(line);
    const int r = rowInLineOf(line, inLine);
    const qint64 row = rowOfLine(line) + r;
    QScrollBar* v = verticalScrollBar();
    const int page = visibleRows();
    if (row < v->value())
        v->setValue(int(row));
    else if (row >= v->value() + page)
        v->setValue(int(row - page + 1));
    if (!m_wordWrap) {
        QScrollBar* h = horizontalScrollBar();
        const int x = qRound(xOf(rowAt(line, r), inLine));
        const int room = viewport()->width() - 2 * kMargin;
        if (x > m_maxColumns * m_charWidth) {
            m_maxColumns = qsizetype(x / m_charWidth) + 1;
            updateScrollBars();
        }
        if (x < h->value())
            h->setValue(std::max(0, x - room / 4));
        else if (x > h->value() + room - qRound(m_charWidth))
            h->setValue(x - room + room / 4);
    }
}

// ---------------------------------------------------------------- positions

qsizetype TOvcTextFileEditor::caretOffset() const
{
    return m_buf.MarkOffset(m_caretMark);
}

qsizetype TOvcTextFileEditor::anchorOffset() const
{
    return m_buf.MarkOffset(m_anchorMark);
}

void TOvcTextFileEditor::setSelection(qsizetype anchor, qsizetype caret)
{
    const qsizetype n = m_buf.Length();
    m_buf.MoveMark(m_anchorMark, std::clamp<qsizetype>(anchor, 0, n));
    m_buf.MoveMark(m_caretMark, std::clamp<qsizetype>(caret, 0, n));
    caretMoved();
    ensureCaretVisible();
}

void TOvcTextFileEditor::setCaret(qsizetype offset, bool keepAnchor)
{
    offset = std::clamp<qsizetype>(offset, 0, m_buf.Length());
    const bool had = hasSelection();
    m_buf.MoveMark(m_caretMark, offset);
    if (!keepAnchor)
        m_buf.MoveMark(m_anchorMark, offset);
    caretMoved();
    ensureCaretVisible();
    if (had || hasSelection())
        emit selectionChanged();
}

void TOvcTextFileEditor::caretMoved(bool keepGoalX)
{
    keepCaretOutOfFolds();
    if (!keepGoalX)
        m_goalX = -1;
    m_caretVisible = true;
    startBlink();
    m_matchTimer->start();
    if (!m_pendingClosers.empty()
        && m_buf.Text().LineOfOffset(m_buf.MarkOffset(m_pendingClosers.front())) != m_buf.Text().LineOfOffset(caretOffset()))
        forgetPendingClosers();
    // Within the line shown as current and without a selection, only the
    // caret's old and new places are drawn again.
    const int line = int(m_buf.Text().LineOfOffset(caretOffset()));
    if (!hasSelection() && !m_selectionShown && line == m_caretLineShown && m_preedit.isEmpty()) {
        viewport()->update(m_caretRectShown.adjusted(-1, 0, 1, 0));
        viewport()->update(cursorRect().adjusted(-1, 0, 1, 0));
    } else {
        viewport()->update();
        if (line != m_caretLineShown)
            m_gutter->update();
    }
    tellAccessibility(false);
    emit cursorPositionChanged();
}

QString TOvcTextFileEditor::selectedText() const
{
    const qsizetype a = std::min(caretOffset(), anchorOffset());
    const qsizetype b = std::max(caretOffset(), anchorOffset());
    return m_buf.Text().Text(a, b - a);
}

void TOvcTextFileEditor::checkLine(int line) const
{
    if (line < 1 || line > m_buf.LineCount())
        throw EEditorError(QStringLiteral("Invalid line or paragraph index"));
}

qsizetype TOvcTextFileEditor::offsetOf(int line, int column) const
{
    const TextSnapshot& t = m_buf.Text();
    line = std::clamp<int>(line, 1, int(t.LineCount()));
    const qsizetype ls = t.LineStart(line - 1);
    const qsizetype length = t.LineEndOffset(line - 1) - ls;
    qsizetype offset = std::clamp<qsizetype>(column, 1, length + 1) - 1;
    // Never between the two halves of a surrogate pair.
    if (offset > 0 && offset < length && t.CharAt(ls + offset - 1).isHighSurrogate()
        && t.CharAt(ls + offset).isLowSurrogate())
        --offset;
    return ls + offset;
}

void TOvcTextFileEditor::positionOf(qsizetype offset, int& line, int& column) const
{
    const TextSnapshot& t = m_buf.Text();
    const qsizetype l = t.LineOfOffset(offset);
    line = int(l) + 1;
    column = int(offset - t.LineStart(l)) + 1;
}

bool TOvcTextFileEditor::SelectionRange(int& l1, int& c1, int& l2, int& c2) const
{
    const qsizetype a = std::min(caretOffset(), anchorOffset());
    const qsizetype b = std::max(caretOffset(), anchorOffset());
    positionOf(a, l1, c1);
    positionOf(b, l2, c2);
    return a != b;
}

void TOvcTextFileEditor::SelectRange(int l1, int c1, int l2, int c2, bool caretAtEnd)
{
    if (m_buf.Length() == 0)
        return;
    const qsizetype from = offsetOf(l1, c1);
    const qsizetype to = offsetOf(l2, c2);
    setSelection(caretAtEnd ? from : to, caretAtEnd ? to : from);
    updatePrimarySelection();
}

void TOvcTextFileEditor::CaretPosition(int& line, int& column) const
{
    positionOf(caretOffset(), line, column);
}

void TOvcTextFileEditor::MoveCaret(int line, int column)
{
    checkLine(line);
    if (column < 1)
        throw EEditorError(QStringLiteral("Invalid line or paragraph index"));
    setCaret(offsetOf(line, column));
}

// ---------------------------------------------------------------- editing

void TOvcTextFileEditor::replaceSelection(const QString& text, EditKind kind)
{
    const qsizetype a = std::min(caretOffset(), anchorOffset());
    const qsizetype b = std::max(caretOffset(), anchorOffset());
    m_buf.Replace(a, b - a, text, kind);
    setCaret(a + text.size());
}

void TOvcTextFileEditor::removeRange(qsizetype from, qsizetype to, EditKind kind)
{
    if (from > to)
        std::swap(from, to);
    from = std::max<qsizetype>(from, 0);
    to = std::min(to, m_buf.Length());
    if (from < to)
        m_buf.Remove(from, to - from, kind);
    setCaret(from);
}

void TOvcTextFileEditor::InsertAtCaret(const QString& text)
{
    if (m_readOnly)
        return;
    replaceSelection(plainLines(text));
}

void TOvcTextFileEditor::DeleteSelection()
{
    if (m_readOnly || !hasSelection())
        return;
    removeRange(caretOffset(), anchorOffset());
}

void TOvcTextFileEditor::DeleteRanges(const QList<TextRange>& ranges)
{
    if (m_readOnly || ranges.isEmpty())
        return;
    qsizetype removedBefore = 0;
    for (qsizetype i = 0; i + 1 < ranges.size(); ++i)
        removedBefore += ranges[i].length;
    const qsizetype caret = ranges.back().start - removedBefore;
    m_buf.DeleteRanges(ranges, false);
    setCaret(caret);
}

void TOvcTextFileEditor::ReplaceRanges(const QList<TextRange>& ranges, const QStringList& texts)
{
    if (m_readOnly || ranges.isEmpty() || ranges.size() != texts.size())
        return;
    qsizetype grownBefore = 0;
    for (qsizetype i = 0; i + 1 < ranges.size(); ++i)
        grownBefore += texts[i].size() - ranges[i].length;
    const qsizetype caret = ranges.back().start + grownBefore + texts.back().size();
    m_buf.ReplaceRanges(ranges, texts, false);
    setCaret(caret);
}

void TOvcTextFileEditor::UndoStep()
{
    if (m_readOnly || !m_buf.CanUndo()) {
        UiPrompter::instance().beep();
        return;
    }
    m_buf.Undo();
    setCaret(caretOffset());
}

void TOvcTextFileEditor::RedoStep()
{
    if (m_readOnly || !m_buf.CanRedo()) {
        UiPrompter::instance().beep();
        return;
    }
    m_buf.Redo();
    setCaret(caretOffset());
}

QMimeData* TOvcTextFileEditor::createMimeDataFromSelection() const
{
    auto* data = new QMimeData;
    data->setText(selectedText());
    return data;
}

void TOvcTextFileEditor::CutSelection()
{
    if (m_readOnly || !hasSelection())
        return;
    QGuiApplication::clipboard()->setText(selectedText());
    DeleteSelection();
}

void TOvcTextFileEditor::CopySelection()
{
    if (!hasSelection())
        return;
    QGuiApplication::clipboard()->setText(selectedText());
}

void TOvcTextFileEditor::PasteClipboard()
{
    if (m_readOnly)
        return;
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    replaceSelection(plainLines(text));
}

void TOvcTextFileEditor::ClearAll()
{
    if (m_readOnly)
        return;
    m_buf.Remove(0, m_buf.Length());
    clearBookmarks();
    setCaret(0);
}

QString TOvcTextFileEditor::RawText() const
{
    return m_buf.Text().RawText();
}

QString TOvcTextFileEditor::textForSaving(QByteArray* lineEnds) const
{
    // Every line keeps its own end in the buffer.
    const TextSnapshot text = m_buf.Text();
    if (lineEnds)
        *lineEnds = text.LineEnds();
    return text.RawText();
}

void TOvcTextFileEditor::SetRawText(const QString& text)
{
    m_buf.Replace(0, m_buf.Length(), plainLines(text));
    clearBookmarks();
    setCaret(0);
}

void TOvcTextFileEditor::BeginEditGroup()
{
    ++m_groupDepth;
    m_buf.BeginEditGroup();
}

void TOvcTextFileEditor::EndEditGroup()
{
    if (m_groupDepth > 0) {
        --m_groupDepth;
        m_buf.EndEditGroup();
    }
}

// ---------------------------------------------------------------- search

// ---------------------------------------------------------------- files

struct TOvcTextFileEditor::LoadedFile {
    TextFileFormat format;
    TextSnapshot text;
    FileStamp stamp;
    // Row counts of the lines when wrapping at rowsWidth columns.
    std::vector<int> rows;
    int rowsWidth = -1, tabSize = 0;
    bool wrapIndent = false;
};

void TOvcTextFileEditor::LoadFile(const QString& fileName)
{
    loadFile(fileName, [](const QByteArray& bytes, DecodedText* decoded) {
        *decoded = TextFileCodec::decode(bytes);
        return true;
    });
}

bool TOvcTextFileEditor::ReopenWithEncoding(const QString& encoding, QString* error)
{
    QString why;
    const bool done = loadFile(m_fileName, [&](const QByteArray& bytes, DecodedText* decoded) {
        return TextFileCodec::decodeAs(bytes, encoding, decoded, &why);
    });
    if (error)
        *error = why;
    return done;
}

bool TOvcTextFileEditor::loadFile(const QString& fileName,
                                  const std::function<bool(const QByteArray&, DecodedText*)>& decode)
{
    if (m_loading)
        throw EFileError(QStringLiteral("Unable to open %1: another file is still being opened in this window.")
                             .arg(shown(fileName)));
    BusyCursor busy;
    LoadedFile loaded;
    loaded.tabSize = m_tabSize;
    loaded.wrapIndent = m_wrapIndent;
    // The wrap width the view will have with the file in: its gutter is as
    // wide as the line count's digits, and a long text brings the scroll bar.
    std::array<int, 11> columnsByDigits{};
    if (m_wordWrap) {
        const int bar = verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded && !verticalScrollBar()->isVisible()
                            ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar())
                            : 0;
        const int around = viewport()->width() + viewportMargins().left() - bar;
        for (int digits = 1, lines = 1; digits < int(columnsByDigits.size()); ++digits, lines *= 10)
            columnsByDigits[size_t(digits)] = wrapColumnsFor(around - gutterWidthFor(lines));
    }
    bool decoded = false;
    const auto work = [&](BackgroundTask::Progress& progress) {
        QByteArray bytes = readFile(fileName);
        DecodedText text;
        if (progress.cancelled() || !decode(bytes, &text))
            return;
        loaded.stamp = FileStamp::of(fileName, bytes);
        bytes = QByteArray();
        loaded.format = text.format;
        loaded.text = TextBuffer::Prepare(text);
        text = DecodedText();
        if (m_wordWrap && !progress.cancelled()) {
            int digits = 1;
            for (qsizetype n = loaded.text.LineCount(); n >= 10 && digits + 1 < int(columnsByDigits.size()); n /= 10)
                ++digits;
            loaded.rowsWidth = columnsByDigits[size_t(digits)];
            countRows(loaded.text, 0, loaded.text.Length(), loaded.rowsWidth, loaded.tabSize, loaded.wrapIndent,
                      loaded.rows);
        }
        decoded = !progress.cancelled();
    };
    // A large file is read and decoded while the window goes on drawing;
    // what the user types meanwhile waits for the text.
    if (QFileInfo(fileName).size() < kLoadOnWorker) {
        BackgroundTask::Progress here;
        work(here);
    } else {
        const QPointer<TOvcTextFileEditor> self(this);
        m_loading = true;
        bool finished = false;
        try {
            finished = BackgroundTask::run(this, QStringLiteral("Opening %1").arg(shown(fileName)), work);
        } catch (...) {
            if (self)
                m_loading = false;
            throw;
        }
        if (!self)
            throw EFileError(QStringLiteral("Unable to open %1: its window was closed.").arg(shown(fileName)));
        m_loading = false;
        if (!finished)
            throw EFileError(QStringLiteral("Opening %1 was cancelled.").arg(shown(fileName)));
    }
    if (!decoded)
        return false;
    takeLoaded(fileName, loaded);
    MemoryRelease::afterWorkOn(m_buf.Length());
    return true;
}

void TOvcTextFileEditor::ConvertLineEnds(TextFileFormat::LineEnd style)
{
    if (m_readOnly)
        return;
    const qsizetype caret = caretOffset();
    m_buf.ConvertLineEnds(style);
    m_format.lineEnd = style;
    m_format.mixedLineEnds = false;
    setCaret(caret);
}

void TOvcTextFileEditor::takeLoaded(const QString& fileName, LoadedFile& loaded)
{
    const TextFileFormat format = loaded.format;
    // Loading is not an edit: the history starts afresh.
    m_maxColumns = format.longestLine;
    m_loadedRows.clear();
    m_loadedRowsWidth = -1;
    if (m_wordWrap && loaded.tabSize == m_tabSize && loaded.wrapIndent == m_wrapIndent &&
        qsizetype(loaded.rows.size()) == loaded.text.LineCount()) {
        m_loadedRows = std::move(loaded.rows);
        m_loadedRowsWidth = loaded.rowsWidth;
    }
    m_buf.Load(std::move(loaded.text), format);
    m_loadedRows.clear();
    m_loadedRowsWidth = -1;
    m_format = format;
    m_fileName = fileName;
    m_highlighter->setLanguage(FileTypes::languageOf(fileName));
    m_stamp = loaded.stamp;
    clearBookmarks();
    m_searchMarks->clear();
    m_searchMarks->clearScope();
    m_folds->unfoldAll();
    m_hiddenRanges.clear();
    horizontalScrollBar()->setValue(0);
    setCaret(0);
    emit modificationChanged(false);
    emit fileLoaded();

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
        notes << QStringLiteral("The file has very long lines (up to %1 characters).").arg(format.longestLine);
    if (!notes.isEmpty())
        emit notice(notes.join(QLatin1Char(' ')));
}

void TOvcTextFileEditor::SetFileFormat(const TextFileFormat& format)
{
    m_format = format;
    m_buf.SetDefaultLineEnd(format.lineEnd);
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
    return TextFileCodec::canEncode(RawText(), m_format);
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
    // Never a lossy file: the caller asks the user to convert first.
    if (!CanEncodeText())
        throw EFileError(QStringLiteral("Unable to save %1: the text holds characters that %2 cannot store.")
                             .arg(shown(fileName), TextFileCodec::encodingName(format)));
    const TextSnapshot text = m_buf.Snapshot();
    const QByteArray bytes = text.Encode(format);
    writeFile(fileName, bytes);
    format.mixedLineEnds = !text.LineEnds().isEmpty();
    m_format = format;
    m_fileName = fileName;
    m_highlighter->setLanguage(FileTypes::languageOf(fileName));
    m_stamp = FileStamp::of(fileName, bytes);
    m_buf.SetModified(false);
}

bool TOvcTextFileEditor::Modified() const
{
    return m_buf.Modified();
}

void TOvcTextFileEditor::SetModified(bool modified)
{
    m_buf.SetModified(modified);
}

// ---------------------------------------------------------------- bookmarks

void TOvcTextFileEditor::SetBookmark(int number)
{
    if (number < 0 || number > 9)
        return;
    // Text typed at a bookmark goes after it: the mark stays where it was set.
    m_buf.MoveMark(m_bookmarks[size_t(number)], caretOffset());
    m_bookmarkSet[size_t(number)] = true;
    m_gutter->update();
}

void TOvcTextFileEditor::GotoBookmark(int number)
{
    if (number < 0 || number > 9 || !m_bookmarkSet[size_t(number)])
        return;
    setCaret(m_buf.MarkOffset(m_bookmarks[size_t(number)]));
}

void TOvcTextFileEditor::clearBookmarks()
{
    m_bookmarkSet.fill(false);
    if (m_gutter)
        m_gutter->update();
}

std::vector<std::pair<int, int>> TOvcTextFileEditor::bookmarkLines() const
{
    std::vector<std::pair<int, int>> out;
    for (int n = 0; n < 10; ++n) {
        if (m_bookmarkSet[size_t(n)])
            out.emplace_back(n, int(m_buf.Text().LineOfOffset(m_buf.MarkOffset(m_bookmarks[size_t(n)]))));
    }
    return out;
}

// ---------------------------------------------------------------- lines

QString TOvcTextFileEditor::LineText(int line) const
{
    checkLine(line);
    return expandTabs(m_buf.Text().LineText(line - 1), m_tabSize);
}

QString TOvcTextFileEditor::RawLineText(int line) const
{
    checkLine(line);
    return m_buf.Text().LineText(line - 1);
}

int TOvcTextFileEditor::LineLength(int line) const
{
    checkLine(line);
    const TextSnapshot& t = m_buf.Text();
    const qsizetype ls = t.LineStart(line - 1);
    const qsizetype length = t.LineEndOffset(line - 1) - ls;
    // Tabs expanded, as LineText has it.
    qsizetype n = 0;
    t.ForEachChunk(ls, ls + length, [&](QStringView chunk) {
        for (QChar c : chunk)
            n = c == QLatin1Char('\t') ? (n / m_tabSize + 1) * m_tabSize : n + 1;
        return true;
    });
    return int(n);
}

int TOvcTextFileEditor::LineCount() const
{
    return int(m_buf.LineCount());
}

qint64 TOvcTextFileEditor::TextSize() const
{
    return qint64(m_buf.Length()) + qint64(m_buf.LineCount() - 1);
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

void TOvcTextFileEditor::SetWordWrap(bool on)
{
    if (on == m_wordWrap)
        return;
    m_wordWrap = on;
    horizontalScrollBar()->setValue(0);
    recomputeAllRows();
    ensureCaretVisible();
    viewport()->update();
    m_gutter->update();
}

void TOvcTextFileEditor::SetWrapColumn(int column)
{
    m_wrapColumn = std::max(0, column);
}

void TOvcTextFileEditor::SetTabSize(int size)
{
    m_tabSize = std::clamp(size, 1, 64);
    m_columnMarks.clear();
    recomputeAllRows();
    viewport()->update();
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
    m_overwrite = !on;
    viewport()->update();
}

void TOvcTextFileEditor::SetReadOnly(bool on)
{
    m_readOnly = on;
    viewport()->update();
}

void TOvcTextFileEditor::SetFixedFont(const QFont& f)
{
    QFont font = f;
    // Falls back to another fixed-pitch face where the named one is missing.
    font.setStyleHint(QFont::TypeWriter);
    font.setKerning(false);
    setFont(font);
    updateMetrics();
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
    viewport()->update();
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
    m_highlighter->setDarkBackground(c.lightness() < 128);
    m_layouts.clear();
    viewport()->update();
    if (m_gutter)
        m_gutter->update();
}

bool TOvcTextFileEditor::SyntaxHighlighting() const
{
    return m_highlighter->isEnabled();
}

void TOvcTextFileEditor::SetSyntaxHighlighting(bool on)
{
    if (on == m_highlighter->isEnabled())
        return;
    m_highlighter->setEnabled(on);
    m_layouts.clear();
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
    const int fw = m_foldGutter ? m_foldGutter->neededWidth() : 0;
    const QRect cr = contentsRect();
    if (viewportMargins().left() != w + fw)
        setViewportMargins(w + fw, 0, 0, 0);
    m_gutter->setGeometry(cr.left(), cr.top(), w, cr.height());
    m_gutter->update();
    if (m_foldGutter) {
        m_foldGutter->setGeometry(cr.left() + w, cr.top(), fw, cr.height());
        m_foldGutter->update();
    }
}

// ---------------------------------------------------------------- changes

void TOvcTextFileEditor::TextChanged(const TextBuffer&, const TextChange& c)
{
    const int first = int(c.firstLine);
    const bool oneLine = c.linesAdded == 0 && c.linesRemoved == 0;
    const TextSnapshot& t = m_buf.Text();
    const int lastNew = first + int(c.linesAdded);

    // Caches of lines at and below the change.
    auto dropFrom = [first](auto& map, int to) {
        for (auto it = map.lower_bound(first); it != map.end() && it->first <= to;)
            it = map.erase(it);
    };
    std::vector<qsizetype> oldRows;
    ColumnMarks oldColumns;
    bool haveRows = false, haveColumns = false;
    if (oneLine) {
        if (auto it = m_rowStartCache.find(first); it != m_rowStartCache.end() && m_wordWrap) {
            oldRows = std::move(it->second);
            haveRows = true;
        }
        if (auto it = m_columnMarks.find(first); it != m_columnMarks.end()) {
            oldColumns = std::move(it->second);
            haveColumns = true;
        }
    }
    dropFrom(m_rowStartCache, oneLine ? first : INT_MAX);
    dropFrom(m_columnMarks, oneLine ? first : INT_MAX);
    std::pair<int, int> changedRows{0, INT_MAX};
    const int rowsBefore = haveRows ? int(oldRows.size()) : -1;
    if (haveRows)
        changedRows = resyncRows(first, std::move(oldRows), c);
    if (haveColumns)
        resyncColumns(first, std::move(oldColumns), c);
    const int colourLast = m_highlighter->textChanged(c);
    const bool longLine = oneLine && HtmlHighlighter::isLongLine(t.LineLength(first));
    if (oneLine) {
        // Rows of the edited line before the edit keep their layouts; those
        // after it move along when their colours cannot have changed.
        const qsizetype p = c.offset - t.LineStart(first);
        const qsizetype d = c.inserted - c.removed;
        std::vector<std::pair<qsizetype, RowLayout>> moved;
        for (auto it = m_layouts.lower_bound({first, 0}); it != m_layouts.end() && it->first.first == first;) {
            const qsizetype s = it->first.second;
            const qsizetype length = it->second.layout ? it->second.layout->text().size() : 0;
            // (where colours may change, a token may reach back over rows: all go)
            if (s + length < p && (colourLast < first || longLine)) {
                ++it;
                continue;
            }
            if ((colourLast < first || longLine) && s >= p + c.removed && m_wordWrap) {
                it->second.checkColours = longLine && colourLast >= first;
                moved.emplace_back(s + d, std::move(it->second));
            }
            it = m_layouts.erase(it);
        }
        for (auto& [s, rl] : moved)
            m_layouts[{first, s}] = std::move(rl);
        if (colourLast > first)
            dropLayouts(first + 1, colourLast);
    } else {
        dropLayouts(first, INT_MAX);
    }

    // Folds moved with the text: the lines they hide now.
    if (!oneLine && m_folds && (!m_hiddenRanges.empty() || m_folds->foldCount() > 0)) {
        m_folds->prune();
        m_hiddenRanges = m_folds->hiddenLines();
    }
    if (!m_wordWrap && rowTreeInUse() && !oneLine) {
        const size_t from = std::min(size_t(first), m_rowCount.size());
        const size_t to = std::min(size_t(first) + size_t(c.linesRemoved) + 1, m_rowCount.size());
        m_rowCount.erase(m_rowCount.begin() + qsizetype(from), m_rowCount.begin() + qsizetype(to));
        m_rowCount.insert(m_rowCount.begin() + qsizetype(from), size_t(c.linesAdded + 1), 1);
        rebuildRowIndex();
    } else if (!m_wordWrap && !m_hiddenRanges.empty() && m_rowTree.empty()) {
        recomputeAllRows();
    }
    if (m_wordWrap && m_rowsWidth > 0) {
        if (oneLine && size_t(first) < m_rowCount.size()) {
            const int rows = int(rowStarts(first).size());
            const int delta = hiddenRangeOf(first) ? 0 : rows - m_rowCount[size_t(first)];
            m_rowCount[size_t(first)] = rows;
            if (delta)
                for (size_t i = size_t(first) + 1; i < m_rowTree.size(); i += i & (~i + 1))
                    m_rowTree[i] += delta;
        } else {
            std::vector<int> counts;
            if (first == 0 && m_loadedRowsWidth > 0 && qsizetype(m_loadedRows.size()) == t.LineCount()) {
                // Counted with the file's text, for the width the view has
                // once its gutter and scroll bar fit the text.
                counts = std::move(m_loadedRows);
                m_rowsWidth = m_loadedRowsWidth;
            } else {
                counts.reserve(size_t(c.linesAdded + 1));
                countRows(t, t.LineStart(first), t.LineEndOffset(lastNew), m_rowsWidth, m_tabSize, m_wrapIndent,
                          counts);
            }
            const size_t from = std::min(size_t(first), m_rowCount.size());
            const size_t to = std::min(size_t(first) + size_t(c.linesRemoved) + 1, m_rowCount.size());
            m_rowCount.erase(m_rowCount.begin() + qsizetype(from), m_rowCount.begin() + qsizetype(to));
            m_rowCount.insert(m_rowCount.begin() + qsizetype(from), counts.begin(), counts.end());
            rebuildRowIndex();
        }
    }
    if (!m_wordWrap && c.inserted < 4 * 1024 * 1024) {
        for (int l = first; l <= lastNew && l < first + 64; ++l)
            m_maxColumns = std::max(m_maxColumns, t.LineLength(l));
    }
    updateScrollBars();
    if (m_gutter && m_gutter->neededWidth() + (m_foldGutter ? m_foldGutter->neededWidth() : 0) != viewportMargins().left())
        updateGutterGeometry();
    m_preedit.clear();
    // An edit inside one line that keeps its rows repaints the rows it changed.
    const qint64 top = verticalScrollBar()->value();
    if (oneLine && !m_wordWrap) {
        viewport()->update(QRect(0, int(std::clamp<qint64>((first - top) * m_lineHeight, -m_lineHeight, INT_MAX / 2)),
                                 viewport()->width(), m_lineHeight));
    } else if (oneLine && haveRows && rowsBefore == rowsOfLine(first) && colourLast <= first) {
        // Where colours may change they may do so to the line's end.
        const int firstRow = colourLast < first || longLine ? changedRows.first : 0;
        const int lastRow = colourLast < first ? std::min(changedRows.second, rowsBefore - 1) : rowsBefore - 1;
        const qint64 from = rowOfLine(first) + firstRow - top;
        const qint64 to = std::min<qint64>(rowOfLine(first) + lastRow - top, visibleRows() + 1);
        const qint64 y = std::max<qint64>(from, -1) * m_lineHeight;
        if (to >= -1)
            viewport()->update(QRect(0, int(y), viewport()->width(), int((to + 1) * m_lineHeight - y)));
    } else {
        viewport()->update();
        if (m_gutter)
            m_gutter->update();
    }
    m_matchTimer->start();
    tellAccessibility(true);
    emit textChanged();
}

void TOvcTextFileEditor::ModifiedChanged(const TextBuffer&, bool modified)
{
    emit modificationChanged(modified);
}

// ---------------------------------------------------------------- painting

void TOvcTextFileEditor::paintEvent(QPaintEvent* e)
{
    QPainter p(viewport());
    paintRows(p, e->rect());
}

void TOvcTextFileEditor::paintRows(QPainter& p, const QRect& clip)
{
    const QColor base = Color();
    const bool dark = base.lightness() < 128;
    p.fillRect(clip, base);
    const TextSnapshot& t = m_buf.Text();
    const int lines = int(t.LineCount());
    const int width = viewport()->width();
    const int height = viewport()->height();
    const int left = textLeft();
    const qsizetype caret = caretOffset();
    const qsizetype selA = std::min(caret, anchorOffset());
    const qsizetype selB = std::max(caret, anchorOffset());
    const int caretLine = int(t.LineOfOffset(caret));
    const QColor lineColour = dark ? base.lighter(135) : QColor(0xEE, 0xF3, 0xFA);
    const QColor tagColour = dark ? QColor(0x6B, 0x5A, 0x1E) : QColor(0xFF, 0xE2, 0x8A);
    const QPalette& pal = palette();
    QTextCharFormat selFormat;
    selFormat.setBackground(pal.brush(QPalette::Active, QPalette::Highlight));
    selFormat.setForeground(pal.brush(QPalette::Active, QPalette::HighlightedText));
    QTextCharFormat tagFormat;
    tagFormat.setBackground(tagColour);
    QTextCharFormat matchFormat;
    matchFormat.setBackground(dark ? QColor(0x2E, 0x5A, 0x3A) : QColor(0xC8, 0xF0, 0xC8));
    // Every match of the last search is marked; the search scope is tinted.
    const std::vector<TextRange>& matches = m_searchMarks->matches();
    const bool scoped = m_searchMarks->hasScope();
    const auto [scopeA, scopeB] = m_searchMarks->scope();
    QTextCharFormat scopeFormat;
    scopeFormat.setBackground(dark ? QColor(0x33, 0x33, 0x55) : QColor(0xEC, 0xE8, 0xFF));
    p.setPen(FixedFontColor());
    p.setFont(font());

    const QList<TextRange> pairMarks = m_tagMarks + m_bracketMarks;
    m_foldMarkerRects.clear();
    const std::vector<CaretSel> extras = m_carets->extras();
    ViewGuides::Style guideStyle;
    guideStyle.ink = dark ? QColor(0x60, 0x60, 0x70) : QColor(0xC8, 0xC8, 0xD0);
    guideStyle.charWidth = m_charWidth;
    guideStyle.lineHeight = m_lineHeight;
    auto [line, r] = lineOfRow(verticalScrollBar()->value());
    const int firstLine = line;
    int y = 0;
    for (; y < height && line < lines; ++line, r = 0) {
        if (const std::pair<int, int>* hidden = m_hiddenRanges.empty() ? nullptr : hiddenRangeOf(line)) {
            line = hidden->second;
            continue;
        }
        const qsizetype ls = t.LineStart(line);
        const int rows = rowsOfLine(line);
        // Every line on screen gets its colours, drawn now or not.
        m_highlighter->lineFormats(line);
        for (; r < rows && y < height; ++r, y += m_lineHeight) {
            if (y + m_lineHeight <= clip.top() || y > clip.bottom())
                continue;
            Row row = rowAt(line, r);
            if (!m_wordWrap && row.end > kLongLine) {
                // Only the part of a long line that is shown, with some room.
                const qsizetype col = qsizetype(horizontalScrollBar()->value() / m_charWidth);
                const qsizetype from = offsetOfColumn(line, std::max<qsizetype>(0, col - 64));
                const qsizetype to = offsetOfColumn(line, col + qsizetype(width / m_charWidth) + 64);
                // Slices start on fixed steps, so that scrolling a little keeps them.
                row.start = std::max<qsizetype>(0, from - from % 256);
                row.end = std::min(row.end, to + 256 - to % 256);
                if (row.start < row.end && t.CharAt(ls + row.start).isLowSurrogate())
                    ++row.start;
            }
            if (line == caretLine)
                p.fillRect(QRect(0, y, width, m_lineHeight), lineColour);
            RowLayout& rl = layoutFor(row);
            QList<QTextLayout::FormatRange> marks;
            const qsizetype rowA = ls + row.start, rowB = ls + row.end;
            if (scoped) {
                const qsizetype a = std::max(scopeA, rowA), b = std::min(scopeB, rowB);
                if (a < b)
                    marks.append(QTextLayout::FormatRange{int(a - rowA), int(b - a), scopeFormat});
            }
            for (auto [i, end] = m_searchMarks->overlapping(rowA, rowB); i < end; ++i) {
                const TextRange& m = matches[i];
                const qsizetype a = std::max(m.start, rowA), b = std::min(m.start + m.length, rowB);
                if (a < b)
                    marks.append(QTextLayout::FormatRange{int(a - rowA), int(b - a), matchFormat});
            }
            for (const TextRange& m : pairMarks) {
                const qsizetype a = std::max(m.start, rowA), b = std::min(m.start + m.length, rowB);
                if (a < b)
                    marks.append(QTextLayout::FormatRange{int(a - rowA), int(b - a), tagFormat});
            }
            for (const CaretSel& x : extras) {
                const qsizetype a = std::max(x.start(), rowA), b = std::min(x.end(), rowB);
                if (a < b)
                    marks.append(QTextLayout::FormatRange{int(a - rowA), int(b - a), selFormat});
            }
            if (selA < selB) {
                const qsizetype a = std::max(selA, rowA), b = std::min(selB, rowB);
                if (a < b)
                    marks.append(QTextLayout::FormatRange{int(a - rowA), int(b - a), selFormat});
                // The line end inside the selection: a character's width.
                if (r == rows - 1 && selA <= rowB && selB > rowB) {
                    const qreal x = left + rl.x0 + rl.layout->lineAt(0).naturalTextWidth();
                    p.fillRect(QRectF(x, y, m_charWidth, m_lineHeight), selFormat.background());
                }
            }
            if (m_indentGuides)
                ViewGuides::paintIndentGuides(p, left, y, guideIndent(line), m_tabSize, guideStyle);
            rl.layout->draw(&p, QPointF(left + rl.x0, y), marks);
            if (m_showWhitespace)
                ViewGuides::paintBlanks(p, *rl.layout, QPointF(left + rl.x0, y), r == rows - 1, guideStyle);
            if (m_wrapMarkers && r > 0)
                ViewGuides::paintWrapMarker(p, y, left, guideStyle);
            if (r == rows - 1 && !m_hiddenRanges.empty()) {
                if (const std::pair<int, int>* folded = hiddenRangeOf(line + 1); folded && folded->first == line + 1) {
                    // The fold's marker: how many lines it hides.
                    const int n = folded->second - folded->first + 1;
                    const QString label = n == 1 ? QStringLiteral("\u2026 1 line") : QStringLiteral("\u2026 %1 lines").arg(n);
                    const QFontMetrics fm(font());
                    const int x = left + qRound(rl.x0 + rl.layout->lineAt(0).naturalTextWidth() + m_charWidth);
                    const QRect box(x, y + 1, fm.horizontalAdvance(label) + 8, m_lineHeight - 2);
                    p.save();
                    p.setPen(guideStyle.ink.darker(130));
                    p.setBrush(dark ? base.lighter(140) : QColor(0xF0, 0xF0, 0xF4));
                    p.drawRoundedRect(box, 3, 3);
                    p.drawText(box, Qt::AlignCenter, label);
                    p.restore();
                    m_foldMarkerRects.emplace_back(box, line);
                }
            }
        }
    }
    if (m_wrapAt > 0) {
        const int x = textLeft() + qRound(m_wrapAt * m_charWidth);
        p.fillRect(QRect(x, clip.top(), 1, clip.height()), guideStyle.ink);
    }

    // The caret, and what an input method is composing at it.
    const QRect cr = cursorRect();
    m_caretRectShown = cr;
    m_caretLineShown = caretLine;
    m_selectionShown = selA < selB;
    if (!m_preedit.isEmpty()) {
        QTextLayout pre(m_preedit, font());
        QTextCharFormat under;
        under.setFontUnderline(true);
        pre.setFormats({QTextLayout::FormatRange{0, int(m_preedit.size()), under}});
        pre.beginLayout();
        QTextLine l = pre.createLine();
        l.setLineWidth(1.0e6);
        pre.endLayout();
        p.fillRect(QRectF(cr.left(), cr.top(), l.naturalTextWidth(), m_lineHeight), base);
        pre.draw(&p, QPointF(cr.left(), cr.top()));
        const int x = cr.left() + qRound(l.cursorToX(m_preeditCursor));
        p.fillRect(QRect(x, cr.top(), 1, m_lineHeight), FixedFontColor());
    } else if (m_caretVisible && (hasFocus() || m_dropCaret >= 0)) {
        QColor c = FixedFontColor();
        if (m_overwrite)
            c.setAlpha(110);
        p.fillRect(m_dropCaret >= 0 ? QRect(cursorRect(m_dropCaret).topLeft(), QSize(1, m_lineHeight)) : cr, c);
        // The other carets, those on screen.
        if (m_dropCaret < 0) {
            const qsizetype shownFrom = t.LineStart(firstLine), shownTo = t.LineEndOffset(std::min(line, lines - 1));
            for (const CaretSel& x : extras) {
                if (x.caret >= shownFrom && x.caret <= shownTo && !isLineHidden(int(t.LineOfOffset(x.caret))))
                    p.fillRect(cursorRect(x.caret), c);
            }
        }
    }

    // Layouts and colours of lines far from the screen go.
    const int keepFrom = std::max(0, firstLine - 2), keepTo = line + 2;
    for (auto it = m_layouts.begin(); it != m_layouts.end();)
        it = (it->first.first < keepFrom || it->first.first > keepTo) ? m_layouts.erase(it) : std::next(it);
    if (m_layouts.size() > 4000)
        m_layouts.clear();
    for (auto it = m_rowStartCache.begin(); it != m_rowStartCache.end();)
        it = (it->first < keepFrom - 200 || it->first > keepTo + 200) && it->first != caretLine
                 ? m_rowStartCache.erase(it)
                 : std::next(it);
    m_highlighter->keepOnly(keepFrom - 50, keepTo + 50);
}

void TOvcTextFileEditor::scrollContentsBy(int, int)
{
    viewport()->update();
    m_gutter->update();
    if (m_foldGutter)
        m_foldGutter->update();
}

void TOvcTextFileEditor::startBlink()
{
    if (m_blinkTimer) {
        killTimer(m_blinkTimer);
        m_blinkTimer = 0;
    }
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash > 1)
        m_blinkTimer = startTimer(flash / 2);
}

void TOvcTextFileEditor::timerEvent(QTimerEvent* e)
{
    if (e->timerId() == m_blinkTimer) {
        m_caretVisible = !m_caretVisible;
        // Only the caret's rectangle (all of the view with several carets).
        if (m_carets && !m_carets->isEmpty())
            viewport()->update();
        else
            viewport()->update(cursorRect().adjusted(-1, 0, 1, 0));
        return;
    }
    if (e->timerId() == m_autoScrollTimer) {
        autoScrollStep();
        return;
    }
    QAbstractScrollArea::timerEvent(e);
}

void TOvcTextFileEditor::focusInEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusInEvent(e);
    m_caretVisible = true;
    startBlink();
    viewport()->update(cursorRect().adjusted(-1, 0, 1, 0));
}

void TOvcTextFileEditor::focusOutEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusOutEvent(e);
    if (m_blinkTimer) {
        killTimer(m_blinkTimer);
        m_blinkTimer = 0;
    }
    viewport()->update(cursorRect().adjusted(-1, 0, 1, 0));
}

void TOvcTextFileEditor::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    updateGutterGeometry();
    if (m_wordWrap && wrapColumns() != m_rowsWidth)
        recomputeAllRows();
    else
        updateScrollBars();
}

void TOvcTextFileEditor::changeEvent(QEvent* e)
{
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        updateMetrics();
        m_columnMarks.clear();
        recomputeAllRows();
        updateGutterGeometry();
        viewport()->update();
    }
}

// ---------------------------------------------------------------- keys

qsizetype TOvcTextFileEditor::wordLeft(qsizetype from) const
{
    const TextSnapshot& t = m_buf.Text();
    qsizetype i = from;
    auto space = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (i > 0 && space(t.CharAt(i - 1)))
        --i;
    if (i > 0 && t.CharAt(i - 1) == QLatin1Char('\n'))
        return i == from ? i - 1 : i;
    if (i == 0)
        return 0;
    const bool word = TextSearch::isWordChar(t.CharAt(i - 1));
    while (i > 0) {
        const QChar c = t.CharAt(i - 1);
        if (c == QLatin1Char('\n') || space(c) || TextSearch::isWordChar(c) != word)
            break;
        --i;
    }
    return i;
}

qsizetype TOvcTextFileEditor::wordRight(qsizetype from) const
{
    const TextSnapshot& t = m_buf.Text();
    const qsizetype n = t.Length();
    qsizetype i = from;
    auto space = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    if (i < n && t.CharAt(i) == QLatin1Char('\n'))
        return i + 1;
    if (i < n && !space(t.CharAt(i))) {
        const bool word = TextSearch::isWordChar(t.CharAt(i));
        while (i < n) {
            const QChar c = t.CharAt(i);
            if (c == QLatin1Char('\n') || space(c) || TextSearch::isWordChar(c) != word)
                break;
            ++i;
        }
    }
    while (i < n && space(t.CharAt(i)))
        ++i;
    return i;
}

void TOvcTextFileEditor::moveCaretByKey(QKeyEvent* e, bool& handled)
{
    handled = true;
    const TextSnapshot& t = m_buf.Text();
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    const bool shift = mods & Qt::ShiftModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    if (mods & (Qt::AltModifier | Qt::MetaModifier)) {
        handled = false;
        return;
    }
    const qsizetype caret = caretOffset();
    const qsizetype selA = std::min(caret, anchorOffset());
    const qsizetype selB = std::max(caret, anchorOffset());
    const int line = int(t.LineOfOffset(caret));
    const qsizetype ls = t.LineStart(line);
    qsizetype to = caret;
    bool keepGoal = false;

    auto verticalMove = [&](qint64 rowsBy) {
        const int r = rowInLineOf(line, caret - ls);
        const Row cur = rowAt(line, r);
        if (m_goalX < 0)
            m_goalX = xOf(cur, caret - ls);
        const qint64 target = rowOfLine(line) + r + rowsBy;
        if (target < 0)
            return qsizetype(0);
        if (target >= totalRows())
            return t.Length();
        const qint64 top = verticalScrollBar()->value();
        const int y = int((target - top) * m_lineHeight) + m_lineHeight / 2;
        keepGoal = true;
        // offsetAt works in viewport coordinates; rows off screen are reached the same way.
        const qreal goal = m_goalX;
        QPoint pt(textLeft() + qRound(goal), y);
        return offsetAt(pt);
    };

    switch (e->key()) {
    case Qt::Key_Left:
        if (!shift && selA != selB && !ctrl)
            to = selA;
        else if (ctrl)
            to = wordLeft(caret);
        else if (caret > 0)
            to = caret - ((caret > 1 && t.CharAt(caret - 1).isLowSurrogate() && t.CharAt(caret - 2).isHighSurrogate()) ? 2 : 1);
        break;
    case Qt::Key_Right:
        if (!shift && selA != selB && !ctrl)
            to = selB;
        else if (ctrl)
            to = wordRight(caret);
        else if (caret < t.Length())
            to = caret + ((t.CharAt(caret).isHighSurrogate() && t.CharAt(caret + 1).isLowSurrogate()) ? 2 : 1);
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (ctrl && !shift) {
            verticalScrollBar()->setValue(verticalScrollBar()->value() + (e->key() == Qt::Key_Up ? -1 : 1));
            return;
        }
        to = verticalMove(e->key() == Qt::Key_Up ? -1 : 1);
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const int page = std::max(1, visibleRows() - 1);
        const int by = e->key() == Qt::Key_PageUp ? -page : page;
        to = verticalMove(by);
        verticalScrollBar()->setValue(verticalScrollBar()->value() + by);
        break;
    }
    case Qt::Key_Home:
        to = ctrl ? 0 : ls;
        break;
    case Qt::Key_End:
        to = ctrl ? t.Length() : t.LineEndOffset(line);
        break;
    default:
        handled = false;
        return;
    }
    const qreal goal = m_goalX;
    m_keyStep = to < caret ? -1 : 1;
    setCaret(to, shift);
    m_keyStep = 0;
    if (keepGoal)
        m_goalX = goal;
    if (shift)
        updatePrimarySelection();
}

void TOvcTextFileEditor::typeText(const QString& text)
{
    if (m_readOnly)
        return;
    const qsizetype caret = caretOffset();
    if (m_overwrite && !hasSelection() && caret < m_buf.Length()) {
        const TextSnapshot& t = m_buf.Text();
        // Over the character at the caret, never over a line end.
        qsizetype n = 0;
        for (qsizetype i = 0; i < text.size() && caret + n < t.Length() && t.CharAt(caret + n) != QLatin1Char('\n'); ++i)
            n += (t.CharAt(caret + n).isHighSurrogate() && t.CharAt(caret + n + 1).isLowSurrogate()) ? 2 : 1;
        m_buf.Replace(caret, n, text, EditKind::Typing);
        setCaret(caret + text.size());
        return;
    }
    replaceSelection(text, EditKind::Typing);
}

bool TOvcTextFileEditor::event(QEvent* e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        auto* ke = static_cast<QKeyEvent*>(e);
        // Keys of the frame's key map (Ctrl+X, Ctrl+V, ...) run the frame's
        // commands, not the control's own versions of them.
        if (KeyMap::claims(ke->keyCombination())) {
            e->ignore();
            return true;
        }
        const Qt::KeyboardModifiers mods = ke->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
        const int key = ke->key();
        const bool editingKey = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up
                             || key == Qt::Key_Down || key == Qt::Key_Home || key == Qt::Key_End
                             || key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Backspace
                             || key == Qt::Key_Delete || key == Qt::Key_Insert || key == Qt::Key_Return
                             || key == Qt::Key_Enter;
        const bool typed = !ke->text().isEmpty() && ke->text().at(0).isPrint()
                        && !(mods & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier));
        // Ctrl+Shift+[ and Ctrl+Shift+] fold and unfold at the caret.
        const bool foldKey = (ke->modifiers() & ~Qt::KeypadModifier) == (Qt::ControlModifier | Qt::ShiftModifier)
                          && (key == Qt::Key_BracketLeft || key == Qt::Key_BraceLeft || key == Qt::Key_BracketRight
                              || key == Qt::Key_BraceRight);
        const Qt::KeyboardModifiers all = ke->modifiers() & ~Qt::KeypadModifier;
        const bool arrow = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
        const bool caretKey = (all == Qt::ControlModifier && key == Qt::Key_D)
                           || (all == (Qt::AltModifier | Qt::ShiftModifier) && arrow)
                           || (key == Qt::Key_Escape && (m_carets->count() > 0 || m_blockActive));
        if (foldKey || caretKey) {
            e->accept();
            return true;
        }
        if ((editingKey && (mods == Qt::NoModifier || mods == Qt::ControlModifier)) || typed
            || ke->matches(QKeySequence::Undo) || ke->matches(QKeySequence::Redo) || ke->matches(QKeySequence::Cut)
            || ke->matches(QKeySequence::Copy) || ke->matches(QKeySequence::Paste)
            || ke->matches(QKeySequence::SelectAll)) {
            e->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

bool TOvcTextFileEditor::focusNextPrevChild(bool next)
{
    if (m_wantTab && hasFocus())
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void TOvcTextFileEditor::keyPressEvent(QKeyEvent* e)
{
    if (multiCaretKey(e)) {
        e->accept();
        return;
    }
    // The control's own keys run the same operations as the program's
    // commands, so they beep, keep to plain text and respect ReadOnly alike.
    if (completionKey(e) || (!m_readOnly && languageKey(e))) {
    } else if (e->matches(QKeySequence::Undo)) {
        UndoStep();
    } else if (e->matches(QKeySequence::Redo)) {
        RedoStep();
    } else if (e->matches(QKeySequence::Cut)) {
        CutSelection();
    } else if (e->matches(QKeySequence::Copy)) {
        CopySelection();
    } else if (e->matches(QKeySequence::Paste)) {
        PasteClipboard();
    } else if (e->matches(QKeySequence::SelectAll)) {
        setSelection(0, m_buf.Length());
        updatePrimarySelection();
    } else {
        const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
        const int key = e->key();
        const bool ro = m_readOnly;
        bool handled = false;
        if (mods == (Qt::ControlModifier | Qt::ShiftModifier)
            && (key == Qt::Key_BracketLeft || key == Qt::Key_BraceLeft)) {
            FoldAtCaret();
        } else if (mods == (Qt::ControlModifier | Qt::ShiftModifier)
                   && (key == Qt::Key_BracketRight || key == Qt::Key_BraceRight)) {
            UnfoldAtCaret();
        } else if (key == Qt::Key_Insert && mods == Qt::NoModifier) {
            SetInsertMode(!InsertMode());
        } else if ((mods == Qt::NoModifier || mods == Qt::ShiftModifier)
                   && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            if (!ro)
                insertLineBreak();
        } else if (key == Qt::Key_Tab && mods == Qt::NoModifier && !m_wantTab) {
            e->ignore();
            return;
        } else if (key == Qt::Key_Tab && mods == Qt::NoModifier) {
            if (ro) {
            } else if (hasSelection() && selectsWholeLines()) {
                indentSelection(false);
            } else if (m_tabType != ttReal) {
                insertTabKey();
            } else {
                typeText(QStringLiteral("\t"));
            }
        } else if (key == Qt::Key_Backtab || (key == Qt::Key_Tab && mods == Qt::ShiftModifier)) {
            if (!m_wantTab) {
                e->ignore();
                return;
            }
            if (!ro)
                indentSelection(true);
        } else if ((key == Qt::Key_Backspace || key == Qt::Key_Delete)
                   && (mods == Qt::NoModifier || mods == Qt::ControlModifier || mods == Qt::ShiftModifier)) {
            if (!ro) {
                const qsizetype caret = caretOffset();
                const TextSnapshot& t = m_buf.Text();
                if (hasSelection()) {
                    removeRange(caret, anchorOffset(), EditKind::Typing);
                } else if (key == Qt::Key_Backspace && mods == Qt::NoModifier && deletePair()) {
                } else if (key == Qt::Key_Backspace) {
                    qsizetype from = caret - 1;
                    if (mods & Qt::ControlModifier)
                        from = wordLeft(caret);
                    else if (from > 0 && t.CharAt(from).isLowSurrogate() && t.CharAt(from - 1).isHighSurrogate())
                        --from;
                    if (from >= 0)
                        removeRange(from, caret, EditKind::Typing);
                } else {
                    qsizetype to = caret + 1;
                    if (mods & Qt::ControlModifier)
                        to = wordRight(caret);
                    else if (t.CharAt(caret).isHighSurrogate() && t.CharAt(caret + 1).isLowSurrogate())
                        ++to;
                    if (caret < t.Length())
                        removeRange(caret, to, EditKind::Typing);
                }
            }
        } else {
            moveCaretByKey(e, handled);
            if (!handled) {
                const QString text = e->text();
                const bool typed = !text.isEmpty() && text.at(0).isPrint()
                                && !(mods & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier));
                if (!typed) {
                    e->ignore();
                    return;
                }
                if (!ro) {
                    if (!typePairChar(text))
                        typeText(text);
                    if (m_autoCloseTags && text == QLatin1String("/"))
                        completeClosingTag();
                    afterTyping(text);
                }
            }
        }
        updateCompletion(false);
    }
    e->accept();
}

void TOvcTextFileEditor::insertLineBreak()
{
    const TextSnapshot& t = m_buf.Text();
    const qsizetype start = std::min(caretOffset(), anchorOffset());
    const qsizetype line = t.LineOfOffset(start);
    const qsizetype ls = t.LineStart(line);
    qsizetype indent = 0;
    while (m_autoIndent && ls + indent < start) {
        const QChar c = t.CharAt(ls + indent);
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t'))
            break;
        ++indent;
    }
    replaceSelection(QLatin1Char('\n') + t.Text(ls, indent));
}

void TOvcTextFileEditor::insertTabKey()
{
    const TextSnapshot& t = m_buf.Text();
    const qsizetype start = std::min(caretOffset(), anchorOffset());
    const qsizetype line = t.LineOfOffset(start);
    const qsizetype ls = t.LineStart(line);
    const int column = columnsOf(t.Text(ls, start - ls));
    QString insert = QStringLiteral("\t");
    if (m_tabType == ttFixed) {
        insert = QString(m_tabSize - column % m_tabSize, QLatin1Char(' '));
    } else if (m_tabType == ttSmart && line > 0) {
        // To the start of the next word of the line above, if it has one.
        const QString above = expandTabs(t.LineText(line - 1), m_tabSize);
        int i = column;
        while (i < above.size() && !above.at(i).isSpace())
            ++i;
        while (i < above.size() && above.at(i).isSpace())
            ++i;
        if (i < above.size() && i > column)
            insert = QString(i - column, QLatin1Char(' '));
    }
    replaceSelection(insert, EditKind::Typing);
}

bool TOvcTextFileEditor::selectsWholeLines() const
{
    const TextSnapshot& t = m_buf.Text();
    const qsizetype a = std::min(caretOffset(), anchorOffset());
    const qsizetype b = std::max(caretOffset(), anchorOffset());
    const qsizetype line = t.LineOfOffset(a);
    if (a == b)
        return false;
    if (t.LineOfOffset(b) != line)
        return true;
    // One line, from its start (or its indentation's end) to its end.
    qsizetype first = t.LineStart(line);
    while (first < b && (t.CharAt(first) == QLatin1Char(' ') || t.CharAt(first) == QLatin1Char('\t')))
        ++first;
    return a <= first && b == t.LineEndOffset(line);
}

void TOvcTextFileEditor::indentSelection(bool unindent)
{
    const TextSnapshot& t = m_buf.Text();
    const bool selected = hasSelection();
    const qsizetype caret = caretOffset();
    const bool caretFirst = caret < anchorOffset();
    const qsizetype a = std::min(caret, anchorOffset());
    qsizetype b = std::max(caret, anchorOffset());
    const qsizetype first = t.LineOfOffset(a);
    qsizetype last = t.LineOfOffset(b);
    if (last > first && b == t.LineStart(last))
        --last;  // a selection ending at a line's start leaves that line alone
    // One indentation step: a tab, or spaces when the Tab key puts in spaces.
    const QString step = m_tabType == ttFixed ? QString(m_tabSize, QLatin1Char(' ')) : QStringLiteral("\t");
    qsizetype caretShift = 0;
    bool changed = false;
    m_buf.BeginEditGroup();
    for (qsizetype l = last; l >= first; --l) {
        const qsizetype ls = m_buf.Text().LineStart(l);
        if (!unindent) {
            // Empty lines stay empty.
            if (m_buf.Text().LineLength(l) == 0 && first != last)
                continue;
            m_buf.Insert(ls, step);
            caretShift = step.size();
            changed = true;
            continue;
        }
        qsizetype n = 0;
        if (m_buf.Text().CharAt(ls) == QLatin1Char('\t')) {
            n = 1;
        } else {
            while (n < m_tabSize && m_buf.Text().CharAt(ls + n) == QLatin1Char(' '))
                ++n;
            // Spaces before a tab go with it.
            if (n < m_tabSize && m_buf.Text().CharAt(ls + n) == QLatin1Char('\t'))
                ++n;
        }
        if (n > 0) {
            m_buf.Remove(ls, n);
            changed = true;
        }
        caretShift = -std::min(n, caret - ls);
    }
    m_buf.EndEditGroup();
    if (!changed)
        return;
    if (!selected) {
        setCaret(caret + caretShift);
        return;
    }
    const qsizetype from = m_buf.Text().LineStart(first);
    const qsizetype to = m_buf.Text().LineEndOffset(last);
    if (caretFirst)
        setSelection(to, from);
    else
        setSelection(from, to);
}

void TOvcTextFileEditor::completeClosingTag()
{
    if (hasSelection())
        return;
    const TextSnapshot& t = m_buf.Text();
    const qsizetype caret = caretOffset();
    const int line = int(t.LineOfOffset(caret));
    const qsizetype ls = t.LineStart(line);
    const qsizetype at = caret - ls;
    if (at < 2 || t.CharAt(caret - 2) != QLatin1Char('<') || t.CharAt(caret - 1) != QLatin1Char('/'))
        return;
    if (!readyOrDefer(line, DeferClosingTag))
        return;
    // Only in the page's text: not in a tag, a comment or a script.
    if (!Html::HtmlTokenizer::isTextState(m_highlighter->stateAt(line, at - 2)))
        return;
    const QString name = TagMatcher::innermostOpen(m_highlighter->tagLines(), line, int(at - 2));
    if (name.isEmpty())
        return;
    // Its own undo step: undo takes back the completion and keeps "</".
    const QString insert = name + QLatin1Char('>');
    // The element's end tag follows already (put there when its start tag
    // was typed): "</" types over it rather than closing the element twice.
    const QString following = t.Text(caret, std::min<qsizetype>(insert.size() + 2, t.Length() - caret));
    if (following.compare(QStringLiteral("</") + insert, Qt::CaseInsensitive) == 0) {
        m_buf.Replace(caret - 2, 2, QString());
        setCaret(caret + insert.size());
        return;
    }
    m_buf.Insert(caret, insert);
    setCaret(caret + insert.size());
}

// ---------------------------------------------------------------- mouse

void TOvcTextFileEditor::selectWordAt(qsizetype offset)
{
    const TextSnapshot& t = m_buf.Text();
    qsizetype a = offset, b = offset;
    if (TextSearch::isWordChar(t.CharAt(offset)) || (offset > 0 && TextSearch::isWordChar(t.CharAt(offset - 1)))) {
        while (a > 0 && TextSearch::isWordChar(t.CharAt(a - 1)))
            --a;
        while (b < t.Length() && TextSearch::isWordChar(t.CharAt(b)))
            ++b;
    } else if (offset < t.Length() && t.CharAt(offset) != QLatin1Char('\n')) {
        b = offset + 1;
    }
    m_selectOrigin = a;
    m_selectOriginEnd = b;
    setSelection(a, b);
}

void TOvcTextFileEditor::selectLineAt(qsizetype offset)
{
    const TextSnapshot& t = m_buf.Text();
    const qsizetype line = t.LineOfOffset(offset);
    const qsizetype a = t.LineStart(line);
    const qsizetype b = std::min(t.LineEndOffset(line) + 1, t.Length());
    m_selectOrigin = a;
    m_selectOriginEnd = b;
    setSelection(a, b);
}

void TOvcTextFileEditor::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (e->button() == Qt::MiddleButton) {
        QClipboard* cb = QGuiApplication::clipboard();
        if (!m_readOnly && cb->supportsSelection()) {
            const QString text = plainLines(cb->text(QClipboard::Selection));
            if (!text.isEmpty()) {
                setCaret(offsetAt(pos));
                replaceSelection(text);
            }
        }
        e->accept();
        return;
    }
    if (e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    // A click on a fold's marker opens it.
    for (const auto& [rect, line] : m_foldMarkerRects) {
        if (rect.contains(pos)) {
            ToggleFold(line);
            return;
        }
    }
    const Qt::KeyboardModifiers clickMods = e->modifiers() & ~Qt::KeypadModifier;
    if (clickMods == Qt::AltModifier || clickMods == (Qt::AltModifier | Qt::ShiftModifier)) {
        // Alt+drag: a block of columns.
        const TextSnapshot& t = m_buf.Text();
        const qsizetype off = offsetAt(pos);
        const int line = int(t.LineOfOffset(off));
        const qsizetype xcol = std::max<qsizetype>(0, qRound((pos.x() - textLeft()) / m_charWidth));
        const int col = int(off == t.LineEndOffset(line) ? std::max(displayColumn(off), xcol) : displayColumn(off));
        if (clickMods & Qt::ShiftModifier && m_blockActive)
            SelectBlock(m_blockLine[0], m_blockColumn[0], line, col);
        else
            SelectBlock(line, col, line, col);
        m_blockDragging = true;
        return;
    }
    if (clickMods == Qt::ControlModifier) {
        AddCaret(offsetAt(pos));
        return;
    }
    if (!m_carets->isEmpty() || m_blockActive)
        ClearExtraCarets();
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const bool again = now - m_lastClickTime < QGuiApplication::styleHints()->mouseDoubleClickInterval()
                    && (pos - m_lastClickPos).manhattanLength() < QApplication::startDragDistance();
    m_lastClickTime = now;
    m_lastClickPos = pos;
    m_pressPos = pos;
    const qsizetype at = offsetAt(pos);
    if (again && m_clickCount == 2) {
        m_clickCount = 3;
        selectLineAt(at);
        m_selecting = true;
        return;
    }
    m_clickCount = 1;
    const qsizetype selA = std::min(caretOffset(), anchorOffset());
    const qsizetype selB = std::max(caretOffset(), anchorOffset());
    if (e->modifiers() & Qt::ShiftModifier) {
        setCaret(at, true);
        m_selectOrigin = m_selectOriginEnd = anchorOffset();
    } else if (selA < selB && at >= selA && at < selB) {
        m_mayDrag = true;
        return;
    } else {
        setCaret(at);
        m_selectOrigin = m_selectOriginEnd = at;
    }
    m_selecting = true;
}

void TOvcTextFileEditor::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    m_clickCount = 2;
    m_lastClickTime = QDateTime::currentMSecsSinceEpoch();
    m_lastClickPos = e->position().toPoint();
    m_mayDrag = false;
    selectWordAt(offsetAt(m_lastClickPos));
    m_selecting = true;
    updatePrimarySelection();
}

void TOvcTextFileEditor::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (m_blockDragging && (e->buttons() & Qt::LeftButton)) {
        const TextSnapshot& t = m_buf.Text();
        const QPoint inside(pos.x(), std::clamp(pos.y(), 0, viewport()->height() - 1));
        const qsizetype off = offsetAt(inside);
        const int line = int(t.LineOfOffset(off));
        const qsizetype xcol = std::max<qsizetype>(0, qRound((pos.x() - textLeft()) / m_charWidth));
        const int col = int(off == t.LineEndOffset(line) ? std::max(displayColumn(off), xcol) : displayColumn(off));
        if (line != m_blockLine[1] || col != m_blockColumn[1])
            SelectBlock(m_blockLine[0], m_blockColumn[0], line, col);
        return;
    }
    if (m_mayDrag && (e->buttons() & Qt::LeftButton)) {
        if ((pos - m_pressPos).manhattanLength() < QApplication::startDragDistance())
            return;
        m_mayDrag = false;
        auto* drag = new QDrag(this);
        drag->setMimeData(createMimeDataFromSelection());
        const Qt::DropAction done = drag->exec(m_readOnly ? Qt::CopyAction : Qt::CopyAction | Qt::MoveAction,
                                               Qt::MoveAction);
        // A move into another document takes the text out of this one; a
        // move within this one was done by the drop.
        if (done == Qt::MoveAction && !m_readOnly && drag->target() != viewport() && drag->target() != this)
            DeleteSelection();
        return;
    }
    if (!m_selecting || !(e->buttons() & Qt::LeftButton))
        return;
    if (!viewport()->rect().contains(pos)) {
        if (!m_autoScrollTimer)
            m_autoScrollTimer = startTimer(50);
    } else if (m_autoScrollTimer) {
        killTimer(m_autoScrollTimer);
        m_autoScrollTimer = 0;
    }
    const qsizetype at = offsetAt(pos);
    if (m_clickCount >= 2) {
        // Word and line selections grow by whole words or lines.
        const TextSnapshot& t = m_buf.Text();
        qsizetype a = m_selectOrigin, b = m_selectOriginEnd;
        if (at < a) {
            a = at;
            if (m_clickCount == 3)
                a = t.LineStart(t.LineOfOffset(at));
            else
                while (a > 0 && TextSearch::isWordChar(t.CharAt(a - 1)))
                    --a;
            setSelection(m_selectOriginEnd, a);
        } else if (at > b) {
            b = at;
            if (m_clickCount == 3)
                b = std::min(t.LineEndOffset(t.LineOfOffset(at)) + 1, t.Length());
            else
                while (b < t.Length() && TextSearch::isWordChar(t.CharAt(b)))
                    ++b;
            setSelection(m_selectOrigin, b);
        } else {
            setSelection(a, b);
        }
    } else {
        setCaret(at, true);
    }
}

void TOvcTextFileEditor::autoScrollStep()
{
    const QPoint pos = viewport()->mapFromGlobal(QCursor::pos());
    QScrollBar* v = verticalScrollBar();
    if (pos.y() < 0)
        v->setValue(v->value() - 1);
    else if (pos.y() >= viewport()->height())
        v->setValue(v->value() + 1);
    if (!m_wordWrap) {
        QScrollBar* h = horizontalScrollBar();
        if (pos.x() < 0)
            h->setValue(h->value() - h->singleStep());
        else if (pos.x() >= viewport()->width())
            h->setValue(h->value() + h->singleStep());
    }
    const QPoint inside(std::clamp(pos.x(), 0, viewport()->width() - 1), std::clamp(pos.y(), 0, viewport()->height() - 1));
    const qsizetype at = offsetAt(inside);
    m_buf.MoveMark(m_caretMark, at);
    caretMoved();
}

void TOvcTextFileEditor::mouseReleaseEvent(QMouseEvent* e)
{
    m_blockDragging = false;
    if (m_autoScrollTimer) {
        killTimer(m_autoScrollTimer);
        m_autoScrollTimer = 0;
    }
    if (m_mayDrag) {
        m_mayDrag = false;
        setCaret(offsetAt(e->position().toPoint()));
    }
    if (m_selecting) {
        m_selecting = false;
        updatePrimarySelection();
    }
}

void TOvcTextFileEditor::wheelEvent(QWheelEvent* e)
{
    if (e->modifiers() & Qt::ControlModifier) {
        e->ignore();
        return;
    }
    QAbstractScrollArea::wheelEvent(e);
}

void TOvcTextFileEditor::updatePrimarySelection()
{
    QClipboard* cb = QGuiApplication::clipboard();
    if (cb->supportsSelection() && hasSelection())
        cb->setText(selectedText(), QClipboard::Selection);
}

void TOvcTextFileEditor::contextMenuEvent(QContextMenuEvent* e)
{
    QMenu menu(this);
    const bool sel = hasSelection();
    menu.addAction(QStringLiteral("&Undo"), this, &TOvcTextFileEditor::UndoStep)->setEnabled(!m_readOnly && m_buf.CanUndo());
    menu.addAction(QStringLiteral("&Redo"), this, &TOvcTextFileEditor::RedoStep)->setEnabled(!m_readOnly && m_buf.CanRedo());
    menu.addSeparator();
    menu.addAction(QStringLiteral("Cu&t"), this, &TOvcTextFileEditor::CutSelection)->setEnabled(sel && !m_readOnly);
    menu.addAction(QStringLiteral("&Copy"), this, &TOvcTextFileEditor::CopySelection)->setEnabled(sel);
    menu.addAction(QStringLiteral("&Paste"), this, &TOvcTextFileEditor::PasteClipboard)
        ->setEnabled(!m_readOnly && !QGuiApplication::clipboard()->text().isEmpty());
    menu.addAction(QStringLiteral("&Delete"), this, &TOvcTextFileEditor::DeleteSelection)->setEnabled(sel && !m_readOnly);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Select &All"), this, [this] { setSelection(0, m_buf.Length()); });
    menu.exec(e->globalPos());
}

// ---------------------------------------------------------------- drag and drop

void TOvcTextFileEditor::dragEnterEvent(QDragEnterEvent* e)
{
    if (m_readOnly || !e->mimeData()->hasText()) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
}

void TOvcTextFileEditor::dragMoveEvent(QDragMoveEvent* e)
{
    if (m_readOnly || !e->mimeData()->hasText()) {
        e->ignore();
        return;
    }
    const QPoint pos = e->position().toPoint();
    const qsizetype old = m_dropCaret;
    m_dropCaret = offsetAt(pos);
    if (old != m_dropCaret)
        viewport()->update();
    // Near the edges the text scrolls along.
    QScrollBar* v = verticalScrollBar();
    if (pos.y() < m_lineHeight)
        v->setValue(v->value() - 1);
    else if (pos.y() > viewport()->height() - m_lineHeight)
        v->setValue(v->value() + 1);
    const bool self = e->source() == this || e->source() == viewport();
    if (self && (e->possibleActions() & Qt::MoveAction) && !(e->modifiers() & Qt::ControlModifier)) {
        e->setDropAction(Qt::MoveAction);
        e->accept();
    } else {
        e->acceptProposedAction();
    }
}

void TOvcTextFileEditor::dragLeaveEvent(QDragLeaveEvent*)
{
    m_dropCaret = -1;
    viewport()->update();
}

void TOvcTextFileEditor::dropEvent(QDropEvent* e)
{
    m_dropCaret = -1;
    if (m_readOnly || !e->mimeData()->hasText()) {
        e->ignore();
        return;
    }
    const bool self = e->source() == this || e->source() == viewport();
    const bool move = self && (e->possibleActions() & Qt::MoveAction) && !(e->modifiers() & Qt::ControlModifier);
    insertFromMime(e->mimeData(), offsetAt(e->position().toPoint()), move);
    if (move) {
        e->setDropAction(Qt::MoveAction);
        e->accept();
    } else {
        e->acceptProposedAction();
    }
    FocusEditor();
}

void TOvcTextFileEditor::insertFromMime(const QMimeData* data, qsizetype at, bool moveFromSelf)
{
    const QString text = plainLines(data->text());
    if (text.isEmpty())
        return;
    const qsizetype selA = std::min(caretOffset(), anchorOffset());
    const qsizetype selB = std::max(caretOffset(), anchorOffset());
    if (moveFromSelf && at >= selA && at <= selB) {
        viewport()->update();
        return;
    }
    m_buf.BeginEditGroup();
    if (moveFromSelf && selA < selB) {
        m_buf.Remove(selA, selB - selA);
        if (at > selB)
            at -= selB - selA;
    }
    m_buf.Insert(at, text);
    m_buf.EndEditGroup();
    setSelection(at, at + text.size());
}

// ---------------------------------------------------------------- input methods

void TOvcTextFileEditor::inputMethodEvent(QInputMethodEvent* e)
{
    if (m_readOnly) {
        e->ignore();
        return;
    }
    if (!e->commitString().isEmpty() || e->replacementLength() > 0) {
        if (e->replacementLength() > 0 && !hasSelection()) {
            const qsizetype from = caretOffset() + e->replacementStart();
            m_buf.MoveMark(m_anchorMark, std::clamp<qsizetype>(from, 0, m_buf.Length()));
            m_buf.MoveMark(m_caretMark, std::clamp<qsizetype>(from + e->replacementLength(), 0, m_buf.Length()));
        }
        typeText(e->commitString());
    }
    m_preedit = e->preeditString();
    m_preeditCursor = int(m_preedit.size());
    for (const QInputMethodEvent::Attribute& a : e->attributes()) {
        if (a.type == QInputMethodEvent::Cursor)
            m_preeditCursor = std::clamp(a.start, 0, int(m_preedit.size()));
    }
    viewport()->update();
    e->accept();
}

QVariant TOvcTextFileEditor::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const TextSnapshot& t = m_buf.Text();
    const qsizetype caret = caretOffset();
    const qsizetype line = t.LineOfOffset(caret);
    const qsizetype ls = t.LineStart(line);
    // Around the caret only, however long the line.
    const qsizetype from = std::max(ls, caret - 500);
    const qsizetype to = std::min(t.LineEndOffset(line), caret + 500);
    switch (query) {
    case Qt::ImEnabled:
        return !m_readOnly;
    case Qt::ImCursorRectangle:
        return QRect(cursorRect().translated(viewport()->geometry().topLeft()));
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
        return int(caret - from);
    case Qt::ImAnchorPosition:
        return int(std::clamp(anchorOffset(), from, to) - from);
    case Qt::ImSurroundingText:
        return t.Text(from, to - from);
    case Qt::ImCurrentSelection:
        return selectedText();
    case Qt::ImHints:
        return int(Qt::ImhMultiLine);
    case Qt::ImMaximumTextLength:
        return QVariant();
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

bool TOvcTextFileEditor::viewportEvent(QEvent* e)
{
    return QAbstractScrollArea::viewportEvent(e);
}

// ---------------------------------------------------------------- tag pair

const TagLineSource* TOvcTextFileEditor::tagLines() const
{
    return &m_highlighter->tagLines();
}

void TOvcTextFileEditor::refreshTagMatch()
{
    m_matchTimer->stop();
    const QList<TextRange> old = m_tagMarks;
    m_tagMarks.clear();
    const TextSnapshot& t = m_buf.Text();
    const qsizetype caret = caretOffset();
    const int line = int(t.LineOfOffset(caret));
    // (far down a page whose pairs are still being worked out: asked again when they are in)
    if (!hasSelection() && m_highlighter->readyNear(line)) {
        const TagLineSource& lines = m_highlighter->tagLines();
        const std::optional<TagRef> tag = TagMatcher::tagAt(lines, line, int(caret - t.LineStart(line)));
        // An element's end far below is left to the background work, which
        // works the whole page out once; the marks come when it is done.
        TagStructure* s = lines.structure();
        const int reach = tag ? std::max(tag->line + 3000, s->linesDone()) : 0;
        const std::optional<TagRef> other =
            tag ? TagMatcher::partner(lines, *tag, tag->closing ? 0 : reach - tag->line) : std::nullopt;
        if (tag && !other && s->undecided(tag->line, tag->start))
            m_highlighter->wantPairsBelow();
        if (other) {
            for (const TagRef& r : {*tag, *other})
                m_tagMarks << TextRange{t.LineStart(r.line) + r.start, r.nameEnd - r.start};
        }
    }
    addBracketMarks();
    if (old.size() != m_tagMarks.size()
        || !std::equal(old.begin(), old.end(), m_tagMarks.begin(),
                       [](const TextRange& a, const TextRange& b) { return a.start == b.start && a.length == b.length; }))
        viewport()->update();
}

// ---------------------------------------------------------------- accessibility

namespace {

// The editor as a screen reader sees it: editable text with the caret and
// the selection as offsets into the whole text.
class EditorAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit EditorAccessible(TOvcTextFileEditor* ed) : QAccessibleWidget(ed, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = !ed()->ReadOnly();
        s.readOnly = ed()->ReadOnly();
        s.multiLine = true;
        s.selectableText = true;
        return s;
    }
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Value)
            return QAccessibleWidget::text(t);
        // The line of the caret: a page may be far too long to hand over whole.
        int line = 0, column = 0;
        ed()->CaretPosition(line, column);
        return ed()->RawLineText(line);
    }

    // QAccessibleTextInterface
    void selection(int index, int* start, int* end) const override
    {
        *start = *end = 0;
        if (index != 0 || !ed()->hasSelection())
            return;
        *start = int(std::min(ed()->caretOffset(), ed()->anchorOffset()));
        *end = int(std::max(ed()->caretOffset(), ed()->anchorOffset()));
    }
    int selectionCount() const override { return ed()->hasSelection() ? 1 : 0; }
    void addSelection(int start, int end) override { ed()->setSelection(start, end); }
    void removeSelection(int index) override
    {
        if (index == 0)
            ed()->setSelection(ed()->caretOffset(), ed()->caretOffset());
    }
    void setSelection(int index, int start, int end) override
    {
        if (index == 0)
            ed()->setSelection(start, end);
    }
    int cursorPosition() const override { return int(ed()->caretOffset()); }
    void setCursorPosition(int position) override { ed()->setSelection(position, position); }
    QString text(int start, int end) const override
    {
        const TextSnapshot& t = ed()->buffer().Text();
        start = std::max(start, 0);
        end = int(std::min<qsizetype>(end, t.Length()));
        return start < end ? t.Text(start, end - start) : QString();
    }
    int characterCount() const override { return int(ed()->buffer().Length()); }
    QRect characterRect(int offset) const override
    {
        const QRect r = ed()->cursorRect(offset);
        const QRect next = ed()->cursorRect(offset + 1);
        const int width = next.top() == r.top() && next.left() > r.left() ? next.left() - r.left() : r.width();
        return QRect(ed()->viewport()->mapToGlobal(r.topLeft()), QSize(width, r.height()));
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        return int(ed()->offsetAt(ed()->viewport()->mapFromGlobal(point)));
    }
    void scrollToSubstring(int start, int end) override { ed()->setSelection(start, end); }
    QString attributes(int offset, int* start, int* end) const override
    {
        *start = offset;
        *end = offset + 1;
        return QString();
    }

private:
    TOvcTextFileEditor* ed() const { return static_cast<TOvcTextFileEditor*>(widget()); }
};

QAccessibleInterface* editorAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("TOvcTextFileEditor") && object && object->isWidgetType())
        return new EditorAccessible(static_cast<TOvcTextFileEditor*>(object));
    return nullptr;
}

} // namespace

void TOvcTextFileEditor::installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(editorAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

void TOvcTextFileEditor::tellAccessibility(bool textChanged)
{
    if (!QAccessible::isActive())
        return;
    if (textChanged) {
        QAccessibleEvent e(this, QAccessible::TextUpdated);
        QAccessible::updateAccessibility(&e);
    }
    QAccessibleTextCursorEvent e(this, int(caretOffset()));
    QAccessible::updateAccessibility(&e);
}

void TOvcTextFileEditor::setLineMarks(std::vector<LineMark> marks)
{
    std::stable_sort(marks.begin(), marks.end(), [](const LineMark& a, const LineMark& b) { return a.line < b.line; });
    m_lineMarks = std::move(marks);
    if (m_gutter)
        m_gutter->update();
}
