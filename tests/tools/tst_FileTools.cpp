// Search and replace in files: byte-exact replacement over encodings and
// line ends, and the file tools window over a folder of files.
#include "ScriptedPrompter.h"
#include "TestEnv.h"

#include "app/BackgroundTask.h"
#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "tools/ToolsModule.h"
#include "editor/TOvcTextFileEditor.h"
#include "tools/FileSearch.h"
#include "tools/TfrmFileTools.h"
#include "tools/UrlGrab.h"
#include "reuse/ProjectFile.h"
#include "tags/Stamps.h"
#include "app/AppError.h"
#include "app/SafeFile.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {
// Runs a step while the "Go on ?" question is open.
class AskingPrompter : public ScriptedPrompter {
public:
    std::function<void()> whileAsking;
    int message(QWidget* parent, const QString& text, int buttons, Icon icon, const QString& title) override
    {
        if (whileAsking && text.endsWith("Go on ?"))
            whileAsking();
        return ScriptedPrompter::message(parent, text, buttons, icon, title);
    }
};

// Sets or clears the immutable flag of a folder: no new file can be made
// in it, not even by root.
bool setImmutable(const QString& dir, bool on)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    bool ok = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    if (fd >= 0)
        ::close(fd);
    return ok;
}
} // namespace

class tst_FileTools : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void replaceBytes_data();
    void replaceBytes();
    void addAndRemove();
    void searchAndReplaceInFolder();
    void openAtFirstMatch();
    void replaceGuards_data();
    void replaceGuards();
    void emptyList_data();
    void emptyList();
    void userTextAsTyped_data();
    void userTextAsTyped();
    void pathsAsTheyAre_data();
    void pathsAsTheyAre();

private:
    QString work(const QString& name) const { return TestEnv::workDir() + "/" + name; }
    std::unique_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<TmdiMain> main;
};

void tst_FileTools::initTestCase()
{
    TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", "[System]\nOpen Template=0\n");
    prompter = std::make_unique<ScriptedPrompter>();
    main = std::make_unique<TmdiMain>();
    QVERIFY(TestEnv::showFrame(*main));
}

void tst_FileTools::cleanupTestCase()
{
    for (TfHTML* d : main->documents())
        d->approveClose();
    main.reset();
}

void tst_FileTools::replaceBytes_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("find");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<QString>("with");
    QTest::addColumn<int>("matches");
    QTest::addColumn<QByteArray>("after");  // "-": refused

    QTest::newRow("CR LF") << QByteArray("a cat\r\nCat\r\n") << "cat" << false << false << "dog" << 2
                           << QByteArray("a dog\r\ndog\r\n");
    QTest::newRow("LF, match case") << QByteArray("cat\nCat") << "cat" << true << false << "dog" << 1
                                    << QByteArray("dog\nCat");
    QTest::newRow("CR only") << QByteArray("x\ry\rx") << "x" << false << false << "zz" << 2 << QByteArray("zz\ry\rzz");
    QTest::newRow("mixed line ends kept") << QByteArray("a\r\nb\nc\ra") << "a" << false << false << "A" << 2
                                          << QByteArray("A\r\nb\nc\rA");
    QTest::newRow("whole word") << QByteArray("cat cats cat_ cat.") << "cat" << false << true << "X" << 2
                                << QByteArray("X cats cat_ X.");
    QTest::newRow("Latin-1 stays Latin-1") << QByteArray("caf\xe9 CAF\xc9\r\n") << QString::fromUtf8("café") << false
                                           << false << QString::fromUtf8("thé") << 2
                                           << QByteArray("th\xe9 th\xe9\r\n");
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xef\xbb\xbf\xc3\xa9t\xc3\xa9 \xe2\x82\xac\xf0\x9f\x98\x80 \xc3\xa9t\xc3\xa9")
                                    << QString::fromUtf8("été") << false << false << "x" << 2
                                    << QByteArray("\xef\xbb\xbfx \xe2\x82\xac\xf0\x9f\x98\x80 x");
    QTest::newRow("replacement with a line break") << QByteArray("a;b\r\n") << ";" << false << false << "\n" << 1
                                                   << QByteArray("a\r\nb\r\n");
    QTest::newRow("8-bit file cannot hold the arrow") << QByteArray("caf\xe9") << "caf" << false << false
                                                      << QString::fromUtf8("→") << 1 << QByteArray("-");
    QTest::newRow("mixed ends, break in the replacement") << QByteArray("a;b\nc;d\r\ne\n") << ";" << false << false
                                                          << "\n" << 2 << QByteArray("a\nb\nc\nd\r\ne\n");
    QTest::newRow("UTF-16 LE") << QByteArray("\xff\xfe" "a\0b\0a\0\n\0", 10) << "a" << false << false << "z" << 2
                               << QByteArray("\xff\xfe" "z\0b\0z\0\n\0", 10);
    QTest::newRow("no match") << QByteArray("abc") << "x" << false << false << "y" << 0 << QByteArray("abc");
}

