#pragma once
// Keeps the main frame's documents true to their files: notices files that
// other programs changed or deleted (when the program gets the focus again,
// when a watched file changes, and before every save), knows which names are
// one file, and keeps recovery copies of modified documents, written in a
// worker thread, for the next start after a crash, a kill or a logout.
#include "app/RecoveryStore.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <functional>
#include <optional>

class QFileSystemWatcher;
class QSocketNotifier;
class QTimer;
class TfHTML;
class DocumentHost;

class FileGuard : public QObject {
    Q_OBJECT
public:
    explicit FileGuard(DocumentHost& main);
    ~FileGuard() override;

    // The open document whose file path names (another name of it too), or nullptr.
    TfHTML* documentFor(const QString& path, const TfHTML* except = nullptr) const;

    // Each document window reports here.
    void attach(TfHTML* doc);
    void loaded(TfHTML* doc);   // its file was loaded or reloaded
    void saved(TfHTML* doc);    // it was saved: its recovery file goes
    void closed(TfHTML* doc);   // it closed: its recovery file goes

    // Asks about every document whose file changed on disk since it was
    // loaded or saved (the focus-in check).
    void checkAll();

    // Recovery files
    // Writes the document's recovery file now: its text is copied exactly as
    // a save would write it (line ends and file format included) and written
    // in the worker thread. flushRecovery waits until the writes are done.
    void writeRecovery(TfHTML* doc);
    void flushRecovery();
    // Writes every modified document's recovery file and waits (SIGTERM, SIGHUP).
    void writeAllRecoveryNow();
    QString recoveryFile(const TfHTML* doc) const;
    // Offers the recovery files left by an ended process and restores the chosen ones.
    void offerRecovery();
    // Test seam for the recovery dialog: the indexes chosen, or nothing for "later".
    static std::function<std::optional<QList<int>>(QWidget*, const QList<RecoveryEntry>&)> chooser;

    // SIGTERM and SIGHUP write the recovery files, then the program ends.
    void installSignalHandlers();

    // An edit reaches the recovery file once the edits pause for kIdleMs, and
    // while they go on at the latest kLongestWaitMs after the first edit the
    // file does not hold yet: a crash loses at most those seconds of typing.
    static constexpr int kIdleMs = 2000;
    static constexpr int kLongestWaitMs = 5000;
    // Documents larger than this (characters, two per line end) get no
    // recovery copy; the user is told when one opens. Tests lower it.
    static inline qint64 maxRecoveryChars = RecoveryStore::kMaxChars;

private:
    struct Slot {
        QString recoveryFile;
        QTimer* timer = nullptr;
        QElapsedTimer pendingSince;  // first edit not yet in a recovery file
        bool written = false;
        bool tooLarge = false;
        bool toldTooLarge = false;   // the message box at opening was shown
    };
    void edited(TfHTML* doc);
    bool restoreOwnLineEnds(TfHTML* doc, const RecoveryEntry& entry, const QString& text, const QByteArray& lineEnds);
    void rewatch(TfHTML* doc);
    void checkOne(TfHTML* doc);
    void onSignal();

    DocumentHost& m_main;
    QHash<const TfHTML*, Slot> m_slots;
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer* m_watchDelay = nullptr;
    QThreadPool m_pool;  // one thread: writes and removals keep their order
    int m_serial = 0;
    bool m_checking = false;
    bool m_checkAgain = false;
    QSocketNotifier* m_signalNotifier = nullptr;
};
