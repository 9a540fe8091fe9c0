// Plug-in lines split into description, opening and closing text; the
// plug-in window's files, order, insertion and drag.
#include "ScriptedPrompter.h"
#include "TestEnv.h"
#include "tags/TagTestSupport.h"

#include "tools/PlugInFile.h"
#include "tools/TfPlugIn.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

class tst_PlugIn : public QObject {
    Q_OBJECT
private slots:
    void init();
    void splitLine_data();
    void splitLine();
    void builtInColoursMatchTheirNames_data();
    void builtInColoursMatchTheirNames();
    void filesSortedAndRefreshed();
    void shippedAndOwnFilesBothListed();
    void insertAndDrag_data();
    void insertAndDrag();
    void unreadableFileReported();
    void onlyRegularFilesListed_data();
    void onlyRegularFilesListed();
    void goneOwnFileNamesItsFolder();

private:
    void writePlg(const QString& name, const QByteArray& bytes)
    {
        QVERIFY(TestEnv::writeAll(TestEnv::programDir() + "/" + name, bytes));
    }
    TestHost host;
    TestEditor editor;
};

void tst_PlugIn::init()
{
    QDir dir(TestEnv::programDir());
    for (const QString& f : dir.entryList({"*.plg"}, QDir::Files))
        dir.remove(f);
    host.reset();
    host.editor = &editor;
    host.setTags("W", "Y");
}

void tst_PlugIn::splitLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("close");
    const QString a250(250, 'a');
    QTest::newRow("two tabs") << "Bold\t<B>\t</B>" << "Bold" << "<B>" << "</B>";
    QTest::newRow("one tab") << "Rule\t<HR>" << "Rule" << "" << "<HR>";
    QTest::newRow("no tab") << "<BR>" << "<BR>" << "" << "<BR>";
    QTest::newRow("trailing tab") << "Break\t<BR>\t" << "Break" << "<BR>" << "";
    QTest::newRow("third tab kept") << "D\ta\tb\tc" << "D" << "a" << "b\tc";
    QTest::newRow("only 255 after the first tab") << "D\t" + a250 + "\tCLOSE" << "D" << a250 << "CLOS";
    QTest::newRow("second tab beyond 255") << "D\t" + a250 + "bcdefg\tX" << "D" << "" << a250 + "bcdef";
    QTest::newRow("no tab, long") << QString(300, 'z') << QString(300, 'z') << "" << QString(255, 'z');
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");  // two UTF-16 units
    QTest::newRow("character across the cut") << "D\t" + QString(254, 'a') + smile << "D" << ""
                                              << QString(254, 'a');
    QTest::newRow("character before the cut") << "D\t" + QString(253, 'a') + smile + "b" << "D" << ""
                                              << QString(253, 'a') + smile;
    QTest::newRow("no tab, character across the cut") << QString(254, 'z') + smile << QString(254, 'z') + smile << ""
                                                      << QString(254, 'z');
}

void tst_PlugIn::splitLine()
{
    QFETCH(QString, line);
    QFETCH(QString, description);
    QFETCH(QString, open);
    QFETCH(QString, close);
    QCOMPARE(PlugInFile::splitLine(line), (PlugInEntry{description, open, close}));
}

void tst_PlugIn::builtInColoursMatchTheirNames_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("open");
    QTest::newRow("blue") << "Background Color : Blue" << "<BODY BGCOLOR=\"#0000FF\">";
    QTest::newRow("cyan") << "Background Color : Cyan" << "<BODY BGCOLOR=\"#00FFFF\">";
    QTest::newRow("red") << "Background Color : Red" << "<BODY BGCOLOR=\"#FF0000\">";
    QTest::newRow("yellow") << "Background Color : Yellow" << "<BODY BGCOLOR=\"#FFFF00\">";
    QTest::newRow("simple") << "Background Simple" << "<BODY BACKGROUND=\"";
}

void tst_PlugIn::builtInColoursMatchTheirNames()
{
    QFETCH(QString, description);
    QFETCH(QString, open);
    TagEngine engine(host);
    TfPlugIn w(engine, nullptr);
    QCOMPARE(w.lines().size(), 11);
    QCOMPARE(w.lstPFiles->count(), 0);
    QString found;
    for (const QString& line : w.lines())
        if (PlugInFile::splitLine(line).description == description)
            found = PlugInFile::splitLine(line).open;
    QCOMPARE(found, open);
}

void tst_PlugIn::filesSortedAndRefreshed()
{
    writePlg("b.plg", "Zeta\t<Z>\t</Z>\r\nalpha\t<A>\nMid\t<M>\r");
    TagEngine engine(host);
    TfPlugIn w(engine, nullptr);
    QCOMPARE(w.lstPFiles->currentText(), QString("b.plg"));
    QCOMPARE(w.lines(), QStringList({"alpha\t<A>", "Mid\t<M>", "Zeta\t<Z>\t</Z>"}));
    writePlg("a.plg", "One\t<1>\r\n");
    QCOMPARE(w.lstPFiles->count(), 1);
    w.btnRefresh->click();
    QCOMPARE(w.lstPFiles->count(), 2);
    QCOMPARE(w.lstPFiles->itemText(0), QString("a.plg"));
}

