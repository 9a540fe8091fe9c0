#pragma once
// One frame per user session. The first start listens on a local socket in
// the user's runtime folder (or a folder of the user's own, 0700, when there
// is none); a later start hands its files to that frame and ends. Both ends
// check that the other runs as the same user. A socket left behind by a frame that crashed is removed and the new
// start runs a frame of its own.
#include <QList>
#include <QObject>
#include <QStringList>
#include <functional>

class QLocalServer;
class QLocalSocket;
class QTimer;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // <runtime folder>/velquist-<key>.socket (the runtime folder, when no other
    // user can write it; else $TMPDIR/velquist-<uid>, made 0700 and owned by
    // the user; else the settings folder), the key taken from the settings
    // and data folders and the display: starts that would share settings on
    // one screen share one frame.
    static QString defaultServerName();

    explicit SingleInstance(const QString& serverName = defaultServerName(), QObject* parent = nullptr);
    ~SingleInstance() override;

    QString serverName() const { return m_name; }
    bool isListening() const;

    // Hands files, made absolute against the current folder, to the frame
    // listening on the socket. True once that frame confirmed it has them;
    // false when none listens or it did not answer within timeoutMs.
    bool handOver(const QStringList& files, int timeoutMs = 10000);
    // Listens for later starts, first removing a socket no frame listens on.
    bool listen();
    // A start's decision, taken under a lock so that two starts at once do
    // not both become the frame: true when the running frame took the files
    // (this start is done), false when this start runs the frame (listening
    // when it could).
    bool handOverOrListen(const QStringList& files);

    // Received files wait, in the order they came, while ready() is false
    // (the frame's start-up has not run yet, a modal window is open).
    void setReadyCheck(std::function<bool()> ready) { m_ready = std::move(ready); }

signals:
    // The files of one later start, absolute, in the order of its command line.
    void filesReceived(const QStringList& files);

private:
    void onNewConnection();
    void readRequest(QLocalSocket* socket);
    void deliver();

    QString m_name;
    QLocalServer* m_server = nullptr;
    QTimer* m_retry = nullptr;
    std::function<bool()> m_ready;
    struct Request {
        QString activationToken;
        QStringList files;
    };
    QList<Request> m_pending;
    bool m_delivering = false;
};