void tst_FileTools::replaceBytes()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, find);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWord);
    QFETCH(QString, with);
    QFETCH(int, matches);
    QFETCH(QByteArray, after);
    const FileSearchOptions o{find, matchCase, wholeWord};
    QCOMPARE(FileSearch::countMatches(before, o), matches);
    const FileSearch::Replaced r = FileSearch::replaceAll(before, o, with);
    QCOMPARE(r.matches, matches);
    if (after == "-")
        QVERIFY(!r.error.isEmpty());
    else
        QCOMPARE(r.bytes, after);
}

void tst_FileTools::addAndRemove()
{
    TfrmFileTools* w = main->module<ToolsModule>().fileTools();
    QCOMPARE(w->grdFiles->rowCount(), 0);
    const QStringList chosen{work("A.htm"), work("b.htm"), work("A.htm")};
    prompter->openAnswers.enqueue(chosen);
    w->btnSelect->click();
    QCOMPARE(w->files(), chosen);  // letter case kept; the same file twice
    w->btnRemove->click();         // nothing selected: nothing removed
    QCOMPARE(w->files().size(), 3);
    w->grdFiles->selectRow(0);
    w->btnRemove->click();
    QCOMPARE(w->files(), QStringList({work("b.htm"), work("A.htm")}));
    QCOMPARE(main->statusText(), QString("   Ready ..."));
    while (w->grdFiles->rowCount())
        w->grdFiles->removeRow(0);
}

