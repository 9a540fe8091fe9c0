#include "tools/TfrmFileTools.h"

#include "app/BackgroundTask.h"

#include "tools/FrameFollower.h"

#include "app/AppError.h"
#include "app/AppInvoker.h"
#include "app/AppSettings.h"
#include "app/FileStamp.h"
#include "app/PathUtil.h"
#include "app/PlacementAdapter.h"
#include "app/SafeFile.h"
#include "app/TfHTML.h"
#include "app/FrameServices.h"
#include "app/TMegaRegistry.h"
#include "app/UiPrompter.h"
#include "editor/TOvcTextFileEditor.h"

#include <QCheckBox>

#include <algorithm>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QSet>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

FileSearchDialog::FileSearchDialog(QWidget* parent, bool replacing) : QDialog(parent)
{
    setWindowTitle(replacing ? QStringLiteral("Replace in Files") : QStringLiteral("Search in Files"));
    auto* form = new QFormLayout(this);
    edText = new QLineEdit(this);
    edText->setMaxLength(255);
    form->addRow(QStringLiteral("&Find what:"), edText);
    if (replacing) {
        edReplacement = new QLineEdit(this);
        edReplacement->setMaxLength(255);
        form->addRow(QStringLiteral("Replace &with:"), edReplacement);
    }
    cbMatchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    cbWholeWord = new QCheckBox(QStringLiteral("Whole words &only"), this);
    form->addRow(cbMatchCase);
    form->addRow(cbWholeWord);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto enable = [this, buttons] { buttons->button(QDialogButtonBox::Ok)->setEnabled(!edText->text().isEmpty()); };
    connect(edText, &QLineEdit::textChanged, this, enable);
    enable();
}

FileSearchOptions FileSearchDialog::options() const
{
    return {edText->text(), cbMatchCase->isChecked(), cbWholeWord->isChecked()};
}

