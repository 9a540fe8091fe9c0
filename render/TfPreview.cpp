#include "render/TfPreview.h"

#include "app/AppError.h"
#include "app/AppInvoker.h"
#include "app/AppPaths.h"
#include "app/AppSettings.h"
#include "app/PlacementAdapter.h"
#include "app/TAboutBox.h"
#include "app/TfHTML.h"
#include "app/FrameServices.h"
#include "app/UiPrompter.h"
#include "app/SafeFile.h"
#include "editor/TOvcTextFileEditor.h"
#include "editor/TextFileCodec.h"
#include "render/PreviewLinks.h"
#include "render/TFontForm.h"
#include "render/THTMLViewer.h"
#include "render/TextPrinter.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kCaption = QStringLiteral("Velquist Preview");
const QString kOpenFilter = QStringLiteral("html files|*.htm;*.html|all files|*.*");
const QString kDefFont = QStringLiteral("Def_Font");
const QString kDefLink = QStringLiteral("Def_Link_Color");
const QString kDefBack = QStringLiteral("Def_Back_Color");

// Runs a handler of this window through the program's one invoker.
template <typename F>
auto guarded(F f)
{
    return [f] { AppInvoker::run(f); };
}
}

TfPreview::TfPreview(FrameServices& main, std::function<TFontForm*()> fontForm, QWidget* parent)
    : QMainWindow(parent ? parent : main.frameWindow(), Qt::Window), Prefs(AppSettings::kPrefsFile, QStringLiteral("Preview")),
      m_main(main), m_fontForm(std::move(fontForm))
{
    setObjectName(QStringLiteral("fPreview"));
    setWindowTitle(kCaption);
    resize(800, 600);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* top = new QHBoxLayout;
    edtLink = new QLineEdit;
    edtLink->setObjectName(QStringLiteral("edtLink"));
    edtLink->setReadOnly(true);
    top->addWidget(edtLink, 1);
    btnReload = new QPushButton(QStringLiteral("&Reload"));
    btnBack = new QPushButton(QStringLiteral("&Back"));
    btnForward = new QPushButton(QStringLiteral("&Forward"));
    btnClose = new QPushButton(QStringLiteral("&Close"));
    for (QPushButton* b : {btnReload, btnBack, btnForward, btnClose}) {
        b->setAutoDefault(false);
        top->addWidget(b);
    }
    btnReload->setEnabled(false);
    btnBack->setEnabled(false);
    btnForward->setEnabled(false);
    layout->addLayout(top);
    m_pageArea = new QWidget;
    m_pageArea->setObjectName(QStringLiteral("PageArea"));
    auto* pageLayout = new QVBoxLayout(m_pageArea);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pageArea, 1);
    setCentralWidget(central);
    pnlLink = new QLabel;
    pnlLink->setObjectName(QStringLiteral("pnlLink"));
    pnlLink->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(pnlLink, 1);
    statusBar()->setSizeGripEnabled(true);

    buildMenus();

    connect(btnReload, &QPushButton::clicked, this, guarded([this] { Reload1Click(); }));
    connect(btnBack, &QPushButton::clicked, this, guarded([this] { BackClick(); }));
    connect(btnForward, &QPushButton::clicked, this, guarded([this] { ForwardClick(); }));
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);

    m_liveTimer = new QTimer(this);
    m_liveTimer->setSingleShot(true);
    m_liveTimer->setInterval(LiveUpdateDelay);
    connect(m_liveTimer, &QTimer::timeout, this, guarded([this] { liveUpdate(); }));
}

TfPreview::~TfPreview()
{
    m_viewer.reset();
    removePreviewFiles();
}