void tst_FileTools::searchAndReplaceInFolder()
{
    QVERIFY(TestEnv::writeAll(work("crlf.htm"), "<b>old</b>\r\nold\r\n"));
    QVERIFY(TestEnv::writeAll(work("lf.txt"), "OLD\nnew\n"));
    QVERIFY(TestEnv::writeAll(work("latin.htm"), "old caf\xe9\n"));
    QVERIFY(TestEnv::writeAll(work("ro.htm"), "old\n"));
    QFile::setPermissions(work("ro.htm"), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    QVERIFY(TestEnv::writeAll(work("open.htm"), "old\n"));
    main->OpenDocumentFile(work("open.htm"));
    main->activeDocument()->txtHTML->InsertAtCaret("typed ");
    TfrmFileTools* w = main->module<ToolsModule>().fileTools();
    for (const char* f : {"crlf.htm", "lf.txt", "latin.htm", "ro.htm", "open.htm", "missing.htm", "crlf.htm"})
        w->addFile(work(f));

    w->SearchInFiles({"old", false, false});
    QStringList results;
    for (int r = 0; r < w->grdFiles->rowCount(); ++r)
        results << w->result(r);
    QCOMPARE(results.mid(0, 5), QStringList({"2", "1", "1", "1", "1"}));
    QVERIFY(results.at(5).contains("missing.htm"));
    QCOMPARE(results.at(6), QString("2"));

    prompter->messages.clear();
    w->ReplaceInFiles({"old", false, false}, "new");
    QCOMPARE(prompter->messages.size(), 1);
    QVERIFY(prompter->messages.first().startsWith("4 matches of \"old\" in 3 files"));
    QCOMPARE(TestEnv::readAll(work("crlf.htm")), QByteArray("<b>new</b>\r\nnew\r\n"));
    QCOMPARE(TestEnv::readAll(work("crlf.BAK")), QByteArray("<b>old</b>\r\nold\r\n"));
    QCOMPARE(TestEnv::readAll(work("lf.txt")), QByteArray("new\nnew\n"));
    QCOMPARE(TestEnv::readAll(work("latin.htm")), QByteArray("new caf\xe9\n"));
    QCOMPARE(TestEnv::readAll(work("ro.htm")), QByteArray("old\n"));
    QCOMPARE(TestEnv::readAll(work("open.htm")), QByteArray("old\n"));
    QCOMPARE(w->result(0), QString("2 replaced"));
    QCOMPARE(w->result(3), QString("Skipped: the file is read-only"));
    QCOMPARE(w->result(4), QString("Skipped: open with unsaved changes"));
    QCOMPARE(w->result(6), QString("2 replaced"));  // listed twice, replaced once
    QCOMPARE(main->statusText(), QString("   Replaced 4 matches in 3 files, 3 files skipped"));

    // Refused at the question: nothing changes.
    prompter->answers.enqueue(UiPrompter::No);
    w->ReplaceInFiles({"new", true, true}, "old");
    QCOMPARE(TestEnv::readAll(work("lf.txt")), QByteArray("new\nnew\n"));
    QCOMPARE(w->result(1), QString("Not replaced"));
    QFile::setPermissions(work("ro.htm"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    while (w->grdFiles->rowCount())
        w->grdFiles->removeRow(0);
    main->activeDocument()->approveClose();
    main->CloseAll1Click();
}

void tst_FileTools::openAtFirstMatch()
{
    QVERIFY(TestEnv::writeAll(work("find.htm"), "one\r\ntwo Target\r\n"));
    TfrmFileTools* w = main->module<ToolsModule>().fileTools();
    w->addFile(work("find.htm"));
    w->SearchInFiles({"target", false, true});
    w->OpenRow(0);
    TfHTML* doc = main->activeDocument();
    QVERIFY(doc);
    int l1, c1, l2, c2;
    QVERIFY(doc->txtHTML->SelectionRange(l1, c1, l2, c2));
    QCOMPARE(QList<int>({l1, c1, l2, c2}), QList<int>({2, 5, 2, 11}));
    w->grdFiles->removeRow(0);
}

// Replacing never breaks a file that is not text, never loses a backup or
// another program's change, and handles each file once under all its names.
void tst_FileTools::replaceGuards_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QStringList>("listed");   // names in the list, in order
    QTest::addColumn<QStringList>("results");  // the Result column, each a prefix
    QTest::addColumn<QString>("status");
    QTest::newRow("png holding the text") << "binary" << QStringList{"pic.png", "page.htm"}
                                          << QStringList{"Skipped: not a text file", "1 replaced"}
                                          << "Replaced 1 matches in 1 files, 1 files skipped";
    QTest::newRow("two files, one backup name")
        << "plain" << QStringList{"page.htm", "page.txt"}
        << QStringList{"1 replaced", "1 replaced; no backup: " + work("page.BAK") + " already holds"}
        << "Replaced 2 matches in 2 files";
    QTest::newRow("open and modified under a symlink") << "open link" << QStringList{"page.htm"}
                                                       << QStringList{"Skipped: open with unsaved changes"}
                                                       << "No file holds";
    QTest::newRow("changed while asking") << "change while asking" << QStringList{"page.htm", "page.txt"}
                                          << QStringList{"Skipped: changed by another program", "1 replaced"}
                                          << "Replaced 1 matches in 1 files, 1 files skipped";
    QTest::newRow("symlink and its target") << "symlink" << QStringList{"link.htm", "page.htm"}
                                            << QStringList{"1 replaced", "1 replaced"}
                                            << "Replaced 1 matches in 1 files";
    QTest::newRow("two hard links") << "hard link" << QStringList{"page.htm", "other.htm"}
                                    << QStringList{"1 replaced", "1 replaced"} << "Replaced 1 matches in 1 files";
    QTest::newRow("cancelled before writing") << "cancel" << QStringList{"page.htm", "page.txt"}
                                              << QStringList{"Not replaced: cancelled", "Not replaced: cancelled"}
                                              << "Replaced 0 matches in 0 files; cancelled";
    QTest::newRow("folder takes no backup") << "read-only folder" << QStringList{"ro/page.htm"}
                                            << QStringList{"1 replaced; no backup: its folder cannot be written"}
                                            << "Replaced 1 matches in 1 files";
}

void tst_FileTools::replaceGuards()
{
    QFETCH(QString, setup);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, results);
    QFETCH(QString, status);
    QDir(TestEnv::workDir()).removeRecursively();
    QVERIFY(QDir().mkpath(TestEnv::workDir()));
    const QByteArray old("old\r\n");
    QVERIFY(TestEnv::writeAll(work("page.htm"), old));
    QVERIFY(TestEnv::writeAll(work("page.txt"), "old text\r\n"));
    const QByteArray png = QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) + "tEXtComment old\xFF\x00";
    QVERIFY(TestEnv::writeAll(work("pic.png"), png));
    if (setup == "symlink" || setup == "open link")
        QVERIFY(QFile::link(work("page.htm"), work("link.htm")));
    if (setup == "hard link")
        QVERIFY(::link(QFile::encodeName(work("page.htm")).constData(), QFile::encodeName(work("other.htm")).constData()) == 0);
    if (setup == "read-only folder") {
        QVERIFY(QDir().mkpath(work("ro")));
        QVERIFY(TestEnv::writeAll(work("ro/page.htm"), old));
        if (!setImmutable(work("ro"), true))
            QSKIP("the file system or the process cannot make a folder immutable");
    }
    if (setup == "open link") {
        main->OpenDocumentFile(work("link.htm"));
        main->activeDocument()->txtHTML->InsertAtCaret("typed ");
    }
    auto asking = std::make_unique<AskingPrompter>();
    const auto restore = qScopeGuard([&] {
        asking.reset();
        UiPrompter::setInstance(prompter.get());
        setImmutable(work("ro"), false);
        while (main->module<ToolsModule>().fileTools()->grdFiles->rowCount())
            main->module<ToolsModule>().fileTools()->grdFiles->removeRow(0);
        for (TfHTML* d : main->documents())
            d->approveClose();
        main->CloseAll1Click();
    });
    if (setup == "change while asking")
        asking->whileAsking = [&] { TestEnv::writeAll(work("page.htm"), "old, then another's\r\n"); };
    if (setup == "cancel")  // the search runs, the replacement is cancelled at once
        BackgroundTask::setObserverForTests([](const QString& title, BackgroundTask::Progress& p) {
            if (title.startsWith("Replacing"))
                p.cancel();
        });

    TfrmFileTools* w = main->module<ToolsModule>().fileTools();
    for (const QString& name : listed)
        w->addFile(work(name));
    w->ReplaceInFiles({"old", false, false}, "new");
    BackgroundTask::setObserverForTests(nullptr);
    for (int r = 0; r < results.size(); ++r)
        QVERIFY2(w->result(r).startsWith(results.at(r)), qPrintable(w->result(r)));
    QVERIFY2(main->statusText().contains(status), qPrintable(main->statusText()));

    if (setup == "binary")
        QCOMPARE(TestEnv::readAll(work("pic.png")), png);
    if (setup == "cancel")
        QCOMPARE(TestEnv::readAll(work("page.htm")), old);
    if (setup == "plain" || setup == "symlink" || setup == "hard link")
        QCOMPARE(TestEnv::readAll(work(QFileInfo(listed.at(0)).completeBaseName() + ".BAK")), old);  // kept
    if (setup == "symlink" || setup == "hard link") {
        QCOMPARE(TestEnv::readAll(work("page.htm")), QByteArray("new\r\n"));
        QCOMPARE(TestEnv::readAll(work(listed.at(0))), QByteArray("new\r\n"));
    }
    if (setup == "open link")
        QCOMPARE(TestEnv::readAll(work("page.htm")), old);
    if (setup == "change while asking")
        QCOMPARE(TestEnv::readAll(work("page.htm")), QByteArray("old, then another's\r\n"));
    if (setup == "read-only folder")
        QCOMPARE(TestEnv::readAll(work("ro/page.htm")), QByteArray("new\r\n"));
}

