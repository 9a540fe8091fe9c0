// The shipped help files and the help window: every context number the
// program's "&Help" buttons use leads to a topic, keywords find their topic,
// links between the two help files work, and the frame's help commands open it.
#include "AccessKeys.h"
#include "FrameTest.h"
#include "ScriptedPrompter.h"
#include "TestEnv.h"

#include "app/TmdiMain.h"
#include "app/TfOptions.h"
#include "render/HelpViewer.h"
#include "editor/TOvcTextFileEditor.h"
#include "spell/TAddictSpell.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

class tst_Help : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(TestEnv::installDataFile(QStringLiteral("velquist.hlp")));
        QVERIFY(TestEnv::installDataFile(QStringLiteral("html.hlp")));
    }

    // Each access key once per window, and no label with a stray "&".
    void accessKeys_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("help") << "help";
        QTest::newRow("spell check") << "spell check";
        QTest::newRow("spelling options") << "spelling options";
    }
    void accessKeys()
    {
        QFETCH(QString, window);
        ScriptedPrompter prompter;
        QStringList faults{"not shown"};
        if (window == "help") {
            HelpViewer v;
            faults = AccessKeys::faults(&v);
        } else {
            QTimer poll;
            connect(&poll, &QTimer::timeout, this, [&] {
                if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                    faults = AccessKeys::faults(d);
                    d->reject();
                }
            });
            poll.start(20);
            TAddictSpell spell(nullptr);
            if (window == "spelling options") {
                spell.Configure(nullptr);
            } else {
                TOvcTextFileEditor editor;
                editor.SetRawText(QStringLiteral("Teh cat"));
                spell.CheckEditor(editor, &editor);
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
    }

    void contextTopics_data()
    {
        QTest::addColumn<int>("context");
        QTest::addColumn<QString>("id");
        QTest::newRow("options, colours, URL library") << 1 << "basics";
        QTest::newRow("wizards, macros, templates") << 100 << "wizards";
        QTest::newRow("home page wizard") << 200 << "homepage";
    }
    void contextTopics()
    {
        QFETCH(int, context);
        QFETCH(QString, id);
        HelpViewer::showContext(context);
        HelpViewer& v = HelpViewer::instance();
        QVERIFY(v.isVisible());
        QVERIFY(v.currentTopic() >= 0);
        QCOMPARE(v.book().topics[v.currentTopic()].id, id);
    }

    void keywords_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("id");
        QTest::newRow("keyword, other case") << "velquist.hlp" << "BACKUP" << "documents";
        QTest::newRow("prefix of a title") << "velquist.hlp" << "web prev" << "preview";
        QTest::newRow("primer keyword") << "html.hlp" << "colspan" << "tables";
    }
    void keywords()
    {
        QFETCH(QString, file);
        QFETCH(QString, keyword);
        QFETCH(QString, id);
        HelpViewer& v = HelpViewer::instance();
        v.openKeyword(TestEnv::programDir() + QLatin1Char('/') + file, keyword);
        QCOMPARE(v.tabs()->currentIndex(), 1);
        QCOMPARE(v.book().topics.value(v.currentTopic()).id, id);
    }

    // Contents and "How to Use Help" from the frame, a link into the primer
    // and back through the window's history.
    void frameCommandsAndLinks()
    {
        TmdiMain main;
        FrameTest::makeAllWindows(main);
        HelpViewer& v = HelpViewer::instance();
        main.action(QStringLiteral("HelpHowToUse"))->trigger();
        QCOMPARE(v.book().topics.value(v.currentTopic()).id, QStringLiteral("howtouse"));
        main.action(QStringLiteral("HelpContents"))->trigger();
        QCOMPARE(v.currentTopic(), -1);
        QVERIFY(v.browser()->toHtml().contains(QStringLiteral("How to Use Help")));
        QMetaObject::invokeMethod(v.browser(), "anchorClicked", Q_ARG(QUrl, QUrl(QStringLiteral("html.hlp#links"))));
        QCOMPARE(v.book().title, QStringLiteral("HTML Primer"));
        QCOMPARE(v.book().topics.value(v.currentTopic()).id, QStringLiteral("links"));
        v.goBack();
        QCOMPARE(v.book().title, QStringLiteral("Velquist Help"));
        QCOMPARE(v.currentTopic(), -1);
        main.action(QStringLiteral("HelpSearch"))->trigger();
        QCOMPARE(v.tabs()->currentIndex(), 1);
        QVERIFY(v.indexField()->text().isEmpty());
        HelpViewer::showPrimer();
        QCOMPARE(v.book().title, QStringLiteral("HTML Primer"));
    }

    // Every window's Help button and "HTML &Primer" reach the help.
    void everyHelpButtonOpensItsTopic()
    {
        ScriptedPrompter prompter;
        TmdiMain main;
        FrameTest::makeAllWindows(main);
        HelpViewer& v = HelpViewer::instance();
        int buttons = 0;
        for (QWidget* w : QApplication::allWidgets()) {
            auto* b = qobject_cast<QPushButton*>(w);
            if (!b || b->text().remove(QLatin1Char('&')) != QLatin1String("Help") || b->window() == &v)
                continue;
            ++buttons;
            v.hide();
            QVERIFY2(b->isEnabled(), qPrintable(b->window()->objectName()));
            b->click();
            QVERIFY2(v.isVisible() && v.currentTopic() >= 0, qPrintable(b->window()->objectName()));
        }
        QVERIFY(buttons >= 14);
        main.action(QStringLiteral("HTMLPrimer1Click"))->trigger();
        QCOMPARE(v.book().title, QStringLiteral("HTML Primer"));
        v.hide();
    }

    // Closing the frame ends the program even with the help window open.
    void helpClosesWithTheFrame()
    {
        ScriptedPrompter prompter;
        TmdiMain main;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        main.run(QStringLiteral("HelpContents"));
        QVERIFY(HelpViewer::instance().isVisible());
        main.close();
        // What keeps a program running once its windows close.
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible() || !w->testAttribute(Qt::WA_QuitOnClose), qPrintable(w->objectName()));
        HelpViewer::instance().hide();
    }

    void missingFileIsReported()
    {
        ScriptedPrompter prompter;
        HelpViewer v;
        QVERIFY(!v.openBook(TestEnv::programDir() + QStringLiteral("/nothing.hlp")));
        QCOMPARE(prompter.messages.size(), 1);
        QVERIFY(prompter.messages.first().contains(QStringLiteral("nothing.hlp")));
    }

    void fullTextSearch()
    {
        HelpBook book = HelpBook::parse(QStringLiteral(
            "<html><body>intro<h2 id=\"a\">Alpha</h2><p>red green</p><h2 id=\"b\" data-context=\"5;6\">Beta</h2>"
            "<p>green &amp; blue</p></body></html>"));
        QCOMPARE(book.search(QStringLiteral("GREEN")), QList<int>({0, 1}));
        QCOMPARE(book.search(QStringLiteral("green &")), QList<int>({1}));
        QCOMPARE(book.indexOfContext(6), 1);
        QCOMPARE(book.intro, QStringLiteral("intro"));
    }
};

VQ_TEST_MAIN(tst_Help)
#include "tst_Help.moc"
