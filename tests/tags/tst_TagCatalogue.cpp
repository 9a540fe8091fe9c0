#include "TestEnv.h"
#include "TagTables.h"
#include "TagTestSupport.h"

#include "tags/TagCatalogue.h"

#include <QApplication>
#include <QSet>
#include <QtTest>

class tst_TagCatalogue : public QObject {
    Q_OBJECT
private slots:
    void init();
    void constantPairs_data();
    void constantPairs();
    void selectionPairs_data();
    void selectionPairs();
    void everyCommandListedOnce();
    void commandsInDocument_data();
    void commandsInDocument();
    void repeatAfterCommand();
    void unknownHandler();

private:
    TestHost host;
    TestEditor editor;
};

void tst_TagCatalogue::init()
{
    TestEnv::clearSettings();
    host.reset();
    host.editor = &editor;
}

using namespace TagTables;

void tst_TagCatalogue::constantPairs_data()
{
    QTest::addColumn<QString>("handler");
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("close");
    for (const Row& r : kConstant)
        QTest::newRow(r.handler) << QString(r.handler) << QString(r.open) << QString(r.close);
}

void tst_TagCatalogue::constantPairs()
{
    QFETCH(QString, handler);
    QFETCH(QString, open);
    QFETCH(QString, close);
    const TagCommandDef* c = TagCatalogue::find(handler);
    QVERIFY(c);
    QVERIFY(!c->selectionDependent());
    QCOMPARE(c->pair(false), (TagPair{open, close}));
    QCOMPARE(c->pair(true), (TagPair{open, close}));

    // Through the engine at the caret, with "Case" at "W": exact texts,
    // caret between them.
    Marked::set(editor, "|");
    TagEngine engine(host);
    QVERIFY(TagCatalogue::run(engine, handler));
    QCOMPARE(Marked::get(editor), open + "|" + close);
}

void tst_TagCatalogue::selectionPairs_data()
{
    QTest::addColumn<QString>("handler");
    QTest::addColumn<QString>("selOpen");
    QTest::addColumn<QString>("selClose");
    QTest::addColumn<QString>("noneOpen");
    QTest::addColumn<QString>("noneClose");
    for (const SelRow& r : kSelection)
        QTest::newRow(r.handler) << QString(r.handler) << QString(r.selOpen) << QString(r.selClose)
                                 << QString(r.noneOpen) << QString(r.noneClose);
}

void tst_TagCatalogue::selectionPairs()
{
    QFETCH(QString, handler);
    QFETCH(QString, selOpen);
    QFETCH(QString, selClose);
    QFETCH(QString, noneOpen);
    QFETCH(QString, noneClose);
    const TagCommandDef* c = TagCatalogue::find(handler);
    QVERIFY(c);
    QVERIFY(c->selectionDependent());
    QCOMPARE(c->pair(true), (TagPair{selOpen, selClose}));
    QCOMPARE(c->pair(false), (TagPair{noneOpen, noneClose}));

    TagEngine engine(host);
    host.setTags("W", "N");
    Marked::set(editor, "[x.htm]");
    QVERIFY(TagCatalogue::run(engine, handler));
    QCOMPARE(Marked::get(editor), selOpen + "|x.htm" + selClose);
    Marked::set(editor, "|");
    QVERIFY(TagCatalogue::run(engine, handler));
    QCOMPARE(Marked::get(editor), noneOpen + "|" + noneClose);
}

void tst_TagCatalogue::everyCommandListedOnce()
{
    // The mail link's texts hold a placeholder of the program's choosing;
    // it is checked with the stamps.
    QSet<QString> seen;
    for (const TagCommandDef* c = TagCatalogue::begin(); c != TagCatalogue::end(); ++c) {
        QVERIFY2(!seen.contains(c->handler), c->handler);
        seen.insert(c->handler);
    }
    QSet<QString> expected{"Simple3Click"};
    for (const Row& r : kConstant)
        expected.insert(r.handler);
    for (const SelRow& r : kSelection)
        expected.insert(r.handler);
    QCOMPARE(seen, expected);
    QCOMPARE(TagCatalogue::count(), int(expected.size()));
}

