#include "ScriptedPrompter.h"
#include "TestEnv.h"
#include "app/AppError.h"
#include "app/PathUtil.h"
#include "editor/LineNumberGutter.h"
#include "editor/TOvcTextFileEditor.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QSaveFile>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

// An editor whose final replace of the file fails, as on a full disk.
class FailingCommitEditor : public TOvcTextFileEditor {
protected:
    bool commitSave(QSaveFile& file) const override
    {
        file.cancelWriting();
        return false;
    }
};

class TstTOvcTextFileEditor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void documentWindowDefaults();
    void selectionRange_data();
    void selectionRange();
    void selectRange_data();
    void selectRange();
    void selectRangeLeavesEmptyTextAlone();
    void moveCaret_data();
    void moveCaret();
    void positionsCountTextLinesNotWrappedLines();
    void caretNeverSplitsSurrogatePair();
    void insertAtCaret_data();
    void insertAtCaret();
    void deleteSelection();
    void searchText_data();
    void searchText();
    void searchWalksThroughMatches();
    void searchFarFromCaret_data();
    void searchFarFromCaret();
    void replaceText_data();
    void replaceText();
    void replaceAllIsOneUndoStep();
    void undoRedoBeep();
    void clipboard_data();
    void clipboard();
    void readOnlyChangesNothing_data();
    void readOnlyChangesNothing();
    void clearAll();
    void bookmarksFollowText();
    void insertKeyTogglesOverwrite();
    void linesAndSize_data();
    void linesAndSize();
    void lineTextExpandsTabs_data();
    void lineTextExpandsTabs();
    void lineQueriesRefuseBadLines();
    void autoIndent_data();
    void autoIndent();
    void tabKey_data();
    void tabKey();
    void tabMovesFocusWhenNotWanted();
    void editingKeys_data();
    void editingKeys();
    void mouseGestures_data();
    void mouseGestures();
    void inputMethod_data();
    void inputMethod();
    void wrappedRowsFollowEdits();
    void screenReaderReadsLineAndCaret();
    void searchMarksOtherMatches();
    void tabbedLinesWrapAsEdited();
    void editedLongLineLaysOutAsFresh_data();
    void editedLongLineLaysOutAsFresh();
    void properties();
    void scrollBars_data();
    void scrollBars();

    void fileRoundTrip_data();
    void fileRoundTrip();
    void breakCharactersSurviveEdits();
    void undoRestoresLineEnds_data();
    void undoRestoresLineEnds();
    void convertLineEnds_data();
    void convertLineEnds();
    void reopenWithEncoding_data();
    void reopenWithEncoding();
    void noticesOnLoad_data();
    void noticesOnLoad();
    void unencodableTextIsNeverSavedLossy();
    void modifiedFlag();
    void newDocumentSave();
    void loadErrors_data();
    void loadErrors();
    void saveErrors_data();
    void saveErrors();
    void backup_data();
    void backup();
    void backupTwiceKeepsFirstSave();
    void failedSaveKeepsFileAndBackup_data();
    void failedSaveKeepsFileAndBackup();

private:
    QString path(const QString& name) const { return TestEnv::workDir() + QLatin1Char('/') + name; }
    void setText(const QString& text);
    void loadBytes(const QByteArray& bytes);
    QString selected() const;
    QPair<int, int> caret() const;

    ScriptedPrompter* m_prompter = nullptr;
    TOvcTextFileEditor* ed = nullptr;
};

using Pos = QPair<int, int>;

void TstTOvcTextFileEditor::initTestCase()
{
    m_prompter = new ScriptedPrompter;
}

void TstTOvcTextFileEditor::init()
{
    QDir(TestEnv::workDir()).removeRecursively();
    QDir().mkpath(TestEnv::workDir());
    ed = new TOvcTextFileEditor;
    ed->resize(500, 300);
    ed->show();
    QVERIFY(QTest::qWaitForWindowExposed(ed));
    m_prompter->beeps = 0;
    QGuiApplication::clipboard()->clear();
}

void TstTOvcTextFileEditor::cleanup()
{
    delete ed;
    ed = nullptr;
    QVERIFY(!QGuiApplication::overrideCursor());  // the hourglass always goes again
}

void TstTOvcTextFileEditor::setText(const QString& text)
{
    ed->SetRawText(text);
    ed->SetModified(false);
}

void TstTOvcTextFileEditor::loadBytes(const QByteArray& bytes)
{
    QVERIFY(TestEnv::writeAll(path(QStringLiteral("in.htm")), bytes));
    ed->LoadFile(path(QStringLiteral("in.htm")));
}

QString TstTOvcTextFileEditor::selected() const
{
    return ed->selectedText();
}

Pos TstTOvcTextFileEditor::caret() const
{
    int line = 0, column = 0;
    ed->CaretPosition(line, column);
    return {line, column};
}

// ------------------------------------------------------------------ basics

void TstTOvcTextFileEditor::documentWindowDefaults()
{
    QVERIFY(ed->WordWrap());
    QVERIFY(ed->AutoIndent());
    QVERIFY(ed->InsertMode());
    QVERIFY(ed->WantTab());
    QVERIFY(!ed->MakeBackup());
    QVERIFY(!ed->ReadOnly());
    QCOMPARE(ed->BackupExt(), QStringLiteral("BAK"));
    QCOMPARE(ed->Color(), QColor(Qt::white));
    QCOMPARE(ed->FixedFontColor(), QColor(Qt::black));
    QCOMPARE(ed->FixedFont().family(), QStringLiteral("Courier New"));
    QCOMPARE(ed->FixedFont().pointSize(), 10);
    QCOMPARE(ed->RightMargin(), 5);
    QCOMPARE(ed->TabSize(), 8);
    QCOMPARE(ed->tabType(), TOvcTextFileEditor::ttReal);
    QCOMPARE(ed->LineCount(), 1);
    QCOMPARE(ed->TextSize(), 0);
    QVERIFY(!ed->Modified());
    QCOMPARE(ed->fileFormat().lineEnd, TextFileFormat::CRLF);
}

void TstTOvcTextFileEditor::selectionRange_data()
{
    QTest::addColumn<Pos>("start");
    QTest::addColumn<QString>("keys");  // L, R, U, D: shifted arrows
    QTest::addColumn<bool>("isSelected");
    QTest::addColumn<Pos>("first");
    QTest::addColumn<Pos>("second");

    QTest::newRow("right to left on a line") << Pos(2, 4) << "LL" << true << Pos(2, 2) << Pos(2, 4);
    QTest::newRow("right to left over a line end") << Pos(2, 2) << "LL" << true << Pos(1, 4) << Pos(2, 2);
    QTest::newRow("upwards") << Pos(3, 2) << "U" << true << Pos(2, 2) << Pos(3, 2);
    QTest::newRow("left to right") << Pos(1, 2) << "RD" << true << Pos(1, 2) << Pos(2, 3);
    QTest::newRow("nothing selected") << Pos(2, 3) << "" << false << Pos(2, 3) << Pos(2, 3);
}

void TstTOvcTextFileEditor::selectionRange()
{
    QFETCH(Pos, start);
    QFETCH(QString, keys);
    QFETCH(bool, isSelected);
    QFETCH(Pos, first);
    QFETCH(Pos, second);

    setText(QStringLiteral("abc\ndef\nghi"));
    ed->MoveCaret(start.first, start.second);
    for (QChar k : keys) {
        const Qt::Key key = k == QLatin1Char('L') ? Qt::Key_Left
                          : k == QLatin1Char('R') ? Qt::Key_Right
                          : k == QLatin1Char('U') ? Qt::Key_Up
                                                  : Qt::Key_Down;
        QTest::keyClick(ed, key, Qt::ShiftModifier);
    }
    int l1 = 0, c1 = 0, l2 = 0, c2 = 0;
    QCOMPARE(ed->SelectionRange(l1, c1, l2, c2), isSelected);
    QCOMPARE(Pos(l1, c1), first);
    QCOMPARE(Pos(l2, c2), second);
}

void TstTOvcTextFileEditor::selectRange_data()
{
    QTest::addColumn<int>("l1");
    QTest::addColumn<int>("c1");
    QTest::addColumn<int>("l2");
    QTest::addColumn<int>("c2");
    QTest::addColumn<bool>("caretAtEnd");
    QTest::addColumn<QString>("selection");
    QTest::addColumn<Pos>("caretPos");

    // Lines: "abc", "defgh", "", "xy"
    QTest::newRow("caret at end") << 1 << 2 << 2 << 3 << true << "bc\nde" << Pos(2, 3);
    QTest::newRow("caret at start") << 1 << 2 << 2 << 3 << false << "bc\nde" << Pos(1, 2);
    QTest::newRow("column beyond line end") << 1 << 2 << 1 << 99 << true << "bc" << Pos(1, 4);
    QTest::newRow("line beyond the text") << 2 << 1 << 99 << 5 << true << "defgh\n\nxy" << Pos(4, 3);
    QTest::newRow("line and column below 1") << 0 << 0 << 1 << 3 << true << "ab" << Pos(1, 3);
    QTest::newRow("empty line") << 3 << 5 << 4 << 1 << true << "\n" << Pos(4, 1);
    QTest::newRow("second position first") << 2 << 3 << 1 << 2 << true << "bc\nde" << Pos(1, 2);
}

void TstTOvcTextFileEditor::selectRange()
{
    QFETCH(int, l1);
    QFETCH(int, c1);
    QFETCH(int, l2);
    QFETCH(int, c2);
    QFETCH(bool, caretAtEnd);
    QFETCH(QString, selection);
    QFETCH(Pos, caretPos);

    setText(QStringLiteral("abc\ndefgh\n\nxy"));
    ed->SelectRange(l1, c1, l2, c2, caretAtEnd);
    QCOMPARE(selected(), selection);
    QCOMPARE(caret(), caretPos);
}

void TstTOvcTextFileEditor::selectRangeLeavesEmptyTextAlone()
{
    ed->SelectRange(1, 1, 5, 5, true);
    QCOMPARE(caret(), Pos(1, 1));
    QVERIFY(!ed->hasSelection());
    QVERIFY(!ed->Modified());
}

