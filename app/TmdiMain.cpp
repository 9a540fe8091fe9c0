#include "app/TmdiMain.h"

#include "app/AppError.h"
#include "app/AppInvoker.h"
#include "app/AppPaths.h"
#include "app/AppSettings.h"
#include "app/CommandTable.h"
#include "app/FileGuard.h"
#include "app/PathUtil.h"
#include "app/SafeFile.h"
#include "app/PlacementAdapter.h"
#include "app/FormatMenu.h"
#include "app/Session.h"
#include "app/ProgressWindow.h"
#include "app/TAboutBox.h"
#include "app/TfColor.h"
#include "app/TfHTML.h"
#include "app/TfOptions.h"
#include "app/UiPrompter.h"
#include "editor/TOvcTextFileEditor.h"
#include "docking/DockingModule.h"
#include "editor/ViewModule.h"
#include "editor/TextFileCodec.h"
#include "render/RenderModule.h"
#include "reuse/ReuseModule.h"
#include "spell/SpellModule.h"
#include "tags/TagsModule.h"
#include "tools/ToolsModule.h"
#include "wizards/WizardsModule.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>

using namespace AppSettings;

namespace {

QString escapeAmpersands(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

const QString kOpenFilterText = QStringLiteral(
    "HTML Documents (*.html;*.htm)|*.html;*.htm|Onvex Plug In Files (*.plg)|*.plg|Text Files (*.txt)|*.txt|"
    "Template Files (*.tpl)|*.tpl|Form Definition (*.vfd)|*.vfd|All Files (*.*)|*.*");
const QString kSaveFilter = QStringLiteral(
    "HTML Document (*.html)|*.html|Onvex Plug In Files (*.plg)|*.plg|Text Files (*.txt)|*.txt|"
    "Template Files (*.tpl)|*.tpl|Form Definition (*.vfd)|*.vfd|All Files (*.*)|*.*");

} // namespace

TmdiMain::TmdiMain(QWidget* parent)
    : QMainWindow(parent), IniControl(kAppName, kCompany, kIniName, TMegaRegistry::mrpIni),
      m_tags(std::make_unique<TagEngine>(*this))
{
    setObjectName(QStringLiteral("mdiMain"));
    setWindowTitle(kMainCaption);
    keepWindowsOnScreen();
    IniControl.Open();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_mdi = new QMdiArea(central);
    m_mdi->setViewMode(QMdiArea::SubWindowView);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    layout->addWidget(m_mdi, 1);
    TabSet1 = new QTabBar(central);
    TabSet1->setObjectName(QStringLiteral("TabSet1"));
    TabSet1->setShape(QTabBar::RoundedSouth);
    TabSet1->setExpanding(false);
    TabSet1->setUsesScrollButtons(true);
    TabSet1->setDocumentMode(true);
    layout->addWidget(TabSet1);
    setCentralWidget(central);

    connect(m_mdi, &QMdiArea::subWindowActivated, this, &TmdiMain::onSubWindowActivated);
    connect(TabSet1, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index < 0)
            return;
        TabSet1->setCurrentIndex(index);
        AppInvoker::run([this] { DisplayTabName(); });
    });

    // The subsystems, each binding its handlers into the command table.
    m_modules.push_back(std::make_unique<TagsModule>(*this));
    m_modules.push_back(std::make_unique<WizardsModule>(*this));
    m_modules.push_back(std::make_unique<ReuseModule>(*this));
    m_modules.push_back(std::make_unique<ToolsModule>(*this));
    m_modules.push_back(std::make_unique<RenderModule>(*this));
    m_modules.push_back(std::make_unique<SpellModule>(*this));
    m_modules.push_back(std::make_unique<DockingModule>(*this));
    m_modules.push_back(std::make_unique<ViewModule>(*this));
    bindCommands(m_commands);
    for (const auto& m : m_modules)
        m->bindCommands(m_commands);
    CommandTable::build(*this, m_commands);
    for (const char* toggle : {"WordWrap1Click", "DocumentTabs1Click"})
        setChecked(QString::fromLatin1(toggle), true);
    for (const auto& m : m_modules)
        m->commandsBuilt();
    buildStatusLine();
    FormCreate();
    setupEditingView();
    m_fileGuard = new FileGuard(*this);
    m_fileGuard->installSignalHandlers();
}

