#include "app/FileGuard.h"

#include "app/AppError.h"
#include "app/AppInvoker.h"
#include "app/AppSettings.h"
#include "app/FileStamp.h"
#include "app/PathUtil.h"
#include "app/RecoveryDialog.h"
#include "app/SafeFile.h"
#include "app/TfHTML.h"
#include "app/DocumentHost.h"
#include "app/TMegaRegistry.h"
#include "app/UiPrompter.h"
#include "editor/TOvcTextFileEditor.h"
#include "editor/TextFileCodec.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

std::function<std::optional<QList<int>>(QWidget*, const QList<RecoveryEntry>&)> FileGuard::chooser;

namespace {
int s_signalFds[2] = {-1, -1};

void onUnixSignal(int)
{
    const char c = 1;
    const ssize_t ignored = ::write(s_signalFds[0], &c, 1);
    (void)ignored;
}
} // namespace

FileGuard::FileGuard(DocumentHost& main) : QObject(main.frameWindow()), m_main(main)
{
    m_pool.setMaxThreadCount(1);
    m_watcher = new QFileSystemWatcher(this);
    m_watchDelay = new QTimer(this);
    m_watchDelay->setSingleShot(true);
    m_watchDelay->setInterval(300);
    // A watcher alone misses changes (network folders, files replaced by
    // renaming): it only brings the check forward; the focus-in check and
    // the check before every save stay.
    connect(m_watcher, &QFileSystemWatcher::fileChanged, m_watchDelay, qOverload<>(&QTimer::start));
    connect(m_watchDelay, &QTimer::timeout, this, [this] {
        if (QGuiApplication::applicationState() == Qt::ApplicationActive && !QGuiApplication::modalWindow())
            AppInvoker::run([this] { m_main.CheckExternalChanges(); });
    });
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        // Not over a dialog the user is busy with: the watcher, the next
        // focus and the check before saving still come.
        if (state == Qt::ApplicationActive && !QGuiApplication::modalWindow())
            QTimer::singleShot(0, this, [this] { AppInvoker::run([this] { m_main.CheckExternalChanges(); }); });
    });
}

FileGuard::~FileGuard()
{
    m_pool.waitForDone();
}

TfHTML* FileGuard::documentFor(const QString& path, const TfHTML* except) const
{
    for (TfHTML* doc : m_main.documents()) {
        if (doc == except || doc->isUntitled())
            continue;
        if (PathUtil::samePath(doc->caption(), path) || FileIdentity::sameFile(doc->caption(), path))
            return doc;
    }
    return nullptr;
}

// ---------------------------------------------------------------- documents

void FileGuard::attach(TfHTML* doc)
{
    Slot& slot = m_slots[doc];
    slot.timer = new QTimer(doc);
    slot.timer->setSingleShot(true);
    connect(slot.timer, &QTimer::timeout, this, [this, doc] { writeRecovery(doc); });
    connect(doc->txtHTML, &TOvcTextFileEditor::textChanged, this, [this, doc] { edited(doc); });
    connect(doc, &QObject::destroyed, this, [this, doc] { m_slots.remove(doc); });
}

void FileGuard::edited(TfHTML* doc)
{
    auto it = m_slots.find(doc);
    if (it == m_slots.end())
        return;
    // Written once the edits pause, and at the latest some time after the
    // first edit that no recovery file holds yet.
    if (!it->pendingSince.isValid())
        it->pendingSince.start();
    const qint64 left = kLongestWaitMs - it->pendingSince.elapsed();
    it->timer->start(int(std::clamp<qint64>(left, 0, kIdleMs)));
}

// The file a document belongs to: the one its caption names, whatever name
// its editor last wrote.
static QString ownFile(const TfHTML* doc)
{
    return doc->isUntitled() ? QString() : doc->caption();
}

void FileGuard::rewatch(TfHTML* doc)
{
    const QString path = ownFile(doc);
    if (!path.isEmpty() && QFileInfo(path).isFile() && !m_watcher->files().contains(path))
        m_watcher->addPath(path);
}

void FileGuard::loaded(TfHTML* doc)
{
    rewatch(doc);
    // Told when the document opens, before any edit could be lost.
    auto it = m_slots.find(doc);
    if (it != m_slots.end() && !it->toldTooLarge && doc->txtHTML->TextSize() > maxRecoveryChars) {
        it->toldTooLarge = true;
        UiPrompter::instance().message(
            m_main.frameWindow(),
            doc->caption() + QStringLiteral("\n\nThis document is too large for a recovery copy (over %1 M "
                                            "characters): should the program end unexpectedly, changes not yet "
                                            "saved are lost. Save it often.")
                                 .arg(std::max<qint64>(maxRecoveryChars / (1024 * 1024), 1)),
            UiPrompter::Ok, UiPrompter::Warning);
    }
}

void FileGuard::saved(TfHTML* doc)
{
    auto it = m_slots.find(doc);
    if (it != m_slots.end()) {
        it->timer->stop();
        it->pendingSince.invalidate();
        if (it->written) {
            const QString file = it->recoveryFile;
            m_pool.start([file] { RecoveryStore::remove(file); });
            it->written = false;
        }
    }
    rewatch(doc);
}

