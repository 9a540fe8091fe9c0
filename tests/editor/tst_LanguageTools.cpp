// Abbreviations, toggle comment and completion on tables of text.
#include "editor/Abbreviation.h"
#include "editor/CommentToggle.h"
#include "editor/CompletionModel.h"
#include "editor/HtmlTokenizer.h"

#include <QtTest>

using Html::HtmlTokenizer;

namespace {

// The state at the end of text, tokenized as a page from its start.
int stateAfter(const QString& text, Html::Language language = Html::Language::Html)
{
    int state = HtmlTokenizer::initialState(language);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        qsizetype stop = 0;
        state = HtmlTokenizer::tokenizePiece(lines[i], state, lines[i].size(), i + 1 < lines.size(), &stop, nullptr);
    }
    return state;
}

} // namespace

class TstLanguageTools : public QObject {
    Q_OBJECT
private slots:
    // "|" in the expected text is where the caret goes.
    void abbreviations_data()
    {
        QTest::addColumn<QString>("abbreviation");
        QTest::addColumn<QString>("text");
        QTest::newRow("element") << "p" << "<p>|</p>";
        QTest::newRow("child, multiplied, inline") << "ul>li*3>a"
            << "<ul>\n\t<li><a href=\"|\"></a></li>\n\t<li><a href=\"\"></a></li>\n\t<li><a href=\"\"></a></li>\n</ul>";
        QTest::newRow("id and classes") << "div.card#main.wide" << "<div id=\"main\" class=\"card wide\">|</div>";
        QTest::newRow("table") << "table>tr*2>td*3"
            << "<table>\n\t<tr>\n\t\t<td>|</td>\n\t\t<td></td>\n\t\t<td></td>\n\t</tr>\n\t<tr>\n\t\t<td></td>\n\t\t<td></td>\n\t\t<td></td>\n\t</tr>\n</table>";
        QTest::newRow("sibling") << "h1+p" << "<h1>|</h1>\n<p></p>";
        QTest::newRow("climb up") << "div>p>span^p" << "<div>\n\t<p><span>|</span></p>\n\t<p></p>\n</div>";
        QTest::newRow("climb up twice") << "div>section>p^^footer" << "<div>\n\t<section>\n\t\t<p>|</p>\n\t</section>\n</div>\n<footer></footer>";
        QTest::newRow("attributes") << "input[name=q placeholder=\"Find it\" required]"
                                    << "<input type=\"text\" name=\"q\" placeholder=\"Find it\" required>|";
        QTest::newRow("default attribute set") << "a[href=x.htm]{Go}" << "<a href=\"x.htm\">Go</a>|";
        QTest::newRow("text") << "p{Hello, world}" << "<p>Hello, world</p>|";
        QTest::newRow("numbering") << "li.item$*2" << "<li class=\"item1\">|</li>\n<li class=\"item2\"></li>";
        QTest::newRow("padded numbering") << "p#n$$*2" << "<p id=\"n01\">|</p>\n<p id=\"n02\"></p>";
        QTest::newRow("implied names") << "ul>.x" << "<ul>\n\t<li class=\"x\">|</li>\n</ul>";
        QTest::newRow("implied in a row") << "tr>.c" << "<tr>\n\t<td class=\"c\">|</td>\n</tr>";
        QTest::newRow("group") << "dl>(dt+dd)*2" << "<dl>\n\t<dt>|</dt>\n\t<dd></dd>\n\t<dt></dt>\n\t<dd></dd>\n</dl>";
        QTest::newRow("void") << "img" << "<img src=\"|\" alt=\"\">";
        QTest::newRow("not one: operator at the end") << "ul>" << "";
        QTest::newRow("not one: unclosed text") << "p{x" << "";
    }
    void abbreviations()
    {
        QFETCH(QString, abbreviation);
        QFETCH(QString, text);
        const Abbreviation::Expansion x = Abbreviation::expand(abbreviation);
        QString got = x.text;
        if (!got.isEmpty())
            got.insert(x.caret, QLatin1Char('|'));
        QCOMPARE(got, text);
    }

