#include "TestEnv.h"
#include "TagTestSupport.h"

#include "tags/Navigator.h"

#include <QApplication>
#include <QtTest>

class tst_Navigator : public QObject {
    Q_OBJECT
private slots:
    void init();
    void gotoTable_data();
    void gotoTable();
    void gotoCommands_data();
    void gotoCommands();
    void walkThroughLinks();
    void noDocumentShowsMessage_data();
    void noDocumentShowsMessage();
    void bookmarks();
    void bookmarkHandlers_data();
    void bookmarkHandlers();

private:
    TestHost host;
    TestEditor editor;
};

void tst_Navigator::init()
{
    TestEnv::clearSettings();
    host.reset();
    host.editor = &editor;
}

void tst_Navigator::gotoTable_data()
{
    QTest::addColumn<QString>("handler");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("fromTop");
    QTest::addColumn<QString>("message");
    QTest::newRow("head") << "TitleSection1Click" << "&Head Section" << "<HEAD" << ">" << true
                          << "No HEAD Section Found !";
    QTest::newRow("title") << "TitleDeclaration1Click" << "&Title Declaration" << "<TITLE" << ">" << true
                           << "No Document Title Found !";
    QTest::newRow("body") << "BodySection1Click" << "&Body Declaration" << "<BODY" << ">" << true
                          << "No BODY Section Found !";
    QTest::newRow("url") << "NextURL1Click" << "Next &URL" << "<A HREF" << "</A>" << false
                         << "End of Document Reached : No URLs Found !";
    QTest::newRow("mail") << "NextMailtoURL1Click" << "Next &Mailto URL" << "<A HREF=\"Mail" << "</A>"
                          << false << "End of Document Reached : No Mail URLs Found !";
    QTest::newRow("table") << "NextTable1Click" << "Next T&able" << "<Table" << "</Table>" << false
                           << "End of Document Reached : No Tables Found !";
    QTest::newRow("form") << "NextForm1Click" << "Next &Form" << "<FORM" << "</FORM>" << false
                          << "End of Document Reached : No Forms Found !";
    QTest::newRow("image") << "NextImage1Click" << "Next &Image" << "<IMG" << ">" << false
                           << "End of Document Reached : No Images Found !";
    QTest::newRow("applet") << "NextJavaApplet1Click" << "Next &Java Applet" << "<APPLET" << "</APPLET>"
                            << false << "End of Document Reached : No Java Applets Found !";
    QTest::newRow("list item") << "NextListItem1Click" << "Next &List Item" << "<LI" << ">" << false
                               << "End of Document Reached : No More List Items Found !";
    QTest::newRow("updated") << "LastUpdatedSection1Click" << "Last U&pdated Section" << "Last Updated"
                             << ">" << false << "End of Document Reached : No Update Section Found !";
}

void tst_Navigator::gotoTable()
{
    QFETCH(QString, handler);
    QFETCH(QString, caption);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(bool, fromTop);
    QFETCH(QString, message);
    const GotoCommandDef* g = Navigator::find(handler);
    QVERIFY(g);
    QCOMPARE(QString(g->caption), caption);
    QCOMPARE(QString(g->startText), start);
    QCOMPARE(QString(g->endText), end);
    QCOMPARE(g->fromTop, fromTop);
    QCOMPARE(QString(g->notFoundMessage), message);
    QCOMPARE(Navigator::count(), 11);
}

