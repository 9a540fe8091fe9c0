// Tag pairs as HTML reads them, and the element "</" closes.
#include "editor/TagMatcher.h"

#include <QtTest>

namespace {

// Lines of a snippet; the states are worked out from its first line.
class Lines : public TagLineSource {
public:
    explicit Lines(const QString& text) : m_lines(text.split(QLatin1Char('\n')))
    {
        int s = Html::HtmlTokenizer::kInitialState;
        for (const QString& line : std::as_const(m_lines)) {
            m_states.push_back(s);
            s = Html::HtmlTokenizer::tokenize(line, s, nullptr);
        }
    }
    int lineCount() const override { return int(m_lines.size()); }
    QString lineText(int line) const override { return m_lines.at(line); }
    int startState(int line) const override { return m_states.at(line); }

private:
    QStringList m_lines;
    QList<int> m_states;
};

// Takes the marker out of text; its line and offset.
bool takeMarker(QString& text, QChar marker, int& line, int& offset)
{
    const int at = int(text.indexOf(marker));
    if (at < 0)
        return false;
    text.remove(at, 1);
    line = int(text.left(at).count(QLatin1Char('\n')));
    offset = at - int(text.lastIndexOf(QLatin1Char('\n'), at - 1)) - 1;
    return true;
}

} // namespace

