// The home page wizard: the document its choices make, and the wizard run
// from the frame into a new document window.
#include "ScriptedPrompter.h"
#include "tags/TagTestSupport.h"
#include "TestEnv.h"

#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "wizards/WizardsModule.h"
#include "editor/TOvcTextFileEditor.h"
#include "wizards/body/TfWizBody.h"
#include "wizards/body/WebBodyPreview.h"
#include "wizards/forms/WizardFolders.h"
#include "wizards/extensions/TfrmIE.h"
#include "wizards/homepage/TfHPWiz.h"
#include "wizards/image/TfImageBrowser.h"
#include "wizards/java/TfrmJavaWiz.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {
using Fix = std::function<void(HomePageOptions&)>;
struct EdgeRow {
    const char* name;
    Fix fix;
    QStringList present;  // lines that must be there, in this order
    QStringList absent;   // lines that must not be there
};

const QStringList kDefault{
    "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN//3.0\">", "<HTML>", "<HEAD>",
    "<TITLE>My Home Page</TITLE>", "</HEAD>", "",
    "<BODY BACKGROUND=\"Image Name\" BGCOLOR=\"#CCCCCC\" TEXT=\"#000099\">", "",
    "<h3 ALIGN=LEFT>Welcome to</h3>", "<IMG SRC=\"Image Name\" BORDER=1>", "<h1 ALIGN=LEFT>My Home Page</h1>",
    "<p>", "<HR SIZE=2>",
    "<h1>Introduction</h1>", "<!-- The text for \"Introduction\" goes here. -->", "<P>", "<HR SIZE=1>",
    "<h1>About Me</h1>", "<!-- The text for \"About Me\" goes here. -->", "<P>", "<HR SIZE=1>",
    "Send comments and mail to <A HREF=\"Mailto:kim@x.org\">Kim</a><P>",
    "<ADDRESS>", "<STRONG>Your Address</STRONG><BR>", "</ADDRESS><P>",
    "<hr><p>", "<I>Last updated by Kim on 8/12/26</I>", "</BODY>", "</HTML>", ""};