void FileGuard::closed(TfHTML* doc)
{
    saved(doc);
    m_slots.remove(doc);
    const QString path = ownFile(doc);
    if (!path.isEmpty() && !documentFor(path, doc))
        m_watcher->removePath(path);
}

// ---------------------------------------------------------------- changes on disk

void FileGuard::checkAll()
{
    // A question box takes the focus and gives it back: no second round meanwhile.
    if (m_checking)
        return;
    m_checking = true;
    const QList<TfHTML*> docs = m_main.documents();
    try {
        for (TfHTML* doc : docs)
            checkOne(doc);
    } catch (...) {
        m_checking = false;
        throw;
    }
    m_checking = false;
}

void FileGuard::checkOne(TfHTML* doc)
{
    TOvcTextFileEditor* ed = doc->txtHTML;
    const QString path = ownFile(doc);
    if (path.isEmpty())
        return;
    FileStamp now;
    switch (ed->fileStamp().check(path, &now)) {
    case FileStamp::Unchanged:
        if (now.exists)
            ed->SetFileStamp(now);  // touched only: no need to read it again
        return;
    case FileStamp::Deleted:
        ed->SetFileStamp(FileStamp());
        ed->SetModified(true);
        m_main.SetStatusText(doc->caption() + QStringLiteral(" was deleted by another program; saving it makes it again."));
        return;
    case FileStamp::Changed:
        break;
    }
    if (!ed->Modified()) {
        const bool silent = m_main.settings().ReadBool(AppSettings::kSystem, QStringLiteral("Reload Changed Files"), false);
        if (silent || UiPrompter::instance().message(
                          m_main.frameWindow(),
                          doc->caption() + QStringLiteral("\n\nThis file has been changed by another program. Reload it?"),
                          UiPrompter::Yes | UiPrompter::No, UiPrompter::Question) == UiPrompter::Yes) {
            doc->reloadFromDisk();
        } else {
            // The window's text now differs from the file.
            ed->SetFileStamp(now);
            ed->SetModified(true);
        }
        return;
    }
    const int answer = UiPrompter::instance().message(
        m_main.frameWindow(),
        doc->caption() + QStringLiteral("\n\nThis file has been changed by another program, and this window "
                                        "holds changes of its own.\n\nYes: keep your version (saving overwrites "
                                        "the other one).\nNo: reload the file (your changes are lost).\n"
                                        "Cancel: decide later."),
        UiPrompter::Yes | UiPrompter::No | UiPrompter::Cancel, UiPrompter::Warning);
    if (answer == UiPrompter::Yes)
        ed->SetFileStamp(now);
    else if (answer == UiPrompter::No)
        doc->reloadFromDisk();
}

// ---------------------------------------------------------------- recovery

QString FileGuard::recoveryFile(const TfHTML* doc) const
{
    const auto it = m_slots.constFind(doc);
    return it != m_slots.cend() && it->written ? it->recoveryFile : QString();
}

void FileGuard::writeRecovery(TfHTML* doc)
{
    auto it = m_slots.find(doc);
    if (it == m_slots.end())
        return;
    Slot& slot = *it;
    slot.timer->stop();
    slot.pendingSince.invalidate();
    TOvcTextFileEditor* ed = doc->txtHTML;
    if (!ed->Modified()) {
        if (slot.written) {
            const QString file = slot.recoveryFile;
            m_pool.start([file] { RecoveryStore::remove(file); });
            slot.written = false;
        }
        return;
    }
    if (ed->TextSize() > maxRecoveryChars) {
        if (!slot.tooLarge)
            m_main.SetStatusText(doc->caption() + QStringLiteral(" is too large for a recovery copy: save it often."));
        slot.tooLarge = true;
        return;
    }
    if (slot.recoveryFile.isEmpty())
        slot.recoveryFile = RecoveryStore::fileName(++m_serial);
    RecoveryEntry entry;
    entry.file = slot.recoveryFile;
    entry.path = doc->isUntitled() ? QString() : doc->caption();
    entry.caption = doc->caption();
    entry.format = ed->fileFormat();
    entry.time = QDateTime::currentDateTime();
    entry.pid = QCoreApplication::applicationPid();
    // The text as a save writes it: the characters line breaks came from,
    // and the line ends lines keep of their own; written from a snapshot on
    // the writing thread, not while the user types.
    m_pool.start([this, entry, text = ed->buffer().Snapshot()] {
        QString error;
        try {
            RecoveryStore::write(entry, text);
        } catch (const AppError& e) {
            error = e.message();
        }
        if (!error.isEmpty())
            QMetaObject::invokeMethod(this, [this, error] { m_main.SetStatusText(error); }, Qt::QueuedConnection);
    });
    slot.written = true;
}

void FileGuard::flushRecovery()
{
    m_pool.waitForDone();
}

void FileGuard::writeAllRecoveryNow()
{
    for (TfHTML* doc : m_main.documents()) {
        if (doc->txtHTML->Modified())
            writeRecovery(doc);
    }
    flushRecovery();
}

