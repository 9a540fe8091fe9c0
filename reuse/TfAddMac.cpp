#include "reuse/TfAddMac.h"

#include "app/AppInvoker.h"
#include "app/AppSettings.h"
#include "app/PlacementAdapter.h"
#include "reuse/MacroList.h"
#include "reuse/MacroListView.h"
#include "tags/ListDragSource.h"
#include "tags/TagEngine.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QShowEvent>

TfAddMac::TfAddMac(TagEngine& engine, std::function<QStringList()> systemMacros, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      Prefs(AppSettings::kPrefsFile, QStringLiteral("Macros")), m_engine(engine),
      m_systemMacros(std::move(systemMacros))
{
    setObjectName(QStringLiteral("fAddMac"));
    setWindowTitle(QStringLiteral("Macros"));
    lMac = new MacroListView(this);
    lMac->setObjectName(QStringLiteral("lMac"));
    const QString hint = QStringLiteral("Double Click or Drag & Drop to Insert Macro");
    lMac->setToolTip(hint);
    lMac->setStatusTip(hint);
    lMac->setLines(MacroList::builtInWindow());
    setCentralWidget(lMac);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    Close1 = file->addAction(QStringLiteral("&Close"));
    KeeponTop1 = file->addAction(QStringLiteral("&Keep on Top"));
    KeeponTop1->setCheckable(true);
    KeeponTop1->setChecked(true);
    connect(Close1, &QAction::triggered, this, &TfAddMac::Close1Click);
    connect(KeeponTop1, &QAction::triggered, this, [this] { AppInvoker::run([this] { KeeponTop1Click(); }); });
    connect(lMac, &QTreeWidget::itemDoubleClicked, this, [this] { AppInvoker::run([this] { AddMac(); }); });
    m_drag = new ListDragSource(lMac, [this](const QModelIndex& index) {
        // The list selects the entry under the pointer first.
        lMac->setCurrentIndex(index);
        StartDrag(lMac->currentLine());
    });
    resize(300, 320);
}

void TfAddMac::showWindow()
{
    show();
    raise();
    activateWindow();
}

void TfAddMac::LoadMacs()
{
    QStringList lines = MacroList::readUser();
    lines += m_systemMacros();
    lMac->setLines(lines);
}

void TfAddMac::AddMac()
{
    const QString entry = lMac->currentLine();
    if (!entry.isEmpty())
        m_engine.InsertTagPair(MacroList::keyOf(entry), QString());
}

void TfAddMac::StartDrag(const QString& entry)
{
    if (!entry.isEmpty())
        m_engine.setLastPair(MacroList::keyOf(entry), QString());
}

void TfAddMac::Close1Click()
{
    close();
}

void TfAddMac::KeeponTop1Click()
{
    setKeepOnTop(this, KeeponTop1->isChecked(), &m_reflagging);
}

bool TfAddMac::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        AppInvoker::run([this] { LoadMacs(); });
    return QMainWindow::event(e);
}

void TfAddMac::showEvent(QShowEvent* e)
{
    // Changing the stay-on-top flag shows the window again; that is no new showing.
    if (!e->spontaneous() && !m_reflagging)
        AppInvoker::run([this] { bagShow(Prefs, this); });
    QMainWindow::showEvent(e);
}

void TfAddMac::closeEvent(QCloseEvent* e)
{
    AppInvoker::run([this] { bagClose(Prefs, this); });
    QMainWindow::closeEvent(e);
}