void TstTOvcTextFileEditor::moveCaret_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<Pos>("expected");

    QTest::newRow("inside") << 2 << 2 << false << Pos(2, 2);
    QTest::newRow("line end") << 2 << 4 << false << Pos(2, 4);
    QTest::newRow("column beyond line end") << 2 << 99 << false << Pos(2, 4);
    QTest::newRow("line 0") << 0 << 1 << true << Pos();
    QTest::newRow("line after last") << 3 << 1 << true << Pos();
    QTest::newRow("column 0") << 1 << 0 << true << Pos();
    QTest::newRow("negative") << -1 << -1 << true << Pos();
}

void TstTOvcTextFileEditor::moveCaret()
{
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(bool, refused);
    QFETCH(Pos, expected);

    setText(QStringLiteral("abc\ndef"));
    ed->SelectRange(1, 1, 2, 2, true);
    QString error;
    try {
        ed->MoveCaret(line, column);
    } catch (const EEditorError& e) {
        error = e.message();
    }
    if (refused) {
        QCOMPARE(error, QStringLiteral("Invalid line or paragraph index"));
        QCOMPARE(selected(), QStringLiteral("abc\nd"));
    } else {
        QVERIFY(error.isEmpty());
        QCOMPARE(caret(), expected);
        QVERIFY(!ed->hasSelection());
    }
}

void TstTOvcTextFileEditor::positionsCountTextLinesNotWrappedLines()
{
    ed->resize(200, 300);
    setText(QString(500, QLatin1Char('x')) + QStringLiteral("\nend"));
    ed->repaint();
    QCoreApplication::processEvents();
    QVERIFY(ed->displayRows(1) > 1);  // shown wrapped
    QCOMPARE(ed->LineCount(), 2);
    ed->MoveCaret(1, 400);
    QCOMPARE(caret(), Pos(1, 400));
    ed->SelectRange(2, 1, 2, 4, true);
    QCOMPARE(selected(), QStringLiteral("end"));
    QCOMPARE(ed->LineLength(1), 500);
}

void TstTOvcTextFileEditor::caretNeverSplitsSurrogatePair()
{
    setText(QStringLiteral("a\U0001F600b"));
    ed->MoveCaret(1, 3);
    QCOMPARE(caret(), Pos(1, 2));
    ed->InsertAtCaret(QStringLiteral("x"));
    QCOMPARE(ed->RawText(), QStringLiteral("ax\U0001F600b"));
}

void TstTOvcTextFileEditor::insertAtCaret_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Pos>("from");
    QTest::addColumn<Pos>("to");
    QTest::addColumn<QString>("insert");
    QTest::addColumn<QString>("result");
    QTest::addColumn<Pos>("after");

    QTest::newRow("at caret") << "abc" << Pos(1, 2) << Pos(1, 2) << "<B>" << "a<B>bc" << Pos(1, 5);
    QTest::newRow("replaces selection") << "abc\ndef" << Pos(1, 2) << Pos(2, 2) << "X" << "aXef" << Pos(1, 3);
    QTest::newRow("line breaks") << "ab" << Pos(1, 2) << Pos(1, 2) << "1\n2\n" << "a1\n2\nb" << Pos(3, 1);
    QTest::newRow("cr lf") << "ab" << Pos(1, 2) << Pos(1, 2) << "x\r\ny" << "ax\nyb" << Pos(2, 2);
    QTest::newRow("at the end") << "ab" << Pos(1, 3) << Pos(1, 3) << "</HTML>" << "ab</HTML>" << Pos(1, 10);
    QTest::newRow("into empty text") << "" << Pos(1, 1) << Pos(1, 1) << "<P>" << "<P>" << Pos(1, 4);
}

void TstTOvcTextFileEditor::insertAtCaret()
{
    QFETCH(QString, text);
    QFETCH(Pos, from);
    QFETCH(Pos, to);
    QFETCH(QString, insert);
    QFETCH(QString, result);
    QFETCH(Pos, after);

    setText(text);
    ed->SelectRange(from.first, from.second, to.first, to.second, true);
    ed->InsertAtCaret(insert);
    QCOMPARE(ed->RawText(), result);
    QCOMPARE(caret(), after);
    QVERIFY(!ed->hasSelection());
    QVERIFY(ed->Modified());
}

void TstTOvcTextFileEditor::deleteSelection()
{
    setText(QStringLiteral("abc\ndef"));
    ed->MoveCaret(1, 2);
    ed->DeleteSelection();
    QCOMPARE(ed->RawText(), QStringLiteral("abc\ndef"));
    QVERIFY(!ed->Modified());
    ed->SelectRange(1, 2, 2, 2, false);
    ed->DeleteSelection();
    QCOMPARE(ed->RawText(), QStringLiteral("aef"));
    QCOMPARE(caret(), Pos(1, 2));
}

// ------------------------------------------------------------------ search

void TstTOvcTextFileEditor::searchText_data()
{
    QTest::addColumn<Pos>("from");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<int>("flags");
    QTest::addColumn<bool>("found");
    QTest::addColumn<Pos>("start");
    QTest::addColumn<Pos>("end");

    // Lines: "<TABLE>", "  <table border=1>", "concat cat CAT", "a\u00A0b c", 255 'y'
    QTest::newRow("1 finds upper case") << Pos(1, 1) << "<Table" << 1 << true << Pos(1, 1) << Pos(1, 7);
    QTest::newRow("1 finds lower case") << Pos(1, 2) << "<Table" << 1 << true << Pos(2, 3) << Pos(2, 9);
    QTest::newRow("1 nothing after caret") << Pos(3, 1) << "<Table" << 1 << false << Pos() << Pos();
    QTest::newRow("9 first match before caret") << Pos(3, 1) << "<Table" << 9 << true << Pos(1, 1) << Pos(1, 7);
    QTest::newRow("5 match case") << Pos(1, 1) << "<table" << 5 << true << Pos(2, 3) << Pos(2, 9);
    QTest::newRow("5 no such case") << Pos(1, 1) << "<Table" << 5 << false << Pos() << Pos();
    QTest::newRow("65 whole word") << Pos(1, 1) << "cat" << 65 << true << Pos(3, 8) << Pos(3, 11);
    QTest::newRow("69 whole word, case") << Pos(1, 1) << "CAT" << 69 << true << Pos(3, 12) << Pos(3, 15);
    QTest::newRow("3 backwards") << Pos(3, 15) << "cat" << 3 << true << Pos(3, 12) << Pos(3, 15);
    QTest::newRow("3 ends before caret") << Pos(3, 14) << "cat" << 3 << true << Pos(3, 8) << Pos(3, 11);
    QTest::newRow("3 none before") << Pos(1, 3) << "table" << 3 << false << Pos() << Pos();
    QTest::newRow("11 last in text") << Pos(1, 1) << "<table" << 11 << true << Pos(2, 3) << Pos(2, 9);
    QTest::newRow("nbsp is not a space") << Pos(1, 1) << "a b" << 1 << false << Pos() << Pos();
    QTest::newRow("nbsp found as itself") << Pos(1, 1) << "a\u00A0b" << 1 << true << Pos(4, 1) << Pos(4, 4);
    QTest::newRow("over a line end") << Pos(1, 1) << ">\n  <TABLE" << 1 << true << Pos(1, 7) << Pos(2, 9);
    QTest::newRow("255 characters") << Pos(1, 1) << QString(255, QLatin1Char('Y')) << 1 << true << Pos(5, 1)
                                    << Pos(5, 256);
    QTest::newRow("256 characters") << Pos(1, 1) << QString(256, QLatin1Char('y')) << 9 << false << Pos() << Pos();
    QTest::newRow("empty text") << Pos(1, 1) << "" << 9 << false << Pos() << Pos();
}

void TstTOvcTextFileEditor::searchText()
{
    QFETCH(Pos, from);
    QFETCH(QString, needle);
    QFETCH(int, flags);
    QFETCH(bool, found);
    QFETCH(Pos, start);
    QFETCH(Pos, end);

    setText(QStringLiteral("<TABLE>\n  <table border=1>\nconcat cat CAT\na\u00A0b c\n") + QString(255, QLatin1Char('y')));
    ed->MoveCaret(from.first, from.second);
    QCOMPARE(ed->SearchText(needle, flags), found);
    int l1 = 0, c1 = 0, l2 = 0, c2 = 0;
    const bool isSelected = ed->SelectionRange(l1, c1, l2, c2);
    if (found) {
        QVERIFY(isSelected);
        QCOMPARE(Pos(l1, c1), start);
        QCOMPARE(Pos(l2, c2), end);
        QCOMPARE(caret(), end);  // directly after the match
    } else {
        QVERIFY(!isSelected);
        QCOMPARE(caret(), from);
    }
    QVERIFY(!ed->Modified());
}

void TstTOvcTextFileEditor::searchWalksThroughMatches()
{
    setText(QStringLiteral("<b>1</b> <B>2</B>\n<b>3"));
    QList<Pos> starts;
    while (ed->SearchText(QStringLiteral("<b>"), 1)) {
        int l1, c1, l2, c2;
        ed->SelectionRange(l1, c1, l2, c2);
        starts << Pos(l1, c1);
        QVERIFY(starts.size() < 10);
    }
    QCOMPARE(starts, (QList<Pos>{{1, 1}, {1, 10}, {2, 1}}));
    starts.clear();
    while (ed->SearchText(QStringLiteral("<b>"), 2)) {
        int l1, c1, l2, c2;
        ed->SelectionRange(l1, c1, l2, c2);
        starts << Pos(l1, c1);
        // Caret after the match; the next backward search starts before it.
        QVERIFY(starts.size() < 10);
    }
    QCOMPARE(starts, (QList<Pos>{{1, 10}, {1, 1}}));
}

void TstTOvcTextFileEditor::searchFarFromCaret_data()
{
    QTest::addColumn<Pos>("from");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<int>("flags");
    QTest::addColumn<bool>("found");
    QTest::addColumn<Pos>("start");

    // Line 10: "cat concat", line 2500: "concat CAT cat", others "line N"
    QTest::newRow("forward") << Pos(20, 1) << "cat" << 1 << true << Pos(2500, 4);
    QTest::newRow("forward, whole word") << Pos(20, 1) << "cat" << 65 << true << Pos(2500, 8);
    QTest::newRow("forward, whole word and case") << Pos(20, 1) << "cat" << 69 << true << Pos(2500, 12);
    QTest::newRow("backward from the end") << Pos(3000, 1) << "cat" << 2 << true << Pos(2500, 12);
    QTest::newRow("backward") << Pos(2400, 1) << "cat" << 2 << true << Pos(10, 8);
    QTest::newRow("backward, whole word") << Pos(2400, 1) << "cat" << 66 << true << Pos(10, 1);
    QTest::newRow("nowhere") << Pos(1, 1) << "dog" << 9 << false << Pos();
}

