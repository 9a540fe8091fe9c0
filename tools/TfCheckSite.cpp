#include "tools/TfCheckSite.h"

#include "app/AppInvoker.h"
#include "app/AppSettings.h"
#include "app/FrameServices.h"
#include "app/PathUtil.h"
#include "app/PlacementAdapter.h"
#include "app/SafeFile.h"
#include "app/TfHTML.h"
#include "app/UiPrompter.h"
#include "editor/TOvcTextFileEditor.h"
#include "reuse/ProjectFile.h"
#include "tools/FrameFollower.h"
#include "tools/ProblemsPanel.h"
#include "tools/TidyRunner.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int kPathRole = Qt::UserRole;
constexpr int kLineRole = Qt::UserRole + 1;
constexpr int kColumnRole = Qt::UserRole + 2;
constexpr int kLengthRole = Qt::UserRole + 3;
} // namespace

TfCheckSite::TfCheckSite(FrameServices& main)
    : QDialog(main.frameWindow(), Qt::Dialog), Prefs(AppSettings::kPrefsFile, QStringLiteral("Check Site")),
      m_main(main)
{
    setObjectName(QStringLiteral("frmCheckSite"));
    setWindowTitle(QStringLiteral("Check Site"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("&Folder:"), this);
    edFolder = new QLineEdit(this);
    label->setBuddy(edFolder);
    btnBrowse = new QPushButton(QStringLiteral("&Browse..."), this);
    btnProject = new QPushButton(QStringLiteral("&Project..."), this);
    btnProject->setToolTip(QStringLiteral("Check the pages of a project file"));
    btnCheck = new QPushButton(QStringLiteral("C&heck"), this);
    btnCheck->setDefault(true);
    top->addWidget(label);
    top->addWidget(edFolder, 1);
    top->addWidget(btnBrowse);
    top->addWidget(btnProject);
    top->addWidget(btnCheck);
    layout->addLayout(top);

    lstResults = new QTreeWidget(this);
    lstResults->setObjectName(QStringLiteral("lstResults"));
    lstResults->setHeaderLabels({QStringLiteral("File / Message"), QStringLiteral("Line"), QStringLiteral("Severity"),
                                 QStringLiteral("Check")});
    lstResults->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    lstResults->header()->setStretchLastSection(false);
    lstResults->setColumnWidth(1, 60);
    lstResults->setColumnWidth(2, 80);
    lstResults->setColumnWidth(3, 120);
    lstResults->setUniformRowHeights(true);
    layout->addWidget(lstResults, 1);

    auto* bottom = new QHBoxLayout;
    lblSummary = new QLabel(this);
    lblSummary->setTextFormat(Qt::PlainText);
    barProgress = new QProgressBar(this);
    barProgress->setRange(0, 100);
    barProgress->setValue(0);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setEnabled(false);
    btnSave = new QPushButton(QStringLiteral("&Save Report..."), this);
    btnSave->setEnabled(false);
    auto* btnClose = new QPushButton(QStringLiteral("Close"), this);
    bottom->addWidget(lblSummary, 1);
    bottom->addWidget(barProgress);
    bottom->addWidget(btnCancel);
    bottom->addWidget(btnSave);
    bottom->addWidget(btnClose);
    layout->addLayout(bottom);
    resize(760, 480);
    FrameFollower::closeWithFrame(this);

    m_poll = new QTimer(this);
    m_poll->setInterval(100);
    connect(m_poll, &QTimer::timeout, this, [this] {
        const int total = m_progress.total.load();
        barProgress->setValue(total > 0 ? m_progress.done.load() * 100 / total : 0);
    });
    connect(btnBrowse, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { btnBrowseClick(); }); });
    connect(btnProject, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { btnProjectClick(); }); });
    connect(btnCheck, &QPushButton::clicked, this,
            [this] { AppInvoker::run([this] { checkFolder(edFolder->text().trimmed()); }); });
    connect(btnCancel, &QPushButton::clicked, this, &TfCheckSite::cancel);
    connect(btnSave, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { btnSaveClick(); }); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
    connect(lstResults, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { AppInvoker::run([this, item] { openItem(item); }); });
}

