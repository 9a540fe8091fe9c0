// Several carets and column (block) selections: what each key does at every
// caret, one undo step an action; copy and paste; Ctrl+D and Ctrl+click;
// blocks by columns with tabs and wide characters.
#include "ScriptedPrompter.h"
#include "TestEnv.h"
#include "editor/CaretSet.h"
#include "editor/TOvcTextFileEditor.h"

#include <QClipboard>
#include <QtTest>

namespace {

// "|" a caret, "[" and "]" the anchor and caret of a selection; the last
// caret is the editor's own.
void setCarets(TOvcTextFileEditor* ed, QString text)
{
    std::vector<CaretSel> carets;
    QString plain;
    qsizetype anchor = -1;
    for (QChar c : text) {
        if (c == '|')
            carets.push_back({plain.size(), plain.size(), false});
        else if (c == '[')
            anchor = plain.size();
        else if (c == ']')
            carets.push_back({anchor, plain.size(), false});
        else
            plain += c;
    }
    ed->SetRawText(plain);
    carets.back().primary = true;
    ed->SetCarets(carets);
}

QString marked(const TOvcTextFileEditor* ed)
{
    QString t = ed->RawText();
    const std::vector<CaretSel> all = ed->carets();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        if (it->anchor == it->caret) {
            t.insert(it->caret, '|');
        } else if (it->anchor < it->caret) {
            t.insert(it->caret, ']');
            t.insert(it->anchor, '[');
        } else {
            t.insert(it->anchor, '[');
            t.insert(it->caret, ']');
        }
    }
    return t;
}

} // namespace

class TstCarets : public QObject {
    Q_OBJECT
    ScriptedPrompter* prompter = nullptr;
    TOvcTextFileEditor* ed = nullptr;