void TstTOvcTextFileEditor::searchFarFromCaret()
{
    QFETCH(Pos, from);
    QFETCH(QString, needle);
    QFETCH(int, flags);
    QFETCH(bool, found);
    QFETCH(Pos, start);

    QStringList lines;
    for (int i = 1; i <= 3000; ++i)
        lines << QStringLiteral("line %1").arg(i);
    lines[9] = QStringLiteral("cat concat");
    lines[2499] = QStringLiteral("concat CAT cat");
    setText(lines.join(QLatin1Char('\n')));
    ed->MoveCaret(from.first, from.second);
    QCOMPARE(ed->SearchText(needle, flags), found);
    if (found) {
        int l1, c1, l2, c2;
        QVERIFY(ed->SelectionRange(l1, c1, l2, c2));
        QCOMPARE(Pos(l1, c1), start);
        QCOMPARE(Pos(l2, c2), Pos(start.first, start.second + 3));
    }
}

void TstTOvcTextFileEditor::replaceText_data()
{
    QTest::addColumn<Pos>("from");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("result");

    // Text: "cat concat Cat\ncat"
    QTest::newRow("40 all") << Pos(2, 4) << "cat" << "dog" << 40 << 4 << "dog condog dog\ndog";
    QTest::newRow("44 all, match case") << Pos(2, 4) << "cat" << "dog" << 44 << 3 << "dog condog Cat\ndog";
    QTest::newRow("104 all, whole words") << Pos(2, 4) << "cat" << "dog" << 104 << 3 << "dog concat dog\ndog";
    QTest::newRow("24 first in text") << Pos(2, 4) << "cat" << "dog" << 24 << 1 << "dog concat Cat\ncat";
    QTest::newRow("16 next after caret") << Pos(1, 2) << "cat" << "dog" << 16 << 1 << "cat condog Cat\ncat";
    QTest::newRow("32 all after caret") << Pos(1, 5) << "cat" << "dog" << 32 << 3 << "cat condog dog\ndog";
    QTest::newRow("34 all before caret") << Pos(1, 12) << "cat" << "dog" << 34 << 2 << "dog condog Cat\ncat";
    QTest::newRow("48 both: all") << Pos(1, 1) << "cat" << "dog" << 48 << 4 << "dog condog dog\ndog";
    QTest::newRow("not found") << Pos(1, 1) << "xyz" << "dog" << 40 << 0 << "cat concat Cat\ncat";
    QTest::newRow("no replace flag") << Pos(1, 1) << "cat" << "dog" << 8 << 0 << "cat concat Cat\ncat";
    QTest::newRow("over a line end") << Pos(1, 1) << "Cat\ncat" << "X" << 40 << 1 << "cat concat X";
    QTest::newRow("line break in replacement") << Pos(1, 1) << "concat" << "con\ncat" << 40 << 1
                                               << "cat con\ncat Cat\ncat";
    QTest::newRow("empty replacement") << Pos(1, 1) << "cat " << "" << 40 << 2 << "conCat\ncat";
    QTest::newRow("replacement grows") << Pos(1, 1) << "cat" << "catcat" << 40 << 4
                                       << "catcat concatcat catcat\ncatcat";
    QTest::newRow("256 character text") << Pos(1, 1) << QString(256, QLatin1Char('c')) << "x" << 40 << 0
                                        << "cat concat Cat\ncat";
    QTest::newRow("256 character replacement") << Pos(1, 1) << "cat" << QString(256, QLatin1Char('x')) << 40 << 0
                                               << "cat concat Cat\ncat";
}

void TstTOvcTextFileEditor::replaceText()
{
    QFETCH(Pos, from);
    QFETCH(QString, needle);
    QFETCH(QString, replacement);
    QFETCH(int, flags);
    QFETCH(int, count);
    QFETCH(QString, result);

    setText(QStringLiteral("cat concat Cat\ncat"));
    ed->MoveCaret(from.first, from.second);
    QCOMPARE(ed->ReplaceText(needle, replacement, flags), count);
    QCOMPARE(ed->RawText(), result);
    QCOMPARE(ed->Modified(), count > 0);
}

void TstTOvcTextFileEditor::replaceAllIsOneUndoStep()
{
    QByteArray file;
    for (int i = 0; i < 3000; ++i)
        file += "x <b>bold</b> y\r\n";
    loadBytes(file);
    const QString original = ed->RawText();
    ed->SetBookmark(1);  // at 1:1
    ed->MoveCaret(2000, 6);  // "bold" after the first "<b>"
    ed->SetBookmark(2);

    QCOMPARE(ed->ReplaceText(QStringLiteral("<b>"), QStringLiteral("<strong>"), 40), 3000);
    QString replaced = original;
    replaced.replace(QLatin1String("<b>"), QLatin1String("<strong>"));
    QCOMPARE(ed->RawText(), replaced);
    // The text replaced just before the mark goes in after it: the mark keeps its place.
    ed->GotoBookmark(2);
    QCOMPARE(caret(), Pos(2000, 3));

    ed->UndoStep();
    QCOMPARE(ed->RawText(), original);
    QVERIFY(!ed->Modified());
    ed->RedoStep();
    QCOMPARE(ed->RawText(), replaced);
    ed->UndoStep();
    QCOMPARE(m_prompter->beeps, 0);
    ed->UndoStep();  // loading is not an edit
    QCOMPARE(m_prompter->beeps, 1);
    QCOMPARE(ed->RawText(), original);
}

void TstTOvcTextFileEditor::undoRedoBeep()
{
    ed->UndoStep();
    QCOMPARE(m_prompter->beeps, 1);
    ed->RedoStep();
    QCOMPARE(m_prompter->beeps, 2);
    ed->InsertAtCaret(QStringLiteral("a"));
    ed->UndoStep();
    QCOMPARE(ed->RawText(), QString());
    ed->RedoStep();
    QCOMPARE(ed->RawText(), QStringLiteral("a"));
    QCOMPARE(m_prompter->beeps, 2);
    ed->RedoStep();
    QCOMPARE(m_prompter->beeps, 3);
    // The control's own keys go the same way.
    QTest::keyClick(ed, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(ed->RawText(), QString());
    QTest::keyClick(ed, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_prompter->beeps, 4);
}

void TstTOvcTextFileEditor::clipboard_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Pos>("from");
    QTest::addColumn<Pos>("to");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("clipBefore");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("clipAfter");

    QTest::newRow("copy") << "abc\ndef" << Pos(1, 2) << Pos(2, 2) << "copy" << "" << "abc\ndef" << "bc\nd";
    QTest::newRow("copy keeps nbsp") << "a\u00A0b" << Pos(1, 1) << Pos(1, 4) << "copy" << "" << "a\u00A0b"
                                     << "a\u00A0b";
    QTest::newRow("copy without selection") << "abc" << Pos(1, 2) << Pos(1, 2) << "copy" << "old" << "abc" << "old";
    QTest::newRow("cut") << "abc\ndef" << Pos(1, 2) << Pos(2, 2) << "cut" << "" << "aef" << "bc\nd";
    QTest::newRow("cut by key") << "abc\ndef" << Pos(1, 2) << Pos(2, 2) << "ctrl+x" << "" << "aef" << "bc\nd";
    QTest::newRow("paste replaces selection") << "abc" << Pos(1, 1) << Pos(1, 2) << "paste" << "XY\nZ"
                                              << "XY\nZbc" << "XY\nZ";
    QTest::newRow("paste by key") << "abc" << Pos(1, 4) << Pos(1, 4) << "ctrl+v" << "<P>" << "abc<P>" << "<P>";
    QTest::newRow("paste nothing") << "abc" << Pos(1, 1) << Pos(1, 2) << "paste" << "" << "abc" << "";
}