void TfPreview::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    Open1 = file->addAction(QStringLiteral("&Open"));
    Open1->setShortcut(QKeySequence(Qt::Key_F3));
    Print1 = file->addAction(QStringLiteral("&Print..."));
    file->addSeparator();
    Exit1 = file->addAction(QStringLiteral("E&xit"));
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    // Both entries show F3; the key itself belongs to "&Open".
    Find1 = edit->addAction(QStringLiteral("&Find\tF3"));
    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    ShowImages1 = options->addAction(QStringLiteral("&Show images"));
    ShowImages1->setCheckable(true);
    ShowImages1->setChecked(true);
    DefaultFontColors1 = options->addAction(QStringLiteral("Default &Font/Colors..."));
    options->addSeparator();
    LiveUpdate1 = options->addAction(QStringLiteral("&Live Update"));
    LiveUpdate1->setCheckable(true);
    LiveUpdate1->setChecked(true);
    LiveUpdate1->setStatusTip(QStringLiteral("The preview follows the document as you type"));
    History1 = menuBar()->addMenu(QStringLiteral("&History"));
    for (int i = 0; i < 6; ++i) {
        HistoryItems[i] = History1->addAction(QString());
        HistoryItems[i]->setCheckable(true);
        HistoryItems[i]->setVisible(false);
        connect(HistoryItems[i], &QAction::triggered, this, guarded([this, i] { HistoryClick(i); }));
    }
    History1->menuAction()->setVisible(false);
    About1 = menuBar()->addAction(QStringLiteral("&About"));

    connect(Open1, &QAction::triggered, this, guarded([this] { Open1Click(); }));
    connect(Print1, &QAction::triggered, this, guarded([this] { Print1Click(); }));
    connect(Exit1, &QAction::triggered, this, &QWidget::close);
    connect(Find1, &QAction::triggered, this, guarded([this] { Find1Click(); }));
    connect(ShowImages1, &QAction::triggered, this, guarded([this] { ShowImages1Click(); }));
    connect(DefaultFontColors1, &QAction::triggered, this, guarded([this] { DefaultFontColors1Click(); }));
    connect(About1, &QAction::triggered, this, guarded([this] {
        // The preview's own box: over the preview, which stays in front after it.
        TAboutBox box(this);
        box.exec();
        raise();
        activateWindow();
    }));
}

THTMLViewer* TfPreview::viewer()
{
    if (!m_viewer) {
        m_viewer.reset(createHTMLViewer(m_pageArea));
        m_pageArea->layout()->addWidget(m_viewer->widget());
        m_viewer->SetDefPreFontName(TFontForm::installedFamily(QStringLiteral("Courier New")));
        FontSpec def;
        def.name = QStringLiteral("Times New Roman");
        def.pointSize = 12;
        const FontSpec font = Prefs.GetFont(kDefFont, def);
        bool okLink = false, okBack = false;
        const unsigned link = Prefs.GetValue(kDefLink).toUInt(&okLink);
        const unsigned back = Prefs.GetValue(kDefBack).toUInt(&okBack);
        m_fontChoice = font.name;
        m_viewer->SetDefaults(TFontForm::installedFamily(font.name), colorFromColorRef(font.color), font.pointSize,
                              okLink ? colorFromColorRef(link) : QColor(Qt::blue),
                              okBack ? colorFromColorRef(back) : QColor(Qt::white));
        m_viewer->OnHistoryChange = [this] { AppInvoker::run([this] { HistoryChange(); }); };
        m_viewer->OnPageLoaded = [this] { AppInvoker::run([this] { pageLoaded(); }); };
        m_viewer->OnHotSpotCovered = [this](const QString& link) { HotSpotCovered(link); };
        m_viewer->OnStatus = [this](const QString& text) { statusBar()->showMessage(text, 15000); };
        m_viewer->OnHotSpotClick = [this](const QString& link) {
            bool handled = false;
            AppInvoker::run([&] { handled = HotSpotClick(link); });
            return handled;
        };
    }
    return m_viewer.get();
}

QString TfPreview::previewFileFor(const QString& caption, bool untitled)
{
    if (untitled) {
        AppPaths::ensureDataDir();
        return AppPaths::dataFile(QStringLiteral("temp.vlq"));
    }
    return QFileInfo(caption).absolutePath() + QStringLiteral("/temp.vlq");
}