void TmdiMain::bindCommands(CommandBinder& b)
{
    b.bind("FileNew", this, &TmdiMain::FileNew);
    b.bind("FileOpen", this, &TmdiMain::FileOpen);
    b.bind("FileCloseChild", this, &TmdiMain::FileCloseChild);
    b.bind("CloseAll1Click", this, &TmdiMain::CloseAll1Click);
    b.bind("FileSave", this, &TmdiMain::FileSave);
    b.bind("FileSaveAs", this, &TmdiMain::FileSaveAs);
    b.bind("FileExit", this, &TmdiMain::FileExit);
    b.bind("EditUndo", this, &TmdiMain::EditUndo);
    b.bind("EditRedoClick", this, &TmdiMain::EditRedoClick);
    b.bind("EditCut", this, &TmdiMain::EditCut);
    b.bind("EditCopy", this, &TmdiMain::EditCopy);
    b.bind("EditPaste", this, &TmdiMain::EditPaste);
    b.bind("EditDelete", this, &TmdiMain::EditDelete);
    b.bind("EditClear", this, &TmdiMain::EditClear);
    b.bind("WindowTile", this, &TmdiMain::WindowTile);
    b.bind("WindowCascade", this, &TmdiMain::WindowCascade);
    b.bind("WindowArrange", this, &TmdiMain::WindowArrange);
    b.bind("WordWrap1Click", this, &TmdiMain::WordWrap1Click);
    b.bind("SmartTabs1Click", this, &TmdiMain::SmartTabs1Click);
    b.bind("DocumentTabs1Click", this, &TmdiMain::DocumentTabs1Click);
    b.bind("SetEditorColors1Click", this, &TmdiMain::SetEditorColors1Click);
    b.bind("SyntaxHighlighting1Click", this, &TmdiMain::SyntaxHighlighting1Click);
    b.bind("LineNumbers1Click", this, &TmdiMain::LineNumbers1Click);
    b.bind("AutoCloseTags1Click", this, &TmdiMain::AutoCloseTags1Click);
    b.bind("ToggleComment1Click", this, &TmdiMain::ToggleComment1Click);
    b.bind("ExpandAbbreviation1Click", this, &TmdiMain::ExpandAbbreviation1Click);
    b.bind("CloseTagOnGreater1Click", this, &TmdiMain::CloseTagOnGreater1Click);
    b.bind("CompletionLists1Click", this, &TmdiMain::CompletionLists1Click);
    b.bind("GotoMatchingTag1Click", this, &TmdiMain::GotoMatchingTag1Click);
    b.bind("GotoLine1Click", this, &TmdiMain::GotoLine1Click);
    b.bind("ApplicationOptions1Click", this, &TmdiMain::ApplicationOptions1Click);
    b.bind("HelpAbout", this, &TmdiMain::HelpAbout);
}

bool TmdiMain::run(const QString& handler)
{
    const std::function<void()> fn = m_commands.handler(handler);
    return fn && AppInvoker::run(fn);
}

ProgressWindow& TmdiMain::progressWindow()
{
    if (!m_progress)
        m_progress = new ProgressWindow(this);
    return *m_progress;
}

TfOptions* TmdiMain::optionsDialog()
{
    if (!m_options)
        m_options = new TfOptions(*this);
    return m_options;
}

TAboutBox* TmdiMain::aboutBox()
{
    if (!m_about)
        m_about = new TAboutBox(this);
    return m_about;
}

TfColor* TmdiMain::editorColorsDialog()
{
    if (!m_editorColors)
        m_editorColors = new TfColor(*this);
    return m_editorColors;
}

QString TmdiMain::openFilter() const
{
    return kOpenFilterText;
}

TmdiMain::~TmdiMain()
{
    // The document area outlives this part of the frame: its signals must not
    // reach it any more.
    m_mdi->disconnect(this);
    TabSet1->disconnect(this);
    for (QMdiSubWindow* sub : m_mdi->subWindowList())
        sub->disconnect(this);
    AppInvoker::setHandler(nullptr);
    AppInvoker::setFileErrorHandler(nullptr);
}

void TmdiMain::FormCreate()
{
    AppInvoker::setHandler([this](const QString& message) { AppException(message); });
    AppInvoker::setFileErrorHandler([this](const QString& message) {
        SetStatusText(kReady);
        UiPrompter::instance().message(this, message, UiPrompter::Ok, UiPrompter::Warning);
    });
    m_timer = new QTimer(this);
    m_timer->setInterval(2000);
    connect(m_timer, &QTimer::timeout, this, [this] { AppInvoker::run([this] { ShowStatus(); }); });
    m_timer->start();
    SetStatusText(kReady);
}