void TstTOvcTextFileEditor::clipboard()
{
    QFETCH(QString, text);
    QFETCH(Pos, from);
    QFETCH(Pos, to);
    QFETCH(QString, operation);
    QFETCH(QString, clipBefore);
    QFETCH(QString, result);
    QFETCH(QString, clipAfter);

    setText(text);
    QGuiApplication::clipboard()->setText(clipBefore);
    ed->SelectRange(from.first, from.second, to.first, to.second, true);
    if (operation == QLatin1String("copy"))
        ed->CopySelection();
    else if (operation == QLatin1String("cut"))
        ed->CutSelection();
    else if (operation == QLatin1String("paste"))
        ed->PasteClipboard();
    else if (operation == QLatin1String("ctrl+x"))
        QTest::keyClick(ed, Qt::Key_X, Qt::ControlModifier);
    else
        QTest::keyClick(ed, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(ed->RawText(), result);
    QCOMPARE(QGuiApplication::clipboard()->text(), clipAfter);
}

void TstTOvcTextFileEditor::readOnlyChangesNothing_data()
{
    QTest::addColumn<QString>("operation");
    for (const char* op : {"insert", "delete", "cut", "paste", "clear", "replace all", "replace one", "undo",
                           "typing", "copy"})
        QTest::newRow(op) << QString::fromLatin1(op);
}

void TstTOvcTextFileEditor::readOnlyChangesNothing()
{
    QFETCH(QString, operation);
    setText(QStringLiteral("abc\ndef"));
    ed->InsertAtCaret(QStringLiteral("x"));  // something to undo
    const QString before = ed->RawText();
    ed->SetModified(false);
    ed->SetReadOnly(true);
    QGuiApplication::clipboard()->setText(QStringLiteral("CLIP"));
    ed->SelectRange(1, 2, 1, 4, true);

    if (operation == QLatin1String("insert"))
        ed->InsertAtCaret(QStringLiteral("new"));
    else if (operation == QLatin1String("delete"))
        ed->DeleteSelection();
    else if (operation == QLatin1String("cut"))
        ed->CutSelection();
    else if (operation == QLatin1String("paste"))
        ed->PasteClipboard();
    else if (operation == QLatin1String("clear"))
        ed->ClearAll();
    else if (operation == QLatin1String("replace all"))
        QCOMPARE(ed->ReplaceText(QStringLiteral("a"), QStringLiteral("b"), 40), 0);
    else if (operation == QLatin1String("replace one"))
        QCOMPARE(ed->ReplaceText(QStringLiteral("a"), QStringLiteral("b"), 24), 0);
    else if (operation == QLatin1String("undo"))
        ed->UndoStep();
    else if (operation == QLatin1String("typing"))
        QTest::keyClicks(ed, QStringLiteral("zz"));
    else
        ed->CopySelection();

    QCOMPARE(ed->RawText(), before);
    QVERIFY(!ed->Modified());
    QCOMPARE(QGuiApplication::clipboard()->text(),
             operation == QLatin1String("copy") ? QStringLiteral("ab") : QStringLiteral("CLIP"));
    QCOMPARE(m_prompter->beeps, operation == QLatin1String("undo") ? 1 : 0);
}

void TstTOvcTextFileEditor::clearAll()
{
    setText(QStringLiteral("abc\ndef"));
    ed->MoveCaret(2, 2);
    ed->SetBookmark(3);
    ed->ClearAll();
    QCOMPARE(ed->RawText(), QString());
    QCOMPARE(caret(), Pos(1, 1));
    QCOMPARE(ed->LineCount(), 1);
    QVERIFY(ed->Modified());
    ed->UndoStep();
    QCOMPARE(ed->RawText(), QStringLiteral("abc\ndef"));
    ed->MoveCaret(1, 1);
    ed->GotoBookmark(3);  // cleared with the text
    QCOMPARE(caret(), Pos(1, 1));
}

void TstTOvcTextFileEditor::bookmarksFollowText()
{
    setText(QStringLiteral("line1\nline2\nline3"));
    ed->MoveCaret(3, 3);
    ed->SetBookmark(1);
    ed->MoveCaret(2, 5);
    ed->SetBookmark(9);
    ed->SetBookmark(10);  // ignored
    ed->SetBookmark(-1);  // ignored

    ed->MoveCaret(1, 1);
    ed->InsertAtCaret(QStringLiteral("new\n"));
    ed->MoveCaret(4, 1);
    ed->InsertAtCaret(QStringLiteral("xx"));
    ed->MoveCaret(1, 1);
    ed->GotoBookmark(1);
    QCOMPARE(caret(), Pos(4, 5));
    ed->GotoBookmark(9);
    QCOMPARE(caret(), Pos(3, 5));
    // Typing at a bookmark leaves the mark where it was set.
    ed->InsertAtCaret(QStringLiteral("zz"));
    ed->GotoBookmark(9);
    QCOMPARE(caret(), Pos(3, 5));

    // Unset and out of range numbers leave the caret where it is.
    ed->MoveCaret(1, 2);
    ed->GotoBookmark(5);
    ed->GotoBookmark(10);
    ed->GotoBookmark(-1);
    QCOMPARE(caret(), Pos(1, 2));

    // The text around a bookmark goes: it stays where the text was.
    ed->SelectRange(3, 1, 4, 6, true);
    ed->DeleteSelection();
    ed->GotoBookmark(1);
    QCOMPARE(caret(), Pos(3, 1));

    // A newly loaded file has no bookmarks.
    loadBytes("a\r\nb\r\n");
    ed->MoveCaret(2, 1);
    ed->GotoBookmark(1);
    QCOMPARE(caret(), Pos(2, 1));
}

void TstTOvcTextFileEditor::insertKeyTogglesOverwrite()
{
    setText(QStringLiteral("abc"));
    ed->MoveCaret(1, 1);
    const int narrow = ed->cursorWidth();
    QTest::keyClick(ed, Qt::Key_Insert);
    QVERIFY(!ed->InsertMode());
    QVERIFY(ed->cursorWidth() > narrow);  // block caret
    QTest::keyClicks(ed, QStringLiteral("X"));
    QCOMPARE(ed->RawText(), QStringLiteral("Xbc"));
    ed->InsertAtCaret(QStringLiteral("<B>"));  // the program inserts, never overwrites
    QCOMPARE(ed->RawText(), QStringLiteral("X<B>bc"));
    QTest::keyClick(ed, Qt::Key_Insert);
    QVERIFY(ed->InsertMode());
    QCOMPARE(ed->cursorWidth(), narrow);
    QTest::keyClicks(ed, QStringLiteral("Y"));
    QCOMPARE(ed->RawText(), QStringLiteral("X<B>Ybc"));
}

void TstTOvcTextFileEditor::linesAndSize_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines");
    QTest::addColumn<qint64>("size");

    QTest::newRow("empty") << "" << 1 << qint64(0);
    QTest::newRow("one line") << "abc" << 1 << qint64(3);
    QTest::newRow("two lines") << "ab\ncd" << 2 << qint64(6);
    QTest::newRow("empty last line") << "ab\n" << 2 << qint64(4);
    QTest::newRow("empty lines") << "\n\n" << 3 << qint64(4);
    QTest::newRow("line separator stays in its line") << "a\u2028b" << 1 << qint64(3);
}

void TstTOvcTextFileEditor::linesAndSize()
{
    QFETCH(QString, text);
    QFETCH(int, lines);
    QFETCH(qint64, size);
    setText(text);
    QCOMPARE(ed->LineCount(), lines);
    QCOMPARE(ed->TextSize(), size);
}

void TstTOvcTextFileEditor::lineTextExpandsTabs_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("tabSize");
    QTest::addColumn<QString>("expanded");

    QTest::newRow("tab size 4") << "\tab\tc" << 4 << "    ab  c";
    QTest::newRow("tab size 8") << "\tab\tc" << 8 << "        ab      c";
    QTest::newRow("tab at a stop") << "abcd\tx" << 4 << "abcd    x";
    QTest::newRow("no tabs, nbsp kept") << "a\u00A0b" << 8 << "a\u00A0b";
}

void TstTOvcTextFileEditor::lineTextExpandsTabs()
{
    QFETCH(QString, text);
    QFETCH(int, tabSize);
    QFETCH(QString, expanded);
    setText(QStringLiteral("first\n") + text);
    ed->SetTabSize(tabSize);
    QCOMPARE(ed->LineText(2), expanded);
    QCOMPARE(ed->LineLength(2), int(expanded.size()));
    QCOMPARE(ed->LineText(1), QStringLiteral("first"));
}

void TstTOvcTextFileEditor::lineQueriesRefuseBadLines()
{
    setText(QStringLiteral("a\nb"));
    for (int line : {0, 3, -5}) {
        QVERIFY_THROWS_EXCEPTION(EEditorError, ed->LineText(line));
        QVERIFY_THROWS_EXCEPTION(EEditorError, ed->LineLength(line));
    }
}

void TstTOvcTextFileEditor::autoIndent_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("autoIndent");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QString>("result");
    QTest::addColumn<Pos>("after");

    QTest::newRow("spaces") << "    abc" << 8 << true << false << "    abc\n    " << Pos(2, 5);
    QTest::newRow("tabs") << "\t\tx" << 4 << true << false << "\t\tx\n\t\t" << Pos(2, 3);
    QTest::newRow("inside the indent") << "    abc" << 3 << true << false << "  \n    abc" << Pos(2, 3);
    QTest::newRow("no indent") << "abc" << 4 << true << false << "abc\n" << Pos(2, 1);
    QTest::newRow("off") << "    abc" << 8 << false << false << "    abc\n" << Pos(2, 1);
    QTest::newRow("shift: a line end too") << "  abc" << 6 << true << true << "  abc\n  " << Pos(2, 3);
    QTest::newRow("shift, off") << "  abc" << 3 << false << true << "  \nabc" << Pos(2, 1);
}

void TstTOvcTextFileEditor::autoIndent()
{
    QFETCH(QString, line);
    QFETCH(int, column);
    QFETCH(bool, autoIndent);
    QFETCH(bool, shift);
    QFETCH(QString, result);
    QFETCH(Pos, after);

    setText(line);
    ed->SetAutoIndent(autoIndent);
    ed->MoveCaret(1, column);
    QTest::keyClick(ed, Qt::Key_Return, shift ? Qt::ShiftModifier : Qt::NoModifier);
    QCOMPARE(ed->RawText(), result);
    QCOMPARE(ed->LineCount(), 2);
    QCOMPARE(caret(), after);
    ed->UndoStep();
    QCOMPARE(ed->RawText(), line);
}

void TstTOvcTextFileEditor::tabKey_data()
{
    QTest::addColumn<int>("tabType");
    QTest::addColumn<bool>("wantTab");
    QTest::addColumn<QString>("text");  // caret at the end
    QTest::addColumn<QString>("result");

    const int real = TOvcTextFileEditor::ttReal;
    const int fixed = TOvcTextFileEditor::ttFixed;
    const int smart = TOvcTextFileEditor::ttSmart;
    QTest::newRow("real") << real << true << "ab" << "ab\t";
    QTest::newRow("fixed") << fixed << true << "ab" << "ab  ";
    QTest::newRow("fixed after a tab") << fixed << true << "\tx" << "\tx   ";
    QTest::newRow("smart under next word") << smart << true << "<td>   value  x\n" << "<td>   value  x\n       ";
    QTest::newRow("smart from inside a word") << smart << true << "<td>   value  x\n<t" << "<td>   value  x\n<t     ";
    QTest::newRow("smart without a word") << smart << true << "ab\nabcdef" << "ab\nabcdef\t";
    QTest::newRow("smart on first line") << smart << true << "ab" << "ab\t";
    QTest::newRow("tab moves focus") << real << false << "ab" << "ab";
}

void TstTOvcTextFileEditor::tabKey()
{
    QFETCH(int, tabType);
    QFETCH(bool, wantTab);
    QFETCH(QString, text);
    QFETCH(QString, result);

    setText(text);
    ed->SetTabSize(4);
    ed->SetTabType(TOvcTextFileEditor::TabType(tabType));
    ed->SetWantTab(wantTab);
    ed->MoveCaret(ed->LineCount(), 999);
    QTest::keyClick(ed, Qt::Key_Tab);
    QCOMPARE(ed->RawText(), result);
    QCOMPARE(ed->tabChangesFocus(), !wantTab);
}

void TstTOvcTextFileEditor::tabMovesFocusWhenNotWanted()
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* editor = new TOvcTextFileEditor;
    auto* next = new QLineEdit;
    layout->addWidget(editor);
    layout->addWidget(next);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    editor->SetWantTab(false);
    editor->FocusEditor();
    QCOMPARE(QApplication::focusWidget(), editor);
    QTest::keyClick(editor, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), next);
    QCOMPARE(editor->RawText(), QString());

    editor->SetWantTab(true);
    editor->FocusEditor();
    QTest::keyClick(editor, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), editor);
    QCOMPARE(editor->RawText(), QStringLiteral("\t"));
}

