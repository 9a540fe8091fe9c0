#include "tools/TfNotePad.h"

#include "tools/FrameFollower.h"

#include "app/AppError.h"
#include "app/AppInvoker.h"
#include "app/AppPaths.h"
#include "app/AppSettings.h"
#include "app/ListFile.h"
#include "app/PlacementAdapter.h"
#include "app/UiPrompter.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QShowEvent>

namespace {
const char* const kWelcome =
    "Welcome to the Velquist NotePad.\n"
    "\n"
    "Hints:\n"
    "\n"
    "Click the right mouse button to perform Clipboard functions.\n"
    "\n"
    "Your Notepad contents will be automatically saved between \n"
    "sessions.";
const QString kNotes = QStringLiteral("notes.txt");
} // namespace

QString TfNotePad::notesFile()
{
    return AppPaths::dataFile(kNotes);
}

TfNotePad::TfNotePad(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      Prefs(AppSettings::kPrefsFile, QStringLiteral("NotePad"))
{
    setObjectName(QStringLiteral("fNotePad"));
    setWindowTitle(QStringLiteral("Velquist NotePad"));
    memNotes = new QPlainTextEdit(this);
    memNotes->setObjectName(QStringLiteral("memNotes"));
    memNotes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memNotes->setPlainText(QString::fromLatin1(kWelcome));
    memNotes->document()->setModified(false);
    setCentralWidget(memNotes);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    Close1 = file->addAction(QStringLiteral("&Close"));
    KeeponTop1 = file->addAction(QStringLiteral("&Keep on Top"));
    KeeponTop1->setCheckable(true);
    KeeponTop1->setChecked(true);
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    // The text area takes Ctrl+X, Ctrl+C and Ctrl+V itself; the menu shows
    // them without making them keys of the program's own.
    Cut1 = edit->addAction(QStringLiteral("Cu&t\tCtrl+X"));
    Copy1 = edit->addAction(QStringLiteral("&Copy\tCtrl+C"));
    Paste1 = edit->addAction(QStringLiteral("&Paste\tCtrl+V"));

    m_popup = new QMenu(this);
    QAction* undo = m_popup->addAction(QStringLiteral("&Undo"));
    m_popup->addSeparator();
    m_popup->addAction(Copy1);
    m_popup->addAction(Cut1);
    m_popup->addAction(Paste1);
    memNotes->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(memNotes, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_popup->popup(memNotes->mapToGlobal(at)); });

    connect(Close1, &QAction::triggered, this, &TfNotePad::Close1Click);
    connect(KeeponTop1, &QAction::triggered, this, &TfNotePad::KeeponTop1Click);
    connect(undo, &QAction::triggered, this, &TfNotePad::doUndo);
    connect(Cut1, &QAction::triggered, this, &TfNotePad::Cut1Click);
    connect(Copy1, &QAction::triggered, this, &TfNotePad::Copy1Click);
    connect(Paste1, &QAction::triggered, this, &TfNotePad::Paste1Click);
    // However the program ends, an open pad keeps what was typed.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { saveNow(); });
    FrameFollower::closeWithFrame(this);
    resize(360, 300);
}

void TfNotePad::showNotePad()
{
    show();
    raise();
    activateWindow();
}

void TfNotePad::LoadNotes()
{
    bagShow(Prefs, this);
    const QString path = AppPaths::readableDataFile(kNotes);
    if (!QFileInfo::exists(path))
        return;
    QStringList lines;
    QString error;
    if (!ListFile::read(path, &lines, &error)) {
        UiPrompter::instance().message(this, error, UiPrompter::Ok, UiPrompter::Warning);
        return;
    }
    // Every line was written with its line end; the last one's makes no
    // empty line of its own.
    memNotes->setPlainText(lines.join(QLatin1Char('\n')));
    memNotes->document()->setModified(false);
}

bool TfNotePad::SaveNotes()
{
    AppInvoker::run([this] { bagClose(Prefs, this); });
    // Every line of the text, an empty last one included, so that the text
    // comes back exactly as it was typed.
    const QStringList lines = memNotes->toPlainText().split(QLatin1Char('\n'));
    try {
        AppPaths::ensureDataDir();
        ListFile::write(notesFile(), lines);
    } catch (const AppError& e) {
        UiPrompter::instance().message(this, e.message(), UiPrompter::Ok, UiPrompter::Warning);
        return false;
    }
    memNotes->document()->setModified(false);
    return true;
}

bool TfNotePad::saveNow()
{
    return !m_open || SaveNotes();
}

void TfNotePad::KeeponTop1Click()
{
    setKeepOnTop(this, KeeponTop1->isChecked(), &m_reflagging);
}

void TfNotePad::doUndo() { memNotes->undo(); }
void TfNotePad::Cut1Click() { memNotes->cut(); }
void TfNotePad::Copy1Click() { memNotes->copy(); }
void TfNotePad::Paste1Click() { memNotes->paste(); }

void TfNotePad::showEvent(QShowEvent* e)
{
    if (!e->spontaneous() && !m_reflagging && !m_open) {
        m_open = true;
        AppInvoker::run([this] { LoadNotes(); });
    }
    QMainWindow::showEvent(e);
}

void TfNotePad::closeEvent(QCloseEvent* e)
{
    // A pad whose text could not be written stays "open": the end of the
    // program tries again.
    if (m_open && SaveNotes())
        m_open = false;
    QMainWindow::closeEvent(e);
}