// Lines that keep their own line ends come back only as a file loads them:
// the text goes through a private file in the recovery folder, encoded as
// the document's own file would be. The editor then holds what it held when
// the copy was written (its undo history starts afresh); false when the
// file's bytes do not read back as that text, format and line ends.
bool FileGuard::restoreOwnLineEnds(TfHTML* doc, const RecoveryEntry& entry, const QString& text,
                                   const QByteArray& lineEnds)
{
    if (!TextFileCodec::canEncode(text, entry.format))
        return false;
    const QString scratch = entry.file + QStringLiteral(".restore~");
    TOvcTextFileEditor* ed = doc->txtHTML;
    SafeFile::Options options;
    options.permissions = 0600;
    options.refuseLinks = true;
    if (!SafeFile::tryWrite(scratch, TextFileCodec::encode(text, entry.format, lineEnds), nullptr, options))
        return false;
    // The stamp of the document's own file as it is on the disk now.
    FileStamp stamp = ed->fileStamp();
    try {
        ed->LoadFile(scratch);
    } catch (const EFileError&) {
        QFile::remove(scratch);
        return false;
    }
    QFile::remove(scratch);
    QByteArray ends;
    const TextFileFormat& got = ed->fileFormat();
    const bool same = static_cast<const EditorContract&>(*ed).textForSaving(&ends) == text && ends == lineEnds
                      && got.encoding == entry.format.encoding && got.charset == entry.format.charset
                      && got.bom == entry.format.bom && got.finalLineEnd == entry.format.finalLineEnd;
    if (entry.path.isEmpty() || !QFileInfo(entry.path).isFile()) {
        stamp = FileStamp();
    } else if (!stamp.exists) {
        QByteArray bytes;
        stamp = SafeFile::read(entry.path, &bytes) ? FileStamp::of(entry.path, bytes) : FileStamp();
    }
    ed->SetFileStamp(stamp);
    return same;
}

void FileGuard::offerRecovery()
{
    const QList<RecoveryEntry> entries = RecoveryStore::orphans();
    if (entries.isEmpty())
        return;
    const std::optional<QList<int>> chosen =
        chooser ? chooser(m_main.frameWindow(), entries) : RecoveryDialog::choose(m_main.frameWindow(), entries);
    if (!chosen)
        return;  // asked again at the next start
    for (int index : *chosen) {
        if (index < 0 || index >= entries.size())
            continue;
        RecoveryEntry entry;
        QString text;
        QByteArray lineEnds;
        if (!RecoveryStore::load(entries[index].file, &entry, &text, &lineEnds)) {
            UiPrompter::instance().message(m_main.frameWindow(), QStringLiteral("Unable to read the recovery file %1.")
                                                        .arg(SafeFile::shown(entries[index].file)),
                                           UiPrompter::Ok, UiPrompter::Warning);
            continue;
        }
        TfHTML* doc = entry.path.isEmpty() ? nullptr : documentFor(entry.path);
        if (!doc) {
            doc = m_main.createDocument(entry.path.isEmpty()
                                            ? QStringLiteral("New HTML Document ") + QString::number(m_main.nextUntitledNumber())
                                            : PathUtil::captionForPath(entry.path));
            doc->txtHTML->SetMakeBackup(!entry.path.isEmpty()
                                        && m_main.settings().ReadBool(AppSettings::kSystem, QStringLiteral("Create Backup"), true));
            // The file as it is now comes first, so one undo shows it.
            if (!entry.path.isEmpty() && QFileInfo(entry.path).isFile()) {
                try {
                    doc->txtHTML->LoadFile(entry.path);
                    loaded(doc);
                } catch (const EFileError&) {
                }
            }
        }
        if (lineEnds.isEmpty() || !restoreOwnLineEnds(doc, entry, text, lineEnds)) {
            doc->txtHTML->SetRawText(text);
            doc->txtHTML->SetFileFormat(entry.format);
        }
        doc->txtHTML->SetModified(true);
        m_main.showDocument(doc);
        m_main.TabsUpdate(doc->caption());
        m_main.SelectTabName(doc->caption());
    }
    for (const RecoveryEntry& entry : entries)
        RecoveryStore::remove(entry.file);
}

// ---------------------------------------------------------------- signals

void FileGuard::installSignalHandlers()
{
    if (s_signalFds[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, s_signalFds) != 0)
        return;
    m_signalNotifier = new QSocketNotifier(qintptr(s_signalFds[1]), QSocketNotifier::Read, this);
    connect(m_signalNotifier, &QSocketNotifier::activated, this, &FileGuard::onSignal);
    struct sigaction sa = {};
    sa.sa_handler = onUnixSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGHUP, &sa, nullptr);
}

void FileGuard::onSignal()
{
    char c = 0;
    const ssize_t ignored = ::read(s_signalFds[1], &c, 1);
    (void)ignored;
    // No question boxes now: the session is ending. The recovery files stay
    // and are offered at the next start.
    writeAllRecoveryNow();
    QCoreApplication::exit(0);
    // Also when the signal came before the main event loop started.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
}
