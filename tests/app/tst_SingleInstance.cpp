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

#include <sys/socket.h>
#include <sys/un.h>
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
