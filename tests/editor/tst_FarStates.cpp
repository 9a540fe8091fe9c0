// A page too long for its states to be worked out at once: a line far down
// is coloured from a guess while a worker works the states and the tag
// pairs out; what comes back equals what one pass from the top gives, edits
// made meanwhile included.
#include "TestEnv.h"
#include "editor/HtmlHighlighter.h"
#include "editor/TOvcTextFileEditor.h"
#include "editor/TagMatcher.h"
#include "editor/TextBuffer.h"

#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextLayout>
#include <QtTest>

namespace {

// Tells the highlighter of every change, as the editor does.
class Feed : public TextBufferListener {
public:
    explicit Feed(HtmlHighlighter& h) : m_h(h) {}
    void TextChanged(const TextBuffer&, const TextChange& c) override { m_h.textChanged(c); }

private:
    HtmlHighlighter& m_h;
};

// Colours and underlines of a line, comparable.
QList<std::tuple<int, int, QTextCharFormat>> coloursOf(HtmlHighlighter& h, int line)
{
    QList<std::tuple<int, int, QTextCharFormat>> out;
    for (const QTextLayout::FormatRange& r : h.lineFormats(line))
        out.append({r.start, r.length, r.format});
    return out;
}

// The colours of a line from a pass over every line above it.
QList<std::tuple<int, int, QTextCharFormat>> reference(const TextBuffer& buf, int line)
{
    HtmlHighlighter h(buf);
    h.startState(int(buf.LineCount()));
    h.tagLines().structure()->workOut(int(buf.LineCount()));
    return coloursOf(h, line);
}

// One line tokenized whole for every question.
class OneLine : public TagLineSource {
public:
    explicit OneLine(QString text) : m_text(std::move(text)) {}
    int lineCount() const override { return 1; }
    QString lineText(int) const override { return m_text; }
    int startState(int) const override { return Html::HtmlTokenizer::initialState(Html::Language::Html); }

private:
    QString m_text;
};

// The offsets of stray closing tags the colours of [from, to) of line 0 underline.
QList<int> strays(HtmlHighlighter& h, qsizetype from, qsizetype to)
{
    QList<int> out;
    for (const QTextLayout::FormatRange& r : h.formatsIn(0, from, to))
        if (r.format.underlineStyle() == QTextCharFormat::WaveUnderline)
            out << int(from) + r.start;
    return out;
}

QString page(const QString& unit, qsizetype size)
{
    QString text;
    while (text.size() < size)
        text += unit;
    return text;
}

} // namespace

