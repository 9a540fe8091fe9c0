// Files as other programs leave them: changed or deleted behind an open
// document, reached through a second name, and documents recovered after the
// program was killed.
#include "ScriptedPrompter.h"
#include "TestEnv.h"
#include "app/FileGuard.h"
#include "app/RecoveryStore.h"
#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "editor/TOvcTextFileEditor.h"
#include "editor/TextBuffer.h"

#include <QApplication>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <memory>
#include <unistd.h>

namespace {
QString work(const QString& name) { return TestEnv::workDir() + QLatin1Char('/') + name; }
const QByteArray kIni("[System]\nOpen Template=0\nCreate Backup=0\n");

QStringList recoveryFiles()
{
    return QDir(RecoveryStore::folder()).entryList({QStringLiteral("*.vqr")}, QDir::Files);
}

// The program killed in the middle of its work: opens a file and a new
// document, edits both, says "ready" (once the recovery files exist, when
// asked to wait) and runs until it is killed.
int recoveryChild(int argc, char** argv)
{
    QApplication app(argc, argv);
    ScriptedPrompter prompter;
    TfTipOfTheDay::setRunner([](TfTipOfTheDay&) {});  // nobody is there to close the tip of the day
    TmdiMain m;
    m.show();
    QCoreApplication::processEvents();
    m.OpenDocumentFile(qEnvironmentVariable("VQ_RECOVERY_CHILD"));
    m.activeDocument()->txtHTML->InsertAtCaret(QStringLiteral("recovered "));
    m.FileNew();
    m.activeDocument()->txtHTML->InsertAtCaret(QStringLiteral("untitled text"));
    if (qEnvironmentVariableIsSet("VQ_RECOVERY_WAIT")) {
        QElapsedTimer t;
        t.start();
        while (recoveryFiles().size() < 2 && t.elapsed() < 20000)
            QTest::qWait(50);
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
} // namespace

class tst_FileGuard : public QObject {
    Q_OBJECT
    std::unique_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<TmdiMain> main;

    TmdiMain& start()
    {
        main.reset();
        TestEnv::clearSettings();
        TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", kIni);
        TestEnv::writeAll(TestEnv::programDir() + "/standard.tpl", QByteArray());
        prompter = std::make_unique<ScriptedPrompter>();
        main = std::make_unique<TmdiMain>();
        TestEnv::showFrame(*main);
        return *main;
    }

private slots:
    void cleanup()
    {
        if (main)
            for (TfHTML* d : main->documents())
                d->approveClose();
        main.reset();
        prompter.reset();
        FileGuard::chooser = nullptr;
        QDir(RecoveryStore::folder()).removeRecursively();
    }

    void externalChange_data()
    {
        QTest::addColumn<QString>("change");  // what the other program does
        QTest::addColumn<bool>("modified");   // the window holds edits
        QTest::addColumn<QString>("moment");  // "focus": the program gets the focus; "save": Ctrl+S
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QByteArray>("onDisk");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("stillModified");

        const int Y = UiPrompter::Yes, N = UiPrompter::No, C = UiPrompter::Cancel;
        QTest::newRow("save over another's version: yes") << "write" << false << "save" << Y << 1
                                                           << QByteArray("one\r\n") << "one" << false;
        QTest::newRow("save, modified: reload instead") << "write" << true << "save" << N << 1
                                                        << QByteArray("other text\r\n") << "other text" << false;
        QTest::newRow("save, modified: cancel") << "write" << true << "save" << C << 1
                                                << QByteArray("other text\r\n") << "Xone" << true;
        QTest::newRow("focus: reload") << "write" << false << "focus" << Y << 1 << QByteArray("other text\r\n")
                                       << "other text" << false;
        QTest::newRow("focus: keep the window's text") << "write" << false << "focus" << N << 1
                                                       << QByteArray("other text\r\n") << "one" << true;
        QTest::newRow("focus, modified: keep edits") << "write" << true << "focus" << Y << 1
                                                     << QByteArray("other text\r\n") << "Xone" << true;
        QTest::newRow("touched, not changed") << "touch" << false << "save" << Y << 0 << QByteArray("one\r\n")
                                              << "one" << false;
        // cp -p, rsync -t, touch -r: the same size and the old time.
        QTest::newRow("same size, old time: reload") << "write, old time" << false << "focus" << Y << 1
                                                     << QByteArray("two\r\n") << "two" << false;
        QTest::newRow("same size, old time: save asks") << "write, old time" << true << "save" << C << 1
                                                        << QByteArray("two\r\n") << "Xone" << true;
        QTest::newRow("deleted: marked modified") << "delete" << false << "focus" << Y << 0 << QByteArray()
                                                  << "one" << true;
        QTest::newRow("deleted: saving makes it again") << "delete" << false << "save" << Y << 0
                                                        << QByteArray("one\r\n") << "one" << false;
    }

    void externalChange()
    {
        QFETCH(QString, change);
        QFETCH(bool, modified);
        QFETCH(QString, moment);
        QFETCH(int, answer);
        QFETCH(int, questions);
        QFETCH(QByteArray, onDisk);
        QFETCH(QString, text);
        QFETCH(bool, stillModified);

        TmdiMain& m = start();
        const QString p = work("page.htm");
        QVERIFY(TestEnv::writeAll(p, "one\r\n"));
        m.OpenDocumentFile(p);
        TOvcTextFileEditor* ed = m.activeDocument()->txtHTML;
        if (modified)
            ed->InsertAtCaret("X");
        QFile f(p);
        struct ::stat loaded = {};
        QVERIFY(::stat(QFile::encodeName(p).constData(), &loaded) == 0);
        QTest::qWait(20);
        if (change == "write")
            QVERIFY(TestEnv::writeAll(p, "other text\r\n"));
        else if (change == "write, old time")
            QVERIFY(TestEnv::writeAll(p, "two\r\n"));
        else if (change == "delete")
            QVERIFY(QFile::remove(p));
        if (change == "write, old time") {
            const struct timespec times[2] = {loaded.st_atim, loaded.st_mtim};
            QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(p).constData(), times, 0) == 0);
        } else {
            QVERIFY(!f.exists() || (f.open(QIODevice::ReadWrite)
                                    && f.setFileTime(QDateTime::currentDateTime().addSecs(5),
                                                     QFileDevice::FileModificationTime)));
        }
        f.close();
        prompter->answers.enqueue(answer);
        if (moment == "focus") {
            m.CheckExternalChanges();
            m.CheckExternalChanges();  // asked once only
        } else {
            m.FileSave();
        }
        QCOMPARE(prompter->messages.size(), questions);
        if (questions)
            QVERIFY(prompter->messages.at(0).startsWith(p));
        QCOMPARE(TestEnv::readAll(p), onDisk);
        QCOMPARE(ed->RawText(), text);
        QCOMPARE(ed->Modified(), stillModified);
        if (change == "delete" && moment == "focus")
            QVERIFY2(m.statusText().contains("deleted"), qPrintable(m.statusText()));
    }

