#include "TestEnv.h"

#include "app/AppPaths.h"
#include "tags/HtmlTagList.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

class tst_HtmlTagList : public QObject {
    Q_OBJECT
private slots:
    void init() { QFile::remove(AppPaths::programFile("symbols.web")); }
    void builtInTags();
    void tagPair_data();
    void tagPair();
    void builtInSymbols();
    void symbolText_data();
    void symbolText();
    void symbolFile();
    void shippedSymbolFile();
};

void tst_HtmlTagList::builtInTags()
{
    // Opening texts in the order shown.
    const QStringList openers = {
        "<!--", "<A HREF=\"\">", "<ADDRESS>", "<APPLET>", "<B>", "<BASE>", "<BASEFONT SIZE=>",
        "<BGSOUND SRC=\"\">", "<BIG>", "<BLINK>", "<BLOCKQUOTE>", "<BODY>", "<BR>", "<CAPTION>",
        "<CENTER>", "<CITE>", "<CODE>", "<DD>", "<DIR>", "<DIV ALIGN=\"\">", "<DL>", "<DT>", "<EM>",
        "<EMBED SRC=\"\" WIDTH=100 HEIGHT=100>", "<FONT SIZE=\"\" COLOR=\"\" FACE=\"\">",
        "<FONT SIZE=\"\">", "<FORM METHOD=\"\" ACTION=\"\">", "<FRAME>", "<FRAMESET>", "<H ALIGN=>",
        "<H1>", "<H2>", "<H3>", "<H4>", "<H5>", "<H6>", "<HEAD>", "<HR>", "<HTML>", "<I>", "<IMG>",
        "<INPUT>", "<ISINDEX ACTION=\">", "<ISINDEX>", "<KBD>", "<LI>", "<LINK>", "<MAP NAME=\"\">",
        "<MAP NAME=\"\"><AREA SHAPE=\"\" COORDS=\",\" HREF=\"\">",
        "<MARQUEE ALIGN=TOP BEHAVIOUR=SLIDE HEIGHT=50% WIDTH=50%>", "<MARQUEE>", "<MENU>",
        "<META NAME=\"\" CONTENT=\"\">", "<NEXTID N=000>", "<NOBR>", "<NOFRAMES>", "<OL>",
        "<OPTION SELECTED=yes VALUE=\"\">", "<P>", "<PRE>", "<SAMP>", "<SCRIPT>", "<SELECT NAME=\"\">",
        "<SMALL>", "<SOUND SRC=\"\">", "<STRIKE>", "<STRONG>", "<SUB>", "<SUP>", "<TABLE>", "<TD>",
        "<TEXTAREA>", "<TH>", "<TITLE>", "<TR>", "<TT>", "<U>", "<UL>", "<VAR>", "<WBR>"};
    const QSet<QString> noEnd = {
        "<BASE>", "<BASEFONT SIZE=>", "<BGSOUND SRC=\"\">", "<BR>", "<DD>", "<DT>",
        "<EMBED SRC=\"\" WIDTH=100 HEIGHT=100>", "<HR>", "<IMG>", "<INPUT>", "<ISINDEX ACTION=\">",
        "<ISINDEX>", "<LI>", "<LINK>", "<META NAME=\"\" CONTENT=\"\">", "<NEXTID N=000>",
        "<OPTION SELECTED=yes VALUE=\"\">", "<SOUND SRC=\"\">", "<WBR>"};
    QCOMPARE(openers.size(), 80);

    QStringList expected;
    const QRegularExpression firstElement("^<([^ >]+)");
    for (const QString& o : openers) {
        QString close;
        if (o == "<!--")
            close = "-->";
        else if (!noEnd.contains(o))
            close = "</" + firstElement.match(o).captured(1) + ">";
        expected << o + "\t" + close;
    }
    QCOMPARE(HtmlTagList::builtInTags(), expected);

    // A few closings spelled out.
    const QStringList items = HtmlTagList::builtInTags();
    QCOMPARE(HtmlTagList::tagPair(items.at(1)).close, QString("</A>"));
    QCOMPARE(HtmlTagList::tagPair(items.at(29)).close, QString("</H>"));
    QCOMPARE(HtmlTagList::tagPair(items.at(48)).close, QString("</MAP>"));
    QCOMPARE(HtmlTagList::tagPair(items.at(49)).close, QString("</MARQUEE>"));

    // Shown in order, which is also the sorted order.
    QStringList sorted = items;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(sorted, items);
}

void tst_HtmlTagList::tagPair_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("close");
    QTest::newRow("pair") << "<B>\t</B>" << "<B>" << "</B>";
    QTest::newRow("no end tag") << "<BR>\t" << "<BR>" << "";
    QTest::newRow("first tab splits") << "<X>\t</X>\tmore" << "<X>" << "</X>\tmore";
    QTest::newRow("no tab at all") << "<BR>" << "" << "<BR>";
    QTest::newRow("empty") << "" << "" << "";
}

void tst_HtmlTagList::tagPair()
{
    QFETCH(QString, item);
    QFETCH(QString, open);
    QFETCH(QString, close);
    QCOMPARE(HtmlTagList::tagPair(item), (TagPair{open, close}));
}