    void abbreviationIndentAndCase()
    {
        Abbreviation::Options o;
        o.lineIndent = QStringLiteral("  ");
        o.indentUnit = QStringLiteral("  ");
        o.upperCase = true;
        QCOMPARE(Abbreviation::expand(QStringLiteral("ul>li"), o).text, QStringLiteral("<UL>\n    <LI></LI>\n  </UL>"));
    }

    // "|" marks the caret; the abbreviation found before it.
    void abbreviationStart_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("found");
        QTest::newRow("alone") << "  ul>li*3|" << "ul>li*3";
        QTest::newRow("after a tag") << "<p>ul>li|" << "ul>li";
        QTest::newRow("after a closing tag") << "x</b>div.a|" << "div.a";
        QTest::newRow("text with blanks") << "say p{Hello there}|" << "p{Hello there}";
        QTest::newRow("nothing") << "a |" << "";
    }
    void abbreviationStart()
    {
        QFETCH(QString, line);
        QFETCH(QString, found);
        const qsizetype end = line.indexOf(QLatin1Char('|'));
        line.remove(end, 1);
        const qsizetype start = Abbreviation::startBefore(line, end);
        QCOMPARE(start < 0 ? QString() : line.mid(start, end - start), found);
    }

    void toggle_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("HTML line") << int(CommentToggle::Style::Html) << "  <p>x</p>" << "  <!-- <p>x</p> -->";
        QTest::newRow("HTML back") << int(CommentToggle::Style::Html) << "  <!-- <p>x</p> -->" << "  <p>x</p>";
        QTest::newRow("HTML lines") << int(CommentToggle::Style::Html) << "<a>\n<b>\n" << "<!-- <a>\n<b> -->\n";
        QTest::newRow("CSS") << int(CommentToggle::Style::Css) << "\tcolor: red;" << "\t/* color: red; */";
        QTest::newRow("CSS back") << int(CommentToggle::Style::Css) << "/*color: red;*/" << "color: red;";
        QTest::newRow("script lines") << int(CommentToggle::Style::Script) << "  if (a)\n    b();\n\n  c();"
                                      << "  // if (a)\n  //   b();\n\n  // c();";
        QTest::newRow("script back") << int(CommentToggle::Style::Script) << "  // if (a)\n  //   b();" << "  if (a)\n    b();";
        QTest::newRow("script, some commented") << int(CommentToggle::Style::Script) << "// a\nb" << "// // a\n// b";
    }
    void toggle()
    {
        QFETCH(int, style);
        QFETCH(QString, before);
        QFETCH(QString, after);
        QCOMPARE(CommentToggle::toggle(before, CommentToggle::Style(style)), after);
        if (!QByteArray(QTest::currentDataTag()).endsWith("back") || before.contains(QLatin1String("/* ")))
            QCOMPARE(CommentToggle::toggle(after, CommentToggle::Style(style)), before);
    }

    // "|" is a position before and after the toggle.
    void positionAfter_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("in the text") << int(CommentToggle::Style::Html) << "  <p>x|</p>" << "  <!-- <p>x|</p> -->";
        QTest::newRow("in the indent") << int(CommentToggle::Style::Html) << " | <p>" << " | <!-- <p> -->";
        QTest::newRow("at the end") << int(CommentToggle::Style::Css) << "a: b;|" << "/* a: b; */|";
        QTest::newRow("taken out") << int(CommentToggle::Style::Html) << "<!-- <b>|x</b> -->" << "<b>|x</b>";
        QTest::newRow("script line") << int(CommentToggle::Style::Script) << "  a();\n  b(|);" << "  // a();\n  // b(|);";
        QTest::newRow("script line back") << int(CommentToggle::Style::Script) << "// a|();" << "a|();";
    }
    void positionAfter()
    {
        QFETCH(int, style);
        QFETCH(QString, before);
        QFETCH(QString, after);
        const qsizetype at = before.indexOf(QLatin1Char('|'));
        before.remove(at, 1);
        QString got = CommentToggle::toggle(before, CommentToggle::Style(style));
        got.insert(CommentToggle::positionAfter(before, at, CommentToggle::Style(style)), QLatin1Char('|'));
        QCOMPARE(got, after);
    }

    void styleFor_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("style");
        QTest::newRow("page") << "<p>" << int(CommentToggle::Style::Html);
        QTest::newRow("style element") << "<style>\n" << int(CommentToggle::Style::Css);
        QTest::newRow("script element") << "<script>\n" << int(CommentToggle::Style::Script);
        QTest::newRow("after a script") << "<script>x</script>\n" << int(CommentToggle::Style::Html);
    }
    void styleFor()
    {
        QFETCH(QString, text);
        QFETCH(int, style);
        QCOMPARE(int(CommentToggle::styleFor(stateAfter(text))), style);
    }

    // "|" is the caret; the kind of list and the first items offered.
    void completion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("element");  // the tag the caret is in
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("items");    // the first ones, joined by " "
        QTest::newRow("after <") << "<p>x <t|" << "" << int(Completion::Kind::Element) << "table tbody td template";
        QTest::newRow("attribute") << "<a hr|" << "a" << int(Completion::Kind::Attribute) << "href hreflang";
        QTest::newRow("attribute after a blank") << "<form |" << "form" << int(Completion::Kind::Attribute) << "accept-charset accesskey action";
        QTest::newRow("fixed values") << "<input type=\"ch|" << "input" << int(Completion::Kind::AttributeValue) << "checkbox";
        QTest::newRow("values of method") << "<form method='|" << "form" << int(Completion::Kind::AttributeValue) << "get post dialog";
        QTest::newRow("no fixed values") << "<a href=\"|" << "a" << int(Completion::Kind::AttributeValue) << "";
        QTest::newRow("entity") << "a &am|" << "" << int(Completion::Kind::Entity) << "amp";
        QTest::newRow("CSS property") << "<style>\np { disp|" << "" << int(Completion::Kind::CssProperty) << "display";
        QTest::newRow("CSS value") << "<style>\np { display: fl|" << "" << int(Completion::Kind::CssValue) << "flex";
        QTest::newRow("style attribute") << "<p style=\"color: red; text-al|" << "p" << int(Completion::Kind::CssProperty) << "text-align";
        QTest::newRow("style attribute value") << "<p style=\"float: l|" << "p" << int(Completion::Kind::CssValue) << "left";
        QTest::newRow("plain text") << "<p>some words|" << "" << int(Completion::Kind::None) << "";
        QTest::newRow("in a script") << "<script>\nif (a <b|" << "" << int(Completion::Kind::None) << "";
    }
    void completion()
    {
        QFETCH(QString, text);
        QFETCH(QString, element);
        QFETCH(int, kind);
        QFETCH(QString, items);
        const qsizetype at = text.indexOf(QLatin1Char('|'));
        text.remove(at, 1);
        const QString line = text.mid(text.lastIndexOf(QLatin1Char('\n')) + 1);
        const Completion::Context c = Completion::contextAt(line, stateAfter(text), element);
        QCOMPARE(int(c.kind), kind);
        const QStringList offered = Completion::items(c, {QStringLiteral("amp"), QStringLiteral("nbsp")});
        const qsizetype n = items.isEmpty() ? 0 : items.count(QLatin1Char(' ')) + 1;
        QCOMPARE(offered.mid(0, n).join(QLatin1Char(' ')), items);
        if (n > 0)
            QCOMPARE(line.mid(c.from), c.prefix);
    }

    void insertion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("caseSetting");
        QTest::addColumn<QString>("inserted");  // "|" is the caret
        QTest::newRow("element in capitals") << "<ta" << "table" << "U" << "TABLE|";
        QTest::newRow("attribute with quotes") << "<a hr" << "href" << "W" << "href=\"|\"";
        QTest::newRow("entity") << "&am" << "amp" << "U" << "amp;|";
        QTest::newRow("CSS property") << "<p style=\"disp" << "display" << "W" << "display: |";
    }
    void insertion()
    {
        QFETCH(QString, text);
        QFETCH(QString, item);
        QFETCH(QString, caseSetting);
        QFETCH(QString, inserted);
        const Completion::Context c = Completion::contextAt(text, stateAfter(text), QStringLiteral("a"));
        const Completion::Insertion in = Completion::insertion(c, item, caseSetting);
        QString got = in.text;
        got.insert(in.caret, QLatin1Char('|'));
        QCOMPARE(got, inserted);
    }
};

QTEST_APPLESS_MAIN(TstLanguageTools)
#include "tst_LanguageTools.moc"