void TmdiMain::buildStatusLine()
{
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(true);
    // The panels sit side by side in Panel1 at their designed widths;
    // AdjustControls places them and stretches the last one.
    auto* panel1 = new QWidget(bar);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    bar->addWidget(panel1, 1);
    auto make = [panel1](const char* name, int width, const QString& hint) {
        auto* l = new QLabel(panel1);
        l->setObjectName(QString::fromLatin1(name));
        l->setTextFormat(Qt::PlainText);  // tag texts must never render as markup
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        l->setProperty("designWidth", width);
        l->setToolTip(hint);
        l->setStatusTip(hint);
        return l;
    };
    StatusLine = make("StatusLine", 194, QString());
    pnlMode = make("pnlMode", 65, QStringLiteral("Current Editing Mode"));
    pnlPos = make("pnlPos", 52, QStringLiteral("Current Position"));
    pnlSize = make("pnlSize", 72, QStringLiteral("Files Size in Bytes"));
    pnlFormat = make("pnlFormat", 150, QStringLiteral("Encoding and Line Ends of the File: click to change them"));
    FormatMenu::attach(*this, pnlFormat);
    pnlApp = make("pnlApp", 110, QStringLiteral("Your User Name"));
    pnlTag = make("pnlTag", 143, QStringLiteral("Last Tag inserted - to reuse press \"F4\""));
    panel1->setFixedHeight(StatusLine->sizeHint().height());
    AdjustControls();
}

// ---------------------------------------------------------------------------
// Status line and application-wide handlers

void TmdiMain::SetStatusText(const QString& text)
{
    const QString caption = QStringLiteral("   ") + text;
    if (StatusLine->text() != caption)
        StatusLine->setText(caption);
}

QString TmdiMain::statusText() const
{
    return StatusLine->text();
}

QLabel* TmdiMain::panel(const QString& objectName) const
{
    return statusBar()->findChild<QLabel*>(objectName);
}

void TmdiMain::SetTagPanel(const QString& text)
{
    pnlTag->setText(text);
}

void TmdiMain::ShowHint(const QString& hint)
{
    StatusLine->setText(hint);
}

bool TmdiMain::event(QEvent* e)
{
    if (e->type() == QEvent::StatusTip) {
        ShowHint(static_cast<QStatusTipEvent*>(e)->tip());
        return true;
    }
    return QMainWindow::event(e);
}

void TmdiMain::AppException(const QString& message)
{
    SetStatusText(kInternalError);
    // The detail stays available to the user without a dialog.
    StatusLine->setToolTip(message);
    UiPrompter::instance().beep();
}

void TmdiMain::ShowStatus()
{
    TfHTML* doc = activeDocument();
    if (!doc)
        return;
    int line = 0, column = 0;
    doc->txtHTML->CaretPosition(line, column);
    pnlPos->setText(QStringLiteral("%1:%2").arg(line).arg(column));
    pnlSize->setText(QStringLiteral("Bytes: ") + QString::number(doc->txtHTML->TextSize()));
    pnlMode->setText(doc->txtHTML->InsertMode() ? QStringLiteral("Insert") : QStringLiteral("Overwrite"));
    const TextFileFormat& format = doc->txtHTML->fileFormat();
    pnlFormat->setText(TextFileCodec::encodingName(format) + QStringLiteral("  ") + TextFileCodec::lineEndName(format));
    pnlApp->setText(UserName);
}

// ---------------------------------------------------------------------------
// Start-up and exit

void TmdiMain::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (!m_started) {
        m_started = true;
        // The start-up step runs once the frame is on screen, so its message
        // boxes ("... is already open.") appear over the visible frame.
        QTimer::singleShot(0, this, [this] { startUpWhenExposed(0); });
    }
}

void TmdiMain::startUpWhenExposed(int tries)
{
    // A frame that never becomes visible (started minimized, say) still
    // starts up after about two seconds.
    const QWindow* w = windowHandle();
    if (w && !w->isExposed() && tries < 100) {
        QTimer::singleShot(20, this, [this, tries] { startUpWhenExposed(tries + 1); });
        return;
    }
    AppInvoker::run([this] { GetCommandLine(); });
    m_startUpDone = true;
}

void TmdiMain::GetCommandLine()
{
    HelpFile = AppPaths::programFile(QStringLiteral("velquist.hlp"));
    UserName = IniControl.ReadString(kHeader, QStringLiteral("User Name"), kDefUserName);
    LoadIniSettings();
    // The last session's files come back; the template's new document only
    // when none did.
    int restored = 0;
    if (Session::enabled(IniControl))
        AppInvoker::run([&] { restored = Session::restore(*this, IniControl); });
    if (restored == 0 && IniControl.ReadBool(kSystem, QStringLiteral("Open Template"), true))
        FileNew();
    // Documents left by a crash are offered once the frame is on the screen.
    QTimer::singleShot(0, this, [this] { AppInvoker::run([this] { RecoverDocuments(); }); });
    for (const QString& arg : std::as_const(m_commandLine)) {
        SetStatusText(QStringLiteral("Opening File : ") + arg + QStringLiteral(" ..."));
        AppInvoker::run([this, &arg] { OpenDocumentFile(arg); });
        SetStatusText(kReady);
    }
    AdjustControls();
    for (const auto& m : m_modules)
        m->startUp();
    QString dir = IniControl.ReadString(kOptions, QStringLiteral("Startup Directory"),
                                        AppPaths::defaultStartupDir() + QLatin1Char('/'));
    if (dir.size() > 1 && (dir.endsWith(QLatin1Char('/')) || dir.endsWith(QLatin1Char('\\'))))
        dir.chop(1);
    if (!dir.isEmpty() && QFileInfo(dir).isDir())
        QDir::setCurrent(dir);
}

