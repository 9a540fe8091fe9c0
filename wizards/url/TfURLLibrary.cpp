#include "wizards/url/TfURLLibrary.h"

#include "app/AppInvoker.h"
#include "app/AppSettings.h"
#include "app/PlacementAdapter.h"
#include "app/UiPrompter.h"
#include "tags/ListDragSource.h"
#include "tags/TagEngine.h"
#include "wizards/url/UrlLists.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenuBar>
#include <QShowEvent>
#include <QWindow>

TfURLLibrary::TfURLLibrary(TagEngine& engine, QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      Prefs(AppSettings::kPrefsFile, QStringLiteral("URL Lib")), m_engine(engine)
{
    setObjectName(QStringLiteral("fURLLibrary"));
    setWindowTitle(QStringLiteral("URL Library"));
    lstURL = new QListWidget(this);
    lstURL->setObjectName(QStringLiteral("lstURL"));
    // Several entries may be selected; the one with the focus counts.
    lstURL->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstURL->setUniformItemSizes(true);
    const QString hint = QStringLiteral("Double Click or Drag & Drop to Insert a URL");
    lstURL->setToolTip(hint);
    lstURL->setStatusTip(hint);
    setCentralWidget(lstURL);
    connect(lstURL, &QListWidget::itemDoubleClicked, this, [this] { AppInvoker::run([this] { lstURLSelect(); }); });
    // Enter inserts too, for the keyboard.
    lstURL->installEventFilter(this);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    Close1 = file->addAction(QStringLiteral("&Close"));
    KeeponTop1 = file->addAction(QStringLiteral("&Keep on Top"));
    KeeponTop1->setCheckable(true);
    KeeponTop1->setChecked(true);
    connect(Close1, &QAction::triggered, this, &TfURLLibrary::Close1Click);
    connect(KeeponTop1, &QAction::triggered, this, [this] { AppInvoker::run([this] { KeeponTop1Click(); }); });

    m_drag = new ListDragSource(lstURL, [this](const QModelIndex& index) {
        StartDrag(index.data().toString());
    });
    resize(420, 360);
}

void TfURLLibrary::showLibrary()
{
    show();
    raise();
    activateWindow();
}

void TfURLLibrary::LoadLibrary()
{
    QStringList items;
    QString error;
    switch (UrlLists::load(UrlLists::kLibraryFile, &items, &error)) {
    case UrlLists::Load::Missing:
        return;
    case UrlLists::Load::Failed:
        UiPrompter::instance().message(this, error, UiPrompter::Ok, UiPrompter::Warning);
        return;
    case UrlLists::Load::Loaded:
        break;
    }
    const QString current = currentEntry();
    lstURL->clear();
    lstURL->addItems(items);
    if (const int row = int(items.indexOf(current)); row >= 0)
        lstURL->setCurrentRow(row, QItemSelectionModel::NoUpdate);
}

QStringList TfURLLibrary::entries() const
{
    QStringList out;
    for (int i = 0; i < lstURL->count(); ++i)
        out << lstURL->item(i)->text();
    return out;
}

QString TfURLLibrary::currentEntry() const
{
    const QListWidgetItem* item = lstURL->currentItem();
    return item ? item->text() : QString();
}

void TfURLLibrary::lstURLSelect()
{
    if (lstURL->currentItem())
        m_engine.InsertTagPair(currentEntry(), QString());
}

void TfURLLibrary::StartDrag(const QString& entry)
{
    m_engine.setLastPair(entry, QString());
}

void TfURLLibrary::Close1Click()
{
    close();
}

void TfURLLibrary::KeeponTop1Click()
{
    // The menu entry toggles its own check mark; the window follows it. On
    // top of the frame means the frame's own window (which the window system
    // keeps above the frame, and below the program's dialogs); not on top,
    // an ordinary window. A shown window takes the change when shown again.
    const bool visible = isVisible();
    m_reflagging = true;
    if (visible)
        hide();
    followKeepOnTop();
    if (visible)
        show();
    m_reflagging = false;
}

void TfURLLibrary::followKeepOnTop()
{
    if (QWindow* w = windowHandle()) {
        QWidget* frame = parentWidget() ? parentWidget()->window() : nullptr;
        w->setTransientParent(KeeponTop1->isChecked() && frame ? frame->windowHandle() : nullptr);
    }
}

bool TfURLLibrary::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == lstURL && e->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(e);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && lstURL->currentItem()) {
            AppInvoker::run([this] { lstURLSelect(); });
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void TfURLLibrary::showEvent(QShowEvent* e)
{
    // Changing the stay-on-top flag shows the window again; that is not a new showing.
    if (!e->spontaneous() && !m_reflagging) {
        AppInvoker::run([this] { bagShow(Prefs, this); });
        // Without a placement of its own the window first shows over the
        // middle of the frame, as the program's dialogs do.
        WindowPlacement stored;
        if (!m_placed && !Prefs.GetPlacement(FormPlaceKey, stored) && parentWidget()) {
            QRect r = geometry();
            r.moveCenter(parentWidget()->window()->geometry().center());
            setGeometry(r);
        }
        m_placed = true;
        AppInvoker::run([this] { LoadLibrary(); });
    }
    QMainWindow::showEvent(e);
}

void TfURLLibrary::closeEvent(QCloseEvent* e)
{
    AppInvoker::run([this] { bagClose(Prefs, this); });
    QMainWindow::closeEvent(e);
}