// The text with "|" at the caret and "^" at the anchor of a selection.
static QString markedText(const TOvcTextFileEditor* ed)
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

static void setMarkedText(TOvcTextFileEditor* ed, QString text)
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

void TstTOvcTextFileEditor::editingKeys_data()
{
    QTest::addColumn<QString>("before");  // "|" caret, "^" anchor
    QTest::addColumn<QString>("keys");    // key names, "C+" Ctrl, "S+" Shift, 'text' typed
    QTest::addColumn<QString>("after");

    QTest::newRow("right, down") << "ab|c\ndef" << "Right Down" << "abc\ndef|";
    QTest::newRow("up keeps the column") << "abcdef\nx\nabcdef|" << "Up Up" << "abcdef|\nx\nabcdef";
    QTest::newRow("up on the first line") << "ab|c" << "Up" << "|abc";
    QTest::newRow("down on the last line") << "a|bc" << "Down" << "abc|";
    QTest::newRow("home") << "  ab|c" << "Home" << "|  abc";
    QTest::newRow("end") << "a|bc\nd" << "End" << "abc|\nd";
    QTest::newRow("ctrl+home") << "a\nb|\nc" << "C+Home" << "|a\nb\nc";
    QTest::newRow("ctrl+end") << "a\nb|\nc" << "C+End" << "a\nb\nc|";
    QTest::newRow("ctrl+right by word") << "|foo bar.baz" << "C+Right C+Right" << "foo bar|.baz";
    QTest::newRow("ctrl+right over a line end") << "foo|\nbar" << "C+Right" << "foo\n|bar";
    QTest::newRow("ctrl+left by word") << "foo bar|" << "C+Left" << "foo |bar";
    QTest::newRow("shift+ctrl+right") << "|foo bar" << "CS+Right" << "^foo |bar";
    QTest::newRow("shift+end") << "a|bc" << "S+End" << "a^bc|";
    QTest::newRow("shift+home") << "ab|c" << "S+Home" << "|ab^c";
    QTest::newRow("shift+down") << "a|b\ncd" << "S+Down" << "a^b\nc|d";
    QTest::newRow("shift+ctrl+end") << "a|b\ncd" << "CS+End" << "a^b\ncd|";
    QTest::newRow("left ends a selection at its start") << "a^bc|d" << "Left" << "a|bcd";
    QTest::newRow("right ends a selection at its end") << "a|bc^d" << "Right" << "abc|d";
    QTest::newRow("backspace") << "ab|c" << "BS" << "a|c";
    QTest::newRow("backspace joins lines") << "a\n|b" << "BS" << "a|b";
    QTest::newRow("backspace at the start") << "|ab" << "BS" << "|ab";
    QTest::newRow("delete") << "a|bc" << "Del" << "a|c";
    QTest::newRow("delete joins lines") << "a|\nb" << "Del" << "a|b";
    QTest::newRow("ctrl+backspace") << "foo bar|" << "C+BS" << "foo |";
    QTest::newRow("ctrl+delete") << "|foo bar" << "C+Del" << "|bar";
    QTest::newRow("backspace takes a selection") << "^abc|d" << "BS" << "|d";
    QTest::newRow("typing replaces a selection") << "^ab|c" << "'X'" << "X|c";
    QTest::newRow("surrogate pair: right") << "a|\U0001F600b" << "Right" << "a\U0001F600|b";
    QTest::newRow("surrogate pair: backspace") << "a\U0001F600|b" << "BS" << "a|b";
    QTest::newRow("overwrite") << "|abc" << "Ins 'XY'" << "XY|c";
    QTest::newRow("overwrite stops at the line end") << "a|b\nc" << "Ins 'XYZ'" << "aXYZ|\nc";
    QTest::newRow("tab indents selected lines") << "^ab\ncd|" << "Tab" << "^\tab\n\tcd|";
    QTest::newRow("shift+tab unindents them") << "^\tab\n    cd|" << "S+Tab" << "^ab\ncd|";
    QTest::newRow("typed keys undo as a word") << "|" << "'ab' 'cd' C+Z" << "|";
}

void TstTOvcTextFileEditor::editingKeys()
{
    QFETCH(QString, before);
    QFETCH(QString, keys);
    QFETCH(QString, after);
    setMarkedText(ed, before);
    for (const QString& k : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (k.startsWith(QLatin1Char('\''))) {
            QTest::keyClicks(ed, k.mid(1, k.size() - 2));
            continue;
        }
        Qt::KeyboardModifiers mods;
        QString name = k;
        if (name.startsWith(QLatin1String("CS+")))
            mods = Qt::ControlModifier | Qt::ShiftModifier;
        else if (name.startsWith(QLatin1String("C+")))
            mods = Qt::ControlModifier;
        else if (name.startsWith(QLatin1String("S+")))
            mods = Qt::ShiftModifier;
        name = name.mid(name.indexOf(QLatin1Char('+')) + 1);
        static const QHash<QString, Qt::Key> names{
            {"Left", Qt::Key_Left}, {"Right", Qt::Key_Right}, {"Up", Qt::Key_Up}, {"Down", Qt::Key_Down},
            {"Home", Qt::Key_Home}, {"End", Qt::Key_End}, {"BS", Qt::Key_Backspace}, {"Del", Qt::Key_Delete},
            {"Ins", Qt::Key_Insert}, {"Tab", Qt::Key_Tab}, {"Z", Qt::Key_Z}};
        QVERIFY2(names.contains(name), qPrintable(name));
        const Qt::Key key = name == QLatin1String("Tab") && mods == Qt::ShiftModifier ? Qt::Key_Backtab : names[name];
        QTest::keyClick(ed, key, mods);
    }
    QCOMPARE(markedText(ed), after);
}

void TstTOvcTextFileEditor::mouseGestures_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<QString>("after");
    // Text: "hello world\nsecond line"; gestures at offsets 3 and 8.
    QTest::newRow("click") << "click" << "hel|lo world\nsecond line";
    QTest::newRow("shift+click") << "shift" << "hel^lo wo|rld\nsecond line";
    QTest::newRow("double-click selects a word") << "double" << "hello ^world|\nsecond line";
    QTest::newRow("triple-click selects a line") << "triple" << "^hello world\n|second line";
    QTest::newRow("drag selects") << "drag" << "hel^lo wo|rld\nsecond line";
    QTest::newRow("click in the gutter") << "gutter" << "hello world\n|second line";
}

void TstTOvcTextFileEditor::mouseGestures()
{
    QFETCH(QString, gesture);
    QFETCH(QString, after);
    setText(QStringLiteral("hello world\nsecond line"));
    QWidget* vp = ed->viewport();
    auto at = [&](qsizetype offset) { return ed->cursorRect(offset).center() + QPoint(0, 0); };
    if (gesture == QLatin1String("click")) {
        QTest::mouseClick(vp, Qt::LeftButton, {}, at(3));
    } else if (gesture == QLatin1String("shift")) {
        QTest::mouseClick(vp, Qt::LeftButton, {}, at(3));
        QTest::mouseClick(vp, Qt::LeftButton, Qt::ShiftModifier, at(8));
    } else if (gesture == QLatin1String("double")) {
        QTest::mouseDClick(vp, Qt::LeftButton, {}, at(8));
    } else if (gesture == QLatin1String("triple")) {
        QTest::mouseDClick(vp, Qt::LeftButton, {}, at(3));
        QTest::mouseClick(vp, Qt::LeftButton, {}, at(3));
    } else if (gesture == QLatin1String("drag")) {
        QTest::mousePress(vp, Qt::LeftButton, {}, at(3));
        QMouseEvent move(QEvent::MouseMove, at(8), vp->mapToGlobal(at(8)), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(vp, &move);
        QTest::mouseRelease(vp, Qt::LeftButton, {}, at(8));
    } else {
        QTest::mouseClick(ed->gutter(), Qt::LeftButton, {}, QPoint(5, at(15).y()));
    }
    QCOMPARE(markedText(ed), after);
}

void TstTOvcTextFileEditor::inputMethod_data()
{
    QTest::addColumn<QString>("preedit");
    QTest::addColumn<QString>("commit");
    QTest::addColumn<int>("replaceFrom");  // relative to the caret
    QTest::addColumn<int>("replaceLength");
    QTest::addColumn<QString>("after");
    QTest::newRow("commit") << "" << "\u00E9" << 0 << 0 << "ab\u00E9|c";
    QTest::newRow("preedit only: the text waits") << "ka" << "" << 0 << 0 << "ab|c";
    QTest::newRow("commit replacing the character before") << "" << "X" << -1 << 1 << "aX|c";
}

void TstTOvcTextFileEditor::inputMethod()
{
    QFETCH(QString, preedit);
    QFETCH(QString, commit);
    QFETCH(int, replaceFrom);
    QFETCH(int, replaceLength);
    QFETCH(QString, after);
    setMarkedText(ed, QStringLiteral("ab|c"));
    QInputMethodEvent e(preedit, {QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, int(preedit.size()), 1)});
    e.setCommitString(commit, replaceFrom, replaceLength);
    QApplication::sendEvent(ed, &e);
    QCOMPARE(markedText(ed), after);
    // The input method learns where the caret stands and what is around it.
    const QString line = ed->RawText();
    QCOMPARE(ed->inputMethodQuery(Qt::ImSurroundingText).toString(), line);
    QCOMPARE(ed->inputMethodQuery(Qt::ImCursorPosition).toInt(), int(ed->caretOffset()));
    const QRect r = ed->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QVERIFY(ed->rect().contains(r.center()));
}

void TstTOvcTextFileEditor::wrappedRowsFollowEdits()
{
    // A long paragraph of words wraps into rows; its rows and the caret's
    // row follow typing, and lines keep their own numbers.
    ed->resize(300, 300);
    setText(QStringLiteral("short\n") + QStringLiteral("word ").repeated(60) + QStringLiteral("\nend"));
    const int rows = ed->displayRows(2);
    QVERIFY(rows > 3);
    ed->MoveCaret(2, 1);
    QTest::keyClicks(ed, QStringLiteral("word ").repeated(20));
    QVERIFY(ed->displayRows(2) > rows);
    QCOMPARE(ed->LineCount(), 3);
    ed->SelectRange(2, 1, 2, 101, true);
    QTest::keyClick(ed, Qt::Key_Delete);
    QCOMPARE(ed->displayRows(2), rows);
    ed->SetWordWrap(false);
    QCOMPARE(ed->displayRows(2), 1);
    // The caret below the paragraph is drawn below its last row.
    ed->SetWordWrap(true);
    ed->MoveCaret(3, 1);
    QCOMPARE(ed->cursorRect().top() - ed->cursorRect(0).top(), (rows + 1) * ed->lineHeight());
}