void TmdiMain::LoadIniSettings()
{
    SetStatusText(QStringLiteral("Retrieving Application Settings ..."));
    pnlApp->setText(UserName);
    if (IniControl.ReadInteger(kOptions, QStringLiteral("MDI State"), 1) != 0) {
        setWindowState((windowState() & ~(Qt::WindowMinimized | Qt::WindowFullScreen)) | Qt::WindowMaximized);
    } else {
        setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
        const int left = IniControl.ReadInteger(kOptions, QStringLiteral("MDI Left"), 1);
        const int top = IniControl.ReadInteger(kOptions, QStringLiteral("MDI Top"), 1);
        const int height = IniControl.ReadInteger(kOptions, QStringLiteral("MDI Height"), 480);
        const int width = IniControl.ReadInteger(kOptions, QStringLiteral("MDI Width"), 640);
        // A stored rectangle that no screen shows in full is brought back
        // where the user can reach it.
        setGeometry(fitToScreens(QRect(left, top, width, height)));
    }
    const bool tabs = IniControl.ReadBool(kOptions, QStringLiteral("Document Tabs"), true);
    setChecked(QStringLiteral("DocumentTabs1Click"), tabs);
    TabSet1->setVisible(tabs);
    for (const auto& m : m_modules)
        m->loadSettings();
    QStringList entries;
    for (int i = 0; i < MruList::kSize; ++i)
        entries << IniControl.ReadString(kMru, QString::number(i), QString());
    RecentFiles = MruList(entries);
    MRUDisplay();
    SetStatusText(kReady);
}

void TmdiMain::doIniSettings()
{
    SetStatusText(QStringLiteral("Writing Application Settings ..."));
    IniControl.WriteString(kHeader, QStringLiteral("Programe Name"), kAppTitle);
    IniControl.WriteString(kHeader, QStringLiteral("Version"), kVersion);
    IniControl.WriteString(kHeader, QStringLiteral("Author"), kAuthorTag);
    int state = 0;
    if (windowState() & Qt::WindowMinimized)
        state = 1;
    else if (windowState() & Qt::WindowMaximized)
        state = 2;
    IniControl.WriteInteger(kOptions, QStringLiteral("MDI State"), state);
    if (state == 0) {
        IniControl.WriteInteger(kOptions, QStringLiteral("MDI Width"), width());
        IniControl.WriteInteger(kOptions, QStringLiteral("MDI Height"), height());
        IniControl.WriteInteger(kOptions, QStringLiteral("MDI Top"), y());
        IniControl.WriteInteger(kOptions, QStringLiteral("MDI Left"), x());
    }
    IniControl.WriteBool(kOptions, QStringLiteral("Document Tabs"), isChecked(QStringLiteral("DocumentTabs1Click")));
    Session::store(*this, IniControl);
    for (const auto& m : m_modules)
        m->storeSettings();
    SetStatusText(kReady);
}

void TmdiMain::FileExit()
{
    // A settings folder that cannot be written is told once; the program
    // still closes, as the user asked.
    try {
        doIniSettings();
        for (int i = 0; i < MruList::kSize; ++i)
            IniControl.WriteString(kMru, QString::number(i), RecentFiles.entry(i));
    } catch (const EIniError& e) {
        SetStatusText(kReady);
        QString text = e.message() + QLatin1Char('.');
        if (!e.reason().isEmpty())
            text += QStringLiteral("\n\n") + e.reason();
        UiPrompter::instance().message(this, text, UiPrompter::Ok, UiPrompter::Warning);
    }
    close();
}

void TmdiMain::closeEvent(QCloseEvent* e)
{
    // Every document is asked first; one refusal keeps everything open.
    const QList<TfHTML*> docs = documents();
    for (TfHTML* doc : docs) {
        bool agreed = false;
        AppInvoker::run([&] { agreed = doc->FormQueryClose(); });
        if (!agreed) {
            TabsRefresh();
            e->ignore();
            return;
        }
    }
    for (TfHTML* doc : docs) {
        doc->approveClose();
        if (auto* sub = qobject_cast<QMdiSubWindow*>(doc->parentWidget()))
            sub->close();
    }
    m_timer->stop();
    e->accept();
}

// ---------------------------------------------------------------------------
// Documents