void tst_TagCatalogue::commandsInDocument_data()
{
    QTest::addColumn<QString>("handler");
    QTest::addColumn<QString>("tagCase");
    QTest::addColumn<QString>("stay");
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("expected");

    QTest::newRow("anchor on selected word, N") << "Anchor1Click" << "W" << "N" << "[intro]"
                                                << "<A NAME=|intro></A>";
    QTest::newRow("anchor without selection") << "Anchor1Click" << "W" << "Y" << "|"
                                              << "<A NAME=Anchor_Name|></A>";
    QTest::newRow("url link on address") << "Simple1Click" << "W" << "Y" << "go [x.htm] now"
                                         << "go <A HREF=\"[x.htm]\">description_here</A> now";
    QTest::newRow("url link placeholder") << "Simple1Click" << "W" << "Y" << "|"
                                          << "<A HREF=\"your link here|\">description_here</A>";
    QTest::newRow("url link upper") << "Simple1Click" << "U" << "Y" << "|"
                                    << "<A HREF=\"YOUR LINK HERE|\">DESCRIPTION_HERE</A>";
    QTest::newRow("url link lower") << "Simple1Click" << "L" << "Y" << "|"
                                    << "<a href=\"your link here|\">description_here</a>";
    QTest::newRow("bold upper on selection") << "Bold1Click" << "U" << "Y" << "[Hello]"
                                             << "<B>[Hello]</B>";
    QTest::newRow("heading over two lines") << "HeadingLevel21Click" << "W" << "Y" << "ab[cd\nef]gh"
                                            << "ab<H2>[cd\nef]</H2>gh";
    QTest::newRow("line break") << "LineBreak1Click" << "W" << "Y" << "a|b" << "a<BR>|b";
    QTest::newRow("list item") << "ListItem1Click" << "W" << "Y" << "a|b" << "a<LI>|b";
    QTest::newRow("option lower") << "btnOptionClick" << "L" << "Y" << "a|b" << "a<option>|b";
    QTest::newRow("paragraph marker") << "ParagraphMarker1Click" << "W" << "Y" << "|" << "<P>|";
    QTest::newRow("paragraph marker with end") << "ParagraphMarkerwithEnd1Click" << "W" << "Y" << "|"
                                               << "<P>|";
    QTest::newRow("image map keeps caret in source") << "AsanImageMap1Click" << "W" << "Y" << "|"
                                                     << "<IMG SRC=\"|\" ALT=\"\" ISMAP>";
    QTest::newRow("image source from selection") << "Simple2Click" << "W" << "Y" << "[a.gif]"
                                                 << "<IMG SRC=\"[a.gif]\" ALT=\"\">";
    QTest::newRow("document type") << "DocumentType1Click" << "W" << "Y" << "|"
                                   << "<!DOCTYPE HTML PUBLIC |\"-//IETF//DTD HTML//EN//3.0\">";
    QTest::newRow("mail link on address") << "Simple3Click" << "W" << "N" << "[kim@x.org]"
                                          << "<A HREF=\"MailTo:|kim@x.org\">YourName</A>";
}

void tst_TagCatalogue::commandsInDocument()
{
    QFETCH(QString, handler);
    QFETCH(QString, tagCase);
    QFETCH(QString, stay);
    QFETCH(QString, document);
    QFETCH(QString, expected);
    host.setTags(tagCase, stay);
    Marked::set(editor, document);
    TagEngine engine(host);
    QVERIFY(TagCatalogue::run(engine, handler));
    QCOMPARE(Marked::get(editor), expected);
}

void tst_TagCatalogue::repeatAfterCommand()
{
    host.setTags("L", "Y");
    Marked::set(editor, "|");
    TagEngine engine(host);
    TagCatalogue::run(engine, QStringLiteral("Strong1Click"));
    host.setTags("W", "Y");
    Marked::set(editor, "|");
    engine.RepeatLastTag();
    QCOMPARE(Marked::get(editor), QString("<strong>|</strong>"));
}

void tst_TagCatalogue::unknownHandler()
{
    TagEngine engine(host);
    Marked::set(editor, "|");
    QVERIFY(!TagCatalogue::find(u"NoSuchClick"));
    QVERIFY(!TagCatalogue::run(engine, u"NoSuchClick"));
    QVERIFY(host.statuses.isEmpty());
    QCOMPARE(Marked::get(editor), QString("|"));
}

VQ_TEST_MAIN(tst_TagCatalogue)
#include "tst_TagCatalogue.moc"