VQ_TEST_MAIN(tst_FileTools)
#include "tst_FileTools.moc"

// Texts the user typed stand in the messages as typed, place holders and all.
void tst_FileTools::userTextAsTyped_data()
{
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("with");
    QTest::newRow("%1 by %2") << "%1" << "%2";
    QTest::newRow("%2 by %1") << "%2" << "%1";
    QTest::newRow("high numbers") << "%9%99" << "%5 %L1";
}

void tst_FileTools::userTextAsTyped()
{
    QFETCH(QString, find);
    QFETCH(QString, with);
    QVERIFY(TestEnv::writeAll(work("pct.htm"), find.toUtf8()));
    TfrmFileTools* w = main->module<ToolsModule>().fileTools();
    w->addFile(work("pct.htm"));
    const auto cleanup = qScopeGuard([&] { w->grdFiles->removeRow(0); });
    w->SearchInFiles({find, false, false});
    QCOMPARE(main->statusText(), "   Found 1 matches of \"" + find + "\" in 1 of 1 files");
    prompter->messages.clear();
    w->ReplaceInFiles({find, false, false}, with);
    QCOMPARE(prompter->messages.value(0),
             "1 matches of \"" + find + "\" in 1 files will be replaced by \"" + with + "\".\n\nGo on ?");
    QCOMPARE(main->statusText(), QString("   Replaced 1 matches in 1 files"));
    QCOMPARE(TestEnv::readAll(work("pct.htm")), with.toUtf8());
}

