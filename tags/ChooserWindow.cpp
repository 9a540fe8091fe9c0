#include "tags/ChooserWindow.h"

#include "app/AppInvoker.h"
#include "app/AppSettings.h"
#include "app/PlacementAdapter.h"
#include "tags/ListDragSource.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QMenuBar>
#include <QShowEvent>
#include <algorithm>

namespace {
const int kItemRole = Qt::UserRole + 1;
}

ChooserList::ChooserList(double columnShare, QWidget* parent)
    : QTreeWidget(parent), m_share(columnShare)
{
    setColumnCount(2);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    header()->setStretchLastSection(true);
}

QString ChooserList::itemText(const QTreeWidgetItem* item)
{
    return item ? item->data(0, kItemRole).toString() : QString();
}

void ChooserList::setItems(QStringList items)
{
    const QString current = currentItemText();
    // Letter case is ignored, and where two items differ only in case the
    // capital comes first: "&Aacute;", "&aacute;", "&Acirc;".
    std::sort(items.begin(), items.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(items.size());
    for (const QString& text : items) {
        const qsizetype tab = text.indexOf(QLatin1Char('\t'));
        auto* row = new QTreeWidgetItem;
        row->setText(0, tab < 0 ? text : text.left(tab));
        row->setText(1, tab < 0 ? QString() : text.mid(tab + 1));
        row->setData(0, kItemRole, text);
        // Items too long for their column can still be read whole.
        const QString whole = tab < 0 ? text : text.left(tab) + QStringLiteral("   ") + text.mid(tab + 1);
        row->setToolTip(0, whole);
        row->setToolTip(1, whole);
        rows << row;
    }
    addTopLevelItems(rows);
    if (QTreeWidgetItem* again = findItem(current))
        setCurrentItem(again, 0, QItemSelectionModel::NoUpdate);
    fitColumns();
}

QStringList ChooserList::items() const
{
    QStringList out;
    for (int i = 0; i < topLevelItemCount(); ++i)
        out << itemText(topLevelItem(i));
    return out;
}

QString ChooserList::currentItemText() const
{
    return itemText(currentItem());
}

QTreeWidgetItem* ChooserList::findItem(const QString& text) const
{
    if (text.isEmpty())
        return nullptr;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        if (itemText(topLevelItem(i)) == text)
            return topLevelItem(i);
    }
    return nullptr;
}

void ChooserList::resizeEvent(QResizeEvent* e)
{
    QTreeWidget::resizeEvent(e);
    fitColumns();
}

void ChooserList::fitColumns()
{
    setColumnWidth(0, int(viewport()->width() * m_share));
}

ChooserWindow::ChooserWindow(TagEngine& engine, const QString& caption, const QString& section,
                             double columnShare, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      Prefs(AppSettings::kPrefsFile, section), m_engine(engine)
{
    setWindowTitle(caption);
    m_list = new ChooserList(columnShare, this);
    setCentralWidget(m_list);

    QMenu* file = menuBar()->addMenu(tr("&File"));
    Close1 = file->addAction(tr("&Close"));
    KeeponTop1 = file->addAction(tr("&Keep on Top"));
    KeeponTop1->setCheckable(true);
    KeeponTop1->setChecked(true);
    connect(Close1, &QAction::triggered, this, &ChooserWindow::Close1Click);
    connect(KeeponTop1, &QAction::triggered, this,
            [this] { AppInvoker::run([this] { KeeponTop1Click(); }); });

    m_drag = new ListDragSource(m_list, [this](const QModelIndex& index) {
        StartDrag(ChooserList::itemText(m_list->topLevelItem(index.row())));
    });
    resize(320, 360);
}

void ChooserWindow::showChooser()
{
    show();
    raise();
    activateWindow();
}

void ChooserWindow::StartDrag(const QString& item)
{
    const TagPair pair = dragPair(item);
    m_engine.setLastPair(pair.open, pair.close);
}

void ChooserWindow::Close1Click()
{
    close();
}

void ChooserWindow::KeeponTop1Click()
{
    // The menu entry toggles its own check mark; the window follows it.
    setKeepOnTop(this, KeeponTop1->isChecked(), &m_reflagging);
}

void ChooserWindow::showEvent(QShowEvent* e)
{
    // Changing the stay-on-top flag shows the window again; that is not a
    // new showing and must not move it back to its stored place.
    if (!e->spontaneous() && !m_reflagging) {
        AppInvoker::run([this] {
            bagShow(Prefs, this);
        });
    }
    QMainWindow::showEvent(e);
}

void ChooserWindow::closeEvent(QCloseEvent* e)
{
    AppInvoker::run([this] {
        bagClose(Prefs, this);
    });
    QMainWindow::closeEvent(e);
}