void TfPreview::PrintPreview1Click(TfHTML* doc)
{
    if (!doc) {
        UiPrompter::instance().message(m_main.frameWindow(), QStringLiteral("No current document."));
        m_main.SetStatusText(AppSettings::kReady);
        return;
    }
    const QString path = previewFileFor(doc->caption(), doc->isUntitled());
    m_main.SetStatusText(QStringLiteral("Previewing ") + doc->caption() + QStringLiteral(" ..."));
    try {
        writePreviewFile(doc, path);
    } catch (const EFileError& e) {
        UiPrompter::instance().message(m_main.frameWindow(), e.message(), UiPrompter::Ok, UiPrompter::Warning);
        m_main.SetStatusText(AppSettings::kReady);
        return;
    }
    show();
    raise();
    activateWindow();
    loadFile(path, Caption::Prefixed);
    watch(doc);
    m_livePath = path;
    m_main.SetStatusText(AppSettings::kReady);
}

// The text goes to the file as a save would encode it, but the document's
// file name, stamp and modified flag stay as they were: the document still
// belongs to its own file. The preview file is the program's own: a link at
// its name is refused, never followed, and it is made afresh with the
// document's permission bits (0600 for an untitled document).
void TfPreview::writePreviewFile(TfHTML* doc, const QString& path)
{
    const TOvcTextFileEditor& editor = *doc->txtHTML;
    m_writtenRevision = editor.buffer().Revision();
    // The page is read in the encoding the editor found, declared or not.
    static const char* const kCharsets[] = {"UTF-8", "windows-1252", "UTF-16LE", "UTF-16BE", "UTF-32LE", "UTF-32BE"};
    const TextFileFormat& found = editor.fileFormat();
    m_pageCharset = found.encoding == TextFileFormat::Named ? QString::fromLatin1(found.charset)
                                                             : QString::fromLatin1(kCharsets[found.encoding]);
    const QString text = editor.RawText();
    const TextFileFormat& format = editor.fileFormat();
    if (!TextFileCodec::canEncode(text, format))
        throw EFileError(QStringLiteral("Unable to save %1: the text holds characters that %2 cannot store.")
                             .arg(SafeFile::shown(path), TextFileCodec::encodingName(format)));
    SafeFile::Options options;
    options.refuseLinks = true;
    options.permissions = 0600;
    struct ::stat st;
    if (!doc->isUntitled() && ::stat(QFile::encodeName(doc->caption()).constData(), &st) == 0)
        options.permissions = int(st.st_mode & 0777);
    SafeFile::write(path, TextFileCodec::encode(text, format), options);
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0)
        m_written.insert(QFileInfo(path).absoluteFilePath(), {quint64(st.st_dev), quint64(st.st_ino)});
}

void TfPreview::removePreviewFiles()
{
    for (auto it = m_written.cbegin(); it != m_written.cend(); ++it) {
        // Only the file this window wrote: whatever took its name since stays.
        const QByteArray name = QFile::encodeName(it.key());
        struct ::stat st;
        if (::lstat(name.constData(), &st) == 0 && S_ISREG(st.st_mode) && quint64(st.st_dev) == it.value().first
            && quint64(st.st_ino) == it.value().second)
            ::unlink(name.constData());
    }
    m_written.clear();
}

void TfPreview::loadFile(const QString& path, Caption caption)
{
    THTMLViewer* v = viewer();
    if (v->IsLoading()) {
        m_queue << path << QString::number(int(caption));
        return;
    }
    m_caption = caption;
    // A preview file goes with its document's encoding; any other page with the engine's guess.
    v->PageCharset = m_written.contains(QFileInfo(path).absoluteFilePath()) ? m_pageCharset : QString();
    v->LoadFromFile(path);
}

void TfPreview::pageLoaded()
{
    updateCaption();
    if (m_queue.size() >= 2) {
        const QString path = m_queue.takeFirst();
        const auto caption = Caption(m_queue.takeFirst().toInt());
        loadFile(path, caption);
    }
}

