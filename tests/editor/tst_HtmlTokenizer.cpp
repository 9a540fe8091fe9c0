// The HTML tokenizer on a table of lines and the token runs they give, with
// the state carried from line to line.
#include "editor/HtmlTokenizer.h"

#include <QtTest>

using namespace Html;

namespace {
const char* const kNames[] = {"T",  "AN", "AV", "C",   "E",  "D",  "CS", "CP",  "CV", "CC",
                              "SK", "SS", "SC", "SN", "CST", "CA", "SR", "PHP", "CD"};
static_assert(std::size(kNames) == size_t(TokenKind::Count));

// "kind[text] kind[text]" for each line, lines joined by " | "; neighbouring
// runs of one kind are one token.
QString runs(const QString& text, Language language = Language::Html)
{
    QStringList out;
    int state = HtmlTokenizer::initialState(language);
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
        // A regular expression is no comment, and a division no expression.
        QTest::newRow("regex holding /*") << "<script>\nvar r = /[/*]/g;\nx = 1;</script>"
                                          << "T[<script>] | SK[var] SR[/[/*]/g] | SN[1] T[</script>]";
        QTest::newRow("regex after return") << "<script>return /a\\/b'/.test(s) // c</script>"
                                            << "T[<script>] SK[return] SR[/a\\/b'/] SC[// c] T[</script>]";
        QTest::newRow("division") << "<script>x = a / b / 2; y = (c) / d /* e */</script>"
                                  << "T[<script>] SN[2] SC[/* e */] T[</script>]";
        QTest::newRow("string with a quote escaped") << "<script>s = 'it\\'s </b>'; t</script>"
                                                     << "T[<script>] SS['it\\'s </b>'] T[</script>]";
        QTest::newRow("CSS string holds } and </p>") << "<style>p::after { content: \"}</p>\"; color: red }</style>"
                                                     << "T[<style>] CS[p::after] CP[content] CST[\"}</p>\"] CP[color] CV[red] T[</style>]";
        QTest::newRow("CSS data URI") << "<style>a { background: url(data:image/png;base64,AA==) no-repeat; top: 0 }</style>"
                                      << "T[<style>] CS[a] CP[background] CV[url(data:image/png;base64,AA==)] CV[no-repeat] CP[top] CV[0] T[</style>]";
        QTest::newRow("selectors inside @media") << "<style>@media screen { p { color: red } }\ndiv { margin: 0 }</style>"
                                                 << "T[<style>] CA[@media] CV[screen] CS[p] CP[color] CV[red] | CS[div] CP[margin] CV[0] T[</style>]";
        QTest::newRow("@font-face holds declarations") << "<style>@font-face { font-family: x } b { }</style>"
                                                       << "T[<style>] CA[@font-face] CP[font-family] CV[x] CS[b] T[</style>]";
        QTest::newRow("PHP with ->") << "<p><?php if ($user->isAdmin()) echo \"?>\"; ?><b>"
                                     << "T[<p>] PHP[<?php if ($user->isAdmin()) echo \"?>\"; ?>] T[<b>]";
        QTest::newRow("PHP over lines") << "<?php\n$a = 1 > 2; // c\n?>&amp;" << "PHP[<?php] | PHP[$a = 1 > 2; // c] | PHP[?>] E[&amp;]";
        QTest::newRow("PHP in a value") << "<a href=\"<?= $u ?>\">" << "T[<a] AN[href] AV[\"] PHP[<?= $u ?>] AV[\"] T[>]";
        QTest::newRow("CDATA holds >") << "<![CDATA[ a > b ]]><i>" << "CD[<![CDATA[ a > b ]]>] T[<i>]";
    }
    void tokens()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(runs(text), expected);
    }

    // Files of other languages: a stylesheet or script on its own.
    void languages_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("stylesheet") << int(Language::Css) << "body { color: red }\n/* x */ a:hover { }"
                                    << "CS[body] CP[color] CV[red] | CC[/* x */] CS[a:hover]";
        QTest::newRow("script with a tag in a string") << int(Language::Script)
                                                       << "var s = \"<script>\";\nif (a < b) { /x/.test(s) }"
                                                       << "SK[var] SS[\"<script>\"] | SK[if] SR[/x/]";
        QTest::newRow("script with </script> in a string") << int(Language::Script) << "s = '</script><b>'\nx = 1"
                                                           << "SS['</script><b>'] | SN[1]";
    }
    void languages()
    {
        QFETCH(int, language);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(runs(text, Language(language)), expected);
    }

    // A line of any length is looked at whole: its state at the end is the
    // state after all of it.
    void longLine()
    {
        const QString script = QStringLiteral("var s = \"a>b\", t = /<\\/x>/; ").repeated(800);
        const QString line = QStringLiteral("<p>") + QString(20000, QLatin1Char('x')) + QStringLiteral("<script>")
                             + script + QStringLiteral("</script><b");
        QList<Token> tokens;
        const int state = HtmlTokenizer::tokenize(line, HtmlTokenizer::kInitialState, &tokens);
        QVERIFY(HtmlTokenizer::isTagState(state));
        QCOMPARE(tokens.last(), (Token{int(line.size()) - 11, 11, TokenKind::Tag}));  // "</script><b"
        // In pieces, each from the state the one before ended in, alike.
        QList<Token> pieces;
        int st = HtmlTokenizer::kInitialState;
        for (qsizetype at = 0; at < line.size();) {
            qsizetype stop = 0;
            QList<Token> part;
            st = HtmlTokenizer::tokenizePiece(QStringView(line).mid(at, 5000), st, 1000, at + 5000 >= line.size(),
                                              &stop, &part);
            for (Token t : std::as_const(part)) {
                t.start += int(at);
                if (!pieces.isEmpty() && pieces.last().kind == t.kind && pieces.last().start + pieces.last().length == t.start)
                    pieces.last().length += t.length;
                else
                    pieces.append(t);
            }
            at += stop;
        }
        QCOMPARE(st, state);
        QCOMPARE(pieces, tokens);
    }

    // Linear in the length of a line, whatever it holds: a script of 20
    // lines of 10 000 "<" each.
    void manyLessThanSigns()
    {
        const QString line = QStringLiteral("a<b;\"<\";/*<*/").repeated(2500);
        QElapsedTimer timer;
        timer.start();
        int state = HtmlTokenizer::tokenize(QStringLiteral("<script>"), HtmlTokenizer::kInitialState, nullptr);
        for (int i = 0; i < 20; ++i) {
            QList<Token> tokens;
            state = HtmlTokenizer::tokenize(line, state, &tokens);
        }
        QVERIFY(HtmlTokenizer::isScriptState(state));
        QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_APPLESS_MAIN(TstHtmlTokenizer)
#include "tst_HtmlTokenizer.moc"