void tst_Navigator::gotoCommands_data()
{
    QTest::addColumn<QString>("handler");
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("found");

    const QString page = "<HTML>\n<HEAD>\n<TITLE>T</TITLE>\n</HEAD>";
    QTest::newRow("head from the end") << "TitleSection1Click" << page + "|"
                                       << "<HTML>\n[<HEAD>]\n<TITLE>T</TITLE>\n</HEAD>" << true;
    QTest::newRow("head with a selection after it") << "TitleSection1Click"
                                                    << "<HTML>\n<HEAD>\n<TITLE>T</TITLE>\n[</HEAD>]"
                                                    << "<HTML>\n[<HEAD>]\n<TITLE>T</TITLE>\n</HEAD>" << true;
    QTest::newRow("title tag only") << "TitleDeclaration1Click" << page + "|"
                                    << "<HTML>\n<HEAD>\n[<TITLE>]T</TITLE>\n</HEAD>" << true;
    QTest::newRow("body any case") << "BodySection1Click" << "<body bgcolor=white>\ntext|"
                                   << "[<body bgcolor=white>]\ntext" << true;
    QTest::newRow("no head") << "TitleSection1Click" << "<BODY>|" << "<BODY>|" << false;
    QTest::newRow("first url") << "NextURL1Click" << "|<A HREF=\"a\">A</A> <A HREF=\"b\">B</A>"
                               << "[<A HREF=\"a\">A</A>] <A HREF=\"b\">B</A>" << true;
    QTest::newRow("url after selected one") << "NextURL1Click"
                                            << "[<A HREF=\"a\">A</A>] <A HREF=\"b\">B</A>"
                                            << "<A HREF=\"a\">A</A> [<A HREF=\"b\">B</A>]" << true;
    QTest::newRow("no url after last") << "NextURL1Click" << "<A HREF=\"a\">A</A> [<A HREF=\"b\">B</A>]"
                                       << "<A HREF=\"a\">A</A> <A HREF=\"b\">B</A>|" << false;
    QTest::newRow("url without end keeps start") << "NextURL1Click" << "|<A HREF=\"x.htm\">"
                                                 << "[<A HREF]=\"x.htm\">" << false;
    QTest::newRow("url before caret not found") << "NextURL1Click" << "<A HREF=\"a\">A</A>|"
                                                << "<A HREF=\"a\">A</A>|" << false;
    QTest::newRow("mail link any case") << "NextMailtoURL1Click"
                                        << "|<a href=\"a\">A</a> <a href=\"mailto:k\">K</a>"
                                        << "<a href=\"a\">A</a> [<a href=\"mailto:k\">K</a>]" << true;
    QTest::newRow("table with attributes") << "NextTable1Click"
                                           << "|<TABLE BORDER=1><TR></TR></TABLE>\n<table>\n</table>"
                                           << "[<TABLE BORDER=1><TR></TR></TABLE>]\n<table>\n</table>"
                                           << true;
    QTest::newRow("next table over lines") << "NextTable1Click"
                                           << "[<TABLE BORDER=1><TR></TR></TABLE>]\n<table>\n</table>"
                                           << "<TABLE BORDER=1><TR></TR></TABLE>\n[<table>\n</table>]"
                                           << true;
    QTest::newRow("form") << "NextForm1Click" << "x|<form action=x><input></FORM>"
                          << "x[<form action=x><input></FORM>]" << true;
    QTest::newRow("image tag") << "NextImage1Click" << "|<IMG SRC=\"a\" ALT=\"b\"> text>"
                               << "[<IMG SRC=\"a\" ALT=\"b\">] text>" << true;
    QTest::newRow("applet") << "NextJavaApplet1Click" << "|<applet code=a></APPLET>"
                            << "[<applet code=a></APPLET>]" << true;
    QTest::newRow("list item") << "NextListItem1Click" << "<UL>|<LI>one<LI>two</UL>"
                               << "<UL>[<LI>]one<LI>two</UL>" << true;
    QTest::newRow("next list item") << "NextListItem1Click" << "<UL>[<LI>]one<LI>two</UL>"
                                    << "<UL><LI>one[<LI>]two</UL>" << true;
    QTest::newRow("last updated") << "LastUpdatedSection1Click" << "|<i>Last Updated by Kim on x.</i>"
                                  << "<i>[Last Updated by Kim on x.</i>]" << true;
    QTest::newRow("no form") << "NextForm1Click" << "|<P>" << "|<P>" << false;
}

void tst_Navigator::gotoCommands()
{
    QFETCH(QString, handler);
    QFETCH(QString, document);
    QFETCH(QString, expected);
    QFETCH(bool, found);
    Marked::set(editor, document);
    const GotoCommandDef* g = Navigator::find(handler);
    QVERIFY(g);
    QCOMPARE(Navigator::run(host, *g), found);
    QCOMPARE(Marked::get(editor), expected);
    QCOMPARE(host.statuses, (QStringList{"Searching for " + QString(g->startText) + " ...", "Ready ..."}));
    QCOMPARE(host.messages, found ? QStringList() : QStringList{QString(g->notFoundMessage)});
}

void tst_Navigator::walkThroughLinks()
{
    Marked::set(editor, "<P>|<A HREF=\"1\">1</A>\n<a href=\"2\">2</a> x <A HREF=\"3\">3</A>");
    QStringList selected;
    while (Navigator::run(host, u"NextURL1Click")) {
        int l1, c1, l2, c2;
        QVERIFY(editor.SelectionRange(l1, c1, l2, c2));
        QCOMPARE(l1, l2);
        selected << editor.LineText(l1).mid(c1 - 1, c2 - c1);
    }
    QCOMPARE(selected, (QStringList{"<A HREF=\"1\">1</A>", "<a href=\"2\">2</a>", "<A HREF=\"3\">3</A>"}));
    QCOMPARE(host.messages, QStringList{"End of Document Reached : No URLs Found !"});
    QCOMPARE(Marked::get(editor), QString("<P><A HREF=\"1\">1</A>\n<a href=\"2\">2</a> x <A HREF=\"3\">3</A>|"));
}

