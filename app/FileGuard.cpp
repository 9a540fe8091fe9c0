#include "app/FileGuard.h"

#include "app/AppError.h"
#include "app/AppInvoker.h"
#include "app/AppSettings.h"
#include "app/FileStamp.h"
#include "app/PathUtil.h"
#include "app/RecoveryDialog.h"
#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "app/UiPrompter.h"
#include "editor/TOvcTextFileEditor.h"

#include <QCoreApplication>
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

FileGuard::FileGuard(TmdiMain& main) : QObject(&main), m_main(main)
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
    if (it->copied >= 0) {
        // The copy no longer matches the text: it starts over later.
        it->copied = -1;
        it->copy = QString();
    }
    if (!it->pendingSince.isValid())
        it->pendingSince.start();
    const qint64 left = kLongestWaitMs - it->pendingSince.elapsed();
    it->timer->start(int(std::clamp<qint64>(left, 0, kIdleMs)));
}

void FileGuard::rewatch(TfHTML* doc)
{
    const QString path = doc->txtHTML->fileName();
    if (!path.isEmpty() && QFileInfo(path).isFile() && !m_watcher->files().contains(path))
        m_watcher->addPath(path);
}

void FileGuard::loaded(TfHTML* doc)
{
    rewatch(doc);
}

void FileGuard::saved(TfHTML* doc)
{
    auto it = m_slots.find(doc);
    if (it != m_slots.end()) {
        it->timer->stop();
        it->pendingSince.invalidate();
        it->copied = -1;
        it->copy = QString();
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
    const QString path = doc->txtHTML->fileName();
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
    const QString path = ed->fileName();
    if (doc->isUntitled() || path.isEmpty() || !PathUtil::samePath(path, doc->caption()))
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
        const bool silent = m_main.IniControl.ReadBool(AppSettings::kSystem, QStringLiteral("Reload Changed Files"), false);
        if (silent || UiPrompter::instance().message(
                          &m_main,
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
        &m_main,
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
    // Edits that went on for the longest wait are not put off again: the copy
    // is taken at once.
    const bool atOnce = slot.pendingSince.isValid() && slot.pendingSince.elapsed() >= kLongestWaitMs - kIdleMs;
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
    if (ed->TextSize() > RecoveryStore::kMaxChars) {
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
    slot.entry = entry;
    slot.copy.clear();
    slot.copy.reserve(ed->buffer().Length());
    slot.copied = 0;
    if (atOnce) {
        slot.copy = ed->RawText();
        startWrite(slot);
        return;
    }
    copySlice(doc);
}

void FileGuard::copySlice(TfHTML* doc)
{
    auto it = m_slots.find(doc);
    if (it == m_slots.end() || it->copied < 0)
        return;
    const TextSnapshot& text = doc->txtHTML->buffer().Text();
    const int end = int(text.Length());
    const int to = std::min(end, it->copied + kSliceChars);
    if (to > it->copied) {
        it->copy += text.Text(it->copied, to - it->copied);
        it->copied = to;
    }
    if (it->copied < end) {
        QPointer<TfHTML> guarded(doc);
        QTimer::singleShot(0, this, [this, guarded] {
            if (guarded)
                copySlice(guarded);
        });
        return;
    }
    startWrite(*it);
}

void FileGuard::startWrite(Slot& slot)
{
    slot.copied = -1;
    m_pool.start([this, entry = slot.entry, text = std::move(slot.copy)]() mutable {
        QString error;
        try {
            RecoveryStore::write(entry, text);
        } catch (const AppError& e) {
            error = e.message();
        }
        if (!error.isEmpty())
            QMetaObject::invokeMethod(this, [this, error] { m_main.SetStatusText(error); }, Qt::QueuedConnection);
    });
    slot.copy = QString();
    slot.written = true;
}

bool FileGuard::copyingRecovery() const
{
    return std::any_of(m_slots.cbegin(), m_slots.cend(), [](const Slot& s) { return s.copied >= 0; });
}

void FileGuard::flushRecovery()
{
    for (auto it = m_slots.begin(); it != m_slots.end(); ++it) {
        if (it->copied >= 0) {
            // The rest at once.
            const TextSnapshot& text = it.key()->txtHTML->buffer().Text();
            it->copy += text.Text(it->copied, text.Length() - it->copied);
            startWrite(*it);
        }
    }
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

void FileGuard::offerRecovery()
{
    const QList<RecoveryEntry> entries = RecoveryStore::orphans();
    if (entries.isEmpty())
        return;
    const std::optional<QList<int>> chosen =
        chooser ? chooser(&m_main, entries) : RecoveryDialog::choose(&m_main, entries);
    if (!chosen)
        return;  // asked again at the next start
    for (int index : *chosen) {
        if (index < 0 || index >= entries.size())
            continue;
        RecoveryEntry entry;
        QString text;
        if (!RecoveryStore::load(entries[index].file, &entry, &text)) {
            UiPrompter::instance().message(&m_main, QStringLiteral("Unable to read the recovery file %1.")
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
                                        && m_main.IniControl.ReadBool(AppSettings::kSystem, QStringLiteral("Create Backup"), true));
            // The file as it is now comes first, so one undo shows it.
            if (!entry.path.isEmpty() && QFileInfo(entry.path).isFile()) {
                try {
                    doc->txtHTML->LoadFile(entry.path);
                    loaded(doc);
                } catch (const EFileError&) {
                }
            }
        }
        doc->txtHTML->SetRawText(text);
        doc->txtHTML->SetFileFormat(entry.format);
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