// "Velquist Preview : " and the title for a document's preview, the title
// alone after the window's own "&Open" and history moves.
void TfPreview::updateCaption()
{
    if (!m_viewer || m_viewer->HistoryIndex() < 0)
        return;
    QString title = m_viewer->DocumentTitle();
    if (title.isEmpty())
        title = m_viewer->History().value(m_viewer->HistoryIndex());
    if (m_caption == Caption::Prefixed)
        setWindowTitle(kCaption + QStringLiteral(" : ") + title);
    else if (m_caption == Caption::Plain)
        setWindowTitle(title);
}

void TfPreview::showEvent(QShowEvent* e)
{
    bagShow(Prefs, this);
    try {
        viewer();
    } catch (const EFileError& e) {
        UiPrompter::instance().message(this, e.message(), UiPrompter::Ok, UiPrompter::Critical);
    }
    if (m_firstShow) {
        m_firstShow = false;
        // The file named first on the command line starts the history.
        const QStringList args = m_main.commandLine();
        if (!args.isEmpty() && QFileInfo(args.first()).isFile())
            loadFile(args.first(), Caption::None);
    }
    QMainWindow::showEvent(e);
}

void TfPreview::closeEvent(QCloseEvent* e)
{
    m_liveTimer->stop();
    if (m_viewer) {
        FontSpec font;
        font.name = m_fontChoice;
        font.pointSize = m_viewer->DefFontSize();
        font.color = colorRefFromColor(m_viewer->DefFontColor());
        Prefs.PutFont(kDefFont, font);
        Prefs.PutInteger(kDefLink, int(colorRefFromColor(m_viewer->DefHotSpotColor())));
        Prefs.PutInteger(kDefBack, int(colorRefFromColor(m_viewer->DefBackground())));
    }
    bagClose(Prefs, this);
    QMainWindow::closeEvent(e);
    if (e->isAccepted())
        removePreviewFiles();
}

void TfPreview::Open1Click()
{
    QString dir = AppPaths::programDir();
    if (m_viewer && !m_viewer->CurrentFile().isEmpty())
        dir = QFileInfo(m_viewer->CurrentFile()).absolutePath();
    QString name = UiPrompter::instance().openFileName(this, QStringLiteral("Open"), dir, kOpenFilter);
    if (name.isEmpty())
        return;
    if (!QFileInfo(name).isFile() && QFileInfo(name + QStringLiteral(".htm")).isFile())
        name += QStringLiteral(".htm");
    if (!QFileInfo(name).isFile()) {
        UiPrompter::instance().message(this, QStringLiteral("Unable to find ") + name + QLatin1Char('.'));
        return;
    }
    loadFile(name, Caption::Plain);
    // The file now loading is the current one.
    btnReload->setEnabled(true);
    Print1->setEnabled(true);
}

void TfPreview::Reload1Click()
{
    if (!m_viewer || m_viewer->CurrentFile().isEmpty())
        return;
    m_viewer->Reload();
}

void TfPreview::BackClick()
{
    m_caption = Caption::Plain;
    viewer()->SetHistoryIndex(viewer()->HistoryIndex() + 1);
}

void TfPreview::ForwardClick()
{
    m_caption = Caption::Plain;
    viewer()->SetHistoryIndex(viewer()->HistoryIndex() - 1);
}

void TfPreview::HistoryClick(int index)
{
    m_caption = Caption::Plain;
    viewer()->SetHistoryIndex(index);
    HistoryChange();
}

void TfPreview::HistoryChange()
{
    const QStringList titles = m_viewer->History();
    const int index = m_viewer->HistoryIndex();
    btnForward->setEnabled(index > 0);
    btnBack->setEnabled(index >= 0 && index < titles.size() - 1);
    History1->menuAction()->setVisible(!titles.isEmpty());
    for (int i = 0; i < 6; ++i) {
        HistoryItems[i]->setVisible(i < titles.size());
        if (i < titles.size()) {
            QString text = titles[i];
            HistoryItems[i]->setText(QStringLiteral("&%1 ").arg(i + 1) + text.replace(QLatin1Char('&'), QStringLiteral("&&")));
        }
        HistoryItems[i]->setChecked(i == index);
    }
    updateCaption();
}

void TfPreview::HotSpotCovered(const QString& link)
{
    pnlLink->setText(link);
}

