#include "wizards/table/tHTMLStringGrid.h"

#include "app/AppError.h"
#include "app/UiPrompter.h"
#include "tags/ListDragSource.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

namespace {
// Hands every cell editor's keys to the grid first.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(QObject* grid) : QStyledItemDelegate(grid), m_grid(grid) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (editor)
            editor->installEventFilter(m_grid);
        return editor;
    }

private:
    QObject* m_grid;
};
}

tHTMLStringGrid::tHTMLStringGrid(QWidget* parent) : QTableWidget(2, 2, parent)
{
    verticalHeader()->setMinimumSectionSize(4);
    verticalHeader()->setDefaultSectionSize(kDefaultRowHeight);
    horizontalHeader()->setMinimumSectionSize(4);
    horizontalHeader()->setDefaultSectionSize(kDefaultColWidth);
    verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setSectionsMovable(true);
    horizontalHeader()->setSectionsMovable(true);
    // Moving to a cell does not start editing it: typing, F2 or a double click does.
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed);
    setItemDelegate(new GridDelegate(this));
    setTabKeyNavigation(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setWordWrap(false);
    connect(verticalHeader(), &QHeaderView::sectionMoved, this,
            [this](int, int from, int to) { bakeMove(Qt::Vertical, from, to); });
    connect(horizontalHeader(), &QHeaderView::sectionMoved, this,
            [this](int, int from, int to) { bakeMove(Qt::Horizontal, from, to); });
    styleHeaderRow();
}

tHTMLStringGrid::~tHTMLStringGrid()
{
    if (!AutoSave || FileName.isEmpty())
        return;
    try {
        SaveToFile(FileName);
    } catch (const AppError& e) {
        UiPrompter::instance().message(nullptr, e.message(), UiPrompter::Ok, UiPrompter::Warning);
    } catch (...) {
    }
}

void tHTMLStringGrid::setHeaderOn(bool on)
{
    m_headerOn = on;
    styleHeaderRow();
}