// A path holding "%2" is shown whole in the messages about its file.
void tst_FileTools::pathsAsTheyAre_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("bookmark file too large") << "bookmarks";
    QTest::newRow("project indented too deep") << "project";
    QTest::newRow("file to insert too large") << "insert";
}

void tst_FileTools::pathsAsTheyAre()
{
    QFETCH(QString, kind);
    QVERIFY(QDir().mkpath(work("a%2b")));
    const QString path = work("a%2b/%1 %2.txt");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QString error;
    if (kind == "bookmarks") {
        QVERIFY(f.resize(UrlGrab::kMaxBookmarkFile + 1));
        f.close();
        error = UrlGrab::bookmarkFileProblem(path);
    } else if (kind == "project") {
        f.write("Title\n\t\t\tdeep\n");
        f.close();
        Project p;
        QVERIFY(!ProjectFile::read(path, &p, &error));
        QVERIFY(error.contains("line 2"));
    } else {
        QVERIFY(f.resize(Stamps::kMaxInsertSize + 1));
        f.close();
        try {
            Stamps::readTextFile(path);
        } catch (const AppError& e) {
            error = e.message();
        }
    }
    QFile::remove(path);
    QVERIFY2(error.contains(SafeFile::shown(path)), qPrintable(error));
}

void tst_FileTools::emptyList_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Search in Files") << "search";
    QTest::newRow("Replace in Files") << "replace";
}

void tst_FileTools::emptyList()
{
    QFETCH(QString, button);
    TfrmFileTools* w = main->module<ToolsModule>().fileTools();
    QCOMPARE(w->grdFiles->rowCount(), 0);
    prompter->messages.clear();
    (button == "search" ? w->btnSearch : w->btnReplace)->click();
    QCOMPARE(prompter->messages.size(), 1);
    QVERIFY(prompter->messages.first().startsWith("The list of files is empty"));
}