    void keys(const QString& list)
    {
        for (const QString& k : list.split(' ', Qt::SkipEmptyParts)) {
            if (k.startsWith('\'')) {
                QTest::keyClicks(ed, k.mid(1, k.size() - 2));
                continue;
            }
            static const QHash<QString, Qt::Key> names{
                {"Left", Qt::Key_Left}, {"Right", Qt::Key_Right}, {"Up", Qt::Key_Up}, {"Down", Qt::Key_Down},
                {"Home", Qt::Key_Home}, {"End", Qt::Key_End}, {"BS", Qt::Key_Backspace}, {"Del", Qt::Key_Delete},
                {"Ret", Qt::Key_Return}, {"Esc", Qt::Key_Escape}, {"Z", Qt::Key_Z}, {"D", Qt::Key_D},
                {"C", Qt::Key_C}, {"V", Qt::Key_V}, {"X", Qt::Key_X}, {"Tab", Qt::Key_Tab}};
            Qt::KeyboardModifiers mods;
            QString name = k;
            if (name.startsWith("AS+"))
                mods = Qt::AltModifier | Qt::ShiftModifier;
            else if (name.startsWith("C+"))
                mods = Qt::ControlModifier;
            else if (name.startsWith("S+"))
                mods = Qt::ShiftModifier;
            name = name.mid(name.indexOf('+') + 1);
            QVERIFY2(names.contains(name), qPrintable(name));
            QTest::keyClick(ed, names[name], mods);
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
        ed->SetTabSize(4);
        QGuiApplication::clipboard()->clear();
    }
    void cleanup() { delete ed; }

    void keysAtEveryCaret_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("after");
        QTest::newRow("typing") << "a|b\nc|d\ne|f" << "'XY'" << "aXY|b\ncXY|d\neXY|f";
        QTest::newRow("typing replaces selections") << "[ab] [ab]" << "'X'" << "X| X|";
        QTest::newRow("backspace") << "a|b\nc|d" << "BS" << "|b\n|d";
        QTest::newRow("delete") << "a|b\nc|d" << "Del" << "a|\nc|";
        QTest::newRow("backspace takes selections") << "x[ab]y [cd]" << "BS" << "x|y |";
        QTest::newRow("carets that meet become one") << "a|b|" << "BS BS" << "|";
        QTest::newRow("enter") << "a|b\nc|d" << "Ret" << "a\n|b\nc\n|d";
        QTest::newRow("tab") << "|a\n|b" << "Tab" << "\t|a\n\t|b";
        QTest::newRow("right") << "a|b\nc|d" << "Right" << "ab|\ncd|";
        QTest::newRow("left ends selections at their start") << "[ab] [ab]" << "Left" << "|ab |ab";
        QTest::newRow("shift+right extends each") << "|ab |ab" << "S+Right" << "[a]b [a]b";
        QTest::newRow("home and end") << "ab|c\nd|ef" << "Home 'x' End 'y'" << "xabcy|\nxdefy|";
        QTest::newRow("down keeps the column") << "a|bc\nabc\nab|c\nabc" << "Down" << "abc\na|bc\nabc\nab|c";
        QTest::newRow("carets that meet going up become one") << "a|b\nc|d" << "Up" << "a|b\ncd";
        QTest::newRow("one undo step a key") << "a|b a|b" << "'X' 'Y' C+Z" << "aXb aXb";
        QTest::newRow("escape: one caret") << "a|b a|b" << "Esc 'X'" << "ab aX|b";
        QTest::newRow("ctrl+d: the word, then the next ones") << "f|oo bar foo foo" << "C+D C+D C+D 'X'"
                                                                << "X| bar X| X|";
        QTest::newRow("ctrl+d wraps to the start") << "foo [foo]" << "C+D 'X'" << "X| X|";
        QTest::newRow("alt+shift+arrows: a block") << "a|bcd\nabcd\nabcd" << "AS+Right AS+Right AS+Down AS+Down 'X'"
                                                   << "aX|d\naX|d\naX|d";
        QTest::newRow("alt+shift+down: carets in a column") << "ab|c\na\nabc" << "AS+Down AS+Down 'X'"
                                                            << "abX|c\naX|\nabX|c";
    }
    void keysAtEveryCaret()
    {
        QFETCH(QString, before);
        QFETCH(QString, keys);
        QFETCH(QString, after);
        setCarets(ed, before);
        this->keys(keys);
        if (keys.endsWith("C+Z"))
            QCOMPARE(ed->RawText(), after);
        else
            QCOMPARE(marked(ed), after);
    }