TfHTML* TmdiMain::activeDocument() const
{
    QMdiSubWindow* sub = m_mdi->currentSubWindow();
    if (!sub) {
        const QList<QMdiSubWindow*> list = m_mdi->subWindowList(QMdiArea::ActivationHistoryOrder);
        if (!list.isEmpty())
            sub = list.last();
    }
    TfHTML* doc = sub ? qobject_cast<TfHTML*>(sub->widget()) : nullptr;
    if (doc && doc->isClosed()) {
        const QList<TfHTML*> open = documents();
        doc = open.isEmpty() ? nullptr : open.first();
    }
    return doc;
}

void TmdiMain::placeCascaded(QMdiSubWindow* sub, int index)
{
    // The designed size of a document window, capped to the visible area.
    const QSize room = m_mdi->viewport()->size();
    sub->resize(qMin(652, qMax(200, room.width())), qMin(492, qMax(150, room.height())));
    const int step = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub) + 4;
    const int slot = index % 8;
    sub->move(slot * step, slot * step);
}

QList<TfHTML*> TmdiMain::documents() const
{
    QList<TfHTML*> out;
    const QList<QMdiSubWindow*> list = m_mdi->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = list.crbegin(); it != list.crend(); ++it)
        if (auto* doc = qobject_cast<TfHTML*>((*it)->widget()); doc && !doc->isClosed())
            out << doc;
    return out;
}

TfHTML* TmdiMain::createDocument(const QString& caption)
{
    auto* doc = new TfHTML(*this);
    QMdiSubWindow* sub = m_mdi->addSubWindow(doc);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // New windows cascade from the top left, each a title bar lower than the last.
    placeCascaded(sub, int(m_mdi->subWindowList().size()) - 1);
    connect(sub, &QObject::destroyed, this, [this] {
        QTimer::singleShot(0, this, [this] { onSubWindowActivated(m_mdi->currentSubWindow()); });
    });
    doc->setCaption(caption);
    // A bad stored font is reported and leaves the window with its defaults;
    // the document itself still opens.
    AppInvoker::run([doc] { doc->SetProperties(); });
    // A new document's lines end as this system's do; a file loaded into it
    // brings its own.
    TextFileFormat format = doc->txtHTML->fileFormat();
#ifdef Q_OS_WIN
    format.lineEnd = TextFileFormat::CRLF;
#else
    format.lineEnd = TextFileFormat::LF;
#endif
    doc->txtHTML->SetFileFormat(format);
    return doc;
}

void TmdiMain::showDocument(TfHTML* doc)
{
    auto* sub = qobject_cast<QMdiSubWindow*>(doc->parentWidget());
    if (!sub)
        return;
    if (!sub->isVisible())
        sub->show();
    m_mdi->setActiveSubWindow(sub);
    onSubWindowActivated(sub);
    doc->txtHTML->setFocus();
}

void TmdiMain::onSubWindowActivated(QMdiSubWindow* sub)
{
    if (!sub)
        sub = m_mdi->currentSubWindow();
    TfHTML* doc = sub ? qobject_cast<TfHTML*>(sub->widget()) : nullptr;
    QMenu* wanted = doc ? doc->searchMenu() : nullptr;
    QAction* wantedAction = wanted ? wanted->menuAction() : nullptr;
    if (m_mergedSearch != wantedAction) {
        if (m_mergedSearch)
            menuBar()->removeAction(m_mergedSearch);
        m_mergedSearch = wantedAction;
        if (wantedAction)
            menuBar()->insertAction(m_searchAnchor, wantedAction);
    }
    if (doc)
        doc->SetFocustoMe();
    // A notice about a file belongs to its document's window.
    for (TfHTML* other : documents())
        if (other != doc && !other->notice().isEmpty() && statusText() == QStringLiteral("   ") + other->notice()) {
            SetStatusText(doc && !doc->notice().isEmpty() ? doc->notice() : kReady);
            break;
        }
    updateTitle();
}

void TmdiMain::updateTitle()
{
    TfHTML* doc = activeDocument();
    setWindowTitle(doc ? kMainCaption + QStringLiteral(" - [") + doc->caption() + QLatin1Char(']') : kMainCaption);
}

bool TmdiMain::IsFileNotOpen(const QString& path) const
{
    for (TfHTML* doc : documents()) {
        if (doc->isUntitled() && doc->caption() == path)
            return false;
    }
    // Another name of an open file (a symlink, a hard link) is that file.
    return !m_fileGuard->documentFor(path);
}

