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
#include <QStandardPaths>
#include <QTimer>

namespace {
// "VQH1": the first four bytes of every request; anything else is dropped.
constexpr quint32 kMagic = 0x56514831;
constexpr char kAck = 'K';
// A request larger than this is not a command line.
constexpr qint64 kMaxRequest = 16 * 1024 * 1024;
// A client that connects and sends nothing is dropped after this time.
constexpr int kIdleClientMs = 30000;

enum class HandOver { NoFrame, Taken, NoAnswer };

HandOver sendRequest(const QString& name, const QStringList& files, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(2000))
        return HandOver::NoFrame;
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
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
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