TfCheckSite::~TfCheckSite()
{
    if (m_worker) {
        m_progress.cancel = true;
        m_worker->wait();
        delete m_worker;
    }
}

void TfCheckSite::btnBrowseClick()
{
    const QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("Folder of the Site"),
                                                          edFolder->text().isEmpty() ? QDir::currentPath()
                                                                                     : edFolder->text());
    if (!dir.isEmpty())
        edFolder->setText(QDir::toNativeSeparators(dir));
}

void TfCheckSite::btnProjectClick()
{
    const QString file = UiPrompter::instance().openFileName(this, QStringLiteral("Check the Pages of a Project"),
                                                             QDir::currentPath(), ProjectFile::Filter);
    if (!file.isEmpty())
        checkProject(file);
}

void TfCheckSite::checkFolder(const QString& folder)
{
    if (isRunning())
        return;
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir()) {
        UiPrompter::instance().message(
            this,
            folder.isEmpty() ? QStringLiteral("Choose the folder of the site to check.")
                             : QStringLiteral("Unable to check %1: it is not a folder.").arg(SafeFile::shown(folder)),
            UiPrompter::Ok, UiPrompter::Warning);
        return;
    }
    edFolder->setText(folder);
    const QString root = QDir::cleanPath(info.absoluteFilePath());
    start(SiteCheck::pagesUnder(root), root);
}

void TfCheckSite::checkProject(const QString& projectFile)
{
    if (isRunning())
        return;
    QString error;
    const QStringList pages = SiteCheck::pagesOfProject(projectFile, &error);
    if (!error.isEmpty()) {
        UiPrompter::instance().message(this, error, UiPrompter::Ok, UiPrompter::Warning);
        return;
    }
    const QString root = QFileInfo(projectFile).absolutePath();
    edFolder->setText(root);
    start(pages, root);
}

void TfCheckSite::start(const QStringList& pages, const QString& root)
{
    lstResults->clear();
    m_result = SiteCheck::Result();
    m_progress.cancel = false;
    m_progress.done = 0;
    m_progress.total = 0;
    barProgress->setValue(0);
    btnCheck->setEnabled(false);
    btnSave->setEnabled(false);
    btnCancel->setEnabled(true);
    lblSummary->setText(QStringLiteral("Checking %1 pages ...").arg(pages.size()));
    m_main.SetStatusText(QStringLiteral("Checking Site ..."));
    const PageChecks::Options options = ProblemsPanel::choicesFrom(m_main.settings());
    const QString config = TidyRunner::optionsPath();
    m_pending = std::make_unique<SiteCheck::Result>();
    SiteCheck::Result* out = m_pending.get();
    SiteCheck::Progress* progress = &m_progress;
    m_worker = QThread::create([=] { *out = SiteCheck::run(pages, root, options, config, progress); });
    connect(m_worker, &QThread::finished, this, &TfCheckSite::done);
    m_poll->start();
    m_worker->start();
}

void TfCheckSite::cancel()
{
    if (m_worker)
        m_progress.cancel = true;
}

void TfCheckSite::done()
{
    m_poll->stop();
    m_worker->deleteLater();
    m_worker = nullptr;
    m_result = std::move(*m_pending);
    m_pending.reset();
    barProgress->setValue(m_result.cancelled ? barProgress->value() : 100);
    btnCheck->setEnabled(true);
    btnCancel->setEnabled(false);
    btnSave->setEnabled(true);
    showResult();
    m_main.SetStatusText(AppSettings::kReady);
    emit finished();
}