    void copyAndPaste_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("clipboard");  // before pasting; "" copies
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("copied");
        QTest::newRow("copy joins the selections") << "[ab] c [de]" << "" << "C+C" << "[ab] c [de]" << "ab\nde";
        QTest::newRow("cut") << "[ab] c [de]" << "" << "C+X" << "| c |" << "ab\nde";
        QTest::newRow("a line a caret") << "|a\n|b" << "1\n2\n" << "C+V" << "1|a\n2|b" << "1\n2\n";
        QTest::newRow("the whole text at each") << "|a\n|b" << "xy" << "C+V" << "xy|a\nxy|b" << "xy";
        QTest::newRow("three lines, two carets") << "|a |b" << "1\n2\n3" << "C+V" << "1\n2\n3|a 1\n2\n3|b"
                                                 << "1\n2\n3";
    }
    void copyAndPaste()
    {
        QFETCH(QString, before);
        QFETCH(QString, clipboard);
        QFETCH(QString, keys);
        QFETCH(QString, after);
        QFETCH(QString, copied);
        setCarets(ed, before);
        if (!clipboard.isEmpty())
            QGuiApplication::clipboard()->setText(clipboard);
        this->keys(keys);
        QCOMPARE(marked(ed), after);
        QCOMPARE(QGuiApplication::clipboard()->text(), copied);
    }

    // Blocks go by the columns shown: a tab reaches its stop, a wide
    // character takes two; a short line gets its caret at its end.
    void blocks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("block");  // line1, column1, line2, column2
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");
        QTest::newRow("plain") << "abcd\nabcd" << QList<int>{0, 1, 1, 3} << "X" << "aXd\naXd";
        QTest::newRow("short line") << "abcd\nab\nabcd" << QList<int>{0, 1, 2, 3} << "X" << "aXd\naX\naXd";
        QTest::newRow("tabs") << "\tx\nabcdx" << QList<int>{0, 4, 1, 5} << "Y" << "\tY\nabcdY";
        QTest::newRow("wide characters") << "\u4e2dx\nabx" << QList<int>{0, 2, 1, 3} << "Y" << "\u4e2dY\nabY";
        QTest::newRow("upwards") << "abcd\nabcd" << QList<int>{1, 3, 0, 1} << "X" << "aXd\naXd";
        QTest::newRow("empty columns: carets") << "abc\nabc" << QList<int>{0, 2, 1, 2} << "|" << "ab|c\nab|c";
    }
    void blocks()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, block);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        ed->SetRawText(text);
        ed->SelectBlock(block[0], block[1], block[2], block[3]);
        QCOMPARE(ed->caretCount(), std::abs(block[2] - block[0]) + 1);
        QTest::keyClicks(ed, typed);
        QCOMPARE(ed->RawText(), after);
    }

    void blockCopy()
    {
        ed->SetRawText("abcd\nab\nabcd");
        ed->SelectBlock(0, 1, 2, 3);
        QTest::keyClick(ed, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), "bc\nb\nbc");
    }

    void mouse()
    {
        ed->SetRawText("hello world\nsecond line\nthird");
        QWidget* vp = ed->viewport();
        QTest::mouseClick(vp, Qt::LeftButton, {}, ed->cursorRect(2).center());
        QTest::mouseClick(vp, Qt::LeftButton, Qt::ControlModifier, ed->cursorRect(14).center());
        QCOMPARE(marked(ed), "he|llo world\nse|cond line\nthird");
        // A plain click: one caret again.
        QTest::mouseClick(vp, Qt::LeftButton, {}, ed->cursorRect(5).center() + QPoint(0, 0));
        QCOMPARE(ed->caretCount(), 1);
        // Alt+drag: a block.
        QTest::mousePress(vp, Qt::LeftButton, Qt::AltModifier, ed->cursorRect(1).center() - QPoint(2, 0));
        const QPoint to = ed->cursorRect(12 + 4).center() - QPoint(2, 0);
        QMouseEvent move(QEvent::MouseMove, to, vp->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::AltModifier);
        QApplication::sendEvent(vp, &move);
        QTest::mouseRelease(vp, Qt::LeftButton, Qt::AltModifier, to);
        QCOMPARE(marked(ed), "h[ell]o world\ns[eco]nd line\nthird");
    }

    // The carets' bookkeeping: merged when they meet, kept ordered.
    void normalized_data()
    {
        QTest::addColumn<QList<int>>("in");  // anchor, caret pairs
        QTest::addColumn<QList<int>>("out");
        QTest::newRow("ordered") << QList<int>{5, 5, 1, 1} << QList<int>{1, 1, 5, 5};
        QTest::newRow("same place") << QList<int>{3, 3, 3, 3} << QList<int>{3, 3};
        QTest::newRow("caret in a selection") << QList<int>{1, 4, 2, 2} << QList<int>{1, 4};
        QTest::newRow("overlapping") << QList<int>{1, 4, 3, 6} << QList<int>{1, 6};
        QTest::newRow("backward kept") << QList<int>{4, 1, 3, 6} << QList<int>{6, 1};
        QTest::newRow("touching selections stay two") << QList<int>{1, 3, 3, 5} << QList<int>{1, 3, 3, 5};
    }
    void normalized()
    {
        QFETCH(QList<int>, in);
        QFETCH(QList<int>, out);
        std::vector<CaretSel> carets;
        for (int i = 0; i < in.size(); i += 2)
            carets.push_back({in[i], in[i + 1], false});
        QList<int> got;
        for (const CaretSel& c : CaretSet::normalized(carets))
            got << int(c.anchor) << int(c.caret);
        QCOMPARE(got, out);
    }
};

VQ_TEST_MAIN(TstCarets)
#include "tst_Carets.moc"
