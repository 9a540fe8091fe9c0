// Grabbing links into the URL library manager, the manager's moves and
// library file, and the bookmark import over good and damaged inputs.
#include "ScriptedPrompter.h"
#include "TestEnv.h"

#include "app/ProgressWindow.h"
#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "tools/ToolsModule.h"
#include "editor/TOvcTextFileEditor.h"
#include "tools/TfURLGrab.h"
#include "tools/UrlCommands.h"
#include "tools/UrlGrab.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QtTest>

class tst_UrlGrab : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void linkRanges_data();
    void linkRanges();
    void grabIntoManager();
    void noLinksNoManager();
    void movesAndSave();
    void damagedLibraryFile_data();
    void damagedLibraryFile();
    void bookmarkImport_data();
    void bookmarkImport();

private:
    QString work(const QString& name) const { return TestEnv::workDir() + "/" + name; }
    void newDocument(const QString& text)
    {
        main->FileNew();
        main->activeDocument()->txtHTML->SetRawText(text);
        main->activeDocument()->txtHTML->SetModified(false);
    }
    void closeDocuments()
    {
        for (TfHTML* d : main->documents())
            d->approveClose();
        main->CloseAll1Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::unique_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<TmdiMain> main;
};

void tst_UrlGrab::initTestCase()
{
    TestEnv::writeAll(TestEnv::programDir() + "/standard.tpl", QByteArray());
    TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", "[System]\nOpen Template=0\n");
    prompter = std::make_unique<ScriptedPrompter>();
    main = std::make_unique<TmdiMain>();
    QVERIFY(TestEnv::showFrame(*main));
}

void tst_UrlGrab::cleanupTestCase()
{
    closeDocuments();
    main.reset();
}

void tst_UrlGrab::init()
{
    closeDocuments();
    main->module<ToolsModule>().urlManager()->hide();
    main->module<ToolsModule>().urlManager()->setNewUrls({});
    main->module<ToolsModule>().urlManager()->dstList->setEntries({});
    QFile::remove(TfURLGrab::libraryFile());
    QFile::remove(TestEnv::settingsDir() + "/netscape.ini");
    prompter->messages.clear();
}

void tst_UrlGrab::linkRanges_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("links");
    QTest::newRow("both cases") << "<a href=x.htm>X</a> and <A HREF=y.htm>Y</A>"
                                << QStringList({"<a href=x.htm>X</a>", "<A HREF=y.htm>Y</A>"});
    QTest::newRow("NAME first") << "<A NAME=top HREF=x.htm>x</A>" << QStringList();
    QTest::newRow("two blanks") << "<A  HREF=x>x</A>" << QStringList();
    QTest::newRow("no </A>") << "<a href=x>one <a href=y>two" << QStringList();
    QTest::newRow("to the next </A>") << "<a href=1>one <a href=2>two</a>"
                                      << QStringList({"<a href=1>one <a href=2>two</a>"});
    QTest::newRow("over two lines") << "<A HREF=a\n>b</A>" << QStringList({"<A HREF=a\n>b</A>"});
}

void tst_UrlGrab::linkRanges()
{
    QFETCH(QString, text);
    QFETCH(QStringList, links);
    QStringList got;
    for (const TextRange& r : UrlGrab::linkRanges(text))
        got << text.mid(r.start, r.length);
    QCOMPARE(got, links);
}

void tst_UrlGrab::grabIntoManager()
{
    newDocument("<p><A HREF=y.htm>Y</A>\n<a href=x.htm>X</a> end</p>");
    main->action("GrabURLs1Click")->trigger();
    TfURLGrab* m = main->module<ToolsModule>().urlManager();
    QVERIFY(m->isVisible());
    QCOMPARE(m->srcList->entries(), QStringList({"<a href=x.htm>X</a>", "<A HREF=y.htm>Y</A>"}));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("<a href=x.htm>X</a>"));
    int l1, c1, l2, c2;
    QVERIFY(main->activeDocument()->txtHTML->SelectionRange(l1, c1, l2, c2));
    QCOMPARE(QList<int>({l1, c1, l2, c2}), QList<int>({2, 1, 2, 20}));
    QVERIFY(!main->activeDocument()->txtHTML->Modified());
    QCOMPARE(main->statusText(), QString("   Ready ..."));
    QVERIFY(m->IncludeBtn->isEnabled() && !m->ExcludeBtn->isEnabled());
}

void tst_UrlGrab::noLinksNoManager()
{
    newDocument("<A NAME=top>x</A>");
    main->run(QStringLiteral("GrabURLs1Click"));
    QCOMPARE(prompter->messages, QStringList({"No URLs found !"}));
    QVERIFY(!main->module<ToolsModule>().urlManager()->isVisible());
    QCOMPARE(main->module<ToolsModule>().urlManager()->srcList->topLevelItemCount(), 0);
}