    void oneWindowPerFile_data()
    {
        QTest::addColumn<QString>("name");  // the second name of page.htm
        QTest::addColumn<bool>("saveAs");   // Save As onto it from another document, else open it
        QTest::newRow("open a symlink") << "link.htm" << false;
        QTest::newRow("open a hard link") << "hard.htm" << false;
        QTest::newRow("open another spelling") << "./page.htm" << false;
        QTest::newRow("save as onto a symlink") << "link.htm" << true;
        QTest::newRow("save as onto a hard link") << "hard.htm" << true;
        QTest::newRow("save as onto the file") << "page.htm" << true;
    }

    void oneWindowPerFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, saveAs);
        QDir(TestEnv::workDir()).removeRecursively();
        QDir().mkpath(TestEnv::workDir());
        const QString page = work("page.htm");
        QVERIFY(TestEnv::writeAll(page, "page\r\n"));
        QVERIFY(QFile::link(page, work("link.htm")));
        QVERIFY(::link(QFile::encodeName(page).constData(), QFile::encodeName(work("hard.htm")).constData()) == 0);

        TmdiMain& m = start();
        m.OpenDocumentFile(page);
        TfHTML* pageDoc = m.activeDocument();
        const QString second = TestEnv::workDir() + "/" + name;
        if (!saveAs) {
            m.FileNew();
            m.OpenDocumentFile(second);
            QCOMPARE(prompter->messages, QStringList{second + " is already open."});
            QCOMPARE(m.documents().size(), 2);
            QCOMPARE(m.activeDocument(), name.startsWith("./") ? m.documents().first() : pageDoc);
            return;
        }
        m.FileNew();
        TfHTML* other = m.activeDocument();
        other->txtHTML->InsertAtCaret("other");
        prompter->saveAnswers.enqueue(second);
        m.FileSaveAs();
        QCOMPARE(prompter->messages.size(), 1);
        QVERIFY2(prompter->messages.at(0).contains("is open in another window (" + page + ")"),
                 qPrintable(prompter->messages.at(0)));
        QCOMPARE(TestEnv::readAll(page), QByteArray("page\r\n"));
        QVERIFY(other->isUntitled());
        QVERIFY(other->txtHTML->Modified());
    }

    void recoveryAfterTheProgramEnds_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("waitForFiles");  // killed once the recovery files exist
        QTest::newRow("SIGKILL after the edits pause") << int(SIGKILL) << true;
        QTest::newRow("SIGTERM at once") << int(SIGTERM) << false;
    }

    void recoveryAfterTheProgramEnds()
    {
        QFETCH(int, signal);
        QFETCH(bool, waitForFiles);
        TestEnv::clearSettings();
        TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", kIni);
        const QString p = work("kept.htm");
        QVERIFY(TestEnv::writeAll(p, "one\r\n"));

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VQ_RECOVERY_CHILD", p);
        if (waitForFiles)
            env.insert("VQ_RECOVERY_WAIT", "1");
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForStarted());
        while (!child.readAllStandardOutput().contains("ready"))
            QVERIFY2(child.waitForReadyRead(30000), "the child never got ready");
        ::kill(pid_t(child.processId()), signal);
        QVERIFY(child.waitForFinished(20000));
        QCOMPARE(child.exitStatus(), signal == SIGKILL ? QProcess::CrashExit : QProcess::NormalExit);
        QCOMPARE(recoveryFiles().size(), 2);
        QCOMPARE(TestEnv::readAll(p), QByteArray("one\r\n"));

        QList<RecoveryEntry> offered;
        FileGuard::chooser = [&](QWidget*, const QList<RecoveryEntry>& entries) {
            offered = entries;
            return std::optional<QList<int>>(QList<int>{0, 1});
        };
        TmdiMain& m = start();
        QTRY_COMPARE(offered.size(), 2);
        QStringList restored;
        for (TfHTML* doc : m.documents()) {
            QVERIFY(doc->txtHTML->Modified());
            restored << doc->caption() + "=" + doc->txtHTML->RawText();
        }
        restored.sort();
        QCOMPARE(restored, (QStringList{p + "=recovered one", "New HTML Document 1=untitled text"}));
        QVERIFY(offered.at(0).time.isValid());
        QCOMPARE(recoveryFiles(), QStringList());
        // Undo brings back the file as it is on the disk.
        for (TfHTML* doc : m.documents())
            if (!doc->isUntitled()) {
                doc->txtHTML->UndoStep();
                QCOMPARE(doc->txtHTML->RawText(), QString("one"));
            }
    }

    // Recover, then save: only the line edited changes. Line ends of their
    // own, the one closing the file, line breaks that came from U+2029,
    // U+FDD0 or U+FDD1, and the file's encoding all come back as they were.
    void recoveryRestoresExactly_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("saved");  // after "x" typed at the start
        QTest::newRow("mixed line ends") << QByteArray("l1\r\nl2\nl3\rl4") << QByteArray("xl1\r\nl2\nl3\rl4");
        QTest::newRow("closing line end of its own") << QByteArray("a\r\nb\r\nc\n") << QByteArray("xa\r\nb\r\nc\n");
        QTest::newRow("U+2029 in UTF-8") << QByteArray("a\xe2\x80\xa9" "b\r\n") << QByteArray("xa\xe2\x80\xa9" "b\r\n");
        QTest::newRow("U+FDD0 and U+FDD1") << QByteArray("a\xef\xb7\x90" "b\xef\xb7\x91" "c\n")
                                           << QByteArray("xa\xef\xb7\x90" "b\xef\xb7\x91" "c\n");
        QTest::newRow("Windows-1252, CR") << QByteArray("caf\xe9\rl2\r") << QByteArray("xcaf\xe9\rl2\r");
        QTest::newRow("UTF-16 LE, mixed") << QByteArray("\xff\xfe" "a\0\r\0\n\0b\0\n\0", 12)
                                          << QByteArray("\xff\xfe" "x\0a\0\r\0\n\0b\0\n\0", 14);
        QTest::newRow("uniform CR LF") << QByteArray("one\r\ntwo\r\n") << QByteArray("xone\r\ntwo\r\n");
    }
    void recoveryRestoresExactly()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, saved);
        TmdiMain& m = start();
        const QString p = work("exact.htm");
        QVERIFY(TestEnv::writeAll(p, bytes));
        m.OpenDocumentFile(p);
        TfHTML* doc = m.activeDocument();
        doc->txtHTML->InsertAtCaret(QStringLiteral("x"));
        const TextFileFormat format = doc->txtHTML->fileFormat();
        m.fileGuard()->writeRecovery(doc);
        m.fileGuard()->flushRecovery();
        // As if another process had written it and ended.
        RecoveryEntry e;
        QString text;
        QByteArray lineEnds;
        QVERIFY(RecoveryStore::load(m.fileGuard()->recoveryFile(doc), &e, &text, &lineEnds));
        RecoveryStore::remove(e.file);
        e.file = RecoveryStore::folder() + QStringLiteral("/1-ended-1.vqr");
        e.pid = 999999999;
        e.bootId = "00000000-0000-0000-0000-000000000000";
        RecoveryStore::write(e, text, lineEnds);
        doc->approveClose();
        m.FileCloseChild();
        QTRY_COMPARE(m.documents().size(), 0);
        FileGuard::chooser = [](QWidget*, const QList<RecoveryEntry>&) { return std::optional<QList<int>>(QList<int>{0}); };
        m.fileGuard()->offerRecovery();
        QCOMPARE(m.documents().size(), 1);
        TOvcTextFileEditor* ed = m.activeDocument()->txtHTML;
        QVERIFY(ed->Modified());
        QCOMPARE(ed->fileFormat().encoding, format.encoding);
        QCOMPARE(ed->fileFormat().lineEnd, format.lineEnd);
        m.FileSave();
        QCOMPARE(prompter->messages, QStringList());
        QCOMPARE(TestEnv::readAll(p), saved);
    }

    // While typing goes on without a pause, the recovery file is written
    // within a few seconds of the first edit.
    void recoveryWhileTypingGoesOn()
    {
        TmdiMain& m = start();
        m.FileNew();
        TfHTML* doc = m.activeDocument();
        QElapsedTimer t;
        t.start();
        while (m.fileGuard()->recoveryFile(doc).isEmpty() && t.elapsed() < 8000) {
            doc->txtHTML->InsertAtCaret(QStringLiteral("k"));
            QTest::qWait(150);
        }
        QVERIFY2(t.elapsed() <= FileGuard::kLongestWaitMs + 1000, qPrintable(QString::number(t.elapsed())));
    }

    // A document too large for a recovery copy is told when it opens.
    void tooLargeForRecoveryToldAtOpening()
    {
        TmdiMain& m = start();
        const qint64 was = FileGuard::maxRecoveryChars;
        FileGuard::maxRecoveryChars = 100;
        const QString small = work("small.htm"), large = work("large.htm");
        QVERIFY(TestEnv::writeAll(small, QByteArray(90, 'a')));
        QVERIFY(TestEnv::writeAll(large, QByteArray(101, 'a')));
        m.OpenDocumentFile(small);
        m.OpenDocumentFile(large);
        FileGuard::maxRecoveryChars = was;
        QCOMPARE(prompter->messages.size(), 1);
        QVERIFY(prompter->messages.first().startsWith(large + "\n"));
        QVERIFY(prompter->messages.first().contains("too large for a recovery copy"));
    }

    // Every name comes back exactly as it was written.
    void recoveryNamesRoundTrip_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("caption");
        QTest::newRow("line feed in the name") << "/home/u/x\ny.htm" << "/home/u/x\ny.htm";
        QTest::newRow("carriage return and a field") << "/a/b\r\nPath: /etc/passwd" << "c\r\n\r\nd";
        QTest::newRow("blanks at both ends") << "/home/u/notes " << " New HTML Document 3 ";
        QTest::newRow("percent and colon") << "/a/%41: 100%.htm" << "%0A";
        QTest::newRow("not ascii") << QString::fromUtf8("/d\u00E9j\u00E0/\u20AC.htm") << QString::fromUtf8("\u00FC");
        QTest::newRow("untitled") << QString() << "New HTML Document 1";
    }

    void recoveryNamesRoundTrip()
    {
        QFETCH(QString, path);
        QFETCH(QString, caption);
        RecoveryEntry e;
        e.path = path;
        e.caption = caption;
        e.format.encoding = TextFileFormat::Windows1252;
        e.format.lineEnd = TextFileFormat::CR;
        e.format.finalLineEnd = false;
        e.format.mixedLineEnds = true;
        e.format.escapedBytes = true;
        e.time = QDateTime::currentDateTimeUtc();
        e.pid = 12345;
        const QString text = QString::fromUtf16(u"a\nb\x2029\xDC80");
        const QByteArray lineEnds("\2\0", 2);
        RecoveryEntry back;
        QString backText;
        QByteArray backEnds;
        QVERIFY(RecoveryStore::parse(RecoveryStore::serialize(e, text, lineEnds), &back, &backText, &backEnds));
        QCOMPARE(backEnds, lineEnds);
        QVERIFY(back.format.mixedLineEnds && back.format.escapedBytes);
        QCOMPARE(back.path, path);
        QCOMPARE(back.caption, caption);
        QCOMPARE(backText, text);
        QCOMPARE(back.format.encoding, e.format.encoding);
        QCOMPARE(back.format.lineEnd, e.format.lineEnd);
        QCOMPARE(back.format.finalLineEnd, false);
        QCOMPARE(back.pid, qint64(12345));
    }

    // A copy written from the buffer's pieces is the copy of its whole text.
    void recoveryFromSnapshot()
    {
        TextBuffer buf;
        buf.Load(TextFileCodec::decode("one\r\ntwo\nthree\rfour\r\n"));
        buf.Insert(5, QStringLiteral("T"));
        buf.Insert(0, QStringLiteral("new\n"));
        buf.Replace(buf.Length() - 2, 1, QString::fromUtf16(u"\x00E9\xDC80"));
        RecoveryEntry e;
        e.caption = QStringLiteral("page.htm");
        e.time = QDateTime::currentDateTimeUtc();
        e.pid = 1;
        const TextSnapshot t = buf.Snapshot();
        QCOMPARE(RecoveryStore::serialize(e, t), RecoveryStore::serialize(e, t.RawText(), t.LineEnds()));
    }

    // A damaged or hostile header is refused whole, never half read.
    void recoveryHeadersExact_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("accepted");
        const QByteArray magic("VELQUIST RECOVERY 2\r\n");
        const QByteArray ab("a\0b\0", 4);
        QTest::newRow("plain") << magic + "Path: /a\r\nLength: 2\r\n\r\n" << ab << true;
        QTest::newRow("unknown key passed over") << magic + "Colour: red\r\nLength: 2\r\n\r\n" << ab << true;
        QTest::newRow("length near 2^62") << magic + "Length: 4611686018427387905\r\n\r\n" << ab << false;
        QTest::newRow("length beyond 64 bits") << magic + "Length: 99999999999999999999\r\n\r\n" << ab << false;
        QTest::newRow("negative length") << magic + "Length: -2\r\n\r\n" << ab << false;
        QTest::newRow("length with a blank") << magic + "Length: 2 \r\n\r\n" << ab << false;
        QTest::newRow("length too short") << magic + "Length: 1\r\n\r\n" << ab << false;
        QTest::newRow("no length") << magic + "Path: /a\r\n\r\n" << ab << false;
        QTest::newRow("two paths") << magic + "Path: /a\r\nPath: /b\r\nLength: 2\r\n\r\n" << ab << false;
        QTest::newRow("bare line feed") << magic + "Path: /a\nLength: 2\r\n\r\n" << ab << false;
        QTest::newRow("line without a key") << magic + "/a\r\nLength: 2\r\n\r\n" << ab << false;
        QTest::newRow("encoding out of range") << magic + "Encoding: 7\r\nLength: 2\r\n\r\n" << ab << false;
        QTest::newRow("pid beyond any process") << magic + "Pid: 9999999999\r\nLength: 2\r\n\r\n" << ab << false;
        QTest::newRow("header without end") << magic + "Path: " + QByteArray(70000, 'a') + "\r\n\r\n" << ab << false;
        QTest::newRow("line ends after the text") << magic + "Length: 2\r\nLineEnds: 2\r\n\r\n" << ab + QByteArray("\1\2", 2) << true;
        QTest::newRow("line ends missing") << magic + "Length: 2\r\nLineEnds: 3\r\n\r\n" << ab + QByteArray("\1\2", 2) << false;
        QTest::newRow("line end style out of range") << magic + "Length: 2\r\nLineEnds: 1\r\n\r\n" << ab + QByteArray("\3", 1) << false;
        QTest::newRow("line ends near 2^63") << magic + "Length: 2\r\nLineEnds: 9223372036854775807\r\n\r\n" << ab << false;
        QTest::newRow("mixed flag out of range") << magic + "MixedLineEnds: 2\r\nLength: 2\r\n\r\n" << ab << false;
    }

    void recoveryHeadersExact()
    {
        QFETCH(QByteArray, header);
        QFETCH(QByteArray, body);
        QFETCH(bool, accepted);
        RecoveryEntry e;
        QString text;
        QCOMPARE(RecoveryStore::parse(header + body, &e, &text), accepted);
        if (accepted)
            QCOMPARE(text, QStringLiteral("ab"));
    }

    // Files of a process that still runs stay hidden; those whose number
    // another process has taken since (or after a reboot) are offered.
    void recoveryOwner_data()
    {
        QTest::addColumn<QString>("owner");
        QTest::addColumn<bool>("offered");
        QTest::newRow("owner still running") << "running" << false;
        QTest::newRow("number taken by another process") << "reused" << true;
        QTest::newRow("written before a reboot") << "other boot" << true;
        QTest::newRow("owner ended") << "ended" << true;
    }

    void recoveryOwner()
    {
        QFETCH(QString, owner);
        QFETCH(bool, offered);
        QProcess other;
        other.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        QVERIFY(other.waitForStarted());
        const qint64 pid = other.processId();
        RecoveryEntry e;
        e.file = RecoveryStore::folder() + QStringLiteral("/%1-other-1.vqr").arg(pid);
        e.path = work("owned.htm");
        e.time = QDateTime::currentDateTimeUtc();
        e.pid = pid;
        e.bootId = RecoveryStore::bootId();
        e.started = RecoveryStore::startTime(pid);
        QVERIFY(e.started > 0);
        if (owner == "reused")
            e.started += 1;
        else if (owner == "other boot")
            e.bootId = "00000000-0000-0000-0000-000000000000";
        RecoveryStore::write(e, QStringLiteral("text"));
        if (owner == "ended") {
            other.kill();
            QVERIFY(other.waitForFinished());
        }
        const QList<RecoveryEntry> found = RecoveryStore::orphans();
        QCOMPARE(found.size(), offered ? 1 : 0);
        if (offered)
            QCOMPARE(found.at(0).path, e.path);
        other.kill();
        other.waitForFinished();
    }

    void recoveryFilesPrivate()
    {
        const QString dir = RecoveryStore::folder();
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(::chmod(QFile::encodeName(dir).constData(), 0755) == 0);
        RecoveryEntry e;
        e.file = dir + QStringLiteral("/1-x-1.vqr");
        e.pid = QCoreApplication::applicationPid();
        QVERIFY(TestEnv::writeAll(e.file, "old"));
        QVERIFY(::chmod(QFile::encodeName(e.file).constData(), 0644) == 0);
        RecoveryStore::write(e, QStringLiteral("secret"));
        e.file = dir + QStringLiteral("/1-x-2.vqr");
        RecoveryStore::write(e, QStringLiteral("secret"));
        struct ::stat st = {};
        QVERIFY(::stat(QFile::encodeName(dir).constData(), &st) == 0);
        QCOMPARE(int(st.st_mode & 0777), 0700);
        for (const QString& name : {QStringLiteral("1-x-1.vqr"), QStringLiteral("1-x-2.vqr")}) {
            QVERIFY(::stat(QFile::encodeName(dir + '/' + name).constData(), &st) == 0);
            QCOMPARE(int(st.st_mode & 0777), 0600);
        }
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("VQ_RECOVERY_CHILD"))
        return recoveryChild(argc, argv);
    TestEnv::init();
    QApplication app(argc, argv);
    tst_FileGuard tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_FileGuard.moc"
