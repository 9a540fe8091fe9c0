#include "app/BackgroundTask.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <exception>

namespace {
constexpr int kDialogShown = 1;
std::function<void(const QString&, BackgroundTask::Progress&)> g_observer;
}

void BackgroundTask::setObserverForTests(std::function<void(const QString&, Progress&)> observer)
{
    g_observer = std::move(observer);
}

bool BackgroundTask::run(QWidget* parent, const QString& title, const std::function<void(Progress&)>& work)
{
    Progress progress;
    std::exception_ptr failure;
    QThread* thread = QThread::create([&] {
        try {
            work(progress);
        } catch (...) {
            failure = std::current_exception();
        }
    });
    QEventLoop loop;
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);

    QProgressDialog dialog(title, QStringLiteral("Cancel"), 0, 1000, parent);
    dialog.setWindowTitle(title);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(300);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&] {
        progress.cancel();
        dialog.setLabelText(QStringLiteral("Stopping after the current step ..."));
    });
    QTimer poll;
    poll.setInterval(50);
    bool holding = true;
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
        qint64 done = 0, total = 0;
        QString text;
        progress.get(&done, &total, &text);
        if (!progress.cancelled() && !text.isEmpty())
            dialog.setLabelText(text);
        dialog.setValue(total > 0 ? int(done * 1000 / total) : 0);
        if (g_observer)
            g_observer(title, progress);
        if (holding && dialog.isVisible()) {
            holding = false;
            loop.exit(kDialogShown);
        }
    });
    dialog.setValue(0);
    if (g_observer)
        g_observer(title, progress);
    poll.start();
    thread->start();
    // Until the dialog shows, what the user types or clicks waits for the
    // work's end: it is meant for the program as it will be then.
    if (loop.exec(QEventLoop::ExcludeUserInputEvents) == kDialogShown && !thread->isFinished())
        loop.exec();
    // The loop also ends when the program is told to quit: the work stops
    // at its next safe point.
    if (!thread->isFinished())
        progress.cancel();
    thread->wait();
    delete thread;
    poll.stop();
    const bool finished = !progress.cancelled();
    dialog.disconnect();  // closing a progress dialog reports Cancel
    dialog.close();
    if (failure)
        std::rethrow_exception(failure);
    return finished;
}
