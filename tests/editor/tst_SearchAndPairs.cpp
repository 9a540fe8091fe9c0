// The editing view's search (options, wrap, regular expressions, scope,
// every match marked and counted while the text changes), Replace on the
// match found, Tab on lines, Go to Line centring, and auto pairs.
#include "ScriptedPrompter.h"
#include "TestEnv.h"
#include "editor/GotoLine.h"
#include "editor/SearchMarks.h"
#include "editor/TOvcTextFileEditor.h"

#include <QRandomGenerator>
#include <QScrollBar>
#include <QtTest>

namespace {

// "|" caret, "^" anchor (as in the editor's key tables).
void setMarked(TOvcTextFileEditor* ed, QString text)
{
    const qsizetype anchorAt = text.indexOf(QLatin1Char('^'));
    qsizetype caret = text.indexOf(QLatin1Char('|'));
    qsizetype anchor = caret;
    if (anchorAt >= 0) {
        text.remove(anchorAt, 1);
        caret = text.indexOf(QLatin1Char('|'));
        anchor = anchorAt < caret ? anchorAt : anchorAt - 1;
    }
    text.remove(caret, 1);
    ed->SetRawText(text);
    ed->setSelection(anchor, caret);
}

QString marked(const TOvcTextFileEditor* ed)
{
    QString t = ed->RawText();
    const qsizetype caret = ed->caretOffset(), anchor = ed->anchorOffset();
    if (anchor != caret) {
        t.insert(std::max(caret, anchor), caret > anchor ? QLatin1Char('|') : QLatin1Char('^'));
        t.insert(std::min(caret, anchor), caret > anchor ? QLatin1Char('^') : QLatin1Char('|'));
    } else {
        t.insert(caret, QLatin1Char('|'));
    }
    return t;
}

using namespace SearchFlags;

} // namespace

class TstSearchAndPairs : public QObject {
    Q_OBJECT
    ScriptedPrompter* prompter = nullptr;
    TOvcTextFileEditor* ed = nullptr;

    void keys(const QString& list)
    {
        for (const QString& k : list.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (k.startsWith(QLatin1Char('\''))) {
                QTest::keyClicks(ed, k.mid(1, k.size() - 2));
                continue;
            }
            static const QHash<QString, QPair<Qt::Key, Qt::KeyboardModifiers>> names{
                {"BS", {Qt::Key_Backspace, {}}}, {"Tab", {Qt::Key_Tab, {}}}, {"S+Tab", {Qt::Key_Backtab, Qt::ShiftModifier}},
                {"Right", {Qt::Key_Right, {}}}, {"Down", {Qt::Key_Down, {}}}, {"C+Z", {Qt::Key_Z, Qt::ControlModifier}},
                {"Space", {Qt::Key_Space, {}}}};
            QVERIFY2(names.contains(k), qPrintable(k));
            QTest::keyClick(ed, names[k].first, names[k].second);
        }
    }

private slots:
    void initTestCase() { prompter = new ScriptedPrompter; }
    void cleanupTestCase() { delete prompter; }
    void init()
    {
        ed = new TOvcTextFileEditor;
        ed->resize(500, 300);
        ed->show();
        QVERIFY(QTest::qWaitForWindowExposed(ed));
    }
    void cleanup() { delete ed; }