void tst_Navigator::noDocumentShowsMessage_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < Navigator::count(); ++i)
        QTest::newRow(Navigator::begin()[i].handler) << i;
}

void tst_Navigator::noDocumentShowsMessage()
{
    QFETCH(int, index);
    host.editor = nullptr;
    const GotoCommandDef& g = Navigator::begin()[index];
    QVERIFY(!Navigator::run(host, g));
    QCOMPARE(host.messages, QStringList{QString(g.notFoundMessage)});
    QCOMPARE(host.statuses, QStringList{"Ready ..."});
}

void tst_Navigator::bookmarks()
{
    QStringList lines;
    for (int i = 1; i <= 12; ++i)
        lines << QStringLiteral("line %1 text").arg(i);
    Marked::set(editor, lines.join('\n'));
    TestEditor other;
    Marked::set(other, lines.join('\n'));

    // Set 3 on line 10, move away, come back.
    editor.MoveCaret(10, 4);
    Navigator::SetBookmark(host, 3);
    editor.MoveCaret(1, 1);
    Navigator::GotoBookmark(host, 3);
    int line = 0, col = 0;
    editor.CaretPosition(line, col);
    QCOMPARE(line, 10);
    QCOMPARE(col, 4);

    // Another document keeps its own bookmark 3.
    host.editor = &other;
    other.MoveCaret(2, 2);
    Navigator::SetBookmark(host, 3);
    other.MoveCaret(5, 1);
    Navigator::GotoBookmark(host, 3);
    other.CaretPosition(line, col);
    QCOMPARE(line, 2);
    QCOMPARE(col, 2);
    host.editor = &editor;
    editor.MoveCaret(1, 1);
    Navigator::GotoBookmark(host, 3);
    editor.CaretPosition(line, col);
    QCOMPARE(line, 10);

    // Setting again replaces; an unset bookmark does nothing.
    editor.MoveCaret(7, 3);
    Navigator::SetBookmark(host, 3);
    editor.MoveCaret(1, 1);
    Navigator::GotoBookmark(host, 3);
    editor.CaretPosition(line, col);
    QCOMPARE(line, 7);
    Navigator::GotoBookmark(host, 9);
    editor.CaretPosition(line, col);
    QCOMPARE(line, 7);
    QCOMPARE(col, 3);

    // Out of range numbers and no document change nothing.
    Navigator::SetBookmark(host, 0);
    Navigator::GotoBookmark(host, 10);
    host.editor = nullptr;
    Navigator::SetBookmark(host, 1);
    Navigator::GotoBookmark(host, 1);
    editor.CaretPosition(line, col);
    QCOMPARE(line, 7);
    QVERIFY(host.statuses.isEmpty());
}

void tst_Navigator::bookmarkHandlers_data()
{
    QTest::addColumn<QString>("setHandler");
    QTest::addColumn<QString>("gotoHandler");
    QTest::addColumn<int>("number");
    const char* const sets[] = {"N110Click", "N210Click", "N34Click", "N41Click", "N51Click",
                                "N61Click", "N71Click", "N81Click", "N91Click"};
    const char* const gotos[] = {"N111Click", "N211Click", "N35Click", "N42Click", "N52Click",
                                 "N62Click", "N72Click", "N82Click", "N92Click"};
    for (int i = 0; i < 9; ++i)
        QTest::addRow("%d", i + 1) << QString(sets[i]) << QString(gotos[i]) << i + 1;
}

void tst_Navigator::bookmarkHandlers()
{
    QFETCH(QString, setHandler);
    QFETCH(QString, gotoHandler);
    QFETCH(int, number);
    bool isSet = false;
    QCOMPARE(Navigator::bookmarkNumber(setHandler, &isSet), number);
    QVERIFY(isSet);
    QCOMPARE(Navigator::bookmarkNumber(gotoHandler, &isSet), number);
    QVERIFY(!isSet);
    QCOMPARE(Navigator::bookmarkNumber(u"Bold1Click"), 0);
}

VQ_TEST_MAIN(tst_Navigator)
#include "tst_Navigator.moc"
