// Folding: the regions a page has, the folds made of them, how rows, keys,
// searches and edits treat folded lines.
#include "ScriptedPrompter.h"
#include "TestEnv.h"
#include "editor/FoldGutter.h"
#include "editor/FoldModel.h"
#include "editor/TOvcTextFileEditor.h"

#include <QScrollBar>
#include <QtTest>

namespace {
QString describe(const std::vector<FoldRegion>& regions)
{
    QStringList out;
    for (const FoldRegion& r : regions)
        out << QString("%1-%2@%3").arg(r.first).arg(r.last).arg(r.depth);
    return out.join(' ');
}

// Lines 0-9.
const QString kPage = "<html>\n"          // 0
                      "<body>\n"          // 1
                      "<div>\n"           // 2
                      "  <p>one</p>\n"    // 3
                      "  <ul>\n"          // 4
                      "    <li>a\n"       // 5
                      "  </ul>\n"         // 6
                      "</div>\n"          // 7
                      "</body>\n"         // 8
                      "</html>";          // 9
} // namespace

class TstFolding : public QObject {
    Q_OBJECT
    ScriptedPrompter* prompter = nullptr;
    TOvcTextFileEditor* ed = nullptr;

    int caretLine() const
    {
        int l = 0, c = 0;
        ed->CaretPosition(l, c);
        return l - 1;
    }
    QList<int> shownLines() const
    {
        QList<int> out;
        for (const auto& [line, y] : ed->visibleLineTops())
            out << line;
        return out;
    }

private slots:
    void initTestCase() { prompter = new ScriptedPrompter; }
    void cleanupTestCase() { delete prompter; }
    void init()
    {
        ed = new TOvcTextFileEditor;
        ed->resize(500, 400);
        ed->show();
        QVERIFY(QTest::qWaitForWindowExposed(ed));
        prompter->beeps = 0;
    }
    void cleanup() { delete ed; }

