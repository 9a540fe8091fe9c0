// One frame per session: later starts of the real program hand their files
// over and end; a socket left by a crashed frame does not stop a new one.
#include "ScriptedPrompter.h"
#include "TestEnv.h"

#include "app/SingleInstance.h"
#include "app/TfHTML.h"
#include "app/TmdiMain.h"

#include <QApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <grp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
QString work(const QString& name) { return TestEnv::workDir() + QLatin1Char('/') + name; }

// Starts the built program in the work folder, with the test's environment.
std::unique_ptr<QProcess> startProgram(const QStringList& args)
{
    auto p = std::make_unique<QProcess>();
    p->setWorkingDirectory(TestEnv::workDir());
    p->setProcessChannelMode(QProcess::ForwardedChannels);
    p->start(QStringLiteral(VQ_PROGRAM), args);
    return p;
}

// A later start: it must hand over and end at once, with status 0.
bool handsOverAndEnds(const QStringList& args)
{
    auto p = startProgram(args);
    const bool ended = p->waitForStarted() && QTest::qWaitFor([&] { return p->state() == QProcess::NotRunning; }, 15000);
    if (!ended)
        p->kill();
    p->waitForFinished();
    return ended && p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0;
}

// What a frame killed without closing leaves: a socket file no one listens on.
bool leaveStaleSocket(const QString& path)
{
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (size_t(name.size()) >= sizeof addr.sun_path)
        return false;
    memcpy(addr.sun_path, name.constData(), name.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    if (fd >= 0)
        ::close(fd);
    return bound && QFileInfo::exists(path);
}

constexpr uid_t kNobody = 65534;

bool becomeNobody()
{
    return ::setgroups(0, nullptr) == 0 && ::setresgid(kNobody, kNobody, kNobody) == 0
           && ::setresuid(kNobody, kNobody, kNobody) == 0;
}

sockaddr_un addressOf(const QString& path)
{
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    memcpy(addr.sun_path, name.constData(), std::min(size_t(name.size()), sizeof addr.sun_path - 1));
    return addr;
}

// Waits for a child while the event loop runs; its exit code, -1 when it
// did not exit normally.
int waitForChild(pid_t pid)
{
    int status = 0;
    QTest::qWaitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, 15000);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
}

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        const QString runtime = TestEnv::root().path() + QStringLiteral("/run");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", "[System]\nOpen Template=0\n[Start Options]\nTips=0\n");
        QDir::setCurrent(TestEnv::workDir());
    }

    void laterStartHandsOver_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("received");
        QTest::newRow("in order, made absolute against the start's folder")
            << QStringList{"b.htm", "sub/../a.htm", "/srv/c.htm"}
            << QStringList{work("b.htm"), work("a.htm"), "/srv/c.htm"};
        QTest::newRow("a file named --help after --") << QStringList{"--", "--help"} << QStringList{work("--help")};
        QTest::newRow("no files: the frame only comes to the front") << QStringList{} << QStringList{};
    }
    void laterStartHandsOver()
    {
        QFETCH(QStringList, args);
        SingleInstance frame;
        QVERIFY(frame.listen());
        QSignalSpy spy(&frame, &SingleInstance::filesReceived);
        QVERIFY(handsOverAndEnds(args));
        QVERIFY(QTest::qWaitFor([&spy] { return spy.count() == 1; }, 5000));
        QTEST(spy.at(0).at(0).toStringList(), "received");
    }

    void filesWaitUntilTheFrameIsReady()
    {
        SingleInstance frame;
        QVERIFY(frame.listen());
        bool ready = false;
        frame.setReadyCheck([&ready] { return ready; });
        QSignalSpy spy(&frame, &SingleInstance::filesReceived);
        QVERIFY(handsOverAndEnds({"1.htm"}));
        QVERIFY(handsOverAndEnds({"2.htm", "3.htm"}));
        QTest::qWait(300);
        QCOMPARE(spy.count(), 0);
        ready = true;
        QVERIFY(QTest::qWaitFor([&spy] { return spy.count() == 2; }, 5000));
        QCOMPARE(spy.at(0).at(0).toStringList(), QStringList{work("1.htm")});
        QCOMPARE(spy.at(1).at(0).toStringList(), (QStringList{work("2.htm"), work("3.htm")}));
    }

    void staleSocketIsReplacedByANewFrame()
    {
        const QString name = SingleInstance::defaultServerName();
        QVERIFY(leaveStaleSocket(name));
        auto frame = startProgram({});
        QVERIFY(frame->waitForStarted());
        SingleInstance client(name);
        QVERIFY(QTest::qWaitFor([&] { return frame->state() == QProcess::Running && client.handOver({}, 1000); }, 30000));
        // A second start of the real program goes to that frame and ends.
        QVERIFY(handsOverAndEnds({"page.htm"}));
        QCOMPARE(frame->state(), QProcess::Running);
        frame->kill();
        frame->waitForFinished();
    }

    // Without a runtime folder the socket goes to a folder only the user can
    // write, never one another user made first.
    void socketFolderIsPrivate_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::newRow("runtime folder of the user's") << "runtime";
        QTest::newRow("no runtime folder: made 0700") << "none";
        QTest::newRow("runtime folder others can write") << "runtime 0777";
        QTest::newRow("fallback made first by another user") << "fallback of nobody";
        QTest::newRow("fallback others can write") << "fallback 0777";
        QTest::newRow("fallback is a symlink") << "fallback symlink";
    }
    void socketFolderIsPrivate()
    {
        QFETCH(QString, setup);
        if (::geteuid() != 0 && setup == "fallback of nobody")
            QSKIP("needs root to make a folder for another user");
        const QByteArray runtimeBefore = qgetenv("XDG_RUNTIME_DIR"), tmpBefore = qgetenv("TMPDIR");
        QTemporaryDir tmp;
        const QString runtime = tmp.path() + "/run";
        const QString fallback = tmp.path() + QStringLiteral("/velquist-%1").arg(::geteuid());
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));
        qunsetenv("XDG_RUNTIME_DIR");
        if (setup.startsWith("runtime")) {
            QVERIFY(::mkdir(QFile::encodeName(runtime).constData(), 0700) == 0);
            if (setup == "runtime 0777")
                QVERIFY(::chmod(QFile::encodeName(runtime).constData(), 0777) == 0);
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        } else if (setup == "fallback of nobody") {
            QVERIFY(::mkdir(QFile::encodeName(fallback).constData(), 0700) == 0);
            QVERIFY(::chown(QFile::encodeName(fallback).constData(), kNobody, kNobody) == 0);
        } else if (setup == "fallback 0777") {
            QVERIFY(::mkdir(QFile::encodeName(fallback).constData(), 0777) == 0);
            QVERIFY(::chmod(QFile::encodeName(fallback).constData(), 0777) == 0);
        } else if (setup == "fallback symlink") {
            QVERIFY(QDir().mkpath(tmp.path() + "/elsewhere"));
            QVERIFY(QFile::link(tmp.path() + "/elsewhere", fallback));
        }
        const QString name = SingleInstance::defaultServerName();
        qputenv("XDG_RUNTIME_DIR", runtimeBefore);
        qputenv("TMPDIR", tmpBefore);

        const QString folder = QFileInfo(name).absolutePath();
        struct ::stat st = {};
        QVERIFY(::lstat(QFile::encodeName(folder).constData(), &st) == 0);
        QVERIFY(S_ISDIR(st.st_mode));
        QCOMPARE(st.st_uid, ::geteuid());
        QCOMPARE(int(st.st_mode & 022), 0);
        if (setup == "runtime")
            QCOMPARE(folder, runtime);
        if (setup == "none")
            QCOMPARE(folder, fallback);
        if (setup == "none")
            QCOMPARE(int(st.st_mode & 0777), 0700);
    }

    // A socket another user listens on gets no file names, and a frame
    // takes none from another user's start.
    void otherUsersAreRefused()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to become another user");
        QTemporaryDir tmp(QStringLiteral("/tmp/vq-single-XXXXXX"));
        ::chmod(QFile::encodeName(tmp.path()).constData(), 0777);
        const QString name = tmp.path() + "/stranger.socket";

        // Another user listens first; it counts the bytes it is sent.
        int ready[2];
        QVERIFY(::pipe(ready) == 0);
        const pid_t listener = ::fork();
        if (listener == 0) {
            ::close(ready[0]);
            if (!becomeNobody())
                ::_exit(99);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un addr = addressOf(name);
            if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 1) != 0)
                ::_exit(98);
            ::write(ready[1], "r", 1);
            const int client = ::accept(fd, nullptr, nullptr);
            char buffer[4096];
            ::alarm(5);
            const ssize_t got = ::read(client, buffer, sizeof buffer);
            ::write(client, "K", 1);
            ::_exit(got > 0 ? 1 : 0);
        }
        ::close(ready[1]);
        char c = 0;
        QCOMPARE(::read(ready[0], &c, 1), ssize_t(1));
        ::close(ready[0]);
        SingleInstance start(name);
        QVERIFY(!start.handOver({work("secret.htm")}, 2000));
        QCOMPARE(waitForChild(listener), 0);  // 1: the names went to the stranger
        QFile::remove(name);

        // This user's frame; another user connects and sends a request.
        SingleInstance frame(name);
        QVERIFY(frame.listen());
        ::chmod(QFile::encodeName(name).constData(), 0777);
        QSignalSpy spy(&frame, &SingleInstance::filesReceived);
        const pid_t sender = ::fork();
        if (sender == 0) {
            if (!becomeNobody())
                ::_exit(99);
            QByteArray block;
            QDataStream out(&block, QIODevice::WriteOnly);
            out.setVersion(QDataStream::Qt_6_0);
            out << quint32(0x56514831) << QString() << QStringList{"/tmp/planted.htm"};
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un addr = addressOf(name);
            if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
                ::_exit(98);
            ::write(fd, block.constData(), size_t(block.size()));
            ::alarm(5);
            char answer = 0;
            ::_exit(::read(fd, &answer, 1) == 1 && answer == 'K' ? 1 : 0);
        }
        QCOMPARE(waitForChild(sender), 0);  // 1: the frame took the request
        QTest::qWait(100);
        QCOMPARE(spy.count(), 0);
    }

    void frameOpensHandedFilesInOrderAndComesToTheFront()
    {
        ScriptedPrompter prompter;
        const QString a = work("handed-a.htm"), b = work("handed-b.htm");
        TestEnv::writeAll(a, "a");
        TestEnv::writeAll(b, "b");
        TmdiMain m;
        QVERIFY(TestEnv::showFrame(m));
        m.showMinimized();
        m.OpenFilesFromAnotherStart({a, work("gone.htm"), b});
        QVERIFY(!m.isMinimized());
        QCOMPARE(m.documents().size(), 2);
        QCOMPARE(m.activeDocument()->caption(), b);
        QCOMPARE(prompter.messages, QStringList{"Unable to find " + work("gone.htm") + "."});
    }
};

VQ_TEST_MAIN(TestSingleInstance)

#include "tst_SingleInstance.moc"
