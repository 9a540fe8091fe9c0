// A page minified onto one line of 1 MB behaves as a short one: positions,
// search, replace, bookmarks, undo and the file's bytes; and typing into a
// shown line, or a long line whose colours change, shows its true colours.
#include "TestEnv.h"
#include "editor/HtmlHighlighter.h"
#include "editor/TOvcTextFileEditor.h"

#include <QScrollBar>
#include <QTextLayout>
#include <QtTest>

class TstLongLine : public QObject {
    Q_OBJECT
    static QByteArray longLine()
    {
        QByteArray line;
        while (line.size() < 1024 * 1024)
            line += "<td class=\"c\">cell &amp; text</td>";
        // One marker near the end, and one across the middle of the line.
        line.insert(line.size() / 2, "MID");
        line += "<b>NEEDLE</b>";
        return line;
    }

private slots:
    void initTestCase() { TestEnv::init(); }

    void oneLongLine_data()
    {
        QTest::addColumn<bool>("wrap");
        QTest::newRow("wrap on") << true;
        QTest::newRow("wrap off") << false;
    }
    void oneLongLine()
    {
        QFETCH(bool, wrap);
        const QByteArray bytes = longLine() + "\r\n";
        const QString in = TestEnv::workDir() + QStringLiteral("/min.htm");
        const QString out = TestEnv::workDir() + QStringLiteral("/min-out.htm");
        QVERIFY(TestEnv::writeAll(in, bytes));
        TOvcTextFileEditor ed;
        ed.SetWordWrap(wrap);
        ed.resize(800, 600);
        ed.show();
        ed.LoadFile(in);
        ed.repaint();
        const int length = int(bytes.size()) - 2;
        QCOMPARE(ed.LineCount(), 1);
        QCOMPARE(ed.LineLength(1), length);

        // Positions count characters of the line, whatever is shown.
        int line = 0, column = 0;
        ed.MoveCaret(1, 700001);
        ed.CaretPosition(line, column);
        QCOMPARE(qMakePair(line, column), qMakePair(1, 700001));
        QVERIFY(ed.SearchText(QStringLiteral("needle"), 1 | 8));
        ed.CaretPosition(line, column);
        QCOMPARE(qMakePair(line, column), qMakePair(1, length - 3));
        QVERIFY(ed.SearchText(QStringLiteral("mid"), 1 | 2));
        int l1, c1, l2, c2;
        QVERIFY(ed.SelectionRange(l1, c1, l2, c2));
        QCOMPARE(QList<int>({l1, c1, l2, c2}), QList<int>({1, length / 2 - 7, 1, length / 2 - 4}));

        // A bookmark follows the text typed before it; undo takes it back.
        ed.MoveCaret(1, length - 9);
        ed.SetBookmark(1);
        ed.MoveCaret(1, 10);
        ed.InsertAtCaret(QStringLiteral("XY"));
        ed.MoveCaret(1, 1);
        ed.GotoBookmark(1);
        ed.CaretPosition(line, column);
        QCOMPARE(qMakePair(line, column), qMakePair(1, length - 7));
        QCOMPARE(ed.ReplaceText(QStringLiteral("cell"), QStringLiteral("c"), 1 | 8 | 32), int(bytes.count("cell")));
        ed.repaint();
        ed.UndoStep();
        ed.UndoStep();
        QCOMPARE(ed.LineLength(1), length);

        ed.SaveFile(out);
        QCOMPARE(TestEnv::readAll(out), bytes);
    }