void TmdiMain::OpenDocumentFile(const QString& path)
{
    if (!IsFileNotOpen(path)) {
        UiPrompter::instance().message(this, path + QStringLiteral(" is already open."));
        // Another name of an open file brings its window to the front.
        if (TfHTML* open = m_fileGuard->documentFor(path); open && !PathUtil::samePath(open->caption(), path))
            showDocument(open);
        return;
    }
    if (!QFileInfo(path).isFile()) {
        UiPrompter::instance().message(this, QStringLiteral("Unable to find ") + path + QStringLiteral("."));
        return;
    }
    // The document is the file the file system finds under path.
    const QString caption = PathUtil::captionForPath(path);
    TfHTML* doc = createDocument(caption);
    doc->txtHTML->SetMakeBackup(IniControl.ReadBool(kSystem, QStringLiteral("Create Backup"), true));
    try {
        doc->txtHTML->LoadFile(caption);
    } catch (const EFileError& e) {
        // A window that failed to load must not stay behind: saving it would
        // overwrite the file with nothing.
        doc->approveClose();
        delete doc->parentWidget();
        UiPrompter::instance().message(this, e.message(), UiPrompter::Ok, UiPrompter::Critical);
        return;
    } catch (...) {
        doc->approveClose();
        delete doc->parentWidget();
        throw;
    }
    doc->txtHTML->SetModified(false);
    m_fileGuard->loaded(doc);
    showDocument(doc);
    MRUUpdate(caption);
    MRUDisplay();
    TabsUpdate(caption);
    SelectTabName(caption);
    // A save in place that was cut short may have left the file torn; its
    // previous text waits in a copy until the next save succeeds.
    const QString copy = SafeFile::interruptedSave(caption);
    if (!copy.isEmpty())
        UiPrompter::instance().message(
            this, SafeFile::shown(caption) + QStringLiteral("\n\nA save of this file was interrupted, so it may be "
                                                            "incomplete. Its text from before that save is kept in ")
                      + SafeFile::shown(copy) + QStringLiteral(" until the file is saved again."),
            UiPrompter::Ok, UiPrompter::Warning);
}

void TmdiMain::FileNew()
{
    SetStatusText(QStringLiteral("Created a New HTML Document ..."));
    const int number = nextUntitledNumber();
    TfHTML* doc = createDocument(QStringLiteral("New HTML Document ") + QString::number(number));
    const QString tpl = AppPaths::readableDataFile(QStringLiteral("standard.tpl"));
    if (QFileInfo(tpl).isFile()) {
        try {
            doc->txtHTML->LoadFile(tpl);
        } catch (const EFileError& e) {
            // No window stays behind, and its number goes to the next new document.
            doc->approveClose();
            delete doc->parentWidget();
            if (NewDocumentCount == number)
                --NewDocumentCount;
            UiPrompter::instance().message(this, e.message(), UiPrompter::Ok, UiPrompter::Critical);
            SetStatusText(kReady);
            return;
        }
    } else {
        UiPrompter::instance().message(
            this, QStringLiteral("Velquist was unable to find the default template (standard.tpl)  in the "
                                 "Velquist Directory.  You will need to create a new version."));
    }
    showDocument(doc);
    doc->txtHTML->SetModified(false);
    TabsUpdate(doc->caption());
    SelectTabName(doc->caption());
    SetStatusText(kReady);
}

void TmdiMain::FileOpen()
{
    const QStringList files = UiPrompter::instance().openFileNames(
        this, QStringLiteral("Open Document(s)"), QDir::currentPath(), kOpenFilterText);
    for (const QString& f : files) {
        SetStatusText(QStringLiteral("Opening File : ") + f + QStringLiteral(" ..."));
        OpenDocumentFile(f);
    }
    SetStatusText(kReady);
}

QString TmdiMain::askSaveName()
{
    return UiPrompter::instance().saveFileName(this, QStringLiteral("Save HTML Document As ..."),
                                               QDir::currentPath(), kSaveFilter, QString());
}

void TmdiMain::FileSave()
{
    if (TfHTML* doc = activeDocument()) {
        if (!doc->isUntitled()) {
            SetStatusText(QStringLiteral("Saving ") + doc->caption() + QStringLiteral(" ..."));
            if (doc->saveTo(doc->caption())) {
                doc->txtHTML->SetModified(false);
                MRUUpdate(doc->caption());
            }
        } else {
            // Saved under the name the file system resolves it to: the document's identity.
            const QString name = PathUtil::captionForPath(askSaveName());
            if (!name.isEmpty()) {
                SetStatusText(QStringLiteral("Saving ") + name + QStringLiteral(" ..."));
                if (doc->saveTo(name)) {
                    doc->setCaption(name);
                    doc->txtHTML->SetModified(false);
                    MRUUpdate(doc->caption());
                    TabsUpdate(doc->caption());
                    updateTitle();
                }
            }
        }
    }
    TabsRefresh();
    SetStatusText(kReady);
}

void TmdiMain::FileSaveAs()
{
    TfHTML* doc = activeDocument();
    if (!doc)
        return;
    StatusLine->setText(QStringLiteral("Saving ..."));
    const QString name = PathUtil::captionForPath(askSaveName());
    if (!name.isEmpty()) {
        SetStatusText(QStringLiteral("Saving ") + name + QStringLiteral(" ..."));
        if (doc->saveTo(name)) {
            doc->setCaption(name);
            doc->txtHTML->SetModified(false);
            MRUUpdate(doc->caption());
            updateTitle();
        }
    }
    TabsRefresh();
    SetStatusText(kReady);
}