bool TfPreview::HotSpotClick(const QString& link)
{
    edtLink->setText(link);
    const PreviewLinks::Decision d = PreviewLinks::decide(
        link, [this](const QString& name) { return viewer()->HTMLExpandFilename(name); });
    switch (d.action) {
    case PreviewLinks::Action::Remote:
    case PreviewLinks::Action::Follow:
        // The page the control goes to is a history move: its title alone.
        m_caption = Caption::Plain;
        return false;
    case PreviewLinks::Action::PlaySound:
        if (!m_sound)
            m_sound = new QSoundEffect(this);
        m_sound->setSource(QUrl::fromLocalFile(d.fileName));
        m_sound->play();
        return true;
    case PreviewLinks::Action::StartProgram: {
        // A page can hold any link: the program starts only when the user agrees.
        const QString command = d.fileName + d.parameters;
        if (UiPrompter::instance().message(this, QStringLiteral("The page links to the program\n") + command
                                                     + QStringLiteral("\n\nStart it?"),
                                           UiPrompter::Yes | UiPrompter::No, UiPrompter::Question)
            != UiPrompter::Yes)
            return true;
        if (!QProcess::startDetached(d.fileName, QProcess::splitCommand(d.parameters.trimmed()),
                                     QFileInfo(d.fileName).absolutePath()))
            UiPrompter::instance().message(this, QStringLiteral("Unable to start ") + d.fileName + QLatin1Char('.'),
                                           UiPrompter::Ok, UiPrompter::Warning);
        return true;
    }
    }
    return false;
}

// The page as the engine lays it out for paper, on the printer of "Print
// Setup". The engine's PDF keeps the text as text: it becomes the file of a
// print to a file, and goes to the print spooler as it is; only without a
// spooler is the page printed as pictures through the printer.
void TfPreview::Print1Click()
{
    QPrinter& printer = TextPrinter::printer();
    bool selectionOnly = false;
    if (!TextPrinter::runPrintDialog(this, printer, false, selectionOnly))
        return;
    int from = 0, to = 0;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = printer.fromPage();
        to = qMax(from, printer.toPage());
    }
    auto failed = [this](const QString& text) {
        UiPrompter::instance().message(this, text, UiPrompter::Ok, UiPrompter::Warning);
    };
    const QString file = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
    const QString spooler = QStandardPaths::findExecutable(QStringLiteral("lp"));
    if (file.isEmpty() && (spooler.isEmpty() || printer.printerName().isEmpty())) {
        viewer()->Print(printer, from, to, [failed](bool ok) {
            if (!ok)
                AppInvoker::run([&] { failed(QStringLiteral("Unable to print the page.")); });
        });
        return;
    }
    const QStringList lpArgs{QStringLiteral("-d"), printer.printerName(), QStringLiteral("-n"),
                             QString::number(qMax(1, printer.copyCount())), QStringLiteral("-t"), windowTitle()};
    viewer()->PrintToPdf(printer.pageLayout(), from, to, [this, failed, file, spooler, lpArgs](const QByteArray& pdf) {
        AppInvoker::run([&] {
            if (pdf.isEmpty()) {
                failed(QStringLiteral("Unable to print the page."));
                return;
            }
            if (!file.isEmpty()) {
                QString error;
                if (!SafeFile::tryWrite(file, pdf, &error))
                    failed(error);
                return;
            }
            auto* lp = new QProcess(this);
            connect(lp, &QProcess::finished, lp, [lp, failed](int code, QProcess::ExitStatus status) {
                if (status != QProcess::NormalExit || code != 0)
                    failed(QStringLiteral("Unable to print the page: ")
                           + QString::fromLocal8Bit(lp->readAllStandardError()).trimmed());
                lp->deleteLater();
            });
            connect(lp, &QProcess::errorOccurred, lp, [lp, failed](QProcess::ProcessError e) {
                if (e == QProcess::FailedToStart) {
                    failed(QStringLiteral("Unable to print the page: ") + lp->errorString());
                    lp->deleteLater();
                }
            });
            lp->start(spooler, lpArgs);
            lp->write(pdf);
            lp->closeWriteChannel();
        });
    });
}