void tst_UrlGrab::movesAndSave()
{
    newDocument("<a href=b>B</a><a href=a>A</a><A HREF=c\n>C</A>");
    main->run(QStringLiteral("GrabURLs1Click"));
    TfURLGrab* m = main->module<ToolsModule>().urlManager();
    m->srcList->topLevelItem(1)->setSelected(true);  // <a href=b>
    m->IncludeBtn->click();
    QCOMPARE(m->dstList->entries(), QStringList({"<a href=b>B</a>"}));
    QCOMPARE(m->srcList->entries(), QStringList({"<a href=a>A</a>", "<A HREF=c\n>C</A>"}));
    QVERIFY(m->srcList->selectedItems().isEmpty());
    m->IncAllBtn->click();
    QVERIFY(!m->IncludeBtn->isEnabled() && !m->IncAllBtn->isEnabled() && m->ExcAllBtn->isEnabled());
    // Grabbing again and moving all again keeps every entry twice.
    main->run(QStringLiteral("GrabURLs1Click"));
    m->IncAllBtn->click();
    QCOMPARE(m->dstList->topLevelItemCount(), 6);
    m->OKBtn->click();
    QVERIFY(!m->isVisible());
    const QByteArray twice = "<a href=a>A</a>\r\n<a href=a>A</a>\r\n<a href=b>B</a>\r\n<a href=b>B</a>\r\n"
                             "<A HREF=c\r\n>C</A>\r\n<A HREF=c\r\n>C</A>\r\n";
    QCOMPARE(TestEnv::readAll(TfURLGrab::libraryFile()), twice);

    // Cancel after moving leaves the file; showing again reloads it.
    m->showManager();
    m->ExcAllBtn->click();
    m->CancelBtn->click();
    QCOMPARE(TestEnv::readAll(TfURLGrab::libraryFile()), twice);
    m->showManager();
    QCOMPARE(m->dstList->topLevelItemCount(), 8);  // the multi-line link came back as two entries each time
    m->close();
}

void tst_UrlGrab::damagedLibraryFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("empty") << QByteArray() << QStringList();
    QTest::newRow("CR only, no last line end") << QByteArray("<a href=2>2</a>\r<a href=1>1</a>")
                                               << QStringList({"<a href=1>1</a>", "<a href=2>2</a>"});
    QTest::newRow("Latin-1") << QByteArray("<a href=\xe9>\xe9</a>\n") << QStringList({QString::fromUtf8("<a href=é>é</a>")});
    QTest::newRow("blank lines kept") << QByteArray("\r\n\r\nx\r\n") << QStringList({"", "", "x"});
}

void tst_UrlGrab::damagedLibraryFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    QVERIFY(TestEnv::writeAll(TfURLGrab::libraryFile(), bytes));
    TfURLGrab* m = main->module<ToolsModule>().urlManager();
    m->showManager();
    QCOMPARE(m->dstList->entries(), entries);
    m->close();
}

void tst_UrlGrab::bookmarkImport_data()
{
    QTest::addColumn<QByteArray>("ini");        // "-": no netscape.ini
    QTest::addColumn<QByteArray>("bookmarks");  // written to bookmark.htm; "-": none
    QTest::addColumn<bool>("errorWindow");
    QTest::addColumn<QString>("message");       // part of the message shown, if any
    QTest::addColumn<int>("grabbed");
    const QByteArray key = "[Bookmark List]\nFile TTTLocation=" + TestEnv::workDir().toUtf8() + "/bookmark.htm\n";
    QByteArray unterminated;
    for (int i = 0; i < 100000; ++i)
        unterminated += "<DT><A HREF=\"http://x/" + QByteArray::number(i) + "\">no end\n";
    QTest::newRow("no ini") << QByteArray("-") << QByteArray("-") << true << "" << 0;
    QTest::newRow("no key") << QByteArray("[Other]\nx=1\n") << QByteArray("-") << true << "" << 0;
    QTest::newRow("no file") << key << QByteArray("-") << true << "" << 0;
    QTest::newRow("good") << key << QByteArray("<DL><DT><A HREF=\"http://a/\">A</A>\n<DT><A HREF=\"http://b/\">B</A></DL>")
                          << false << "" << 2;
    QTest::newRow("binary") << key << QByteArray("GIF89a\0\0\x01\x02<A HREF=x>y</A>", 22) << false << "binary" << 0;
    QTest::newRow("unterminated anchors") << key << (unterminated + "<A HREF=last>L</a>") << false << "" << 1;
}

void tst_UrlGrab::bookmarkImport()
{
    QFETCH(QByteArray, ini);
    QFETCH(QByteArray, bookmarks);
    QFETCH(bool, errorWindow);
    QFETCH(QString, message);
    QFETCH(int, grabbed);
    QFile::remove(work("bookmark.htm"));
    if (ini != "-")
        QVERIFY(TestEnv::writeAll(TestEnv::settingsDir() + "/netscape.ini", ini));
    if (bookmarks != "-")
        QVERIFY(TestEnv::writeAll(work("bookmark.htm"), bookmarks));
    bool shown = false;
    UrlCommands::ImportFromNetscape(*main, *main->module<ToolsModule>().urlManager(), main->progressWindow(), [&] { shown = true; });
    QCOMPARE(shown, errorWindow);
    QVERIFY(!main->progressWindow().isVisible());
    QCOMPARE(main->statusText(), QString("   Ready ..."));
    if (!message.isEmpty())
        QVERIFY(!prompter->messages.isEmpty() && prompter->messages.last().contains(message));
    QCOMPARE(main->module<ToolsModule>().urlManager()->srcList->topLevelItemCount(), grabbed);
    QCOMPARE(main->documents().size(), grabbed > 0 ? 1 : 0);
}

VQ_TEST_MAIN(tst_UrlGrab)
#include "tst_UrlGrab.moc"