void TstTOvcTextFileEditor::searchMarksOtherMatches()
{
    // Pixels of the background that marks matches of the last search.
    auto marked = [this] {
        const QImage image = ed->viewport()->grab().toImage();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixelColor(x, y) == QColor(0xC8, 0xF0, 0xC8) ? 1 : 0;
        return n;
    };
    setText(QStringLiteral("cat dog\ncat\ncat"));
    QCOMPARE(marked(), 0);
    QVERIFY(ed->SearchText(QStringLiteral("cat"), 1 | 8));
    QVERIFY(marked() > 0);
    QVERIFY(!ed->SearchText(QStringLiteral("cow"), 1));  // nothing found: the marks stay
    QVERIFY(marked() > 0);
    loadBytes("cat\r\n");
    QCOMPARE(marked(), 0);
}

void TstTOvcTextFileEditor::screenReaderReadsLineAndCaret()
{
    setText(QStringLiteral("first line\nsecond line"));
    ed->SelectRange(2, 1, 2, 7, true);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(ed);
    QVERIFY(a);
    QCOMPARE(a->role(), QAccessible::EditableText);
    QCOMPARE(a->text(QAccessible::Value), QStringLiteral("second line"));
    QAccessibleTextInterface* t = a->textInterface();
    QVERIFY(t);
    QCOMPARE(t->characterCount(), 22);
    QCOMPARE(t->cursorPosition(), 17);
    int start = 0, end = 0;
    t->selection(0, &start, &end);
    QCOMPARE(start, 11);
    QCOMPARE(end, 17);
    QCOMPARE(t->text(6, 10), QStringLiteral("line"));
    t->setCursorPosition(3);
    QCOMPARE(caret(), Pos(1, 4));
    QCOMPARE(t->selectionCount(), 0);
    QCOMPARE(t->offsetAtPoint(t->characterRect(13).center()), 13);
}

void TstTOvcTextFileEditor::editedLongLineLaysOutAsFresh_data()
{
    QTest::addColumn<bool>("wrap");
    QTest::newRow("wrap on") << true;
    QTest::newRow("wrap off") << false;
}

// Rows counted for a whole text (indented lines around the wrap width) are
// the rows a line gets when it is edited and broken again on its own.
void TstTOvcTextFileEditor::tabbedLinesWrapAsEdited()
{
    ed->resize(400, 300);
    ed->SetWordWrap(true);
    QStringList lines;
    for (const QString& indent : {QString(), QStringLiteral("\t"), QStringLiteral("  \t\t"), QStringLiteral("\t \t x\t")})
        for (int m = 20; m < 70; ++m)
            lines << indent + QStringLiteral("x").repeated(m);
    setText(lines.join(QLatin1Char('\n')));
    QList<int> counted;
    for (int i = 1; i <= lines.size(); ++i)
        counted << ed->displayRows(i);
    QVERIFY(counted.contains(1) && counted.contains(2));
    for (int i = 1; i <= lines.size(); ++i) {
        ed->MoveCaret(i, 1);
        ed->InsertAtCaret(QStringLiteral("y"));
        ed->SelectRange(i, 1, i, 2, true);
        ed->DeleteSelection();
        QVERIFY2(ed->displayRows(i) == counted[i - 1], qPrintable(QStringLiteral("line %1").arg(i)));
    }
}

// Rows and columns of a long line are worked out again only near an edit:
// after random edits the line lays out as in an editor given the text anew.
void TstTOvcTextFileEditor::editedLongLineLaysOutAsFresh()
{
    QFETCH(bool, wrap);
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator rng(seed);
    const QStringList words{"a", "<td>", "word", "longerword", "\u4E2D\u6587", "e\u0301", " ", "  ", "x\U0001F600"};
    QString line;
    while (line.size() < 6000)
        line += words[int(rng.bounded(words.size()))];
    ed->SetWordWrap(wrap);
    ed->SetScrollBars(TOvcTextFileEditor::ssNone);  // the same width for both
    setText(line + QStringLiteral("\nnext"));
    TOvcTextFileEditor fresh;
    fresh.resize(ed->size());
    fresh.SetWordWrap(wrap);
    fresh.SetScrollBars(TOvcTextFileEditor::ssNone);
    fresh.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fresh));
    for (int step = 0; step < 60; ++step) {
        const qsizetype length = ed->buffer().Text().LineLength(0);
        const qsizetype at = rng.bounded(int(length));
        ed->setSelection(at, at);
        ed->cursorRect();  // the line's rows and columns are known before the edit
        if (rng.bounded(2))
            ed->InsertAtCaret(words[int(rng.bounded(words.size()))]);
        else
            ed->SelectRange(1, int(at) + 1, 1, int(at + rng.bounded(8)) + 1, true), ed->DeleteSelection();
        fresh.SetRawText(ed->RawText());
        fresh.SetTabSize(8);  // everything laid out anew
        QVERIFY2(ed->displayRows(1) == fresh.displayRows(1), qPrintable(QStringLiteral("seed %1 step %2: %3 %4 width %5 %6").arg(seed).arg(step).arg(ed->displayRows(1)).arg(fresh.displayRows(1)).arg(ed->viewport()->width()).arg(fresh.viewport()->width())));
        for (int k = 0; k < 8; ++k) {
            qsizetype o = rng.bounded(int(ed->buffer().Text().LineLength(0)));
            if (ed->buffer().Text().CharAt(o).isLowSurrogate())
                --o;
            QVERIFY2(ed->cursorRect(o).topLeft() - ed->cursorRect(0).topLeft()
                         == fresh.cursorRect(o).topLeft() - fresh.cursorRect(0).topLeft(),
                     qPrintable(QStringLiteral("seed %1, step %2, offset %3").arg(seed).arg(step).arg(o)));
        }
    }
}

void TstTOvcTextFileEditor::properties()
{
    ed->SetColor(QColor(10, 20, 30));
    QCOMPARE(ed->Color(), QColor(10, 20, 30));
    QCOMPARE(ed->viewport()->palette().color(QPalette::Base), QColor(10, 20, 30));
    ed->SetFixedFontColor(Qt::blue);
    QCOMPARE(ed->FixedFontColor(), QColor(Qt::blue));

    ed->SetFixedFont(QFont(QStringLiteral("Courier New"), 14));
    QCOMPARE(ed->FixedFont().pointSize(), 14);
    ed->SetTabSize(3);
    const qreal space = QFontMetricsF(ed->font()).horizontalAdvance(QLatin1Char(' '));
    QCOMPARE(ed->tabStopDistance(), space * 3);

    ed->SetWordWrap(false);
    QVERIFY(!ed->WordWrap());
    ed->SetWordWrap(true);
    QVERIFY(ed->WordWrap());
    ed->SetWrapColumn(70);
    QCOMPARE(ed->WrapColumn(), 70);
    ed->SetRightMargin(9);
    QCOMPARE(ed->RightMargin(), 9);
    ed->SetBackupExt(QStringLiteral("OLD"));
    QCOMPARE(ed->BackupExt(), QStringLiteral("OLD"));
}

void TstTOvcTextFileEditor::scrollBars_data()
{
    QTest::addColumn<int>("setting");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<bool>("vertical");
    QTest::newRow("none") << int(TOvcTextFileEditor::ssNone) << false << false;
    QTest::newRow("horizontal") << int(TOvcTextFileEditor::ssHorizontal) << true << false;
    QTest::newRow("vertical") << int(TOvcTextFileEditor::ssVertical) << false << true;
    QTest::newRow("both") << int(TOvcTextFileEditor::ssBoth) << true << true;
}

void TstTOvcTextFileEditor::scrollBars()
{
    QFETCH(int, setting);
    QFETCH(bool, horizontal);
    QFETCH(bool, vertical);
    ed->SetScrollBars(TOvcTextFileEditor::ScrollBars(setting));
    QCOMPARE(ed->scrollBars(), TOvcTextFileEditor::ScrollBars(setting));
    QCOMPARE(ed->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff, horizontal);
    QCOMPARE(ed->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff, vertical);
}

// ------------------------------------------------------------------ files

static QByteArray latin1AllBytes()
{
    QByteArray b;
    for (int i = 0; i < 256; ++i) {
        if (i != '\n' && i != '\r')
            b.append(char(i));
    }
    return b + "\r\n";
}