void tst_PlugIn::shippedAndOwnFilesBothListed()
{
    // Shipped files beside the executable, the user's own in the data folder.
    const QByteArray home = qgetenv("VELQUIST_HOME");
    qunsetenv("VELQUIST_HOME");
    qputenv("XDG_DATA_HOME", (TestEnv::root().path() + "/data").toLocal8Bit());
    QDir().mkpath(TestEnv::root().path() + "/data/velquist");
    TestEnv::writeAll(TestEnv::root().path() + "/data/velquist/mine.plg", "Mine\t<M>\r\n");
    QFile::copy(qEnvironmentVariable("VQ_TEST_DATA") + "/html5.plg",
                QCoreApplication::applicationDirPath() + "/html5.plg");
    const QStringList names = PlugInFile::fileNames();
    qputenv("VELQUIST_HOME", home);
    QVERIFY(names.contains("mine.plg"));
    QVERIFY(names.contains("html5.plg"));
}

void tst_PlugIn::insertAndDrag_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("drag");
    QTest::addColumn<QString>("expected");
    QTest::newRow("insert pair") << "Bold\t<B>\t</B>" << false << "<B>[word]</B>";
    QTest::newRow("insert one tab") << "Rule\t<HR>" << false << "[word]<HR>";
    QTest::newRow("insert no tab") << "<BR>" << false << "[word]<BR>";
    QTest::newRow("drag then F4") << "Bold\t<B>\t</B>" << true << "<B>[word]</B>";
}

void tst_PlugIn::insertAndDrag()
{
    QFETCH(QString, line);
    QFETCH(bool, drag);
    QFETCH(QString, expected);
    writePlg("t.plg", line.toUtf8() + "\r\n");
    TagEngine engine(host);
    TfPlugIn w(engine, nullptr);
    Marked::set(editor, "[word]");
    w.OKBtnClick();  // nothing selected: nothing happens
    QCOMPARE(Marked::get(editor), QString("[word]"));
    w.lPlug->setCurrentItem(w.lPlug->topLevelItem(0));
    if (drag) {
        w.StartDrag(0);
        engine.RepeatLastTag();
    } else {
        w.OKBtnClick();
    }
    QCOMPARE(Marked::get(editor), expected);
}

void tst_PlugIn::unreadableFileReported()
{
    writePlg("gone.plg", "X\t<X>\r\n");
    TagEngine engine(host);
    TfPlugIn w(engine, nullptr);
    QVERIFY(QFile::remove(TestEnv::programDir() + "/gone.plg"));
    ScriptedPrompter prompter;
    w.GetCommands();
    QCOMPARE(w.lines().size(), 0);
    QCOMPARE(prompter.messages.size(), 1);
    QVERIFY(prompter.messages.first().contains("gone.plg"));
}

// Anything but a regular file would block start-up when opened.
void tst_PlugIn::onlyRegularFilesListed_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("named pipe") << "fifo";
    QTest::newRow("socket") << "socket";
    QTest::newRow("link to a pipe") << "link";
    QTest::newRow("dangling link") << "dangling";
}

void tst_PlugIn::onlyRegularFilesListed()
{
    QFETCH(QString, kind);
    const QString dir = TestEnv::programDir();
    const QByteArray odd = QFile::encodeName(dir + "/a odd.plg");
    const QByteArray fifo = QFile::encodeName(dir + "/fifo");
    const auto cleanup = qScopeGuard([&] { ::unlink(odd.constData()); ::unlink(fifo.constData()); });
    if (kind == "fifo") {
        QCOMPARE(::mkfifo(odd.constData(), 0600), 0);
    } else if (kind == "socket") {
        const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        if (size_t(odd.size()) >= sizeof addr.sun_path)
            QSKIP("the test folder's path is too long for a socket");
        qstrcpy(addr.sun_path, odd.constData());
        QCOMPARE(::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ::close(s);
    } else {
        if (kind == "link")
            QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        QCOMPARE(::symlink(fifo.constData(), odd.constData()), 0);
    }
    writePlg("b.plg", "B\t<B>\r\n");
    QCOMPARE(PlugInFile::fileNames(), QStringList{"b.plg"});
    TagEngine engine(host);
    TfPlugIn w(engine, nullptr);
    QCOMPARE(w.lstPFiles->count(), 1);
}

// The user's own file, deleted after it was listed, is reported where it was.
void tst_PlugIn::goneOwnFileNamesItsFolder()
{
    const QByteArray home = qgetenv("VELQUIST_HOME");
    qunsetenv("VELQUIST_HOME");
    const auto restore = qScopeGuard([&] { qputenv("VELQUIST_HOME", home); });
    qputenv("XDG_DATA_HOME", (TestEnv::root().path() + "/data").toLocal8Bit());
    const QString own = TestEnv::root().path() + "/data/velquist/gone-own.plg";
    QDir().mkpath(QFileInfo(own).path());
    QVERIFY(TestEnv::writeAll(own, "Mine\t<M>\r\n"));
    TagEngine engine(host);
    TfPlugIn w(engine, nullptr);
    w.lstPFiles->setCurrentIndex(w.lstPFiles->findText("gone-own.plg"));
    QVERIFY(QFile::remove(own));
    ScriptedPrompter prompter;
    w.GetCommands();
    QCOMPARE(prompter.messages.size(), 1);
    QVERIFY2(prompter.messages.first().contains(own), qPrintable(prompter.messages.first()));
}

VQ_TEST_MAIN(tst_PlugIn)
#include "tst_PlugIn.moc"
