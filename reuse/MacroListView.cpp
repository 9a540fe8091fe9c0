#include "reuse/MacroListView.h"

#include <QHeaderView>

namespace {
const int kLineRole = Qt::UserRole + 1;

QTreeWidgetItem* makeRow(const QString& line)
{
    const qsizetype tab = line.indexOf(QLatin1Char('\t'));
    auto* row = new QTreeWidgetItem;
    row->setText(0, tab < 0 ? line : line.left(tab));
    row->setText(1, tab < 0 ? QString() : line.mid(tab + 1));
    row->setData(0, kLineRole, line);
    return row;
}
} // namespace

MacroListView::MacroListView(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(2);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    header()->setStretchLastSection(true);
}

void MacroListView::setLines(const QStringList& lines)
{
    clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(lines.size());
    for (const QString& line : lines)
        rows << makeRow(line);
    addTopLevelItems(rows);
}

QStringList MacroListView::lines() const
{
    QStringList out;
    for (int i = 0; i < topLevelItemCount(); ++i)
        out << topLevelItem(i)->data(0, kLineRole).toString();
    return out;
}

void MacroListView::appendLine(const QString& line)
{
    addTopLevelItem(makeRow(line));
}

QString MacroListView::currentLine() const
{
    const QTreeWidgetItem* item = currentItem();
    return item && item->isSelected() ? item->data(0, kLineRole).toString() : QString();
}

bool MacroListView::removeCurrent()
{
    QTreeWidgetItem* item = currentItem();
    if (!item || !item->isSelected())
        return false;
    delete item;
    return true;
}

void MacroListView::resizeEvent(QResizeEvent* e)
{
    QTreeWidget::resizeEvent(e);
    setColumnWidth(0, int(viewport()->width() * 0.30));
}
