#include "tools/TfPlugIn.h"

#include "tools/FrameFollower.h"

#include "app/AppInvoker.h"
#include "app/AppSettings.h"
#include "app/ListFile.h"
#include "app/PlacementAdapter.h"
#include "app/UiPrompter.h"
#include "tags/ListDragSource.h"
#include "tags/TagEngine.h"
#include "tools/PlugInFile.h"
#include "render/HelpViewer.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
const int kLineRole = Qt::UserRole + 1;
}

TfPlugIn::TfPlugIn(TagEngine& engine, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      Prefs(AppSettings::kPrefsFile, QStringLiteral("Plug Ins")), m_engine(engine)
{
    setObjectName(QStringLiteral("fPlugIn"));
    setWindowTitle(QStringLiteral("Velquist Plug Ins"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    lPlug = new QTreeWidget(central);
    lPlug->setObjectName(QStringLiteral("lPlug"));
    lPlug->setColumnCount(3);
    lPlug->setHeaderLabels({QStringLiteral("Description"), QStringLiteral("Insert Left"),
                            QStringLiteral("Insert Right")});
    lPlug->header()->setSectionsMovable(false);
    lPlug->header()->setStretchLastSection(true);
    lPlug->setRootIsDecorated(false);
    lPlug->setUniformRowHeights(true);
    lPlug->setAllColumnsShowFocus(true);
    lPlug->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lPlug->setToolTip(QStringLiteral("Double Click or Drag & Drop to Insert HTML Tag"));
    lPlug->setStatusTip(lPlug->toolTip());
    layout->addWidget(lPlug, 1);

    auto* row = new QHBoxLayout;
    lstPFiles = new QComboBox(central);
    lstPFiles->setObjectName(QStringLiteral("lstPFiles"));
    lstPFiles->setToolTip(QStringLiteral("Select a Plug In file to display"));
    lstPFiles->setMinimumContentsLength(16);
    row->addWidget(lstPFiles, 1);
    btnRefresh = new QPushButton(QStringLiteral("&Refresh List"), central);
    btnRefresh->setToolTip(QStringLiteral("Refresh list of Plug In Files"));
    OKBtn = new QPushButton(QStringLiteral("&Insert"), central);
    CancelBtn = new QPushButton(QStringLiteral("&Close"), central);
    HelpBtn = new QPushButton(QStringLiteral("&Help"), central);
    HelpViewer::attach(HelpBtn, 100);
    for (QPushButton* b : {btnRefresh, OKBtn, CancelBtn, HelpBtn})
        row->addWidget(b);
    layout->addLayout(row);
    setCentralWidget(central);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    Close1 = file->addAction(QStringLiteral("&Close"));
    KeeponTop1 = file->addAction(QStringLiteral("&Keep on Top"));
    KeeponTop1->setCheckable(true);
    KeeponTop1->setChecked(true);
    QMenu* refresh = menuBar()->addMenu(QStringLiteral("&Refresh"));
    Rescan1 = refresh->addAction(QStringLiteral("&Rescan for PlugIn Files"));

    auto run = [this](void (TfPlugIn::*fn)()) { return [this, fn] { AppInvoker::run([this, fn] { (this->*fn)(); }); }; };
    connect(btnRefresh, &QPushButton::clicked, this, run(&TfPlugIn::SetListBox));
    connect(Rescan1, &QAction::triggered, this, run(&TfPlugIn::SetListBox));
    connect(OKBtn, &QPushButton::clicked, this, run(&TfPlugIn::OKBtnClick));
    connect(lPlug, &QTreeWidget::itemDoubleClicked, this, run(&TfPlugIn::OKBtnClick));
    connect(CancelBtn, &QPushButton::clicked, this, &TfPlugIn::CancelBtnClick);
    connect(Close1, &QAction::triggered, this, &TfPlugIn::Close1Click);
    connect(KeeponTop1, &QAction::triggered, this, run(&TfPlugIn::KeeponTop1Click));
    connect(lstPFiles, &QComboBox::activated, this, run(&TfPlugIn::GetCommands));
    m_drag = new ListDragSource(lPlug, [this](const QModelIndex& index) { StartDrag(index.row()); });

    FrameFollower::closeWithFrame(this);
    resize(560, 380);
    setLines(PlugInFile::builtInLines());
    // SetForm: the files are looked for once the window exists.
    AppInvoker::run([this] { SetListBox(); });
}

QStringList TfPlugIn::lines() const
{
    QStringList out;
    for (int i = 0; i < lPlug->topLevelItemCount(); ++i)
        out << lPlug->topLevelItem(i)->data(0, kLineRole).toString();
    return out;
}

void TfPlugIn::setLines(QStringList lines)
{
    PlugInFile::sortLines(lines);
    lPlug->clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(lines.size());
    for (const QString& line : std::as_const(lines)) {
        const PlugInEntry e = PlugInFile::splitLine(line);
        auto* item = new QTreeWidgetItem({e.description, e.open, e.close});
        item->setData(0, kLineRole, line);
        rows << item;
    }
    lPlug->addTopLevelItems(rows);
}

void TfPlugIn::showPlugIns()
{
    show();
    raise();
    activateWindow();
}

void TfPlugIn::SetListBox()
{
    QString first;
    const QStringList names = PlugInFile::fileNames(&first);
    if (names.isEmpty())
        return;
    {
        const QSignalBlocker block(lstPFiles);
        lstPFiles->clear();
        lstPFiles->addItems(names);
        lstPFiles->setCurrentIndex(int(names.indexOf(first)));
    }
    GetCommands();
}

void TfPlugIn::GetCommands()
{
    lPlug->clear();
    const QString name = lstPFiles->currentText();
    if (name.isEmpty())
        return;
    const QString path = PlugInFile::pathOf(name);
    QStringList lines;
    QString error;
    if (!ListFile::read(path, &lines, &error)) {
        UiPrompter::instance().message(this, error, UiPrompter::Ok, UiPrompter::Warning);
        return;
    }
    setLines(lines);
}

void TfPlugIn::OKBtnClick()
{
    QTreeWidgetItem* item = lPlug->currentItem();
    if (!item || !item->isSelected())
        return;
    const PlugInEntry e = PlugInFile::splitLine(item->data(0, kLineRole).toString());
    m_engine.InsertTagPair(e.open, e.close);
}

void TfPlugIn::StartDrag(int row)
{
    QTreeWidgetItem* item = lPlug->topLevelItem(row);
    if (!item)
        return;
    const PlugInEntry e = PlugInFile::splitLine(item->data(0, kLineRole).toString());
    m_engine.setLastPair(e.open, e.close);
}

void TfPlugIn::KeeponTop1Click()
{
    setKeepOnTop(this, KeeponTop1->isChecked(), &m_reflagging);
}

void TfPlugIn::showEvent(QShowEvent* e)
{
    if (!e->spontaneous() && !m_reflagging)
        AppInvoker::run([this] { bagShow(Prefs, this); });
    QMainWindow::showEvent(e);
    fitColumns();
}

void TfPlugIn::closeEvent(QCloseEvent* e)
{
    AppInvoker::run([this] { bagClose(Prefs, this); });
    QMainWindow::closeEvent(e);
}

void TfPlugIn::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    fitColumns();
}

void TfPlugIn::fitColumns()
{
    // The second and third columns begin at 35 % and 75 % of the list's width.
    const int w = lPlug->viewport()->width();
    lPlug->setColumnWidth(0, w * 35 / 100);
    lPlug->setColumnWidth(1, w * 75 / 100 - w * 35 / 100);
}