class TstFarStates : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::init(); }

    void farLine_data()
    {
        QTest::addColumn<QString>("unit");   // repeated past what is worked out at once
        QTest::addColumn<QString>("tail");   // the last lines
        QTest::addColumn<QString>("edit");   // typed into the middle while the worker runs; empty: none
        QTest::newRow("stray at the end")
            << "<div class=\"a\"><p>text &amp; more\n<td>cell</td></div>\n" << "</span><b>x</b>\n</div></div>" << "";
        QTest::newRow("comment opened above")
            << "<ul><li>one\n<li>two</ul>\n" << "<i>a</i> --> <b>b</b>\n</ul>" << "<!--";
        QTest::newRow("script block")
            << "<script>\nvar s = \"<b>\";\n</script><p>x</p>\n" << "<em>end</em></b>" << "<script>";
        QTest::newRow("edit closes an element")
            << "<section><p>a\n</section>\n" << "</section></p>" << "</section>";
    }
    void farLine()
    {
        QFETCH(QString, unit);
        QFETCH(QString, tail);
        QFETCH(QString, edit);
        TextBuffer buf;
        buf.SetText(page(unit, 5'000'000) + tail);
        HtmlHighlighter h(buf);
        Feed feed(h);
        buf.AddListener(&feed);
        int ready = 0;
        h.setOnStatesReady([&] { ++ready; });
        const int last = int(buf.LineCount()) - 1;

        // Far down: coloured at once from a guess, the worker started.
        QVERIFY(!h.readyNear(last));
        QVERIFY(!h.lineFormats(last).isEmpty());
        QVERIFY(h.guessing());
        QVERIFY(h.knownStates() < last);
        if (!edit.isEmpty())
            buf.Insert(buf.Text().LineStart(last / 2), edit);
        // Told twice: when the states are in, and the pairs.
        QTRY_COMPARE_WITH_TIMEOUT(ready, 2, 20000);
        if (!edit.isEmpty()) {
            // Only the lines above the edit came back; the rest is worked out again.
            QVERIFY(h.knownStates() <= last / 2);
            QVERIFY(!h.readyNear(last));
            h.finishBackground();
        }
        QVERIFY(h.readyNear(last));
        QCOMPARE(coloursOf(h, last), reference(buf, last));
        QVERIFY(!h.guessing());
    }

    // An element's closing tag far down is found while the worker is busy
    // and after it is done, and both ways find the same tag.
    void farPartner()
    {
        TextBuffer buf;
        buf.SetText(QStringLiteral("<div id=a>\n") + page(QStringLiteral("<p>x <b>y</b>\n<li>z\n"), 3'000'000)
                    + QStringLiteral("</div>"));
        const int last = int(buf.LineCount()) - 1;
        QStringList open;
        for (bool busy : {true, false}) {
            HtmlHighlighter h(buf);
            h.lineFormats(last);  // the worker starts
            if (!busy)
                h.finishBackground();
            const std::optional<TagRef> tag = TagMatcher::tagAt(h.tagLines(), 0, 2);
            QVERIFY(tag);
            const std::optional<TagRef> other = TagMatcher::partner(h.tagLines(), *tag);
            QVERIFY(other);
            QCOMPARE(other->line, last);
            QCOMPARE(other->start, 0);
            open << TagMatcher::innermostOpen(h.tagLines(), last - 1, 4);
        }
        QCOMPARE(open, QStringList({QStringLiteral("li"), QStringLiteral("li")}));
    }

    // Asked for a far state outright, the answer is exact at once.
    void farStateAtOnce()
    {
        TextBuffer buf;
        buf.SetText(page(QStringLiteral("<p>a <!-- b\nc --> d</p>\n"), 3'000'000) + QStringLiteral("<!-- e"));
        HtmlHighlighter h(buf);
        const int last = int(buf.LineCount()) - 1;
        h.lineFormats(last);  // the worker starts
        HtmlHighlighter sync(buf);
        QCOMPARE(h.stateAt(last, 6), sync.stateAt(last, 6));
        QCOMPARE(h.startState(last), sync.startState(last));
    }

    // In a long line the tag at an offset is found from a point kept
    // before it: the same tag as tokenizing the whole line finds.
    void tagInLongLine_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::newRow("tags and text") << "<td class=\"c\">cell &amp; <b>bold</b></td> ";
        QTest::newRow("script strings") << "<script>var s = \"<b>\"; if (a < b) x = '</i>';</script><i>x</i>";
        QTest::newRow("long attribute") << "<img alt=\"" + QString(3000, QLatin1Char('w')) + "\" src=x><p>t</p>";
        QTest::newRow("comment") << "<!-- <b> --><u>u</u><!-- </u> -->";
    }
    void tagInLongLine()
    {
        QFETCH(QString, unit);
        const QString line = page(unit, 200'000);
        TextBuffer buf;
        buf.SetText(line);
        HtmlHighlighter h(buf);
        const OneLine whole(line);
        for (int offset = 0; offset < line.size(); offset += 1009) {
            const std::optional<TagRef> kept = TagMatcher::tagAt(h.tagLines(), 0, offset);
            const std::optional<TagRef> plain = TagMatcher::tagAt(whole, 0, offset);
            QVERIFY2(kept == plain, qPrintable(QString::number(offset)));
        }
    }

    // Typing in a long line does not work its pairs out at every key: the
    // stray closing tags are underlined again once the worker has them.
    void straysAfterTypingInLongLine()
    {
        const QString unit = QStringLiteral("<div><p>a</p></div>");
        TextBuffer buf;
        buf.SetText(page(unit, 400'000) + QStringLiteral("</span>"));
        HtmlHighlighter h(buf);
        Feed feed(h);
        buf.AddListener(&feed);
        int ready = 0;
        h.setOnStatesReady([&] { ++ready; });
        const qsizetype length = buf.Text().LineLength(0);
        h.finishBackground();
        QTRY_VERIFY(!strays(h, length - 100, length).isEmpty());
        const QList<int> before = strays(h, length - 100, length);
        buf.Insert(length / 2, QStringLiteral("x"));
        QVERIFY(strays(h, length - 100, length + 1).isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(strays(h, length - 100, length + 1), QList<int>({before.first() + 1}), 20000);
        QVERIFY(ready > 0);
    }

    // Typing far down before the worker is done: the keys go in at once,
    // the help that needs the states or the pairs comes with them, and
    // only if the text is as the keys left it.
    void typingBeforeStates_data()
    {
        QTest::addColumn<QString>("tail");     // the page's last line, typed after
        QTest::addColumn<bool>("closeOnGreater");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("later");    // the last line once the worker is done
        QTest::newRow("</ completed") << "" << false << "<p>x</" << "<p>x</p>";
        QTest::newRow("> closes") << "" << true << "<em>" << "<em></em>";
        QTest::newRow("typing went on") << "" << false << "<p>x</b" << "<p>x</b";
        QTest::newRow("in a script") << "<script>" << true << "<p>" << "<script><p>";
    }
    void typingBeforeStates()
    {
        QFETCH(QString, tail);
        QFETCH(bool, closeOnGreater);
        QFETCH(QString, keys);
        QFETCH(QString, later);
        TOvcTextFileEditor ed;
        ed.resize(600, 400);
        ed.SetCloseOnGreater(closeOnGreater);
        ed.SetAutoCloseTags(true);
        ed.SetRawText(page(QStringLiteral("<div><p>a <b>b</b></p>\n"), 3'000'000) + tail);
        const int last = ed.LineCount();
        ed.MoveCaret(last, tail.size() + 1);
        QTest::keyClicks(&ed, keys);
        QCOMPARE(ed.RawLineText(last), tail + keys);
        QTRY_COMPARE_WITH_TIMEOUT(ed.RawLineText(last), later, 20000);
        QTest::qWait(50);
        QCOMPARE(ed.RawLineText(last), later);
    }

    // A large file is read and decoded on a worker while events go on; the
    // rows counted there are those the view counts itself.
    void largeFileLoad()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("large.htm"));
        QByteArray bytes;
        while (bytes.size() < 9 * 1024 * 1024)
            bytes += "<tr><td>\tcell \xc3\xa9</td><td>" + QByteArray(130, 'w') + " end</td></tr>\r\n";
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        out.close();
        TOvcTextFileEditor ed;
        ed.resize(700, 500);
        ed.SetLineNumbers(true);
        ed.SetWordWrap(true);
        ed.show();
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(1);
        ed.LoadFile(file);
        timer.stop();
        QVERIFY(ticks > 0);
        QCOMPARE(ed.buffer().Encode(), bytes);
        const int loadedRows = ed.verticalScrollBar()->maximum();
        ed.SetWordWrap(false);
        ed.SetWordWrap(true);
        QCOMPARE(ed.verticalScrollBar()->maximum(), loadedRows);
        QVERIFY(loadedRows > ed.LineCount());
    }
};

QTEST_MAIN(TstFarStates)
#include "tst_FarStates.moc"