const EdgeRow kEdges[] = {
    {"centre", [](HomePageOptions& o) { o.align = HomePageOptions::Centre; o.subTitle = "Sub"; },
     {"<h3 ALIGN=CENTER>Welcome to</h3>", "<h1 ALIGN=CENTER>My Home Page</h1>", "<h2 ALIGN=CENTER>Sub</h2>"}, {}},
    {"right, no greeting", [](HomePageOptions& o) { o.align = HomePageOptions::Right; o.welcome = false; },
     {"<h1 ALIGN=RIGHT>My Home Page</h1>"}, {"<h3 ALIGN=RIGHT>Welcome to</h3>"}},
    {"empty sub-title", [](HomePageOptions&) {}, {}, {"<h2 ALIGN=LEFT></h2>"}},
    {"no image", [](HomePageOptions& o) { o.includeImage = false; o.imageBefore = false; },
     {}, {"<IMG SRC=\"Image Name\" BORDER=1>"}},
    {"image after heading, border 0", [](HomePageOptions& o) { o.imageBefore = false; o.border = 0; },
     {"<h1 ALIGN=LEFT>My Home Page</h1>", "<p>", "<IMG SRC=\"Image Name\" BORDER=0>", "<HR SIZE=2>"}, {}},
    {"slashes off", [](HomePageOptions& o) { o.image = "C:\\pics\\me.gif"; o.imageSlashes = false; },
     {"<IMG SRC=\"C:\\pics\\me.gif\" BORDER=1>"}, {}},
    {"slashes on", [](HomePageOptions& o) { o.image = "C:\\pics\\me.gif"; o.backImage = "a\\b.gif"; },
     {"<BODY BACKGROUND=\"a/b.gif\" BGCOLOR=\"#CCCCCC\" TEXT=\"#000099\">", "<IMG SRC=\"C:/pics/me.gif\" BORDER=1>"}, {}},
    {"text colour only", [](HomePageOptions& o) { o.setBackColor = false; o.useBackImage = false; o.textColor = 15; },
     {"<BODY TEXT=\"#FFFFFF\">"}, {}},
    {"background colour only", [](HomePageOptions& o) { o.setTextColor = false; o.useBackImage = false; },
     {"<BODY BGCOLOR=\"#CCCCCC\" >"}, {}},
    {"no body attributes", [](HomePageOptions& o) { o.setTextColor = o.setBackColor = o.useBackImage = false; },
     {"<BODY>"}, {}},
    {"three address lines", [](HomePageOptions& o) { o.addressLines = {"A", "B", "C"}; },
     {"<ADDRESS>", "<STRONG>A</STRONG><BR>", "B<BR>", "C<BR>", "</ADDRESS><P>"}, {}},
    {"empty address", [](HomePageOptions& o) { o.addressLines = {}; }, {"<ADDRESS>", "</ADDRESS><P>"}, {}},
    {"no lines, empty section", [](HomePageOptions& o) { o.lines = false; o.sections = {""}; },
     {"<h1></h1>", "<!-- The text for \"\" goes here. -->", "<P>", "Send comments and mail to <A HREF=\"Mailto:kim@x.org\">Kim</a><P>"},
     {"<HR SIZE=1>", "<HR SIZE=2>"}},
    {"footer off", [](HomePageOptions& o) { o.mail = o.address = o.updated = false; },
     {"<HR SIZE=1>", "</BODY>"}, {"<ADDRESS>", "<hr><p>"}},
    {"long line kept whole", [](HomePageOptions& o) { o.title = QString(300, 'x'); },
     {"<TITLE>" + QString(300, 'x') + "</TITLE>"}, {}},
};

bool inOrder(const QStringList& lines, const QStringList& wanted)
{
    qsizetype at = 0;
    for (const QString& w : wanted) {
        at = lines.indexOf(w, at);
        if (at < 0)
            return false;
        ++at;
    }
    return true;
}
} // namespace

class tst_HomePage : public QObject {
    Q_OBJECT
private slots:
    void defaults()
    {
        QCOMPARE(HomePageGenerator::lines(HomePageOptions(), "kim@x.org", "Kim", "8/12/26"), kDefault);
    }

    void edges_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kEdges)); ++i)
            QTest::newRow(kEdges[i].name) << i;
    }
    void edges()
    {
        QFETCH(int, row);
        HomePageOptions o;
        kEdges[row].fix(o);
        const QStringList lines = HomePageGenerator::lines(o, "kim@x.org", "Kim", "8/12/26");
        QVERIFY2(inOrder(lines, kEdges[row].present), qPrintable(lines.join('\n')));
        for (const QString& a : kEdges[row].absent)
            QVERIFY2(!lines.contains(a), qPrintable(a));
    }

    void memoLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << "" << QStringList();
        QTest::newRow("final break") << "a\nb\n" << QStringList{"a", "b"};
        QTest::newRow("empty middle") << "a\n\nb" << QStringList{"a", "", "b"};
        QTest::newRow("lone break") << "\n" << QStringList{""};
    }
    void memoLines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(HomePageGenerator::memoLines(text), lines);
    }

    // Create it: a new untitled, modified document holding the page; Cancel: nothing.
    void fromFrame()
    {
        QDir::setCurrent(TestEnv::workDir());
        QVERIFY(TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI",
                                  "[System]\nOpen Template=0\n[Application Header]\nEMail=kim@x.org\nUser Name=Kim\n"));
        ScriptedPrompter prompter;
        TmdiMain main;
        QVERIFY(TestEnv::showFrame(main));
        TfHPWiz* wiz = main.module<WizardsModule>().homePageWizard();
        QTimer::singleShot(0, wiz, [wiz] { wiz->CancelBtn->click(); });
        main.action("NewHomePage1Click")->trigger();
        QVERIFY(main.documents().isEmpty());

        QTimer::singleShot(0, wiz, [wiz] { wiz->tTitle->setText("Kim's Page"); wiz->OKBtn->click(); });
        main.actions("NewHomePage1Click").last()->trigger();
        QCOMPARE(main.documents().size(), 1);
        TfHTML* doc = main.activeDocument();
        QCOMPARE(doc->caption(), QString("New HTML Document 1"));
        QVERIFY(doc->txtHTML->Modified());
        QCOMPARE(doc->txtHTML->LineText(4), QString("<TITLE>Kim's Page</TITLE>"));
        QCOMPARE(doc->txtHTML->LineText(29), QString("</HTML>"));
        QCOMPARE(doc->txtHTML->LineCount(), 31);
        QCOMPARE(main.statusText(), QString("   Ready ..."));
        QVERIFY(!wiz->isVisible());
        // The page takes this system's line ends, as documents made from
        // the shipped template do.
        const QString saved = TestEnv::workDir() + "/home.htm";
        doc->txtHTML->SaveFile(saved);
        const QByteArray bytes = TestEnv::readAll(saved);
        QVERIFY(bytes.contains("</HTML>\n"));