void TstTOvcTextFileEditor::fileRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QByteArray>("edited");  // after typing "é" and Enter at 1:1; empty: not checked

    QTest::newRow("crlf") << QByteArray("<HTML>\r\n<BODY>\r\n</HTML>\r\n") << 3
                          << QByteArray("\xC3\xA9\r\n<HTML>\r\n<BODY>\r\n</HTML>\r\n");
    QTest::newRow("lf") << QByteArray("<HTML>\n</HTML>\n") << 2 << QByteArray("\xC3\xA9\n<HTML>\n</HTML>\n");
    QTest::newRow("cr") << QByteArray("<HTML>\r</HTML>\r") << 2 << QByteArray();
    QTest::newRow("no final line end") << QByteArray("a\r\nb") << 2 << QByteArray();
    QTest::newRow("empty last line") << QByteArray("a\r\n\r\n") << 2 << QByteArray();
    QTest::newRow("empty file") << QByteArray() << 1 << QByteArray("\xC3\xA9\r\n");
    QTest::newRow("only a line end") << QByteArray("\r\n") << 1 << QByteArray();
    QTest::newRow("utf8 with bom") << QByteArray("\xEF\xBB\xBF<P>caf\xC3\xA9</P>\r\n") << 1
                                   << QByteArray("\xEF\xBB\xBF\xC3\xA9\r\n<P>caf\xC3\xA9</P>\r\n");
    QTest::newRow("mixed utf8") << QByteArray("caf\xC3\xA9 \xE9t\xE9\r\n") << 1
                                << QByteArray("\xC3\xA9\r\ncaf\xC3\xA9 \xE9t\xE9\r\n");
    QTest::newRow("windows-1252") << QByteArray("caf\xE9 \x80\r\n") << 1 << QByteArray("\xE9\r\ncaf\xE9 \x80\r\n");
    QTest::newRow("1252 every byte") << latin1AllBytes() << 1 << QByteArray("\xE9\r\n") + latin1AllBytes();
    QTest::newRow("utf-16 le") << QByteArray("\xFF\xFE" "a\0\n\0", 6) << 1
                               << QByteArray("\xFF\xFE\xE9\0\n\0" "a\0\n\0", 10);
    QTest::newRow("utf-16 be") << QByteArray("\xFE\xFF\0a\0\r\0\n", 8) << 1
                               << QByteArray("\xFE\xFF\0\xE9\0\r\0\n\0a\0\r\0\n", 14);
    QTest::newRow("meta charset") << QByteArray("<meta charset=iso-8859-15>\xA4\n") << 1
                                  << QByteArray("\xE9\n<meta charset=iso-8859-15>\xA4\n");
    QTest::newRow("mixed line ends") << QByteArray("a\r\nb\rc\r\n") << 3 << QByteArray("\xC3\xA9\r\na\r\nb\rc\r\n");
    QTest::newRow("mixed, last end its own") << QByteArray("a\nb\nc\r\n") << 3
                                             << QByteArray("\xC3\xA9\na\nb\nc\r\n");
    QTest::newRow("binary with mixed ends") << QByteArray("\x89PNG\r\n\x1A\n\0\0\r", 11) << 3 << QByteArray();
    QTest::newRow("nul bytes") << QByteArray("a\0b\r\n\0\r\n", 8) << 2 << QByteArray();
    QTest::newRow("nbsp") << QByteArray("a&nbsp;\xC2\xA0" "b\r\n") << 1 << QByteArray();
    QTest::newRow("paragraph separator") << QByteArray("a\xE2\x80\xA9" "b\r\nc\r\n") << 2 << QByteArray();
    QTest::newRow("separator in a mixed file") << QByteArray("a\xE2\x80\xA9" "b\nc\r\nd\r\n") << 3
                                               << QByteArray("\xC3\xA9\r\na\xE2\x80\xA9" "b\nc\r\nd\r\n");
    QTest::newRow("line separator") << QByteArray("a\xE2\x80\xA8" "b\r\n") << 1 << QByteArray();
    QTest::newRow("frame characters") << QByteArray("a\xEF\xB7\x90" "b\xEF\xB7\x91" "c") << 1 << QByteArray();
    QTest::newRow("separators in a row") << QByteArray("\xE2\x80\xA9\xE2\x80\xA9\r\n\xE2\x80\xA9") << 2 << QByteArray();
    QTest::newRow("long line") << QByteArray(100000, 'x') + "\r\n" << 1 << QByteArray();
    QTest::newRow("controls") << QByteArray("\x01\x02\x0B\x0C\x1B\x7F\n") << 1 << QByteArray();
}

void TstTOvcTextFileEditor::fileRoundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, lines);
    QFETCH(QByteArray, edited);

    ed->SetMakeBackup(true);
    loadBytes(bytes);
    QCOMPARE(ed->LineCount(), lines);
    QVERIFY(!ed->Modified());
    ed->repaint();  // drawing such text must not fail either
    const QString out = path(QStringLiteral("out.htm"));
    ed->SaveFile(out);
    QCOMPARE(TestEnv::readAll(out), bytes);
    // Saved over itself the file stays the same, and so does its backup.
    ed->SaveFile(path(QStringLiteral("in.htm")));
    QCOMPARE(TestEnv::readAll(path(QStringLiteral("in.htm"))), bytes);
    QCOMPARE(TestEnv::readAll(path(QStringLiteral("in.BAK"))), bytes);
    if (edited.isEmpty())
        return;
    ed->MoveCaret(1, 1);
    ed->InsertAtCaret(QStringLiteral("\u00E9"));
    QTest::keyClick(ed, Qt::Key_Return);
    QVERIFY(ed->CanEncodeText());
    ed->SaveFile(out);
    QCOMPARE(TestEnv::readAll(out), edited);
}

// Undoing a deletion brings back the line ends it removed, each in its own style.
void TstTOvcTextFileEditor::undoRestoresLineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<int>>("range");  // l1, c1, l2, c2
    QTest::newRow("LF line in a CR LF file") << QByteArray("a\r\nb\nc\r\nd\r\n") << QList<int>{2, 1, 3, 1};
    QTest::newRow("across CR and LF") << QByteArray("a\rb\nc\r\nd") << QList<int>{1, 2, 3, 2};
    QTest::newRow("whole text") << QByteArray("x\ny\r\nz\r") << QList<int>{1, 1, 4, 1};
}

void TstTOvcTextFileEditor::undoRestoresLineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, range);
    loadBytes(bytes);
    ed->SelectRange(range[0], range[1], range[2], range[3], true);
    ed->DeleteSelection();
    ed->UndoStep();
    const QString out = path(QStringLiteral("undone.htm"));
    ed->SaveFile(out);
    QCOMPARE(TestEnv::readAll(out), bytes);
}

// Every line end, the last included, takes the style; one undo brings the
// file's own back.
void TstTOvcTextFileEditor::convertLineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("style");
    QTest::addColumn<QByteArray>("converted");
    QTest::newRow("mixed to LF") << QByteArray("a\r\nb\nc\rd\r\n") << int(TextFileFormat::LF) << QByteArray("a\nb\nc\nd\n");
    QTest::newRow("LF to CR LF, no final end") << QByteArray("a\nb") << int(TextFileFormat::CRLF) << QByteArray("a\r\nb");
    QTest::newRow("one line to CR") << QByteArray("only\n") << int(TextFileFormat::CR) << QByteArray("only\r");
}

void TstTOvcTextFileEditor::convertLineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, style);
    QFETCH(QByteArray, converted);
    loadBytes(bytes);
    ed->ConvertLineEnds(TextFileFormat::LineEnd(style));
    QVERIFY(ed->Modified());
    const QString out = path(QStringLiteral("converted.htm"));
    ed->SaveFile(out);
    QCOMPARE(TestEnv::readAll(out), converted);
    ed->UndoStep();
    ed->SaveFile(out);
    QCOMPARE(TestEnv::readAll(out), bytes);
}

// The file read again in the encoding the user names: the text it gives,
// and the same bytes saved; refused when the bytes are not that encoding.
void TstTOvcTextFileEditor::reopenWithEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("text");  // null: refused
    QTest::newRow("UTF-8 read as Windows-1252") << QByteArray("caf\xC3\xA9") << "Windows-1252"
                                              << QString::fromUtf8("caf\xC3\x83\xC2\xA9");
    QTest::newRow("Latin-1 bytes as UTF-8") << QByteArray("caf\xE9") << "UTF-8" << QString::fromUtf8("caf") + QChar(0xDCE9);
    QTest::newRow("UTF-16 LE without BOM") << QByteArray("h\0i\0", 4) << "UTF-16 LE" << "hi";
    QTest::newRow("odd bytes are not UTF-16") << QByteArray("abc") << "UTF-16 BE" << QString();
    QTest::newRow("KOI8-R") << QByteArray("\xF0\xD2\xC9") << "KOI8-R" << QString::fromUtf8("\xD0\x9F\xD1\x80\xD0\xB8");
}

void TstTOvcTextFileEditor::reopenWithEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, encoding);
    QFETCH(QString, text);
    loadBytes(bytes);
    const QString before = ed->RawText();
    QString error;
    QCOMPARE(ed->ReopenWithEncoding(encoding, &error), !text.isNull());
    QCOMPARE(ed->RawText(), text.isNull() ? before : text);
    QCOMPARE(error.isEmpty(), !text.isNull());
    const QString out = path(QStringLiteral("reopened.htm"));
    ed->SaveFile(out);
    QCOMPARE(TestEnv::readAll(out), bytes);
}

void TstTOvcTextFileEditor::breakCharactersSurviveEdits()
{
    // U+2029, U+2028 and U+FDD0 are characters of their lines: "a<PS>b" | "c<LS>d" | "e<FDD0>f"
    loadBytes("a\xE2\x80\xA9" "b\r\nc\xE2\x80\xA8" "d\r\ne\xEF\xB7\x90" "f");
    QCOMPARE(ed->LineCount(), 3);
    QCOMPARE(ed->LineLength(1), 3);
    ed->MoveCaret(3, 3);
    ed->InsertAtCaret(QStringLiteral("X"));
    ed->MoveCaret(1, 4);
    QTest::keyClick(ed, Qt::Key_Return);  // a new line after "b"
    ed->MoveCaret(1, 1);
    ed->InsertAtCaret(QStringLiteral("Y"));
    const QString out = path(QStringLiteral("out.htm"));
    ed->SaveFile(out);
    QCOMPARE(TestEnv::readAll(out),
             QByteArray("Ya\xE2\x80\xA9" "b\r\n\r\nc\xE2\x80\xA8" "d\r\ne\xEF\xB7\x90" "Xf"));

    // Backspace after a separator removes it like any character.
    ed->MoveCaret(1, 4);
    QTest::keyClick(ed, Qt::Key_Backspace);
    ed->SaveFile(out);
    QCOMPARE(TestEnv::readAll(out), QByteArray("Yab\r\n\r\nc\xE2\x80\xA8" "d\r\ne\xEF\xB7\x90" "Xf"));

    // Text set by the program keeps them too.
    ed->SetRawText(QStringLiteral("p\u2029q"));
    QCOMPARE(ed->RawText(), QStringLiteral("p\u2029q"));
    QCOMPARE(ed->LineCount(), 1);
    ed->SaveFile(out);
    QCOMPARE(TestEnv::readAll(out), QByteArray("p\xE2\x80\xA9q"));
}

void TstTOvcTextFileEditor::noticesOnLoad_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("parts");  // empty: no notice
    QTest::addColumn<QByteArray>("saved");

    QTest::newRow("uniform") << QByteArray("a\r\nb\r\n") << QStringList() << QByteArray("a\r\nb\r\n");
    QTest::newRow("mixed") << QByteArray("a\r\nb\nc\r\n") << QStringList{QStringLiteral("CR LF, LF"),
                                                                          QStringLiteral("new lines take CR LF")}
                           << QByteArray("a\r\nb\nc\r\n");
    QTest::newRow("not quite utf-8") << QByteArray("\xC3\xA9\xE9\n") << QStringList{QStringLiteral("not UTF-8")}
                                     << QByteArray("\xC3\xA9\xE9\n");
    const QByteArray longLine = QByteArray(TextFileCodec::kLongLineWarning + 1, 'x') + "\r\n";
    QTest::newRow("long line") << longLine << QStringList{QStringLiteral("very long lines")} << longLine;
}

