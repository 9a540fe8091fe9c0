// New documents from the templates dialog: the built-in texts, the user's
// template files, and the untitled numbers shared with "&New Document".
#include "ScriptedPrompter.h"
#include "FrameTest.h"
#include "TestEnv.h"

#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "reuse/ReuseModule.h"
#include "editor/TOvcTextFileEditor.h"
#include "reuse/TfTemplate.h"

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {
const char* const kSimple =
    "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN//2.0\"> \n<HTML>\n"
    "<!-- Sample Template for a HTML Document created by Velquist Pro Version 2 -->\n\n<HEAD>\n"
    "<TITLE>Document Title</TITLE>\n</HEAD>\n\n<BODY>\n<H1>Main Page Heading</H1>\n<H2>Heading Level 2</H2>\n"
    "<P>Body Text.</P>\n</BODY>\n\n</HTML>\n\n";
const char* const kColoured =
    "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN//2.0\">\n<HTML>\n"
    "<!-- Sample Coloured Template for a HTML Document created by Velquist for Windows Version 2 -->\n\n"
    "<HEAD>\n<TITLE>Document Title</TITLE>\n</HEAD>\n\n<BODY>\n"
    "<body bgcolor=\"#0F0F8F\" text=\"#FFE27F\" LINK=\"#FFFFFF\" VLINK=\"#FF0000\" ALINK=\"#FFFFFF\">\n"
    "<A Name=Home></a>\n<H1>Main Page Heading</H1>\n<H2>Heading Level 2</H2>\n<P>Body Text.</P>\n\n</BODY>\n"
    "</HTML>\n\n";
const char* const kGraphical =
    "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN//3.0\">\n<HTML>\n"
    "<!-- Sample Template for a HTML Document created by Velquist Pro Version 2 -->\n\n<HEAD>\n"
    "<TITLE>Document Title</TITLE>\n</HEAD>\n\n<BODY>\n<CENTER>\n<H1>Velquist Pro HTML Editor</H1>\n"
    "<IMG SRC=\"YourImageHere\" ALT=\" \" BORDER=1 ALIGN=LEFT>\n</CENTER>\n<HR SIZE=6>\n"
    "<H1>About Velquist Pro HTML Editor for Windows</H1>\n\n</BODY>\n</HTML>\n";
const char* const kFrames =
    "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN//3.0\">\n<HTML>\n"
    "<!-- Sample Frames Template for a HTML Document created by Velquist Pro Version 2 -->\n\n<HEAD>\n"
    "<TITLE>Document Title</TITLE>\n</HEAD>\n\n<FRAMESET ROWS=\"\" COLS=\"\">\n      <FRAME SRC=\"\" NAME=\"\">\n"
    "</FRAMESET>\n\n</HTML>\n";
}

class tst_Templates : public QObject {
    Q_OBJECT
    std::unique_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<TmdiMain> main;

    TfTemplate* dialog() { return main->module<ReuseModule>().templatesDialog(); }
    QString activeText() { return main->activeDocument()->txtHTML->RawText(); }
    // Chooses a page and confirms, as OK does.
    void make(int page)
    {
        dialog()->Notebook1->setCurrentIndex(page);
        dialog()->OKBtnClick();
    }

private slots:
    void initTestCase()
    {
        QDir::setCurrent(TestEnv::workDir());
        TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", "[System]\nOpen Template=0\n");
        QVERIFY(TestEnv::installDataFile("standard.tpl"));
        prompter = std::make_unique<ScriptedPrompter>();
        main = std::make_unique<TmdiMain>();
        TestEnv::showFrame(*main);
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    void cleanupTestCase()
    {
        FrameTest::stop(main);
    }

    void builtInPages_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("text");
        QTest::newRow("simple") << 0 << kSimple;
        QTest::newRow("coloured") << 1 << kColoured;
        QTest::newRow("graphical") << 2 << kGraphical;
        QTest::newRow("frame sets") << 3 << kFrames;
        QTest::newRow("user page before any file") << 4 << "\n";
    }
    void builtInPages()
    {
        QFETCH(int, page);
        QFETCH(QString, text);
        const int before = main->NewDocumentCount;
        make(page);
        TfHTML* doc = main->activeDocument();
        QCOMPARE(doc->txtHTML->RawText(), text);
        QVERIFY(!doc->txtHTML->Modified());
        QCOMPARE(doc->caption(), QString("New HTML Document %1").arg(before + 1));
        QCOMPARE(main->tabSet()->tabData(main->tabSet()->currentIndex()).toString(), doc->caption());
    }

    void counterSharedWithNewDocument()
    {
        main->action("FileNew")->trigger();
        const int n = main->NewDocumentCount;
        QCOMPARE(main->activeDocument()->caption(), QString("New HTML Document %1").arg(n));
        QTimer::singleShot(0, dialog(), [this] { make(0); });
        main->action("NewfromTemplate1Click")->trigger();
        QCOMPARE(main->activeDocument()->caption(), QString("New HTML Document %1").arg(n + 1));
        // Cancel makes nothing and uses no number.
        QTimer::singleShot(0, dialog(), &QDialog::reject);
        main->action("NewfromTemplate1Click")->trigger();
        main->FileNew();
        QCOMPARE(main->activeDocument()->caption(), QString("New HTML Document %1").arg(n + 2));
        QCOMPARE(dialog()->Notebook1->currentIndex(), 0);  // the page stays as last used
    }

    void userTemplateFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("CR LF") << QByteArray("<P>\r\n\r\nx\r\n") << "<P>\n\nx\n";
        QTest::newRow("LF, no last line end") << QByteArray("a\nb") << "a\nb\n";
        QTest::newRow("Latin-1") << QByteArray("caf\xe9\r\n") << QString::fromUtf8("caf\xc3\xa9\n");
        QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9\n") << QString::fromUtf8("caf\xc3\xa9\n");
        QTest::newRow("empty file") << QByteArray() << "";
        // A template is a page: its declaration names its encoding.
        QTest::newRow("declared KOI8-R") << QByteArray("<meta charset=\"koi8-r\">\r\n\xF0\xD2\xC9\r\n")
                                         << QString::fromUtf8("<meta charset=\"koi8-r\">\n\u041F\u0440\u0438\n");
    }
    void userTemplateFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const QString path = TestEnv::workDir() + "/mine.tpl";
        QVERIFY(TestEnv::writeAll(path, bytes));
        dialog()->UpdateMemo(path);
        make(4);
        QCOMPARE(activeText(), text);
    }

    void unreadableFileKeepsTextArea()
    {
        const QString good = TestEnv::workDir() + "/good.tpl";
        QVERIFY(TestEnv::writeAll(good, "kept\n"));
        dialog()->UpdateMemo(good);
        prompter->messages.clear();
        const QString missing = TestEnv::workDir() + "/gone.tpl";
        dialog()->UpdateMemo(missing);
        QCOMPARE(prompter->messages.size(), 1);
        QVERIFY(prompter->messages.first().contains(missing));
        QCOMPARE(dialog()->Memo1->toPlainText(), QString("kept"));
        make(4);
        QCOMPARE(activeText(), QString("kept\n"));
    }

    void fileListStartsAtCurrentFolderWithTemplates()
    {
        QCOMPARE(dialog()->folder(), TestEnv::workDir());
    }
};

VQ_TEST_MAIN(tst_Templates)
#include "tst_Templates.moc"