    void regions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("regions");
        QTest::newRow("page") << kPage << "0-9@1 1-8@2 2-7@3 4-6@4";
        QTest::newRow("one line elements fold nothing") << "<p>a</p>\n<b>b</b>" << "";
        QTest::newRow("void elements") << "<div>\n<br>\n<img src=x>\n</div>" << "0-3@1";
        QTest::newRow("self-closed") << "<div>\n<x/>\n</div>" << "0-2@1";
        QTest::newRow("stray end tag passed over") << "<div>\n<h5>x</h3>\n</div>" << "0-2@1";
        QTest::newRow("open elements end with the parent")
            << "<div>\n<p>a\nb\n</div>" << "0-3@1 1-2@2";
        QTest::newRow("li ends at the next li") << "<ul>\n<li>a\nb\n<li>c\nd\n</ul>" << "0-5@1 1-2@2 3-4@2";
        QTest::newRow("upper case") << "<DIV>\nx\n</div>" << "0-2@1";
        QTest::newRow("tag over lines") << "<div\n class=a>\nx\n</div>" << "0-3@1";
        QTest::newRow("comment") << "<!-- a\nb\n-->\n<p>x</p>" << "0-2@1";
        QTest::newRow("one line comment") << "<!-- a -->\nx" << "";
        QTest::newRow("comment with a blank line") << "<div>\n<!--\n\nx -->\n</div>" << "0-4@1 1-3@2";
        QTest::newRow("tags in a comment") << "<!--\n<div>\n-->\nx" << "0-2@1";
        QTest::newRow("style and CSS rules")
            << "<style>\nbody {\n color: red;\n}\n@media x {\n a {\n  b: c;\n }\n}\n</style>"
            << "0-9@1 1-3@2 4-8@2 5-7@3";
        QTest::newRow("script element and blocks") << "<script>\nif (a) {\n x('{');\n}\n</script>" << "0-4@1 1-3@2";
        QTest::newRow("braces in text fold nothing") << "<p>{\n}</p>" << "0-1@1";
    }
    void regions()
    {
        QFETCH(QString, text);
        QFETCH(QString, regions);
        TextBuffer b;
        b.SetText(text);
        QCOMPARE(describe(FoldScan::regions(b.Text())), regions);
    }

    void markers_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("marker");
        QTest::newRow("open element") << "<div class=a>" << true;
        QTest::newRow("closed on the line") << "<p>a</p>" << false;
        QTest::newRow("void") << "<br><img src=x>" << false;
        QTest::newRow("one open of two") << "<b>x</b><div>" << true;
        QTest::newRow("end tag only") << "</div>" << false;
        QTest::newRow("comment left open") << "x <!-- note" << true;
        QTest::newRow("comment closed") << "<!-- a -->" << false;
        QTest::newRow("text") << "hello" << false;
    }
    void markers()
    {
        QFETCH(QString, line);
        QFETCH(bool, marker);
        QCOMPARE(FoldScan::mayStartRegion(line, 0), marker);
    }

    // Folded lines take no row, in both wrap modes; the marker's line stays.
    void foldHidesLines_data()
    {
        QTest::addColumn<bool>("wrap");
        QTest::newRow("wrapped") << true;
        QTest::newRow("not wrapped") << false;
    }
    void foldHidesLines()
    {
        QFETCH(bool, wrap);
        ed->SetWordWrap(wrap);
        ed->SetRawText(kPage);
        QVERIFY(ed->ToggleFold(2));  // <div> 2-7
        QCOMPARE(shownLines(), QList<int>({0, 1, 2, 8, 9}));
        QCOMPARE(ed->displayRows(4), 0);
        QVERIFY(ed->folds().isFolded(2));
        QCOMPARE(ed->cursorRect(ed->buffer().Text().LineStart(8)).top(), 3 * ed->lineHeight());
        // Down from the fold's line goes past it.
        ed->MoveCaret(3, 1);
        QTest::keyClick(ed, Qt::Key_Down);
        QCOMPARE(caretLine(), 8);
        QTest::keyClick(ed, Qt::Key_Up);
        QCOMPARE(caretLine(), 2);
        // Right at the end of the fold's line steps over the hidden lines, Left back.
        QTest::keyClick(ed, Qt::Key_End);
        QTest::keyClick(ed, Qt::Key_Right);
        QCOMPARE(caretLine(), 8);
        QTest::keyClick(ed, Qt::Key_Left);
        QCOMPARE(caretLine(), 2);
        QVERIFY(ed->folds().isFolded(2));
        QVERIFY(ed->ToggleFold(2));
        QCOMPARE(shownLines().size(), 10);
    }

    // Whatever puts the caret into folded lines opens them.
    void reachingFoldedLinesUnfolds_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("go to line") << "goto";
        QTest::newRow("search") << "search";
        QTest::newRow("bookmark") << "bookmark";
        QTest::newRow("selection") << "select";
    }
    void reachingFoldedLinesUnfolds()
    {
        QFETCH(QString, how);
        ed->SetRawText(kPage);
        ed->MoveCaret(6, 3);  // in <li>
        ed->SetBookmark(1);
        ed->MoveCaret(1, 1);
        QVERIFY(ed->ToggleFold(1));
        QCOMPARE(ed->folds().foldCount(), 1);
        if (how == "goto")
            ed->MoveCaret(6, 1);
        else if (how == "search")
            QVERIFY(ed->SearchText("<li>", SearchFlags::Plain));
        else if (how == "bookmark")
            ed->GotoBookmark(1);
        else
            ed->SelectRange(6, 1, 6, 3, true);
        QCOMPARE(caretLine(), 5);
        QCOMPARE(ed->folds().foldCount(), 0);
        QVERIFY(shownLines().contains(5));
    }

    // Folds move with edits above them and go when their lines do.
    void foldsFollowEdits()
    {
        ed->SetRawText(kPage);
        QVERIFY(ed->ToggleFold(4));  // <ul> 4-6
        ed->MoveCaret(1, 1);
        ed->InsertAtCaret("<!-- new -->\n\n");
        QVERIFY(ed->folds().isFolded(6));
        QCOMPARE(ed->folds().folds(), (std::vector<std::pair<int, int>>{{6, 8}}));
        QVERIFY(!shownLines().contains(7));
        ed->UndoStep();
        QVERIFY(ed->folds().isFolded(4));
        // Deleting the lines of the fold takes it away.
        const TextSnapshot& t = ed->buffer().Text();
        ed->setSelection(t.LineStart(3), t.LineStart(7));
        ed->DeleteSelection();
        QCOMPARE(ed->folds().foldCount(), 0);
        QCOMPARE(shownLines().size(), int(ed->buffer().LineCount()));
    }

    void foldToLevel_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QList<int>>("shown");
        QTest::newRow("all") << 0 << QList<int>{0};
        QTest::newRow("level 1") << 1 << QList<int>{0, 1, 9};
        QTest::newRow("level 2") << 2 << QList<int>{0, 1, 2, 8, 9};
        QTest::newRow("level 3") << 3 << QList<int>{0, 1, 2, 3, 4, 7, 8, 9};
        QTest::newRow("level 9: all open") << 9 << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    }
    void foldToLevel()
    {
        QFETCH(int, level);
        QFETCH(QList<int>, shown);
        ed->SetRawText(kPage);
        if (level == 0)
            ed->FoldAll();
        else
            ed->FoldToLevel(level);
        QCOMPARE(shownLines(), shown);
        // Unfold All brings every line back.
        ed->UnfoldAll();
        QCOMPARE(shownLines().size(), 10);
        // Fold to a level again from any state gives the same.
        ed->FoldAll();
        if (level > 0) {
            ed->FoldToLevel(level);
            QCOMPARE(shownLines(), shown);
        }
    }

    void foldKeysAndRestore()
    {
        ed->SetRawText(kPage);
        ed->MoveCaret(6, 5);  // in <li>: the innermost region is <ul> 4-6
        QTest::keyClick(ed, Qt::Key_BracketLeft, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(ed->folds().isFolded(4));
        QCOMPARE(caretLine(), 4);
        const std::vector<int> kept = ed->folds().foldedLines();
        QTest::keyClick(ed, Qt::Key_BracketRight, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(ed->folds().foldCount(), 0);
        ed->RestoreFolds(kept);
        QVERIFY(ed->folds().isFolded(4));
        // A line where no region starts folds nothing and says so.
        QVERIFY(!ed->ToggleFold(3));
        QCOMPARE(prompter->beeps, 1);
    }

    // The fold markers' strip and the count marker answer clicks.
    void clicks()
    {
        ed->SetFolding(true);
        ed->SetRawText(kPage);
        ed->repaint();
        QWidget* strip = ed->findChild<FoldGutter*>();
        QVERIFY(strip && strip->isVisible());
        QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(strip->width() / 2, 2 * ed->lineHeight() + 2));
        QVERIFY(ed->folds().isFolded(2));
        ed->repaint();
        // The "… 6 lines" marker after the fold's line opens it.
        const QRect end = ed->cursorRect(ed->buffer().Text().LineEndOffset(2));
        QTest::mouseClick(ed->viewport(), Qt::LeftButton, {}, end.center() + QPoint(int(ed->lineHeight() * 1.5), 0));
        QVERIFY(!ed->folds().isFolded(2));
    }

    // The caret never is in a folded line, whatever moves it.
    void caretNeverHidden()
    {
        ed->SetRawText(kPage);
        ed->FoldToLevel(2);
        const QList<Qt::Key> keys{Qt::Key_Down, Qt::Key_Right, Qt::Key_Up, Qt::Key_End, Qt::Key_Left,
                                  Qt::Key_PageDown, Qt::Key_Home, Qt::Key_PageUp};
        for (int i = 0; i < 60; ++i) {
            QTest::keyClick(ed, keys[(i * 7 + i / 3) % keys.size()], (i % 5 == 0) ? Qt::ShiftModifier : Qt::NoModifier);
            QVERIFY2(!ed->isLineHidden(caretLine()), qPrintable(QString("step %1 line %2").arg(i).arg(caretLine())));
        }
        QCOMPARE(ed->folds().foldCount(), 2);
    }
};

VQ_TEST_MAIN(TstFolding)
#include "tst_Folding.moc"