    // FindNext: the options, wrap-around, regular expressions and the scope.
    void findNext_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("needle");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("after");  // "" not found
        QTest::addColumn<bool>("wrapped");
        QTest::addColumn<QString>("status");
        const QString text = "Cat cat concat\ncat|Cat";
        QTest::newRow("ignores case") << "|Cat cat" << "cat" << 1 << "^Cat| cat" << false << "1 of 2";
        QTest::newRow("match case") << "|Cat cat" << "cat" << 5 << "Cat ^cat|" << false << "1 of 1";
        QTest::newRow("whole word") << "con|cat cat" << "cat" << 65 << "concat ^cat|" << false << "1 of 1";
        QTest::newRow("up") << "cat x cat|" << "cat" << 3 << "cat x ^cat|" << false << "2 of 2";
        QTest::newRow("up from a selected match") << "cat x ^cat|" << "cat" << 3 << "^cat| x cat" << false << "1 of 2";
        QTest::newRow("wraps at the end") << "cat x ca|t" << "cat" << 1 << "^cat| x cat" << true << "1 of 2";
        QTest::newRow("wraps at the start, up") << "c|at x cat" << "cat" << 3 << "cat x ^cat|" << true << "2 of 2";
        QTest::newRow("nowhere") << "|cat" << "dog" << 1 << "" << false << "";
        QTest::newRow("regex") << "|a1 b22 c333" << "[a-z](\\d{2,})" << 129 << "a1 ^b22| c333" << false << "1 of 2";
        QTest::newRow("regex keeps to a line") << "|ab\ncd" << "b.c" << 129 << "" << false << "";
        QTest::newRow("regex anchors at lines") << "|xa\nab" << "^a" << 129 << "xa\n^a|b" << false << "1 of 1";
        QTest::newRow("regex up") << "a1 b22 c333|" << "\\d+" << 131 << "a1 b22 c^333|" << false << "3 of 3";
        QTest::newRow("regex whole word") << "|cat1 cat" << "c\\w+" << 193 << "^cat1| cat" << false << "1 of 2";
        QTest::newRow("regex match case") << "|Ab ab" << "a." << 133 << "Ab ^ab|" << false << "1 of 1";
        QTest::newRow("regex: empty matches are none") << "|bbb" << "a*" << 129 << "" << false << "";
        QTest::newRow("regex: bad pattern") << "|abc" << "(a" << 129 << "" << false << "";
        QTest::newRow("in selection") << "cat ^x cat cat| cat" << "cat" << 257 << "cat x ^cat| cat cat" << false
                                      << "1 of 2";
        QTest::newRow("in selection, up") << "cat ^x cat cat| cat" << "cat" << 259 << "cat x cat ^cat| cat" << false
                                          << "2 of 2";
        QTest::newRow("in selection, regex") << "a1 ^b2 c3| d4" << "\\w\\d" << 385 << "a1 ^b2| c3 d4" << false
                                             << "1 of 2";
        QTest::newRow("in selection, none inside") << "cat ^x| cat" << "cat" << 257 << "" << false << "";
        QTest::newRow("over a line end") << "|a\nb a\nb" << "a\nb" << 1 << "^a\nb| a\nb" << false << "1 of 2";
    }
    void findNext()
    {
        QFETCH(QString, before);
        QFETCH(QString, needle);
        QFETCH(int, flags);
        QFETCH(QString, after);
        QFETCH(bool, wrapped);
        QFETCH(QString, status);
        setMarked(ed, before);
        bool didWrap = false;
        QCOMPARE(ed->FindNext(needle, flags, &didWrap), !after.isEmpty());
        if (after.isEmpty()) {
            QCOMPARE(marked(ed), before);
            QCOMPARE(ed->searchError().isEmpty(), needle != "(a");
            return;
        }
        QCOMPARE(marked(ed), after);
        QCOMPARE(didWrap, wrapped);
        QCOMPARE(ed->searchStatus(), status);
    }

    // The scope stays while the selection moves from match to match.
    void inSelectionWalksTheScope()
    {
        setMarked(ed, "cat ^cat cat| cat");
        QVERIFY(ed->FindNext("cat", 257));
        QVERIFY(ed->FindNext("cat", 257));
        QCOMPARE(marked(ed), "cat cat ^cat| cat");
        bool wrapped = false;
        QVERIFY(ed->FindNext("cat", 257, &wrapped));
        QVERIFY(wrapped);
        QCOMPARE(marked(ed), "cat ^cat| cat cat");
        QCOMPARE(ed->searchMatchCount(), 2);
        ed->ClearSearchScope();
        QVERIFY(ed->FindNext("cat", 1));
        QCOMPARE(ed->searchStatus(), "3 of 4");
    }

    void replace_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("needle");
        QTest::addColumn<QString>("with");
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("after");
        QTest::newRow("the selected match, not the first") << "cat x ^cat| cat" << "cat" << "dog" << 17 << 1
                                                            << "cat x dog| cat";
        QTest::newRow("selected match, global") << "cat x ^cat| cat" << "cat" << "dog" << 25 << 1 << "cat x dog| cat";
        QTest::newRow("a selection that is no match: the next") << "^ca|t x cat" << "cat" << "dog" << 17 << 1
                                                                 << "cat x dog|";
        QTest::newRow("selected match, wrong case") << "cat x ^Cat| cat" << "cat" << "dog" << 21 << 1
                                                    << "cat x Cat dog|";
        QTest::newRow("up: the selected one") << "cat ^cat| cat" << "cat" << "dog" << 19 << 1 << "cat |dog cat";
        QTest::newRow("regex groups") << "|mail ann@host now" << "(\\w+)@(\\w+)" << "\\2 at $1" << 145 << 1
                                      << "mail host at ann| now";
        QTest::newRow("regex whole match, escapes") << "|a1 b2" << "\\w\\d" << "[\\0]\\t$$\\\\" << 161 << 2
                                                    << "[a1]\t$\\ [b2]\t$\\|";
        QTest::newRow("regex group beyond the pattern") << "|ab" << "(a)b" << "$2$1" << 161 << 1 << "a|";
        QTest::newRow("regex all, line by line") << "|x=1\ny=22" << "^(\\w)=(\\d+)$" << "$2=$1" << 161 << 2
                                                 << "1=x\n22=y|";
        QTest::newRow("all in selection") << "cat ^cat cat| cat" << "cat" << "dog" << 289 << 2 << "cat dog dog| cat";
        QTest::newRow("regex all in selection") << "a1 ^a2 a3| a4" << "a(\\d)" << "b\\1" << 417 << 2
                                                << "a1 b2 b3| a4";
    }
    void replace()
    {
        QFETCH(QString, before);
        QFETCH(QString, needle);
        QFETCH(QString, with);
        QFETCH(int, flags);
        QFETCH(int, count);
        QFETCH(QString, after);
        setMarked(ed, before);
        QCOMPARE(ed->ReplaceText(needle, with, flags), count);
        if (flags & ReplaceAll) {
            QString text = after;
            QCOMPARE(ed->RawText(), text.remove(QLatin1Char('|')));
            ed->UndoStep();
            QString original = before;
            QCOMPARE(ed->RawText(), original.remove(QLatin1Char('|')).remove(QLatin1Char('^')));
        } else {
            QCOMPARE(marked(ed), after);
        }
    }

    // The marked matches follow every edit as a fresh search over the
    // whole text would find them (plain, whole words, regular expressions).
    void marksFollowEdits_data()
    {
        QTest::addColumn<QString>("needle");
        QTest::addColumn<int>("flags");
        QTest::newRow("plain") << "ab" << 1;
        QTest::newRow("whole word, case") << "ab" << 69;
        QTest::newRow("regex") << "a+b?" << 129;
        QTest::newRow("regex at line starts") << "^b" << 129;
        QTest::newRow("plain over line ends") << "b\na" << 1;
        QTest::newRow("in selection") << "ab" << 257;
    }
    void marksFollowEdits()
    {
        QFETCH(QString, needle);
        QFETCH(int, flags);
        QRandomGenerator rng(12345);
        const QString alphabet = "abAB \n";
        QString text;
        for (int i = 0; i < 400; ++i)
            text += alphabet.at(rng.bounded(alphabet.size()));
        ed->SetRawText(text);
        ed->setSelection(100, 300);
        ed->MarkSearchMatches(needle, flags);
        for (int step = 0; step < 300; ++step) {
            const TextBuffer& b = ed->buffer();
            const qsizetype at = rng.bounded(int(b.Length()) + 1);
            const qsizetype take = std::min<qsizetype>(rng.bounded(4), b.Length() - at);
            QString put;
            for (int n = rng.bounded(4); n > 0; --n)
                put += alphabet.at(rng.bounded(alphabet.size()));
            ed->setSelection(at, at + take);
            ed->InsertAtCaret(put);
            const auto [lo, hi] = ed->searchMarks().scope();
            const std::vector<TextRange> want = TextFinder(needle, flags).findAll(b.Text(), lo, hi);
            const std::vector<TextRange>& have = ed->searchMarks().matches();
            QCOMPARE(int(have.size()), int(want.size()));
            for (size_t i = 0; i < want.size(); ++i) {
                QCOMPARE(have[i].start, want[i].start);
                QCOMPARE(have[i].length, want[i].length);
            }
        }
    }

    void tabAndShiftTab_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("tabType");
        QTest::newRow("lines") << "a^b\ncd|\nef" << "Tab" << "^\tab\n\tcd|\nef" << 0;
        QTest::newRow("lines, caret first") << "|ab\nc^d" << "Tab" << "|\tab\n\tcd^" << 0;
        QTest::newRow("one whole line") << "^ab|\ncd" << "Tab" << "^\tab|\ncd" << 0;
        QTest::newRow("one line from its indentation") << "  ^ab|" << "Tab" << "^\t  ab|" << 0;
        QTest::newRow("part of a line is replaced") << "a^b|c" << "Tab" << "a\t|c" << 0;
        QTest::newRow("empty lines stay empty") << "^a\n\nb|" << "Tab" << "^\ta\n\n\tb|" << 0;
        QTest::newRow("fixed tabs indent by spaces") << "^a\nb|" << "Tab" << "^    a\n    b|" << 1;
        QTest::newRow("one undo step") << "^a\nb\nc|" << "Tab C+Z" << "a\nb\nc|" << 0;
        QTest::newRow("shift+tab without a selection") << "\tab|c" << "S+Tab" << "ab|c" << 0;
        QTest::newRow("shift+tab: spaces then a tab") << "  \tab|" << "S+Tab" << "ab|" << 0;
        QTest::newRow("shift+tab: caret in the indentation") << "  |  ab" << "S+Tab" << "|ab" << 0;
        QTest::newRow("shift+tab lines") << "^\ta\n    b\nc|" << "S+Tab" << "^a\nb\nc|" << 0;
        QTest::newRow("shift+tab one undo step") << "^\ta\n\tb|" << "S+Tab C+Z" << "\ta\n\tb|" << 0;
    }
    void tabAndShiftTab()
    {
        QFETCH(QString, before);
        QFETCH(QString, keys);
        QFETCH(QString, after);
        QFETCH(int, tabType);
        ed->SetTabSize(4);
        ed->SetTabType(TOvcTextFileEditor::TabType(tabType));
        setMarked(ed, before);
        this->keys(keys);
        if (keys.endsWith("C+Z")) {
            QString text = after;
            QCOMPARE(ed->RawText(), text.remove(QLatin1Char('|')));
        } else {
            QCOMPARE(marked(ed), after);
        }
    }

    void gotoLineCentres_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<bool>("wrap");
        QTest::newRow("middle") << 250 << false;
        QTest::newRow("middle, wrapped") << 250 << true;
        QTest::newRow("near the start stays at the top") << 3 << false;
    }
    void gotoLineCentres()
    {
        QFETCH(int, line);
        QFETCH(bool, wrap);
        QStringList lines;
        for (int i = 1; i <= 500; ++i)
            lines << QString("line %1 %2").arg(i).arg(QString(i % 7 == 0 ? 120 : 3, QLatin1Char('x')));
        ed->SetWordWrap(wrap);
        ed->SetRawText(lines.join('\n'));
        prompter->inputAnswers.enqueue(QString::number(line));
        GotoLine::run(ed, *ed);
        int l = 0, c = 0;
        ed->CaretPosition(l, c);
        QCOMPARE(l, line);
        const int y = ed->cursorRect().center().y();
        const int middle = ed->viewport()->height() / 2;
        if (line < 10)
            QCOMPARE(ed->verticalScrollBar()->value(), 0);
        else
            QVERIFY2(std::abs(y - middle) <= ed->lineHeight(), qPrintable(QString("%1 vs %2").arg(y).arg(middle)));
    }

    void autoPairs_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("after");
        QTest::newRow("attribute value") << "<a href=|>" << "'\"'" << "<a href=\"|\">";
        QTest::newRow("typed over") << "<a href=|>" << "'\"x\"'" << "<a href=\"x\"|>";
        QTest::newRow("single quotes") << "<a title=|" << "'''" << "<a title='|'";
        QTest::newRow("apostrophe in text") << "don|" << "'''" << "don'|";
        QTest::newRow("quote in text") << "say |" << "'\"'" << "say \"|";
        QTest::newRow("bracket") << "f|" << "'('" << "f(|)";
        QTest::newRow("nested") << "|" << "'([{'" << "([{|}])";
        QTest::newRow("nested typed over") << "|" << "'([{}])'" << "([{}])|";
        QTest::newRow("not before a word") << "|abc" << "'('" << "(|abc";
        QTest::newRow("a closer not put in is typed") << "|)" << "')'" << ")|)";
        QTest::newRow("backspace takes the empty pair") << "f|" << "'(' BS" << "f|";
        QTest::newRow("backspace after typing in it") << "f|" << "'(a' BS BS" << "f|";
        QTest::newRow("selection wrapped") << "x ^abc| y" << "'('" << "x (^abc|) y";
        QTest::newRow("selection quoted") << "^abc|" << "'\"'" << "\"^abc|\"";
        QTest::newRow("leaving the line forgets") << "|\nx" << "'(' Down ')'" << "()\nx)|";
        QTest::newRow("undo takes the pair") << "a |" << "'(' C+Z" << "a |";
    }
    void autoPairs()
    {
        QFETCH(QString, before);
        QFETCH(QString, keys);
        QFETCH(QString, after);
        ed->SetAutoPairs(true);
        setMarked(ed, before);
        this->keys(keys);
        QCOMPARE(marked(ed), after);
    }

    void autoPairsOff()
    {
        QVERIFY(!ed->AutoPairs());
        setMarked(ed, "f|");
        keys("'(\"'");
        QCOMPARE(marked(ed), "f(\"|");
    }

    void bracketMarks_data()
    {
        QTest::addColumn<QString>("text");  // "|" caret
        QTest::addColumn<QList<int>>("marks");
        QTest::newRow("before an opener") << "f|(a[1], b)" << QList<int>{1, 9};
        QTest::newRow("after a closer") << "f(a[1]|, b)" << QList<int>{3, 5};
        QTest::newRow("nested, outer") << "|{a{b}c}" << QList<int>{0, 6};
        QTest::newRow("over lines") << "x(\n\n)|" << QList<int>{1, 4};
        QTest::newRow("unmatched") << "|(a" << QList<int>{};
        QTest::newRow("quote opening") << "<a b=|\"c\">" << QList<int>{5, 7};
        QTest::newRow("quote closing") << "<a b=\"c\"|>" << QList<int>{5, 7};
        QTest::newRow("none") << "a|b" << QList<int>{};
    }
    void bracketMarks()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, marks);
        setMarked(ed, text);
        ed->refreshTagMatch();
        QList<int> got;
        for (const TextRange& r : ed->matchedBrackets())
            got << int(r.start);
        QCOMPARE(got, marks);
    }
};

VQ_TEST_MAIN(TstSearchAndPairs)
#include "tst_SearchAndPairs.moc"