    // Typing into a coloured line gives it the colours of its new text.
    void typedLineKeepsTrueColours_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("text") << QStringLiteral("abc");
        QTest::newRow("opens a tag") << QStringLiteral("<i x=");
        QTest::newRow("opens a comment") << QStringLiteral("<!--");
    }
    void typedLineKeepsTrueColours()
    {
        QFETCH(QString, typed);
        TOvcTextFileEditor ed;
        ed.resize(600, 400);
        ed.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ed));
        ed.SetRawText(QStringLiteral("<p class=\"a\">one &amp; two</p>\n<b>next</b>"));
        ed.repaint();
        ed.MoveCaret(1, 14);
        for (QChar ch : typed) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(&ed, &press);
        }
        ed.repaint();
        for (int n = 0; n < 2; ++n) {
            QList<Html::Token> tokens;
            Html::HtmlTokenizer::tokenize(ed.buffer().Text().LineText(n), ed.highlighter()->startState(n), &tokens);
            const QList<QTextLayout::FormatRange> f = ed.highlighter()->formats(n);
            QCOMPARE(f.size(), tokens.size());
            for (int i = 0; i < f.size(); ++i) {
                QCOMPARE(qMakePair(f[i].start, f[i].length), qMakePair(tokens[i].start, tokens[i].length));
                QCOMPARE(f[i].format.foreground().color(), ed.highlighter()->colorOf(tokens[i].kind));
            }
        }
    }

    void stateAfterLongLine_data()
    {
        QTest::addColumn<QString>("tail");      // ends the long line
        QTest::addColumn<QString>("inserted");  // typed in its middle
        QTest::addColumn<bool>("textBefore");   // the next line starts in the page's text
        QTest::addColumn<bool>("textAfter");
        QTest::newRow("a tag in the middle") << "" << "<i>x</i>" << true << true;
        QTest::newRow("a comment opened in the middle") << "" << "<!--" << true << false;
        QTest::newRow("a comment open at the end") << "<!-- open" << "<i>x</i>" << false << false;
        QTest::newRow("the open comment closed in the middle") << "<!-- a" << "<!-- b -->" << false << false;
        QTest::newRow("a comment from the middle closed at the end") << "-->" << "<!--" << true << true;
    }
    // The state a long line ends in reaches the next line, and an edit far
    // into the line changes it only where it should.
    void stateAfterLongLine()
    {
        QFETCH(QString, tail);
        QFETCH(QString, inserted);
        QFETCH(bool, textBefore);
        QFETCH(bool, textAfter);
        TOvcTextFileEditor ed;
        ed.resize(600, 400);
        ed.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ed));
        ed.SetRawText(QStringLiteral("<b>tag</b>").repeated(5000) + tail + QStringLiteral("\n<b>next</b>"));
        ed.MoveCaret(2, 1);
        ed.repaint();
        HtmlHighlighter* h = ed.highlighter();
        QCOMPARE(Html::HtmlTokenizer::isTextState(h->startState(1)), textBefore);
        ed.MoveCaret(1, 25001);
        ed.repaint();
        ed.InsertAtCaret(inserted);
        ed.repaint();
        QCOMPARE(Html::HtmlTokenizer::isTextState(h->startState(1)), textAfter);
        ed.UndoStep();
        ed.repaint();
        QCOMPARE(Html::HtmlTokenizer::isTextState(h->startState(1)), textBefore);
    }

    void farColours_data()
    {
        QTest::addColumn<bool>("wrap");
        QTest::newRow("wrap on") << true;
        QTest::newRow("wrap off") << false;
    }
    // Far into a line longer than the tokenizer takes at once the markup is
    // still coloured, and a comment opened there greys what follows it.
    void farColours()
    {
        QFETCH(bool, wrap);
        TOvcTextFileEditor ed;
        ed.resize(600, 400);
        ed.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ed));
        ed.SetWordWrap(wrap);
        ed.SetRawText(QStringLiteral("<b>tag</b>").repeated(3000));
        auto bluePixels = [&ed] {
            const QImage image = ed.viewport()->grab().toImage();
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    n += c.blue() > c.red() + 60 ? 1 : 0;
                }
            return n;
        };
        ed.MoveCaret(1, 30001);
        const int h = ed.horizontalScrollBar()->value(), v = ed.verticalScrollBar()->value();
        const int before = bluePixels();
        QVERIFY2(before > 100, qPrintable(QString::number(before)));
        ed.MoveCaret(1, 27001);
        ed.InsertAtCaret(QStringLiteral("<!--"));
        ed.MoveCaret(1, 30005);
        const int after = bluePixels();
        QVERIFY2(after < before / 10, qPrintable(QStringLiteral("%1 %2").arg(before).arg(after)));
        ed.UndoStep();
        ed.MoveCaret(1, 30001);
        ed.horizontalScrollBar()->setValue(h);
        ed.verticalScrollBar()->setValue(v);
        QCOMPARE(bluePixels(), before);
    }

    // Typing at the end of a line wider than the view, wrap off, moves the
    // view in steps, not a column at every key (each move redraws it all).
    void typingAtTheEndScrollsInSteps()
    {
        TOvcTextFileEditor ed;
        ed.resize(600, 400);
        ed.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ed));
        ed.SetWordWrap(false);
        ed.SetRawText(QString(3000, QLatin1Char('x')));
        ed.MoveCaret(1, 3001);
        QSet<int> values{ed.horizontalScrollBar()->value()};
        for (int i = 0; i < 20; ++i) {
            QTest::keyClick(ed.viewport(), Qt::Key_A);
            values.insert(ed.horizontalScrollBar()->value());
        }
        QVERIFY2(values.size() <= 2, qPrintable(QString::number(values.size())));
    }

    // A long line keeps its glyphs between drawings; a change of its colours
    // still shows.
    void longLineShowsNewColours()
    {
        TOvcTextFileEditor ed;
        ed.resize(600, 400);
        ed.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ed));
        ed.SetRawText(QStringLiteral("<b>tag</b>").repeated(1000));
        // Pixels of the text drawn in the tag's blue (grey: plain text).
        auto bluePixels = [&ed] {
            const QImage image = ed.viewport()->grab().toImage();
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    n += c.blue() > c.red() + 60 ? 1 : 0;
                }
            return n;
        };
        QVERIFY(bluePixels() > 100);
        ed.SetSyntaxHighlighting(false);
        QCOMPARE(bluePixels(), 0);
        ed.SetSyntaxHighlighting(true);
        QVERIFY(bluePixels() > 100);
    }
};

QTEST_MAIN(TstLongLine)
#include "tst_LongLine.moc"
