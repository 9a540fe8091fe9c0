#include "app/SingleInstance.h"

#include "app/AppPaths.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// "VQH1": the first four bytes of every request; anything else is dropped.
constexpr quint32 kMagic = 0x56514831;
constexpr char kAck = 'K';
// A request larger than this is not a command line.
constexpr qint64 kMaxRequest = 16 * 1024 * 1024;
// A client that connects and sends nothing is dropped after this time.
constexpr int kIdleClientMs = 30000;

enum class HandOver { NoFrame, Taken, NoAnswer, Stranger };

// True when the other end of a connected local socket runs as this user.
bool peerIsThisUser(qintptr fd)
{
    struct ucred cred = {};
    socklen_t size = sizeof cred;
    return fd >= 0 && ::getsockopt(int(fd), SOL_SOCKET, SO_PEERCRED, &cred, &size) == 0 && size == sizeof cred
           && cred.uid == ::geteuid();
}

// A folder no other user can put a socket in: a real folder (no symlink)
// of this user's that no one else may write. A missing one is made 0700
// when create is set.
bool privateFolder(const QString& path, bool create)
{
    if (path.isEmpty())
        return false;
    const QByteArray name = QFile::encodeName(path);
    if (create)
        ::mkdir(name.constData(), 0700);
    struct ::stat st;
    return ::lstat(name.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()
           && (st.st_mode & 022) == 0;
}

HandOver sendRequest(const QString& name, const QStringList& files, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(2000))
        return HandOver::NoFrame;
    // The command line goes to no one but this user's own frame.
    if (!peerIsThisUser(socket.socketDescriptor())) {
        socket.abort();
        return HandOver::Stranger;
    }
    QStringList absolute;
    for (const QString& f : files)
        absolute << (f.isEmpty() ? f : QFileInfo(f).absoluteFilePath());
    QByteArray block;
    QDataStream out(&block, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    // Lets the frame come to the front on a Wayland desktop that hands the
    // launcher's activation token to the program it starts.
    out << kMagic << qEnvironmentVariable("XDG_ACTIVATION_TOKEN") << absolute;
    socket.write(block);
    // The frame may still be building its windows; it answers once its
    // event loop runs.
    const QDeadlineTimer deadline(timeoutMs);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
            return HandOver::NoAnswer;
    }
    while (socket.bytesAvailable() < 1) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return HandOver::NoAnswer;
    }
    return socket.read(1) == QByteArray(1, kAck) ? HandOver::Taken : HandOver::NoAnswer;
}
}

QString SingleInstance::defaultServerName()
{
    // The runtime folder when it is this user's alone; else a folder of the
    // user's own in the temporary folder, made 0700 (one another user made
    // first is passed over); else the settings folder.
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!privateFolder(runtime, false)) {
        runtime = QDir::tempPath() + QStringLiteral("/velquist-%1").arg(::geteuid());
        if (!privateFolder(runtime, true)) {
            AppPaths::ensureSettingsDir();
            runtime = AppPaths::settingsDir();
        }
    }
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("DISPLAY");
    const QByteArray key = (AppPaths::settingsDir() + QLatin1Char('\n') + AppPaths::dataDir()
                            + QLatin1Char('\n') + display).toUtf8();
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16);
    return runtime + QStringLiteral("/velquist-") + QString::fromLatin1(hash) + QStringLiteral(".socket");
}

SingleInstance::SingleInstance(const QString& serverName, QObject* parent)
    : QObject(parent), m_name(serverName), m_retry(new QTimer(this))
{
    m_retry->setSingleShot(true);
    m_retry->setInterval(200);
    connect(m_retry, &QTimer::timeout, this, &SingleInstance::deliver);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::isListening() const
{
    return m_server && m_server->isListening();
}

bool SingleInstance::handOver(const QStringList& files, int timeoutMs)
{
    return sendRequest(m_name, files, timeoutMs) == HandOver::Taken;
}

bool SingleInstance::listen()
{
    if (isListening())
        return true;
    delete m_server;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    if (m_server->listen(m_name))
        return true;
    // A frame that crashed leaves its socket behind; no one answers on it.
    if (m_server->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalServer::removeServer(m_name);
        if (m_server->listen(m_name))
            return true;
    }
    qWarning("velquist: cannot listen on %s: %s", qPrintable(m_name), qPrintable(m_server->errorString()));
    return false;
}

bool SingleInstance::handOverOrListen(const QStringList& files)
{
    QLockFile lock(m_name + QStringLiteral(".lock"));
    // Without the lock (a folder that cannot be written) the start goes on.
    lock.tryLock(5000);
    switch (sendRequest(m_name, files, 20000)) {
    case HandOver::Taken:
        return true;
    case HandOver::NoAnswer:
        // A frame is there but does not answer: it keeps its socket, and
        // this start runs a frame of its own so the files still open.
        qWarning("velquist: the running frame does not answer; starting another one");
        return false;
    case HandOver::Stranger:
        qWarning("velquist: %s belongs to another user; it is replaced", qPrintable(m_name));
        break;
    case HandOver::NoFrame:
        break;
    }
    QLocalServer::removeServer(m_name);
    listen();
    return false;
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        if (!peerIsThisUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        QTimer::singleShot(kIdleClientMs, socket, [socket] { socket->abort(); });
        readRequest(socket);
    }
}

void SingleInstance::readRequest(QLocalSocket* socket)
{
    if (socket->bytesAvailable() > kMaxRequest) {
        socket->abort();
        return;
    }
    QDataStream in(socket);
    in.setVersion(QDataStream::Qt_6_0);
    in.startTransaction();
    quint32 magic = 0;
    in >> magic;
    if (in.status() == QDataStream::Ok && magic != kMagic) {
        in.abortTransaction();
        socket->abort();
        return;
    }
    Request request;
    in >> request.activationToken >> request.files;
    if (!in.commitTransaction()) {
        if (in.status() == QDataStream::ReadCorruptData)
            socket->abort();
        return;  // else more to come
    }
    socket->write(&kAck, 1);
    socket->flush();
    socket->disconnectFromServer();
    m_pending.append(request);
    deliver();
}

void SingleInstance::deliver()
{
    // A request that comes while one is being opened (inside a message box,
    // say) waits for it, so files open in the order the starts gave them.
    if (m_delivering)
        return;
    m_delivering = true;
    while (!m_pending.isEmpty()) {
        if (m_ready && !m_ready()) {
            m_retry->start();
            break;
        }
        const Request request = m_pending.takeFirst();
        if (!request.activationToken.isEmpty())
            qputenv("XDG_ACTIVATION_TOKEN", request.activationToken.toUtf8());
        emit filesReceived(request.files);
    }
    m_delivering = false;
}
