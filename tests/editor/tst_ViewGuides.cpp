// What the editing view draws besides the text: the wrap column, visible
// blanks and line ends, indentation guides and wrapped-row markers.
#include "TestEnv.h"
#include "editor/FoldModel.h"
#include "editor/TOvcTextFileEditor.h"
#include "editor/ViewGuides.h"

#include <QtTest>

class TstViewGuides : public QObject {
    Q_OBJECT
    TOvcTextFileEditor* ed = nullptr;

    // Pixels of the guides' faint colour on screen.
    int inked()
    {
        const QImage image = ed->viewport()->grab().toImage();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixelColor(x, y) == QColor(0xC8, 0xC8, 0xD0) ? 1 : 0;
        return n;
    }

private slots:
    void init()
    {
        ed = new TOvcTextFileEditor;
        ed->resize(600, 300);
        ed->show();
        QVERIFY(QTest::qWaitForWindowExposed(ed));
    }
    void cleanup() { delete ed; }

    void indentColumns_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("columns");
        QTest::newRow("none") << "a" << 4 << 0;
        QTest::newRow("spaces") << "   a" << 4 << 3;
        QTest::newRow("tab") << "\ta" << 4 << 4;
        QTest::newRow("space then tab") << " \ta" << 4 << 4;
        QTest::newRow("tab then spaces") << "\t  a" << 8 << 10;
        QTest::newRow("blank line") << "    " << 4 << -1;
        QTest::newRow("empty line") << "" << 4 << -1;
    }
    void indentColumns()
    {
        QFETCH(QString, line);
        QFETCH(int, tab);
        QFETCH(int, columns);
        QCOMPARE(ViewGuides::indentColumns(line, tab), columns);
    }

    void blankLineIndent_data()
    {
        QTest::addColumn<int>("above");
        QTest::addColumn<int>("below");
        QTest::addColumn<int>("indent");
        QTest::newRow("the smaller") << 8 << 4 << 4;
        QTest::newRow("same") << 4 << 4 << 4;
        QTest::newRow("nothing above") << -1 << 4 << -1;
        QTest::newRow("nothing below") << 8 << -1 << -1;
    }
    void blankLineIndent()
    {
        QFETCH(int, above);
        QFETCH(int, below);
        QFETCH(int, indent);
        QCOMPARE(ViewGuides::blankLineIndent(above, below), indent);
    }

    // Rows break at the column set, never wider than the window.
    void wrapColumn_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("rows");
        QTest::newRow("window") << 0 << 2;
        QTest::newRow("at 40") << 40 << 3;
        QTest::newRow("at 25") << 25 << 4;
        QTest::newRow("wider than the window") << 500 << 2;
    }
    void wrapColumn()
    {
        QFETCH(int, column);
        QFETCH(int, rows);
        ed->SetWordWrap(true);
        const int window = int((ed->viewport()->width() - 8) / QFontMetricsF(ed->font()).horizontalAdvance('M'));
        QVERIFY2(window > 50 && window < 100, qPrintable(QString::number(window)));
        ed->SetRawText(QString(100, QLatin1Char('x')) + "\nshort");
        ed->SetWrapAtColumn(column);
        const int expected = column == 0 || column > window ? (100 + window - 1) / window : rows;
        QCOMPARE(ed->displayRows(1), expected);
        QCOMPARE(ed->displayRows(2), 1);
        // Every offset of the long line still has its place on screen, row by row.
        const int step = column > 0 && column < window ? column : window;
        QCOMPARE(ed->cursorRect(step).top(), ed->cursorRect(0).top() + ed->lineHeight());
    }

    // Each guide draws when on and nothing when off.
    void guidesDraw_data()
    {
        QTest::addColumn<QString>("guide");
        QTest::newRow("wrap column") << "wrap column";
        QTest::newRow("whitespace") << "whitespace";
        QTest::newRow("indent guides") << "indent";
        QTest::newRow("wrap markers") << "markers";
    }
    void guidesDraw()
    {
        QFETCH(QString, guide);
        ed->SetWordWrap(true);
        ed->SetTabSize(4);
        ed->SetRawText("a b\n\t\tc d\n" + QString(200, QLatin1Char('w')));
        QCOMPARE(inked(), 0);
        auto set = [&](bool on) {
            if (guide == "wrap column")
                ed->SetWrapAtColumn(on ? 30 : 0);
            else if (guide == "whitespace")
                ed->SetShowWhitespace(on);
            else if (guide == "indent")
                ed->SetIndentGuides(on);
            else
                ed->SetWrapMarkers(on);
        };
        set(true);
        QVERIFY(inked() > 0);
        set(false);
        QCOMPARE(inked(), 0);
    }

    // Wrapped rows start at their line's indentation; every place of the
    // line is still reached by a click on where it is drawn.
    void wrappedRowsIndented_data()
    {
        QTest::addColumn<QString>("indent");
        QTest::addColumn<int>("hang");  // columns
        QTest::newRow("spaces") << "      " << 6;
        QTest::newRow("a tab") << "\t" << 4;
        QTest::newRow("none") << "" << 0;
    }
    void wrappedRowsIndented()
    {
        QFETCH(QString, indent);
        QFETCH(int, hang);
        ed->SetWordWrap(true);
        ed->SetTabSize(4);
        QString words;
        for (int i = 0; i < 40; ++i)
            words += QString("w%1 ").arg(i);
        ed->SetRawText("top\n" + indent + words + "\n" + indent + "\tend");
        const int flat = ed->displayRows(2);
        ed->SetWrapIndent(true);
        QVERIFY(ed->displayRows(2) >= flat);
        QVERIFY(ed->displayRows(2) > 1);
        const TextSnapshot& t = ed->buffer().Text();
        const qsizetype ls = t.LineStart(1), le = t.LineEndOffset(1);
        const int left = ed->cursorRect(ls).left();
        int rowsSeen = 0;
        for (qsizetype o = ls; o <= le; ++o) {
            const QRect r = ed->cursorRect(o);
            if (o > ls + indent.size() && r.top() != ed->cursorRect(o - 1).top()) {
                // A new row: it starts at the indentation.
                ++rowsSeen;
                QCOMPARE(r.left(), left + qRound(hang * QFontMetricsF(ed->font()).horizontalAdvance('M')));
            }
            QCOMPARE(ed->offsetAt(r.center() + QPoint(1, 0)), o);
        }
        QCOMPARE(rowsSeen + 1, ed->displayRows(2));
        // Typing at the line's end keeps the rows right.
        ed->setSelection(le, le);
        QTest::keyClicks(ed, " more words");
        const int rows = ed->displayRows(2);
        ed->SetWrapIndent(false);
        ed->SetWrapIndent(true);
        QCOMPARE(ed->displayRows(2), rows);
    }

    // A second view of the same text: edits seen in both, own caret, own
    // folds, one undo history; it lives on when the first goes.
    void secondView()
    {
        ed->SetRawText("<div>\n<p>a</p>\n</div>\nend");
        ed->MoveCaret(4, 1);
        auto* twin = new TOvcTextFileEditor(*ed);
        twin->resize(300, 200);
        twin->show();
        QVERIFY(twin->isTwin() && !ed->isTwin());
        QCOMPARE(twin->RawText(), ed->RawText());
        twin->MoveCaret(1, 1);
        QTest::keyClicks(twin, "x");
        QCOMPARE(ed->RawText(), "x<div>\n<p>a</p>\n</div>\nend");
        int line = 0, column = 0;
        ed->CaretPosition(line, column);
        QCOMPARE(line, 4);  // the first view's caret stays where it was
        QTest::keyClicks(ed, "y");
        QCOMPARE(twin->RawText(), "x<div>\n<p>a</p>\n</div>\nyend");
        QVERIFY(twin->ToggleFold(0));
        QCOMPARE(ed->folds().foldCount(), 0);
        QCOMPARE(twin->displayRows(2), 0);
        QCOMPARE(ed->displayRows(2), 1);
        ed->UndoStep();
        QCOMPARE(twin->RawText(), "x<div>\n<p>a</p>\n</div>\nend");
        twin->UndoStep();
        QCOMPARE(ed->RawText(), "<div>\n<p>a</p>\n</div>\nend");
        QVERIFY(ed->Modified() == twin->Modified());
        delete ed;
        ed = nullptr;
        QTest::keyClicks(twin, "z");
        QCOMPARE(twin->RawText(), "z<div>\n<p>a</p>\n</div>\nend");
        ed = twin;  // cleanup() deletes it
    }
};

VQ_TEST_MAIN(TstViewGuides)
#include "tst_ViewGuides.moc"