class TstTagMatcher : public QObject {
    Q_OBJECT
private slots:
    // "|" is the caret, "^" stands before the partner's "<" (none: no pair).
    void partner_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("simple") << "<b|>x^</b>";
        QTest::newRow("from the closing tag") << "^<b>x</|b>";
        QTest::newRow("nested same name") << "<div|><div></div>^</div>";
        QTest::newRow("nested, inner") << "<div><di|v>^</div></div>";
        QTest::newRow("upper and lower case") << "<TABLE|><tr><td>x</TD></tr>^</table>";
        QTest::newRow("caret just before the tag") << "|<i>x^</i>";
        QTest::newRow("caret in attributes") << "<a href=\"x\" ti|tle=y>go^</a>";
        QTest::newRow("void element") << "<b><b|r>x</b>";
        QTest::newRow("void upper case") << "<HR|>";
        QTest::newRow("void inside") << "<p|>a<br>b<img src=x>^</p>";
        QTest::newRow("self-closed") << "<div|/></div>";
        QTest::newRow("unclosed P ended by P") << "<p|>one<p>two</p>";
        QTest::newRow("unclosed LI ended by parent") << "<ul><li|>one</ul>";
        QTest::newRow("UL over unclosed LI") << "<ul|><li>one<li>two^</ul>";
        QTest::newRow("closing UL over unclosed LI") << "^<ul><li>one<li>two</u|l>";
        QTest::newRow("P ended by a DIV") << "<p|>text<div>x</div>";
        QTest::newRow("LI with nested list") << "<li|>a<ul><li>b</li></ul>^</li>";
        QTest::newRow("tags over several lines") << "<table\n  border=1|>\n<tr>\n</tr>\n^</table\n>";
        QTest::newRow("comments hold no tags") << "<b|><!-- </b> -->^</b>";
        QTest::newRow("script holds no tags") << "<div|><script>x='</div>'</script>^</div>";
        QTest::newRow("unclosed inner element passed") << "^<div><b>x</d|iv>";
        QTest::newRow("no closing tag") << "<div|>x";
        QTest::newRow("not in a tag") << "<b>x|y</b>";
        // A stray closing tag is passed over; the elements around it still pair.
        QTest::newRow("stray heading end") << "<div|><h5>x</h3></h5>^</div>";
        QTest::newRow("stray heading end, inner") << "<div><h5|>x</h3>^</h5></div>";
        QTest::newRow("stray P end after a list") << "<body|><p>a<ul><li>b</ul></p>\n^</body>";
        QTest::newRow("the stray end itself") << "<div><p>a<ul></ul></|p></div>";
        QTest::newRow("end past a table cell is stray") << "<div><table><tr><td>x</d|iv></td></tr></table></div>";
        // Mis-nested tags pair alike from either end.
        QTest::newRow("mis-nested, outer") << "<div|><b><i>x</b></i>^</div>";
        QTest::newRow("mis-nested, the end that closes") << "<b|><i>x^</b></i>";
        QTest::newRow("mis-nested, the element it passed") << "<b><i|>x</b></i>";
        QTest::newRow("tag cut off by a new one") << "<a <b|>x^</b>";
        QTest::newRow("cells end cells") << "<table|><tr><td>a<td>b<tr><td>c^</table>";
        QTest::newRow("nested table") << "<td><table><tr><td|>x^</td></tr></table></td>";
    }
    void partner()
    {
        QFETCH(QString, text);
        int line = 0, offset = 0, pl = 0, po = 0;
        QVERIFY(takeMarker(text, QLatin1Char('|'), line, offset));
        const bool expected = text.contains(QLatin1Char('^'));
        takeMarker(text, QLatin1Char('^'), pl, po);
        if (expected && (pl < line || (pl == line && po < offset)) && line == pl)
            --offset;  // the "^" stood before the caret
        const Lines lines(text);
        const std::optional<TagRef> tag = TagMatcher::tagAt(lines, line, offset);
        const std::optional<TagRef> other = tag ? TagMatcher::partner(lines, *tag) : std::nullopt;
        QCOMPARE(bool(other), expected);
        if (expected) {
            QCOMPARE(other->line, pl);
            QCOMPARE(other->start, po);
            // and back again
            const std::optional<TagRef> back = TagMatcher::partner(lines, *other);
            QVERIFY(back);
            QCOMPARE(*back, *tag);
        }
    }

    // "|" is where "</" is typed.
    void innermostOpen_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::newRow("one open") << "<b>x|" << "b";
        QTest::newRow("letter case kept") << "<TD>x|" << "TD";
        QTest::newRow("innermost") << "<div><Span>x|" << "Span";
        QTest::newRow("closed ones passed") << "<ul><li>a</li><li>b</li>|" << "ul";
        QTest::newRow("void passed") << "<p>a<br><IMG src=x>|" << "p";
        QTest::newRow("unclosed LI") << "<ul><li>a|" << "li";
        QTest::newRow("LI ended by LI") << "<ol><li>a<li>b</li>|" << "ol";
        QTest::newRow("P ended by P") << "<div><p>a<p>b</p>|" << "div";
        QTest::newRow("P ended by a table") << "<body><p>a<table></table>|" << "body";
        QTest::newRow("over lines") << "<html>\n<body\n class=x>\n<h1>t</h1>\n|" << "body";
        QTest::newRow("comment ignored") << "<em><!-- <b> -->|" << "em";
        QTest::newRow("all closed") << "<b>x</b>|" << "";
        QTest::newRow("self-closed") << "<i><svg/>|" << "i";
        QTest::newRow("after a stray end") << "<div><h5>x</h3></h5>|" << "div";
        QTest::newRow("after a P end a list made stray") << "<div><p>a<ul><li>b</ul></p>|" << "div";
        QTest::newRow("after mis-nested ends") << "<div><b><i>x</b></i>|" << "div";
        QTest::newRow("in a tag cut off") << "<p><a <b>x</b>|" << "a";
    }

    // "!" marks each stray closing tag.
    void strayClosingTags_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << "<ul><li>a<li>b</ul><p>x</p>";
        QTest::newRow("heading") << "<h5>x!</h3></h5>";
        QTest::newRow("P after a list") << "<p>a<ul></ul>!</p>\n!</p>";
        QTest::newRow("mis-nested") << "<b><i>x</b>!</i>";
    }
    void strayClosingTags()
    {
        QFETCH(QString, text);
        QList<QPair<int, int>> expected;
        int line = 0, offset = 0;
        while (takeMarker(text, QLatin1Char('!'), line, offset))
            expected << qMakePair(line, offset);
        const Lines lines(text);
        TagStructure s(lines);
        QList<QPair<int, int>> found;
        for (const TagRef& r : s.strayClosingTags(0, lines.lineCount() - 1))
            found << qMakePair(r.line, r.start);
        QCOMPARE(found, expected);
    }

    // Linear however deep: 64 000 "<b>" then 64 000 "</i>", one a line.
    void deepAndStray()
    {
        const QString text = QStringLiteral("<b>\n").repeated(64000) + QStringLiteral("</i>\n").repeated(64000) + QStringLiteral("</b>");
        const Lines lines(text);
        QElapsedTimer timer;
        timer.start();
        TagStructure s(lines);
        QCOMPARE(s.innermostOpen(128000, 0), QStringLiteral("b"));
        QCOMPARE(s.partner(128000, 0), (TagRef{63999, 0, 2, false, QStringLiteral("b")}));
        QCOMPARE(s.partner(0, 0), std::nullopt);
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    }
    void innermostOpen()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        int line = 0, offset = 0;
        QVERIFY(takeMarker(text, QLatin1Char('|'), line, offset));
        QCOMPARE(TagMatcher::innermostOpen(Lines(text), line, offset), name);
    }
};

QTEST_APPLESS_MAIN(TstTagMatcher)
#include "tst_TagMatcher.moc"
