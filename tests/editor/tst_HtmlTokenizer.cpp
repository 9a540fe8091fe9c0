// The HTML tokenizer on a table of lines and the token runs they give, with
// the state carried from line to line.
#include "editor/HtmlTokenizer.h"

#include <QtTest>

using namespace Html;

namespace {
const char* const kNames[] = {"T", "AN", "AV", "C", "E", "D", "CS", "CP", "CV", "CC", "SK", "SS", "SC", "SN"};

// "kind[text] kind[text]" for each line, lines joined by " | "; neighbouring
// runs of one kind are one token.
QString runs(const QString& text)
{
    QStringList out;
    int state = HtmlTokenizer::kInitialState;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        QList<Token> tokens;
        state = HtmlTokenizer::tokenize(line, state, &tokens);
        QStringList parts;
        for (const Token& t : std::as_const(tokens))
            parts << QStringLiteral("%1[%2]").arg(QLatin1String(kNames[int(t.kind)]), line.mid(t.start, t.length));
        out << parts.join(QLatin1Char(' '));
    }
    return out.join(QStringLiteral(" | "));
}
} // namespace

class TstHtmlTokenizer : public QObject {
    Q_OBJECT
private slots:
    void tokens_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("tag with attributes") << "<a href=\"x.htm\" target=_top>go</a>"
                                             << "T[<a] AN[href] AV[\"x.htm\"] AN[target] AV[_top] T[>] T[</a>]";
        QTest::newRow("upper case") << "<TABLE BORDER='1'>" << "T[<TABLE] AN[BORDER] AV['1'] T[>]";
        QTest::newRow("self-closing, no value") << "<input disabled/>" << "T[<input] AN[disabled] T[/>]";
        QTest::newRow("entities") << "a &amp; b &#160; &#x2014 & c" << "E[&amp;] E[&#160;] E[&#x2014]";
        QTest::newRow("less-than in text") << "if a < b and c<5 then" << "";
        QTest::newRow("doctype") << "<!DOCTYPE html><p>" << "D[<!DOCTYPE html>] T[<p>]";
        QTest::newRow("comment") << "x<!-- <b> -->y" << "C[<!-- <b> -->]";
        QTest::newRow("unterminated comment") << "<!-- one\n<b>two\n--> <i>"
                                              << "C[<!-- one] | C[<b>two] | C[-->] T[<i>]";
        QTest::newRow("unterminated quote") << "<img alt=\"one\ntwo\" src=x>"
                                            << "T[<img] AN[alt] AV[\"one] | AV[two\"] AN[src] AV[x] T[>]";
        QTest::newRow("tag over lines") << "<td\n  width=\"5\"\n>x" << "T[<td] | AN[width] AV[\"5\"] | T[>]";
        QTest::newRow("value after line break") << "<a href=\n\"x\">" << "T[<a] AN[href] | AV[\"x\"] T[>]";
        QTest::newRow("tag left open") << "<a <b>" << "T[<a] T[<b>]";
        QTest::newRow("style") << "<STYLE>\nbody { color: red; } /* c\n */ p{}</Style><b>"
                               << "T[<STYLE>] | CS[body] CP[color] CV[red] CC[/* c] | CC[ */] CS[p] T[</Style><b>]";
        QTest::newRow("script") << "<script>var s = \"<b>\"; // x\n/* a\nb */ if (n > 1) f(`t`)</SCRIPT>"
                                << "T[<script>] SK[var] SS[\"<b>\"] SC[// x] | SC[/* a] | SC[b */] SK[if] SN[1] SS[`t`] T[</SCRIPT>]";
        QTest::newRow("comment in script ends at close tag") << "<script>// x</script><i>"
                                                             << "T[<script>] SC[// x] T[</script><i>]";
        QTest::newRow("script with attributes over lines") << "<script\nsrc=a.js></script>x"
                                                           << "T[<script] | AN[src] AV[a.js] T[></script>]";
        QTest::newRow("self-closed script leaves text") << "<script src=x />&amp;" << "T[<script] AN[src] AV[x] T[/>] E[&amp;]";
    }
    void tokens()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(runs(text), expected);
    }

    // Only the first characters of a very long line are looked at.
    void longLine()
    {
        const QString line = QString(HtmlTokenizer::kMaxLineLength - 2, QLatin1Char('x')) + QStringLiteral("<b>");
        QList<Token> tokens;
        const int state = HtmlTokenizer::tokenize(line, HtmlTokenizer::kInitialState, &tokens);
        QCOMPARE(tokens.size(), 1);
        QCOMPARE(tokens.first().length, 2);
        QVERIFY(HtmlTokenizer::isTagState(state));
    }
};

QTEST_APPLESS_MAIN(TstHtmlTokenizer)
#include "tst_HtmlTokenizer.moc"