void TstTOvcTextFileEditor::noticesOnLoad()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, parts);
    QFETCH(QByteArray, saved);

    QSignalSpy spy(ed, &TOvcTextFileEditor::notice);
    loadBytes(bytes);
    QCOMPARE(spy.size(), parts.isEmpty() ? 0 : 1);
    for (const QString& part : parts)
        QVERIFY2(spy.at(0).at(0).toString().contains(part), qPrintable(spy.at(0).at(0).toString()));
    ed->SaveFile(path(QStringLiteral("out.htm")));
    QCOMPARE(TestEnv::readAll(path(QStringLiteral("out.htm"))), saved);
}

void TstTOvcTextFileEditor::unencodableTextIsNeverSavedLossy()
{
    loadBytes("caf\xE9\r\n");
    QCOMPARE(TextFileCodec::encodingName(ed->fileFormat()), QStringLiteral("Windows-1252"));
    ed->InsertAtCaret(QStringLiteral("\u2192 "));
    QVERIFY(!ed->CanEncodeText());
    QVERIFY_THROWS_EXCEPTION(EFileError, ed->SaveFile(path(QStringLiteral("in.htm"))));
    QCOMPARE(TestEnv::readAll(path(QStringLiteral("in.htm"))), QByteArray("caf\xE9\r\n"));
    QVERIFY(ed->Modified());
    ed->ConvertToUtf8();
    ed->SaveFile(path(QStringLiteral("in.htm")));
    QCOMPARE(TestEnv::readAll(path(QStringLiteral("in.htm"))), QByteArray("\xE2\x86\x92 caf\xC3\xA9\r\n"));
}

void TstTOvcTextFileEditor::modifiedFlag()
{
    ed->InsertAtCaret(QStringLiteral("x"));
    QVERIFY(ed->Modified());
    loadBytes("abc\r\n");
    QVERIFY(!ed->Modified());
    ed->InsertAtCaret(QStringLiteral("x"));
    QVERIFY(ed->Modified());
    ed->UndoStep();
    QVERIFY(!ed->Modified());
    ed->SetModified(true);
    QVERIFY(ed->Modified());
    ed->SaveFile(path(QStringLiteral("in.htm")));
    QVERIFY(!ed->Modified());
    QCOMPARE(ed->fileName(), path(QStringLiteral("in.htm")));
}

void TstTOvcTextFileEditor::newDocumentSave()
{
    ed->SetMakeBackup(true);
    ed->InsertAtCaret(QStringLiteral("<HTML>\n</HTML>"));
    ed->SaveFile(path(QStringLiteral("new.html")));
    QCOMPARE(TestEnv::readAll(path(QStringLiteral("new.html"))), QByteArray("<HTML>\r\n</HTML>\r\n"));
    QCOMPARE(QDir(TestEnv::workDir()).entryList(QDir::Files), QStringList{QStringLiteral("new.html")});
}

void TstTOvcTextFileEditor::loadErrors_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("missing file") << "missing.htm";
    QTest::newRow("folder") << "folder";
    QTest::newRow("parent is a file") << "plain.txt/inner.htm";
    QTest::newRow("no name") << "";
}

void TstTOvcTextFileEditor::loadErrors()
{
    QFETCH(QString, name);
    QDir().mkpath(path(QStringLiteral("folder")));
    QVERIFY(TestEnv::writeAll(path(QStringLiteral("plain.txt")), "x"));
    setText(QStringLiteral("keep me"));
    ed->SetModified(true);
    const QString target = name.isEmpty() ? QString() : path(name);
    QString error;
    try {
        ed->LoadFile(target);
    } catch (const EFileError& e) {
        error = e.message();
    }
    QVERIFY(!error.isEmpty());
    if (!name.isEmpty())
        QVERIFY2(error.contains(QDir::toNativeSeparators(target)), qPrintable(error));
    QCOMPARE(ed->RawText(), QStringLiteral("keep me"));
    QVERIFY(ed->Modified());
}

void TstTOvcTextFileEditor::saveErrors_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("folder missing") << "nofolder/page.htm";
    QTest::newRow("parent is a file") << "plain.txt/page.htm";
    QTest::newRow("target is a folder") << "folder";
    QTest::newRow("no name") << "";
}

void TstTOvcTextFileEditor::saveErrors()
{
    QFETCH(QString, name);
    QDir().mkpath(path(QStringLiteral("folder")));
    QVERIFY(TestEnv::writeAll(path(QStringLiteral("plain.txt")), "x"));
    setText(QStringLiteral("keep me"));
    ed->SetModified(true);
    ed->SetMakeBackup(true);
    const QString target = name.isEmpty() ? QString() : path(name);
    QString error;
    try {
        ed->SaveFile(target);
    } catch (const EFileError& e) {
        error = e.message();
    }
    QVERIFY(!error.isEmpty());
    QCOMPARE(ed->RawText(), QStringLiteral("keep me"));
    QVERIFY(ed->Modified());
    QVERIFY(ed->fileName().isEmpty());
    QCOMPARE(TestEnv::readAll(path(QStringLiteral("plain.txt"))), QByteArray("x"));
    QCOMPARE(QDir(TestEnv::workDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{QStringLiteral("folder"), QStringLiteral("plain.txt")}));
}

void TstTOvcTextFileEditor::backup_data()
{
    QTest::addColumn<bool>("makeBackup");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<bool>("oldBackup");
    QTest::addColumn<QString>("backupName");  // empty: no backup expected

    QTest::newRow("off") << false << "page.htm" << true << false << "";
    QTest::newRow("off keeps old backup") << false << "page.htm" << true << true << "";
    QTest::newRow("new file") << true << "page.htm" << false << false << "";
    QTest::newRow("first backup") << true << "page.htm" << true << false << "page.BAK";
    QTest::newRow("replaces old backup") << true << "page.htm" << true << true << "page.BAK";
    QTest::newRow("name without extension") << true << "readme" << true << false << "readme.BAK";
    QTest::newRow("two dots") << true << "my.page.html" << true << false << "my.page.BAK";
    QTest::newRow("file named like its backup") << true << "page.BAK" << true << false << "";
}

void TstTOvcTextFileEditor::backup()
{
    QFETCH(bool, makeBackup);
    QFETCH(QString, file);
    QFETCH(bool, fileExists);
    QFETCH(bool, oldBackup);
    QFETCH(QString, backupName);

    const QByteArray previous("previous\r\n");
    const QByteArray old("old backup\r\n");
    if (fileExists)
        QVERIFY(TestEnv::writeAll(path(file), previous));
    const QString expectedBackup = PathUtil::withExtension(path(file), QStringLiteral("BAK"));
    if (oldBackup)
        QVERIFY(TestEnv::writeAll(expectedBackup, old));

    ed->SetMakeBackup(makeBackup);
    setText(QStringLiteral("new"));
    ed->SaveFile(path(file));
    QCOMPARE(TestEnv::readAll(path(file)), QByteArray("new\r\n"));

    QStringList expectedFiles{file};
    if (!backupName.isEmpty()) {
        QCOMPARE(TestEnv::readAll(path(backupName)), previous);
        expectedFiles << backupName;
    } else if (oldBackup) {
        QCOMPARE(TestEnv::readAll(expectedBackup), old);
        expectedFiles << QFileInfo(expectedBackup).fileName();
    }
    expectedFiles.removeDuplicates();
    expectedFiles.sort();
    QCOMPARE(QDir(TestEnv::workDir()).entryList(QDir::Files, QDir::Name), expectedFiles);
}

void TstTOvcTextFileEditor::backupTwiceKeepsFirstSave()
{
    QVERIFY(TestEnv::writeAll(path(QStringLiteral("page.htm")), "v0\r\n"));
    ed->SetMakeBackup(true);
    ed->LoadFile(path(QStringLiteral("page.htm")));
    ed->MoveCaret(1, 2);
    ed->InsertAtCaret(QStringLiteral("-first"));
    ed->SaveFile(path(QStringLiteral("page.htm")));
    QCOMPARE(TestEnv::readAll(path(QStringLiteral("page.BAK"))), QByteArray("v0\r\n"));
    ed->InsertAtCaret(QStringLiteral("-second"));
    ed->SaveFile(path(QStringLiteral("page.htm")));
    QCOMPARE(TestEnv::readAll(path(QStringLiteral("page.htm"))), QByteArray("v-first-second0\r\n"));
    QCOMPARE(TestEnv::readAll(path(QStringLiteral("page.BAK"))), QByteArray("v-first0\r\n"));
}

void TstTOvcTextFileEditor::failedSaveKeepsFileAndBackup_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<bool>("oldBackup");
    QTest::newRow("replacing the file fails") << "commit" << true;
    QTest::newRow("replacing the file fails, no old backup") << "commit" << false;
    QTest::newRow("backup name is a folder") << "backup folder" << false;
}

void TstTOvcTextFileEditor::failedSaveKeepsFileAndBackup()
{
    QFETCH(QString, failure);
    QFETCH(bool, oldBackup);

    delete ed;
    ed = failure == QLatin1String("commit") ? new FailingCommitEditor : new TOvcTextFileEditor;
    const QString file = path(QStringLiteral("page.htm"));
    const QString bak = path(QStringLiteral("page.BAK"));
    QVERIFY(TestEnv::writeAll(file, "current\r\n"));
    if (oldBackup)
        QVERIFY(TestEnv::writeAll(bak, "old backup\r\n"));
    if (failure == QLatin1String("backup folder"))
        QVERIFY(QDir().mkpath(bak));
    const QStringList before = QDir(TestEnv::workDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    ed->SetMakeBackup(true);
    ed->LoadFile(file);
    ed->InsertAtCaret(QStringLiteral("edited "));
    QVERIFY_THROWS_EXCEPTION(EFileError, ed->SaveFile(file));

    QCOMPARE(TestEnv::readAll(file), QByteArray("current\r\n"));
    if (oldBackup)
        QCOMPARE(TestEnv::readAll(bak), QByteArray("old backup\r\n"));
    QCOMPARE(QDir(TestEnv::workDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QCOMPARE(ed->RawText(), QStringLiteral("edited current"));
    QVERIFY(ed->Modified());
}

VQ_TEST_MAIN(TstTOvcTextFileEditor)

#include "tst_TOvcTextFileEditor.moc"