void tst_HtmlTagList::builtInSymbols()
{
    // The built-in entities; the dashes under their real names and "&lt;"
    // with its semicolon, so every one of them works in a page.
    const QStringList entities = {
        "&Aacute;", "&aacute;", "&Acirc;", "&acirc;", "&aelig;", "&AElig;", "&Agrave;", "&agrave;",
        "&amp;", "&Aring;", "&aring;", "&Atilde;", "&atilde;", "&Auml;", "&auml;", "&Ccedil;",
        "&ccedil;", "&copy;", "&Eacute;", "&eacute;", "&Ecirc;", "&ecirc;", "&Egrave;", "&egrave;",
        "&mdash;", "&emsp;", "&ndash;", "&ensp;", "&ETH;", "&eth;", "&Euml;", "&euml;", "&gt;",
        "&Iacute;", "&iacute;", "&Icirc;", "&icirc;", "&Igrave;", "&igrave;", "&Iuml;", "&iuml;",
        "&lt;", "&nbsp;", "&Ntilde;", "&ntilde;", "&Oacute;", "&oacute;", "&Ocirc;", "&ocirc;",
        "&Ograve;", "&ograve;", "&Oslash;", "&oslash;", "&Otilde;", "&otilde;", "&Ouml;", "&ouml;",
        "&quot;", "&reg;", "&szlig;", "&THORN;", "&thorn;", "&Uacute;", "&uacute;", "&Ucirc;",
        "&ucirc;", "&Ugrave;", "&ugrave;", "&Uuml;", "&uuml;", "&Yacute;", "&yacute;", "&yuml;",
        "<SUP><FONT SIZE=1>tm</FONT></SUP>"};
    QCOMPARE(entities.size(), 74);
    const QStringList items = HtmlTagList::builtInSymbols();
    QCOMPARE(items.size(), 74);
    QStringList texts;
    for (const QString& item : items) {
        QVERIFY2(item.count('\t') == 1, qPrintable(item));
        QVERIFY2(!item.section('\t', 1).isEmpty(), qPrintable(item));
        texts << HtmlTagList::symbolText(item);
    }
    QCOMPARE(texts, entities);
    QVERIFY(items.contains("&eacute;\te, acute accent"));
    QVERIFY(items.contains(QStringLiteral("&reg;\tregistered trademark \u00ae")));
    QVERIFY(items.contains("&quot;\tDouble quote \""));
    QVERIFY(items.contains("&lt;\tLess than <"));
    QVERIFY(items.contains("<SUP><FONT SIZE=1>tm</FONT></SUP>\ttrademark (tm)"));
}

void tst_HtmlTagList::symbolText_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("text");
    QTest::newRow("entity and description") << "&euro;\tEuro sign" << "&euro;";
    QTest::newRow("no description") << "&euro;\t" << "&euro;";
    QTest::newRow("no tab: whole line") << "&euro;" << "&euro;";
    QTest::newRow("first tab") << "&a;\tb\tc" << "&a;";
    QTest::newRow("none") << "" << "";
}

void tst_HtmlTagList::symbolText()
{
    QFETCH(QString, item);
    QFETCH(QString, text);
    QCOMPARE(HtmlTagList::symbolText(item), text);
    QCOMPARE(HtmlTagList::symbolPair(item), (TagPair{text, QString()}));
}

void tst_HtmlTagList::symbolFile()
{
    QStringList items{"keep"};
    QVERIFY(!HtmlTagList::readSymbolFile(HtmlTagList::symbolFileName(), items));
    QCOMPARE(items, QStringList{"keep"});

    QCOMPARE(HtmlTagList::symbolFileName(), TestEnv::programDir() + "/symbols.web");
    QVERIFY(TestEnv::writeAll(HtmlTagList::symbolFileName(),
                              "&euro;\tEuro sign\r\n\r\n&hellip;\tEllipsis \xe2\x80\xa6\r\n"));
    QVERIFY(HtmlTagList::readSymbolFile(HtmlTagList::symbolFileName(), items));
    QCOMPARE(items, (QStringList{"&euro;\tEuro sign", QStringLiteral("&hellip;\tEllipsis \u2026")}));
}

void tst_HtmlTagList::shippedSymbolFile()
{
    QVERIFY(TestEnv::installDataFile("symbols.web"));
    QStringList items;
    QVERIFY(HtmlTagList::readSymbolFile(HtmlTagList::symbolFileName(), items));
    QVERIFY(items.size() >= 100);
    QSet<QString> entities;
    const QRegularExpression entity("^&[A-Za-z][A-Za-z0-9]*;$");
    for (const QString& item : items) {
        QVERIFY2(item.count('\t') == 1, qPrintable(item));
        const QString text = HtmlTagList::symbolText(item);
        QVERIFY2(entity.match(text).hasMatch(), qPrintable(item));
        QVERIFY2(!item.section('\t', 1).trimmed().isEmpty(), qPrintable(item));
        QVERIFY2(!entities.contains(text), qPrintable(item));
        entities.insert(text);
    }
    for (const char* e : {"&euro;", "&nbsp;", "&copy;", "&reg;", "&lt;", "&gt;", "&amp;", "&quot;",
                          "&eacute;", "&mdash;", "&ndash;", "&trade;"})
        QVERIFY2(entities.contains(e), e);
}

int main(int argc, char** argv)
{
    TestEnv::init();
    QCoreApplication app(argc, argv);
    tst_HtmlTagList tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_HtmlTagList.moc"