void TmdiMain::FileCloseChild()
{
    if (QMdiSubWindow* sub = activeDocument() ? qobject_cast<QMdiSubWindow*>(activeDocument()->parentWidget()) : nullptr)
        sub->close();
}

void TmdiMain::CloseAll1Click()
{
    // From the last in the frame's child order (the window used longest ago)
    // to the first (the active one).
    const QList<QMdiSubWindow*> list = m_mdi->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (QMdiSubWindow* sub : list)
        sub->close();
}

// ---------------------------------------------------------------------------
// Edit commands

void TmdiMain::onActiveDocument(void (TfHTML::*command)())
{
    if (TfHTML* doc = activeDocument())
        (doc->*command)();
}

void TmdiMain::EditUndo() { onActiveDocument(&TfHTML::doUndo); }

void TmdiMain::EditRedoClick() { onActiveDocument(&TfHTML::ReDo1Click); }

void TmdiMain::EditCut() { onActiveDocument(&TfHTML::Cut1Click); }

void TmdiMain::EditCopy() { onActiveDocument(&TfHTML::Copy1Click); }

void TmdiMain::EditPaste() { onActiveDocument(&TfHTML::Paste1Click); }

void TmdiMain::EditDelete()
{
    if (TfHTML* doc = activeDocument()) {
        doc->txtHTML->DeleteSelection();
        doc->txtHTML->SetModified(true);
    }
}

void TmdiMain::EditClear()
{
    TfHTML* doc = activeDocument();
    if (!doc)
        return;
    SetStatusText(QStringLiteral("Clearing Contents ..."));
    const int answer = UiPrompter::instance().message(
        this, QStringLiteral("This action will remove all data from the document.\n\r\n\rAre You Sure ?"),
        UiPrompter::Yes | UiPrompter::No, UiPrompter::Warning);
    if (answer == UiPrompter::Yes) {
        doc->txtHTML->ClearAll();
        doc->txtHTML->SetModified(true);
    }
    SetStatusText(kReady);
}

// ---------------------------------------------------------------------------
// Window commands

void TmdiMain::WindowTile()
{
    m_mdi->tileSubWindows();
}

void TmdiMain::WindowCascade()
{
    // At the windows' designed size, as new windows are placed; the active
    // window ends on top.
    QMdiSubWindow* active = m_mdi->activeSubWindow();
    int index = 0;
    for (QMdiSubWindow* sub : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isVisible() || sub->isMinimized())
            continue;
        if (sub->isMaximized())
            sub->showNormal();
        placeCascaded(sub, index++);
        sub->raise();
    }
    if (active)
        active->raise();
}

void TmdiMain::WindowArrange()
{
    // Minimized windows are lined up along the bottom of the frame's client area.
    int x = 0;
    int y = m_mdi->viewport()->height();
    for (QMdiSubWindow* sub : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isMinimized())
            continue;
        const QSize size = sub->size();
        if (x > 0 && x + size.width() > m_mdi->viewport()->width()) {
            x = 0;
            y -= size.height();
        }
        sub->move(x, y - size.height());
        x += size.width();
    }
}

// ---------------------------------------------------------------------------
// View

QAction* TmdiMain::action(const QString& handler) const
{
    const QList<QAction*> list = m_actions.value(handler);
    return list.isEmpty() ? nullptr : list.first();
}

QMenu* TmdiMain::menu(const QString& caption) const
{
    for (QMenu* m : m_menus)
        if (m->title() == caption)
            return m;
    return nullptr;
}

void TmdiMain::setChecked(const QString& handler, bool on)
{
    for (QAction* a : m_actions.value(handler))
        a->setChecked(on);
}

bool TmdiMain::isChecked(const QString& handler) const
{
    const QAction* a = action(handler);
    return a && a->isChecked();
}

bool TmdiMain::wordWrapChecked() const
{
    return isChecked(QStringLiteral("WordWrap1Click"));
}

void TmdiMain::WordWrap1Click()
{
    TfHTML* doc = activeDocument();
    if (!doc)
        return;
    const bool wrap = !doc->txtHTML->WordWrap();
    doc->txtHTML->SetWordWrap(wrap);
    doc->txtHTML->SetScrollBars(wrap ? TOvcTextFileEditor::ssVertical : TOvcTextFileEditor::ssBoth);
    setChecked(QStringLiteral("WordWrap1Click"), wrap);
    IniControl.WriteBool(kEditor, QStringLiteral("Word Wrap"), wrap);
}

