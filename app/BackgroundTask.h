#pragma once
// Work the user waits for, run on a thread of its own while the interface
// thread goes on turning its event loop: a progress dialog appears when the
// work takes longer than a moment, its Cancel asks the work to stop at its
// next safe point, and the session's end (a signal, the window system) is
// handled at once instead of after the work.
#include <QString>
#include <atomic>
#include <functional>
#include <mutex>

class QWidget;

namespace BackgroundTask {

// What the work sees: whether to stop, and how far it has come.
class Progress {
public:
    bool cancelled() const { return m_cancel.load(); }
    void cancel() { m_cancel = true; }
    // done of total steps, and what is being done now.
    void set(qint64 done, qint64 total, const QString& text = QString())
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_done = done;
        m_total = total;
        if (!text.isNull())
            m_text = text;
    }
    void get(qint64* done, qint64* total, QString* text) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        *done = m_done;
        *total = m_total;
        *text = m_text;
    }

private:
    std::atomic<bool> m_cancel{false};
    mutable std::mutex m_mutex;
    qint64 m_done = 0;
    qint64 m_total = 0;
    QString m_text;
};

// Runs work on a worker thread and returns when it has ended. The dialog,
// modal to the whole program, shows title and the work's progress after
// 300 ms; until then the user's input is held back for after the work. An exception the work throws is thrown again here. Returns false
// when the user cancelled.
bool run(QWidget* parent, const QString& title, const std::function<void(Progress&)>& work);

// For tests: called on the interface thread before the work starts and at
// every progress update.
void setObserverForTests(std::function<void(const QString& title, Progress&)> observer);

}