#ifdef Q_OS_WIN
        QVERIFY(bytes.contains("</HTML>\r\n"));
#else
        QVERIFY(!bytes.contains('\r'));
#endif
        doc->approveClose();
        main.CloseAll1Click();
    }

    // Tab goes through the fields a user fills, in reading order.
    void tabOrder_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("body wizard") << "body";
        QTest::newRow("image browser") << "image";
    }
    void tabOrder()
    {
        QFETCH(QString, window);
        ScriptedPrompter prompter;
        TestHost host;
        TagEngine engine(host);
        TfWizBody body(engine, nullptr);
        TfImageBrowser image(engine, nullptr);
        QList<QWidget*> expected;
        WizardDialog* w = nullptr;
        if (window == "body") {
            w = &body;
            expected = {body.tImage, body.btnBrowse, body.btnUpper, body.btnLower, body.btnSlash, body.tBGCOLOR,
                        body.tText, body.tLink, body.tVLink, body.tALink, body.Memo, body.btnPreview, body.OKBtn,
                        body.CancelBtn, body.HelpBtn};
        } else {
            w = &image;
            expected = {image.txtImageName, image.btnBrowse, image.btnUpper, image.btnLower, image.chkslash,
                        image.spnBorder, image.oW, image.oH, image.OKBtn, image.CancelBtn, image.HelpBtn};
        }
        w->showWizard();
        QVERIFY(QTest::qWaitForWindowActive(w));
        expected.first()->setFocus();
        QList<QWidget*> chain;
        for (int i = 0; i < 40; ++i) {
            QWidget* f = QApplication::focusWidget();
            if (f && qobject_cast<QAbstractSpinBox*>(f->parentWidget()))
                f = f->parentWidget();
            if (!chain.isEmpty() && f == chain.first())
                break;
            chain << f;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QStringList names;
        for (QWidget* c : chain)
            names << QString::fromLatin1(c ? c->metaObject()->className() : "none") + ":" + (c ? c->objectName() : "");
        QVERIFY2(chain == expected, qPrintable(names.join(' ')));
    }

    // The colour grid is reached and used by keyboard: arrows move, Space
    // picks the text colour, Shift+Space the background colour.
    void colourGridKeys()
    {
        ColorGrid grid;
        QVERIFY(grid.focusPolicy() & Qt::TabFocus);
        grid.setTextColor(0);
        grid.setBackColor(0);
        QTest::keyClick(&grid, Qt::Key_Right);
        QTest::keyClick(&grid, Qt::Key_Down);
        QTest::keyClick(&grid, Qt::Key_Space);
        QCOMPARE(grid.textColor(), 9);
        QTest::keyClick(&grid, Qt::Key_Left);
        QTest::keyClick(&grid, Qt::Key_Space, Qt::ShiftModifier);
        QCOMPARE(grid.backColor(), 8);
        QCOMPARE(grid.textColor(), 9);
    }

    // The wizards work in the active document's folder: the body wizard's
    // preview finds relative names there, and the first Browse dialog opens
    // there; later ones open where the user last chose a file.
    void documentFolder_data()
    {
        QTest::addColumn<QString>("browse");
        for (const char* b : {"body", "home page image", "home page background", "sound", "image"})
            QTest::newRow(b) << QString(b);
    }
    void documentFolder()
    {
        QFETCH(QString, browse);
        QDir::setCurrent(TestEnv::workDir());
        const QString docDir = TestEnv::workDir() + "/site";
        const QString picDir = TestEnv::workDir() + "/pictures";
        QDir().mkpath(docDir);
        QDir().mkpath(picDir);
        QVERIFY(TestEnv::writeAll(docDir + "/page.htm", "<HTML>\n"));
        ScriptedPrompter prompter;
        TmdiMain main;
        QVERIFY(TestEnv::showFrame(main));
        main.OpenDocumentFile(docDir + "/page.htm");
        QVERIFY(main.activeDocument());
        auto& w = main.module<WizardsModule>();
        auto* preview = qobject_cast<WebBodyPreview*>(w.bodyWizard()->Preview->widget());
        w.bodyWizard()->btnPreviewClick();
        QCOMPARE(preview->folder(), docDir);

        WizardFolders::reset();
        const QMap<QString, QPushButton*> buttons{
            {"body", w.bodyWizard()->btnBrowse},
            {"home page image", w.homePageWizard()->btnIMBrowse},
            {"home page background", w.homePageWizard()->btnBGBrowse},
            {"sound", w.extensionsDialog()->btnBrowse},
            {"image", w.imageBrowser()->btnBrowse}};
        QPushButton* button = buttons.value(browse);
        prompter.openAnswers.enqueue({picDir + "/a.gif"});
        button->click();
        button->click();
        QCOMPARE(prompter.openDirs, (QStringList{docDir, picDir}));
        for (TfHTML* d : main.documents())
            d->approveClose();
    }

    // Every entry of the modeless wizards shows its window; the image tools
    // entry is enabled only when the program lies beside the editor.
    void frameCommands()
    {
        ScriptedPrompter prompter;
        const QString tools = TestEnv::programDir() + "/velqimg";
        QFile::remove(tools);
        for (bool withTools : {false, true}) {
            if (withTools) {
                QVERIFY(TestEnv::writeAll(tools, "#!/bin/sh\n"));
                QFile::setPermissions(tools, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            }
            TmdiMain main;
            QVERIFY(TestEnv::showFrame(main));
            QCOMPARE(main.action("ImageTools1Click")->isEnabled(), withTools);
            if (withTools)
                break;
            const QList<QPair<QString, QWidget*>> windows{
                {"BodyWizard1Click", main.module<WizardsModule>().bodyWizard()}, {"Pick2Click", main.module<WizardsModule>().imageBrowser()},
                {"JavaWizard1Click", main.module<WizardsModule>().javaWizard()}, {"InternetExplorerExtensions1Click", main.module<WizardsModule>().extensionsDialog()}};
            for (const auto& [handler, window] : windows) {
                for (QAction* a : main.actions(handler)) {
                    window->hide();
                    QVERIFY2(a->isEnabled(), qPrintable(handler));
                    a->trigger();
                    QVERIFY2(window->isVisible(), qPrintable(handler));
                }
                window->hide();
            }
        }
        QFile::remove(tools);
    }
};

VQ_TEST_MAIN(tst_HomePage)
#include "tst_HomePage.moc"