// The header row stands for a fixed row: shaded, not edited in place.
void tHTMLStringGrid::styleHeaderRow()
{
    if (rowCount() == 0)
        return;
    const QBrush shade = palette().button();
    for (int c = 0; c < columnCount(); ++c) {
        QTableWidgetItem* it = item(0, c);
        if (!it) {
            it = new QTableWidgetItem;
            setItem(0, c, it);
        }
        it->setFlags(m_headerOn ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        it->setBackground(m_headerOn ? shade : QBrush());
    }
}

QString tHTMLStringGrid::cellText(int col, int row) const
{
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text() : QString();
}

void tHTMLStringGrid::setCellText(int col, int row, const QString& text)
{
    if (QTableWidgetItem* it = item(row, col))
        it->setText(text);
    else if (!text.isEmpty())
        setItem(row, col, new QTableWidgetItem(text));
}

void tHTMLStringGrid::clearText()
{
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            if (QTableWidgetItem* it = item(r, c))
                it->setText(QString());
}

TableData tHTMLStringGrid::toData() const
{
    TableData t;
    t.HeaderOn = m_headerOn;
    t.CellDelimiter = CellDelimiter;
    t.Caption1 = Caption1;
    t.Caption2 = Caption2;
    t.Caption2Placement = Caption2Placement;
    t.border = GridLineWidth;
    t.defaultRowHeight = verticalHeader()->defaultSectionSize();
    t.defaultColWidth = horizontalHeader()->defaultSectionSize();
    t.resize(rowCount(), columnCount());
    for (int r = 0; r < rowCount(); ++r) {
        t.setRowHeight(r, rowHeight(r));
        for (int c = 0; c < columnCount(); ++c)
            t.setCell(c, r, cellText(c, r));
    }
    for (int c = 0; c < columnCount(); ++c)
        t.setColWidth(c, columnWidth(c));
    return t;
}

void tHTMLStringGrid::fromData(const TableData& t)
{
    setUpdatesEnabled(false);
    CellDelimiter = t.CellDelimiter;
    Caption1 = t.Caption1;
    Caption2 = t.Caption2;
    Caption2Placement = t.Caption2Placement;
    clearContents();
    setRowCount(t.rowCount());
    setColumnCount(t.colCount());
    verticalHeader()->setDefaultSectionSize(t.defaultRowHeight);
    for (int r = 0; r < t.rowCount(); ++r) {
        setRowHeight(r, t.rowHeight(r));
        for (int c = 0; c < t.colCount(); ++c)
            if (const QString s = t.cell(c, r); !s.isEmpty())
                setItem(r, c, new QTableWidgetItem(s));
    }
    for (int c = 0; c < t.colCount(); ++c)
        setColumnWidth(c, t.colWidth(c));
    styleHeaderRow();
    setUpdatesEnabled(true);
}

void tHTMLStringGrid::WriteHTML(QStringList& lines) const
{
    lines = TableHtml::generate(toData());
}

void tHTMLStringGrid::SaveToFile(const QString& name)
{
    TableFile::save(name, toData(), AutoBackup);
}

void tHTMLStringGrid::LoadFromFile(const QString& name)
{
    TableData t = toData();
    QString error;
    const bool ok = TableFile::load(name, t, &error);
    // What was read before a damaged line stays in the grid.
    fromData(t);
    if (!ok)
        throw EFileError(error);
}

void tHTMLStringGrid::bakeMove(Qt::Orientation o, int from, int to)
{
    // A moved row or column takes its texts and size along: the grid's own
    // order stays the visual one, which is the order the table is written in.
    QHeaderView* h = o == Qt::Vertical ? verticalHeader() : horizontalHeader();
    {
        const QSignalBlocker block(h);
        h->moveSection(to, from);
    }
    TableData t = toData();
    if (o == Qt::Vertical)
        t.moveRow(from, to);
    else
        t.moveColumn(from, to);
    fromData(t);
}

bool tHTMLStringGrid::isGridKey(const QKeyEvent* e)
{
    return ((e->key() == Qt::Key_Down || e->key() == Qt::Key_Insert) && e->modifiers() == Qt::NoModifier)
        || (e->key() == Qt::Key_Delete && (e->modifiers() & Qt::ControlModifier));
}

bool tHTMLStringGrid::eventFilter(QObject* watched, QEvent* e)
{
    auto* editor = qobject_cast<QWidget*>(watched);
    if (e->type() == QEvent::KeyPress && editor && editor->parent() == viewport()
        && isGridKey(static_cast<QKeyEvent*>(e))) {
        // The cell keeps what was typed; then the key acts as on the grid.
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
        keyPressEvent(static_cast<QKeyEvent*>(e));
        return true;
    }
    return QTableWidget::eventFilter(watched, e);
}

void tHTMLStringGrid::keyPressEvent(QKeyEvent* e)
{
    const int first = m_headerOn ? 1 : 0;
    const int row = qMax(currentRow(), first);
    // The grid never holds more rows than the Rows field can show.
    const bool full = rowCount() >= TableFile::kMaxCount;
    if (e->key() == Qt::Key_Down && e->modifiers() == Qt::NoModifier && currentRow() == rowCount() - 1) {
        if (full) {
            QApplication::beep();
            return;
        }
        setRowCount(rowCount() + 1);
        emit rowsChanged();
    } else if (e->key() == Qt::Key_Insert && e->modifiers() == Qt::NoModifier) {
        if (full) {
            QApplication::beep();
            return;
        }
        insertRow(qMin(row, rowCount()));
        emit rowsChanged();
        return;
    } else if (e->key() == Qt::Key_Delete && (e->modifiers() & Qt::ControlModifier)) {
        // Only the row the cursor is on: none on the header row.
        if (rowCount() > 2 && currentRow() >= first && currentRow() < rowCount()
            && UiPrompter::instance().message(this, QStringLiteral("Are you sure you want to delete this row?"),
                                              UiPrompter::Ok | UiPrompter::Cancel, UiPrompter::Question)
                   == UiPrompter::Ok) {
            removeRow(currentRow());
            emit rowsChanged();
        }
        return;
    }
    QTableWidget::keyPressEvent(e);
}

namespace {
// Only drags from the program's own lists are taken.
void acceptOurs(QDragMoveEvent* e)
{
    if (ListDragSource::isOurDrag(e->mimeData()))
        e->acceptProposedAction();
    else
        e->ignore();
}
}

void tHTMLStringGrid::dragEnterEvent(QDragEnterEvent* e)
{
    acceptOurs(e);
}

void tHTMLStringGrid::dragMoveEvent(QDragMoveEvent* e)
{
    acceptOurs(e);
}

void tHTMLStringGrid::dropEvent(QDropEvent* e)
{
    if (!ListDragSource::isOurDrag(e->mimeData())) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    // The cell with the cursor takes the text, not the one under the mouse.
    const int row = currentRow() < 0 ? (m_headerOn && rowCount() > 1 ? 1 : 0) : currentRow();
    const int col = qMax(currentColumn(), 0);
    const QString text = dropText ? dropText() : QString::fromUtf8(e->mimeData()->data(QString::fromLatin1(ListDragSource::kMimeType)));
    setCellText(col, row, text);
}