void TfPreview::Find1Click()
{
    if (!m_findDialog) {
        m_findDialog = new QDialog(this);
        m_findDialog->setWindowTitle(QStringLiteral("Find"));
        auto* l = new QVBoxLayout(m_findDialog);
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(QStringLiteral("Fi&nd what:")));
        m_findText = new QLineEdit;
        row->addWidget(m_findText, 1);
        auto* next = new QPushButton(QStringLiteral("&Find Next"));
        next->setDefault(true);
        row->addWidget(next);
        l->addLayout(row);
        auto* row2 = new QHBoxLayout;
        m_findCase = new QCheckBox(QStringLiteral("Match &case"));
        row2->addWidget(m_findCase);
        row2->addStretch();
        auto* cancel = new QPushButton(QStringLiteral("Cancel"));
        row2->addWidget(cancel);
        l->addLayout(row2);
        connect(next, &QPushButton::clicked, this,
                guarded([this] { doFind(m_findText->text(), m_findCase->isChecked()); }));
        connect(cancel, &QPushButton::clicked, m_findDialog, &QDialog::close);
    }
    m_findDialog->show();
    m_findDialog->raise();
    m_findText->setFocus();
    m_findText->selectAll();
}

void TfPreview::doFind(const QString& text, bool matchCase)
{
    if (text.isEmpty())
        return;
    viewer()->FindEx(text, matchCase, [this, text](bool found) {
        if (!found)
            UiPrompter::instance().message(m_findDialog && m_findDialog->isVisible() ? static_cast<QWidget*>(m_findDialog) : this,
                                           QStringLiteral("Unable to find \"") + text + QLatin1Char('"'));
    });
}

void TfPreview::ShowImages1Click()
{
    const bool on = !viewer()->ViewImages();
    viewer()->SetViewImages(on);
    ShowImages1->setChecked(on);
    Reload1Click();
}

void TfPreview::DefaultFontColors1Click()
{
    TFontForm* form = m_fontForm ? m_fontForm() : nullptr;
    if (!form)
        return;
    THTMLViewer* v = viewer();
    form->setFontName(m_fontChoice);
    form->setFontColor(v->DefFontColor());
    form->setFontSize(v->DefFontSize());
    form->setLinkColor(v->DefHotSpotColor());
    form->setBackground(v->DefBackground());
    if (form->exec() != QDialog::Accepted)
        return;
    m_fontChoice = form->fontName();
    v->SetDefaults(TFontForm::installedFamily(m_fontChoice), form->fontColor(), form->fontSize(),
                   form->linkColor(), form->background());
    Reload1Click();
}

void TfPreview::watch(TfHTML* doc)
{
    if (m_liveDoc == doc)
        return;
    disconnect(m_liveConnection);
    m_liveDoc = doc;
    m_liveConnection = connect(doc->txtHTML, &TOvcTextFileEditor::textChanged, this, [this] {
        if (LiveUpdate1->isChecked() && isVisible())
            m_liveTimer->start();
    });
}

void TfPreview::liveUpdate()
{
    if (!m_liveDoc || !isVisible() || !LiveUpdate1->isChecked() || !m_viewer)
        return;
    // Only while the page shown is still this document's preview.
    if (QFileInfo(m_viewer->CurrentFile()) != QFileInfo(m_livePath))
        return;
    if (m_viewer->IsLoading()) {
        m_liveTimer->start();
        return;
    }
    // Nothing changed since the last write: nothing to write or show again.
    if (m_liveDoc->txtHTML->buffer().Revision() == m_writtenRevision)
        return;
    // After Save As the preview file goes beside the document's new name.
    const QString path = previewFileFor(m_liveDoc->caption(), m_liveDoc->isUntitled());
    try {
        writePreviewFile(m_liveDoc, path);
    } catch (const EFileError& e) {
        m_main.SetStatusText(e.message());
        return;
    }
    if (path == m_livePath) {
        m_viewer->Reload(true);
    } else {
        m_livePath = path;
        loadFile(path, Caption::Prefixed);
    }
}