void TfCheckSite::showResult()
{
    lstResults->setUpdatesEnabled(false);
    lstResults->clear();
    int withProblems = 0;
    for (const SiteCheck::FileResult& f : std::as_const(m_result.files)) {
        if (f.problems.isEmpty() && f.error.isEmpty())
            continue;
        ++withProblems;
        const int notes = f.count(PageChecks::Severity::Legacy) + f.count(PageChecks::Severity::Info);
        const QString rel = QDir(m_result.root).relativeFilePath(f.path);
        // One pass over the texts: a "%2" in a file name is never taken for a place holder.
        auto* file = new QTreeWidgetItem(
            {QStringLiteral("%1 (%2 errors, %3 warnings, %4 notes)")
                 .arg(rel, QString::number(f.count(PageChecks::Severity::Error) + (f.error.isEmpty() ? 0 : 1)),
                      QString::number(f.count(PageChecks::Severity::Warning)), QString::number(notes))});
        file->setData(0, kPathRole, f.path);
        file->setData(0, kLineRole, 1);
        file->setToolTip(0, f.path);
        if (!f.error.isEmpty())
            file->addChild(new QTreeWidgetItem({f.error, QString(), QStringLiteral("Error"), QString()}));
        for (const PageChecks::Problem& p : f.problems) {
            auto* row = new QTreeWidgetItem({p.message, QString::number(p.line), PageChecks::severityName(p.severity),
                                             PageChecks::checkName(p.check)});
            row->setData(0, kPathRole, f.path);
            row->setData(0, kLineRole, p.line);
            row->setData(0, kColumnRole, p.column);
            row->setData(0, kLengthRole, p.length);
            row->setToolTip(0, p.message);
            file->addChild(row);
        }
        lstResults->addTopLevelItem(file);
    }
    if (lstResults->topLevelItemCount() <= 20)
        lstResults->expandAll();
    lstResults->setUpdatesEnabled(true);
    QString text = QStringLiteral("%1 pages, %2 links: %3 problems in %4 pages")
                       .arg(m_result.files.size())
                       .arg(m_result.links)
                       .arg(m_result.problemCount())
                       .arg(withProblems);
    if (m_result.cancelled)
        text += QStringLiteral(" (cancelled)");
    if (m_result.tidyMissing)
        text += QStringLiteral("; HTML Tidy could not run, the other checks did");
    lblSummary->setText(text);
}

void TfCheckSite::openItem(QTreeWidgetItem* item)
{
    if (!item)
        return;
    const QString path = item->data(0, kPathRole).toString();
    if (path.isEmpty())
        return;
    auto documentFor = [this, &path]() -> TfHTML* {
        for (TfHTML* doc : m_main.documents())
            if (!doc->isUntitled() && PathUtil::samePath(doc->caption(), path))
                return doc;
        return nullptr;
    };
    if (TfHTML* doc = documentFor())
        m_main.showDocument(doc);
    else
        m_main.OpenDocumentFile(path);
    TfHTML* doc = documentFor();
    if (!doc)
        return;
    const int line = std::max(1, item->data(0, kLineRole).toInt());
    const int column = std::max(1, item->data(0, kColumnRole).toInt());
    const int length = item->data(0, kLengthRole).toInt();
    doc->txtHTML->SelectRange(line, column, line, column + length, true);
    doc->txtHTML->FocusEditor();
}

bool TfCheckSite::saveReport(const QString& path)
{
    const bool csv = path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
    const QString text = csv ? SiteCheck::reportCsv(m_result) : SiteCheck::reportHtml(m_result);
    QString error;
    if (!SafeFile::tryWrite(path, text.toUtf8(), &error)) {
        UiPrompter::instance().message(this, error, UiPrompter::Ok, UiPrompter::Warning);
        return false;
    }
    m_main.SetStatusText(QStringLiteral("Report saved to ") + path);
    return true;
}

void TfCheckSite::btnSaveClick()
{
    const QString path = UiPrompter::instance().saveFileName(
        this, QStringLiteral("Save Site Report"), edFolder->text(),
        QStringLiteral("HTML Report (*.html)|*.html|CSV File (*.csv)|*.csv"), QStringLiteral("html"));
    if (!path.isEmpty())
        saveReport(path);
}

void TfCheckSite::showEvent(QShowEvent* e)
{
    if (!e->spontaneous())
        AppInvoker::run([this] { bagShow(Prefs, this); });
    QDialog::showEvent(e);
}

void TfCheckSite::closeEvent(QCloseEvent* e)
{
    cancel();
    AppInvoker::run([this] { bagClose(Prefs, this); });
    QDialog::closeEvent(e);
}