TfrmFileTools::TfrmFileTools(FrameServices& main)
    : QDialog(main.frameWindow(), Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      Prefs(AppSettings::kPrefsFile, QStringLiteral("File Tools")), m_main(main)
{
    setObjectName(QStringLiteral("frmFileTools"));
    setWindowTitle(QStringLiteral("Velquist File Tools"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    btnSelect = new QPushButton(QStringLiteral("&Select Files to Work On..."), this);
    btnRemove = new QPushButton(QStringLiteral("Remove Selected File"), this);
    top->addWidget(btnSelect);
    top->addWidget(btnRemove);
    top->addStretch(1);
    layout->addLayout(top);

    // FormCreate: the heading row only.
    grdFiles = new QTableWidget(0, 2, this);
    grdFiles->setObjectName(QStringLiteral("grdFiles"));
    grdFiles->setHorizontalHeaderLabels({QStringLiteral("File Name"), QStringLiteral("Result")});
    grdFiles->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    grdFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdFiles->verticalHeader()->setVisible(false);
    grdFiles->horizontalHeader()->setStretchLastSection(true);
    grdFiles->setColumnWidth(0, 400);
    grdFiles->setWordWrap(false);
    layout->addWidget(grdFiles, 1);

    auto* bottom = new QHBoxLayout;
    btnSearch = new QPushButton(QStringLiteral("Search in Files"), this);
    btnReplace = new QPushButton(QStringLiteral("Replace in Files"), this);
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    bottom->addWidget(btnSearch);
    bottom->addWidget(btnReplace);
    bottom->addStretch(1);
    bottom->addWidget(btnOK);
    layout->addLayout(bottom);
    setFixedSize(640, 420);
    FrameFollower::closeWithFrame(this);

    auto run = [this](void (TfrmFileTools::*fn)()) {
        return [this, fn] { AppInvoker::run([this, fn] { (this->*fn)(); }); };
    };
    connect(btnSelect, &QPushButton::clicked, this, run(&TfrmFileTools::btnSelectClick));
    connect(btnRemove, &QPushButton::clicked, this, run(&TfrmFileTools::btnRemoveClick));
    connect(btnSearch, &QPushButton::clicked, this, run(&TfrmFileTools::btnSearchClick));
    connect(btnReplace, &QPushButton::clicked, this, run(&TfrmFileTools::btnReplaceClick));
    connect(btnOK, &QPushButton::clicked, this, &QDialog::close);
    connect(grdFiles, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { AppInvoker::run([this, row] { OpenRow(row); }); });
}

QStringList TfrmFileTools::files() const
{
    QStringList out;
    for (int r = 0; r < grdFiles->rowCount(); ++r)
        out << grdFiles->item(r, 0)->text();
    return out;
}

QString TfrmFileTools::result(int row) const
{
    const QTableWidgetItem* item = grdFiles->item(row, 1);
    return item ? item->text() : QString();
}

void TfrmFileTools::setResult(int row, const QString& text)
{
    grdFiles->item(row, 1)->setText(text);
    grdFiles->item(row, 1)->setToolTip(text);
}

void TfrmFileTools::addFile(const QString& path)
{
    const int row = grdFiles->rowCount();
    grdFiles->insertRow(row);
    // The path keeps its letter case: on this system it is part of the name.
    auto* name = new QTableWidgetItem(PathUtil::captionForPath(path));
    name->setToolTip(name->text());
    grdFiles->setItem(row, 0, name);
    grdFiles->setItem(row, 1, new QTableWidgetItem);
}

void TfrmFileTools::btnSelectClick()
{
    const QStringList chosen = UiPrompter::instance().openFileNames(
        this, QStringLiteral("Select Files to Work On"), QDir::currentPath(),
        QStringLiteral("HTML Documents (*.htm)|*.htm|Text Files (*.txt)|*.txt|All Files (*.*)|*.*"));
    if (chosen.isEmpty())
        return;
    for (const QString& f : chosen) {
        m_main.SetStatusText(QStringLiteral("Adding File : ") + f + QStringLiteral(" ..."));
        addFile(f);
    }
    m_main.SetStatusText(AppSettings::kReady);
}

void TfrmFileTools::btnRemoveClick()
{
    const QList<QTableWidgetSelectionRange> ranges = grdFiles->selectedRanges();
    if (ranges.isEmpty())
        return;
    grdFiles->removeRow(ranges.first().topRow());
    grdFiles->clearSelection();
}

bool TfrmFileTools::listIsEmpty()
{
    if (grdFiles->rowCount() > 0)
        return false;
    UiPrompter::instance().message(this, QStringLiteral("The list of files is empty: add the files to work on with "
                                                        "\"Select Files to Work On...\" first."),
                                   UiPrompter::Ok, UiPrompter::Information);
    return true;
}

void TfrmFileTools::btnSearchClick()
{
    if (listIsEmpty())
        return;
    FileSearchDialog ask(this, false);
    ask.edText->setText(m_last.text);
    ask.cbMatchCase->setChecked(m_last.matchCase);
    ask.cbWholeWord->setChecked(m_last.wholeWord);
    if (ask.exec() != QDialog::Accepted)
        return;
    SearchInFiles(ask.options());
}

void TfrmFileTools::btnReplaceClick()
{
    if (listIsEmpty())
        return;
    FileSearchDialog ask(this, true);
    ask.edText->setText(m_last.text);
    ask.cbMatchCase->setChecked(m_last.matchCase);
    ask.cbWholeWord->setChecked(m_last.wholeWord);
    if (ask.exec() != QDialog::Accepted)
        return;
    ReplaceInFiles(ask.options(), ask.edReplacement->text());
}

TfHTML* TfrmFileTools::documentFor(const QString& path) const
{
    // By file identity: a window may show the file under another name (a
    // symlink, a hard link).
    for (TfHTML* doc : m_main.documents())
        if (!doc->isUntitled() && PathUtil::samePath(doc->caption(), path))
            return doc;
    for (TfHTML* doc : m_main.documents())
        if (!doc->isUntitled() && FileIdentity::sameFile(doc->caption(), path))
            return doc;
    return nullptr;
}

void TfrmFileTools::SearchInFiles(const FileSearchOptions& options)
{
    m_last = options;
    const QString searching = QStringLiteral("Searching for ") + options.text + QStringLiteral(" ...");
    m_main.SetStatusText(searching);
    // Each file once, however often it is listed; read on a worker thread,
    // one file in memory at a time.
    QStringList rowKeys, paths;
    QHash<QString, qsizetype> indexOf;
    for (int r = 0; r < grdFiles->rowCount(); ++r) {
        const QString path = grdFiles->item(r, 0)->text();
        const QString key = PathUtil::compareKey(path);
        rowKeys << key;
        if (!indexOf.contains(key)) {
            indexOf.insert(key, paths.size());
            paths << path;
        }
    }
    QStringList results(paths.size(), QStringLiteral("Not searched"));
    int total = 0, withMatches = 0, searched = 0;
    const bool finished = BackgroundTask::run(this, searching, [&](BackgroundTask::Progress& progress) {
        for (qsizetype i = 0; i < paths.size() && !progress.cancelled(); ++i) {
            progress.set(i, paths.size(), QStringLiteral("Searching ") + paths[i]);
            QByteArray bytes;
            QString error;
            if (!FileSearch::readFile(paths[i], &bytes, &error)) {
                results[i] = error;
            } else {
                const int n = FileSearch::countMatches(bytes, options);
                total += n;
                withMatches += n > 0 ? 1 : 0;
                results[i] = QString::number(n);
            }
            ++searched;
        }
    });
    for (int r = 0; r < grdFiles->rowCount(); ++r)
        setResult(r, results.at(indexOf.value(rowKeys.at(r))));
    // One pass over the texts: a "%1" the user typed is never taken for a place holder.
    m_main.SetStatusText(QStringLiteral("Found %1 matches of \"%2\" in %3 of %4 files%5")
                             .arg(QString::number(total), options.text, QString::number(withMatches),
                                  QString::number(searched),
                                  finished ? QString() : QStringLiteral("; search cancelled")));
}

void TfrmFileTools::ReplaceInFiles(const FileSearchOptions& options, const QString& replacement)
{
    m_last = options;
    const QString searching = QStringLiteral("Searching for ") + options.text + QStringLiteral(" ...");
    m_main.SetStatusText(searching);
    struct Plan {
        QString path;
        QString key;
        int matches = 0;
        qint64 size = 0;   // what the file held when it was searched
        quint64 hash = 0;
    };
    // Windows showing a file under any of its names.
    auto windowsOf = [this](const QString& path) {
        QList<TfHTML*> out;
        for (TfHTML* doc : m_main.documents())
            if (!doc->isUntitled()
                && (PathUtil::samePath(doc->caption(), path) || FileIdentity::sameFile(doc->caption(), path)))
                out << doc;
        return out;
    };
    auto hasUnsavedWindow = [&](const QString& path) {
        const QList<TfHTML*> docs = windowsOf(path);
        return std::any_of(docs.cbegin(), docs.cend(), [](TfHTML* d) { return d->txtHTML->Modified(); });
    };
    // Each file once, whatever names it is listed under. Windows are asked
    // here, on the interface thread; files are read on a worker thread, one
    // at a time, and only what the replacement will check is kept of them.
    QStringList rowKeys;
    QList<Plan> files;
    QHash<QString, QString> done;
    int skipped = 0;
    auto skip = [&](const QString& key, const QString& why) {
        done.insert(key, why);
        ++skipped;
    };
    for (int r = 0; r < grdFiles->rowCount(); ++r) {
        const QString path = grdFiles->item(r, 0)->text();
        const QString key = FileSearch::identityKey(path);
        rowKeys << key;
        if (done.contains(key))
            continue;
        done.insert(key, QStringLiteral("Not searched"));
        if (hasUnsavedWindow(path))
            skip(key, QStringLiteral("Skipped: open with unsaved changes"));
        else
            files.append({path, key});
    }
    auto showResults = [&] {
        for (int r = 0; r < grdFiles->rowCount(); ++r)
            setResult(r, done.value(rowKeys.at(r)));
    };
    QList<Plan> plans;
    int matches = 0;
    const bool searched = BackgroundTask::run(this, searching, [&](BackgroundTask::Progress& progress) {
        for (qsizetype i = 0; i < files.size() && !progress.cancelled(); ++i) {
            Plan& f = files[i];
            progress.set(i, files.size(), QStringLiteral("Searching ") + f.path);
            QByteArray bytes;
            QString error;
            if (!FileSearch::readFile(f.path, &bytes, &error)) {
                skip(f.key, error);
                continue;
            }
            if (!FileSearch::isText(bytes)) {
                skip(f.key, QStringLiteral("Skipped: not a text file"));
                continue;
            }
            const FileSearch::Replaced change = FileSearch::replaceAll(bytes, options, replacement);
            if (change.matches == 0) {
                done.insert(f.key, QStringLiteral("0"));
            } else if (!change.error.isEmpty()) {
                skip(f.key, QStringLiteral("Skipped: ") + change.error);
            } else if (!(QFileInfo(f.path).permissions() & QFileDevice::WriteOwner)) {
                skip(f.key, QStringLiteral("Skipped: the file is read-only"));
            } else {
                matches += change.matches;
                done.insert(f.key, QString());
                f.matches = change.matches;
                f.size = bytes.size();
                f.hash = FileStamp::hashOf(bytes);
                plans.append(f);
            }
        }
    });
    if (!searched) {
        for (const Plan& p : std::as_const(plans))
            done.insert(p.key, QStringLiteral("Not replaced"));
        showResults();
        m_main.SetStatusText(QStringLiteral("Search cancelled; nothing was replaced"));
        return;
    }
    if (plans.isEmpty()) {
        showResults();
        m_main.SetStatusText(QStringLiteral("No file holds \"%1\"; nothing was replaced").arg(options.text));
        return;
    }
    const QString question = QStringLiteral("%1 matches of \"%2\" in %3 files will be replaced by \"%4\".%5\n\nGo on ?")
                                 .arg(QString::number(matches), options.text, QString::number(plans.size()),
                                      replacement,
                                      skipped ? QStringLiteral("\n%1 files are skipped.").arg(skipped) : QString());
    if (UiPrompter::instance().message(this, question, UiPrompter::Yes | UiPrompter::No, UiPrompter::Question)
        != UiPrompter::Yes) {
        for (const Plan& p : std::as_const(plans))
            done.insert(p.key, QStringLiteral("Not replaced"));
        showResults();
        m_main.SetStatusText(AppSettings::kReady);
        return;
    }
    // A window may have taken edits while the question was open.
    QSet<QString> unsaved;
    for (const Plan& p : std::as_const(plans))
        if (hasUnsavedWindow(p.path))
            unsaved.insert(p.key);
    const QString backupExtension = m_main.settings().ReadBool(AppSettings::kSystem, QStringLiteral("Create Backup"), true)
                                        ? QStringLiteral("BAK") : QString();
    for (const Plan& p : std::as_const(plans))
        done.insert(p.key, QStringLiteral("Not replaced: cancelled"));
    QSet<QString> backupsWritten;  // a backup this run wrote is never overwritten by another
    QStringList written;
    int replaced = 0, filesDone = 0;
    const bool finished = BackgroundTask::run(this, QStringLiteral("Replacing ") + options.text + QStringLiteral(" ..."),
                                              [&](BackgroundTask::Progress& progress) {
        // Cancel stops between two files: a file is written whole or not at all.
        for (qsizetype i = 0; i < plans.size() && !progress.cancelled(); ++i) {
            const Plan& p = plans[i];
            progress.set(i, plans.size(), QStringLiteral("Replacing in ") + p.path);
            if (unsaved.contains(p.key)) {
                skip(p.key, QStringLiteral("Skipped: open with unsaved changes"));
                continue;
            }
            // What was searched must still be there: another program may
            // have changed the file while the question was open.
            QByteArray now;
            QString error;
            if (!FileSearch::readFile(p.path, &now, &error)) {
                skip(p.key, error);
                continue;
            }
            if (now.size() != p.size || FileStamp::hashOf(now) != p.hash) {
                skip(p.key, QStringLiteral("Skipped: changed by another program since it was searched"));
                continue;
            }
            const FileSearch::Replaced change = FileSearch::replaceAll(now, options, replacement);
            now.clear();
            SafeFile::Options write;
            SafeFile::WriteReport report;
            write.report = &report;
            write.backupExtension = backupExtension;
            QString note, backupKey;
            if (!backupExtension.isEmpty()) {
                const QString backup = PathUtil::withExtension(p.path, backupExtension);
                backupKey = PathUtil::compareKey(QFileInfo(backup).absoluteFilePath());
                if (backupsWritten.contains(backupKey)) {
                    write.backupExtension.clear();
                    note = QStringLiteral("; no backup: ") + SafeFile::shown(backup)
                        + QStringLiteral(" already holds the backup of another file");
                }
            }
            if (!SafeFile::tryWrite(p.path, change.bytes, &error, write)) {
                skip(p.key, error);
                continue;
            }
            if (report.backupSkipped)
                note = QStringLiteral("; no backup: its folder cannot be written");
            else if (!write.backupExtension.isEmpty())
                backupsWritten.insert(backupKey);
            replaced += change.matches;
            ++filesDone;
            done.insert(p.key, QString::number(change.matches) + QStringLiteral(" replaced") + note);
            written << p.path;
        }
    });
    // A window showing a file without changes of its own shows the new text.
    for (const QString& path : std::as_const(written)) {
        const QString key = FileSearch::identityKey(path);
        for (TfHTML* doc : windowsOf(path)) {
            try {
                doc->txtHTML->LoadFile(doc->caption());
                doc->txtHTML->SetModified(false);
            } catch (const AppError& e) {
                done[key] += QStringLiteral("; its window could not show the new text: ") + e.message();
            }
        }
    }
    showResults();
    m_main.SetStatusText(QStringLiteral("Replaced %1 matches in %2 files%3%4")
                             .arg(QString::number(replaced), QString::number(filesDone),
                                  skipped ? QStringLiteral(", %1 files skipped").arg(skipped) : QString(),
                                  finished ? QString() : QStringLiteral("; cancelled")));
}

void TfrmFileTools::OpenRow(int row)
{
    if (row < 0 || row >= grdFiles->rowCount())
        return;
    const QString path = grdFiles->item(row, 0)->text();
    if (TfHTML* doc = documentFor(path))
        m_main.showDocument(doc);
    else
        m_main.OpenDocumentFile(path);
    TfHTML* doc = documentFor(path);
    if (!doc || m_last.text.isEmpty())
        return;
    int flags = SearchFlags::Plain | SearchFlags::Global;
    if (m_last.matchCase)
        flags |= SearchFlags::MatchCase;
    if (m_last.wholeWord)
        flags |= SearchFlags::WholeWord;
    doc->txtHTML->SearchText(m_last.text, flags);
}

void TfrmFileTools::showEvent(QShowEvent* e)
{
    if (!e->spontaneous())
        AppInvoker::run([this] { bagShow(Prefs, this); });
    QDialog::showEvent(e);
}

void TfrmFileTools::closeEvent(QCloseEvent* e)
{
    AppInvoker::run([this] { bagClose(Prefs, this); });
    QDialog::closeEvent(e);
}