void TmdiMain::SmartTabs1Click()
{
    TfHTML* doc = activeDocument();
    if (!doc)
        return;
    const bool on = !doc->txtHTML->AutoIndent();
    doc->txtHTML->SetAutoIndent(on);
    setChecked(QStringLiteral("SmartTabs1Click"), on);
    IniControl.WriteBool(kEditor, QStringLiteral("Smart Tabs"), on);
}

void TmdiMain::DocumentTabs1Click()
{
    const bool on = !isChecked(QStringLiteral("DocumentTabs1Click"));
    setChecked(QStringLiteral("DocumentTabs1Click"), on);
    TabSet1->setVisible(on);
}

// ---------------------------------------------------------------------------
// Recent files and tabs

void TmdiMain::MRUUpdate(const QString& path)
{
    RecentFiles.update(path);
}

void TmdiMain::MRUDisplay()
{
    for (int k = 0; k < m_mruActions.size(); ++k) {
        const QString entry = RecentFiles.entry(k);
        m_mruActions[k]->setText(QStringLiteral("&%1 ").arg(k + 1) + escapeAmpersands(entry));
        m_mruActions[k]->setVisible(!entry.isEmpty());
    }
    m_mruSeparator->setVisible(!RecentFiles.entry(0).isEmpty());
}

void TmdiMain::MRUOpenChild(int index)
{
    const QString entry = RecentFiles.entry(index);
    if (!entry.isEmpty())
        OpenDocumentFile(entry);
}

int TmdiMain::tabIndexOf(const QString& name, bool last) const
{
    const int n = TabSet1->count();
    for (int i = 0; i < n; ++i) {
        const int idx = last ? n - 1 - i : i;
        if (TabSet1->tabData(idx).toString() == name)
            return idx;
    }
    return -1;
}

void TmdiMain::appendTab(const QString& name)
{
    // The tab shows the caption as it is; the caption itself is kept as the tab's data.
    const int idx = TabSet1->addTab(escapeAmpersands(name));
    TabSet1->setTabData(idx, name);
    TabSet1->setTabToolTip(idx, name);
}

void TmdiMain::TabsUpdate(const QString& name)
{
    if (tabIndexOf(name) >= 0)
        return;
    const QSignalBlocker block(TabSet1);
    const int current = TabSet1->currentIndex();
    appendTab(name);
    if (current >= 0)
        TabSet1->setCurrentIndex(current);
}

void TmdiMain::TabsRefresh()
{
    const QSignalBlocker block(TabSet1);
    while (TabSet1->count() > 0)
        TabSet1->removeTab(0);
    for (TfHTML* doc : documents())
        appendTab(doc->caption());
}

void TmdiMain::RemovefromTabs(const QString& name)
{
    const int idx = tabIndexOf(name);
    if (idx >= 0) {
        const QSignalBlocker block(TabSet1);
        TabSet1->removeTab(idx);
    }
}

void TmdiMain::SelectTabName(const QString& name)
{
    if (TabSet1->count() == 0)
        return;
    const int idx = tabIndexOf(name);
    if (idx >= 0) {
        const QSignalBlocker block(TabSet1);
        TabSet1->setCurrentIndex(idx);
    }
}

void TmdiMain::DisplayTabName()
{
    if (TabSet1->count() == 0 || TabSet1->currentIndex() < 0)
        return;
    const QString name = TabSet1->tabData(TabSet1->currentIndex()).toString();
    for (TfHTML* doc : documents())
        if (doc->caption() == name)
            showDocument(doc);
}

// ---------------------------------------------------------------------------
// Options and help

void TmdiMain::ApplicationOptions1Click()
{
    optionsDialog()->exec();
}

void TmdiMain::HelpAbout()
{
    aboutBox()->exec();
}

QPoint TmdiMain::submenuPosition(QMenu* top) const
{
    if (TfHTML* doc = activeDocument()) {
        TOvcTextFileEditor* ed = doc->txtHTML;
        return ed->viewport()->mapToGlobal(ed->cursorRect().bottomLeft());
    }
    const QRect r = menuBar()->actionGeometry(top->menuAction());
    return menuBar()->mapToGlobal(r.bottomLeft());
}

// ---------------------------------------------------------------------------
// What the insertion engine asks of the frame

EditorContract* TmdiMain::activeEditor()
{
    TfHTML* doc = activeDocument();
    return doc ? doc->txtHTML : nullptr;
}

void TmdiMain::ShowMessage(const QString& text)
{
    UiPrompter::instance().message(this, text);
}

TfHTML* TmdiMain::createUntitledDocument()
{
    return createDocument(QStringLiteral("New HTML Document ") + QString::number(nextUntitledNumber()));
}

void TmdiMain::showNewDocument(TfHTML* doc)
{
    showDocument(doc);
    TabsUpdate(doc->caption());
    SelectTabName(doc->caption());
}
