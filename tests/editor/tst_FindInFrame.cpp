// The Find and Replace dialogs of a document window in a running frame:
// their options reach the search, the status line counts the matches, the
// search follows the typing, Replace acts on the match found, and the
// auto pairs setting is read.
#include "FrameTest.h"
#include "app/FindDialogs.h"
#include "editor/EditorContract.h"
#include "editor/FoldModel.h"
#include "editor/ViewModule.h"
#include "app/AppSettings.h"
#include "editor/TOvcTextFileEditor.h"

#include <QLineEdit>
#include <QSplitter>
#include <QtTest>

class TstFindInFrame : public QObject {
    Q_OBJECT
    std::unique_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<TmdiMain> main;

    TfHTML* fresh(const QString& text)
    {
        for (TfHTML* d : main->documents())
            d->approveClose();
        main->CloseAll1Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        main->FileNew();
        TfHTML* doc = main->activeDocument();
        doc->txtHTML->SetRawText(text);
        prompter->messages.clear();
        return doc;
    }
    static QString selected(TOvcTextFileEditor* ed)
    {
        int l1, c1, l2, c2;
        if (!ed->SelectionRange(l1, c1, l2, c2))
            return QString();
        return QString("%1:%2-%3:%4").arg(l1).arg(c1).arg(l2).arg(c2);
    }

private slots:
    void initTestCase() { QVERIFY(FrameTest::start(prompter, main)); }
    void cleanupTestCase() { FrameTest::stop(main); }

    void findOptions_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("status");
        // Text "Cat cat concat\ncat", caret at 1:5.
        QTest::newRow("down") << 1 << "1:5-1:8" << "   2 of 4";
        QTest::newRow("match case") << 5 << "1:5-1:8" << "   1 of 3";
        QTest::newRow("whole word") << 65 << "1:5-1:8" << "   2 of 3";
        QTest::newRow("up") << 3 << "1:1-1:4" << "   1 of 4";
        QTest::newRow("up, match case: wraps") << 7
            << "2:1-2:4" << "   Reached the start of the page, continued from the end: 3 of 3";
        QTest::newRow("regex") << 129 << "1:9-1:15" << "   1 of 1";
    }
    void findOptions()
    {
        QFETCH(int, flags);
        QFETCH(QString, selection);
        QFETCH(QString, status);
        TfHTML* doc = fresh("Cat cat concat\ncat");
        doc->txtHTML->MoveCaret(1, 5);
        doc->Find1Click();
        doc->findDialog()->setFindText((flags & SearchFlags::RegExp) ? "con\\w+" : "cat");
        doc->findDialog()->setSearchFlags(flags);
        QCOMPARE(doc->findDialog()->searchFlags(), flags);
        doc->doFind();
        QCOMPARE(selected(doc->txtHTML), selection);
        QCOMPARE(main->statusText(), status);
        QVERIFY(prompter->messages.isEmpty());
    }

    void badPatternSaysWhy()
    {
        TfHTML* doc = fresh("abc");
        doc->findDialog()->setFindText("(a");
        doc->findDialog()->setSearchFlags(129);
        doc->doFind();
        QCOMPARE(prompter->messages.size(), 1);
        QVERIFY2(prompter->messages.first().startsWith("The regular expression is not valid"),
                 qPrintable(prompter->messages.first()));
    }

    // Each key typed in the dialog searches again from where the search began.
    void searchAsYouType()
    {
        TfHTML* doc = fresh("ab abc abcd");
        doc->txtHTML->MoveCaret(1, 2);
        doc->Find1Click();
        auto* edit = doc->findDialog()->findChild<QLineEdit*>();
        QVERIFY(edit);
        QTest::keyClicks(edit, "ab");
        QCOMPARE(selected(doc->txtHTML), "1:4-1:6");
        QCOMPARE(main->statusText(), "   2 of 3");  // the first "ab" lies before where the search began
        QTest::keyClicks(edit, "c");
        QCOMPARE(selected(doc->txtHTML), "1:4-1:7");
        QCOMPARE(main->statusText(), "   1 of 2");
        QTest::keyClicks(edit, "d");
        QCOMPARE(selected(doc->txtHTML), "1:8-1:12");
        QCOMPARE(doc->txtHTML->searchMatchCount(), 1);
        QTest::keyClicks(edit, "x");
        QCOMPARE(selected(doc->txtHTML), QString());
        QCOMPARE(main->statusText(), "   Search string not found");
        QCOMPARE(doc->txtHTML->searchMatchCount(), 0);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(selected(doc->txtHTML), "1:8-1:12");
        QVERIFY(prompter->messages.isEmpty());
    }

    // Find Next, then Replace: the match shown is replaced and the next one shown.
    void replaceTheFoundMatch()
    {
        TfHTML* doc = fresh("cat cat cat");
        doc->txtHTML->MoveCaret(1, 2);
        ReplaceDialog* d = doc->replaceDialog();
        d->setTexts("cat", "dog");
        doc->replaceDialogFind();
        QCOMPARE(selected(doc->txtHTML), "1:5-1:8");
        doc->HandleReplace(false);
        QCOMPARE(doc->txtHTML->RawText(), "cat dog cat");
        QCOMPARE(selected(doc->txtHTML), "1:9-1:12");
        doc->HandleReplace(false);
        QCOMPARE(doc->txtHTML->RawText(), "cat dog dog");
        // Past the last one: the first from the start.
        doc->HandleReplace(false);
        QCOMPARE(doc->txtHTML->RawText(), "dog dog dog");
    }

    void replaceAllInSelection()
    {
        TfHTML* doc = fresh("a1 a2 a3 a4");
        doc->Replace1Click();
        doc->txtHTML->SelectRange(1, 4, 1, 9, true);
        ReplaceDialog* d = doc->replaceDialog();
        d->setTexts("a(\\d)", "b$1");
        d->setSearchFlags(SearchFlags::RegExp | SearchFlags::InSelection);
        doc->HandleReplace(true);
        QCOMPARE(doc->txtHTML->RawText(), "a1 b2 b3 a4");
        QCOMPARE(main->statusText(), "   2 : occurences were replaced.");
        d->setSearchFlags(0);
    }

    void viewSettings()
    {
        TfHTML* doc = fresh("");
        // On unless turned off.
        QVERIFY(doc->txtHTML->AutoPairs());
        QVERIFY(doc->txtHTML->Folding());
        QVERIFY(doc->txtHTML->IndentGuides());
        QVERIFY(doc->txtHTML->WrapIndent());
        QVERIFY(!doc->txtHTML->ShowWhitespace());
        QCOMPARE(doc->txtHTML->WrapAtColumn(), 0);
    }

    // A document window split in two parts showing one text.
    void splitView_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("orientation");
        QTest::newRow("side by side") << int(TfHTML::SplitSideBySide) << int(Qt::Horizontal);
        QTest::newRow("one above the other") << int(TfHTML::SplitAbove) << int(Qt::Vertical);
    }
    void splitView()
    {
        QFETCH(int, mode);
        QFETCH(int, orientation);
        TfHTML* doc = fresh("one\ntwo");
        QCOMPARE(doc->splitView(), int(TfHTML::SplitOff));
        doc->SetSplitView(mode);
        QCOMPARE(doc->splitView(), mode);
        TOvcTextFileEditor* second = doc->secondView();
        QVERIFY(second && second->isVisible());
        auto* splitter = doc->findChild<QSplitter*>("SplitView");
        QCOMPARE(int(splitter->orientation()), orientation);
        QCOMPARE(splitter->count(), 2);
        second->MoveCaret(2, 4);
        QTest::keyClicks(second, "!");
        QCOMPARE(doc->txtHTML->RawText(), "one\ntwo!");
        QVERIFY(doc->txtHTML->Modified());
        doc->SetSplitView(TfHTML::SplitOff);
        QVERIFY(!doc->secondView());
        QCOMPARE(splitter->count(), 1);
        QTest::keyClicks(doc->txtHTML, "?");
        QCOMPARE(doc->txtHTML->RawText(), "?one\ntwo!");
        doc->SetSplitView(mode);  // split again, then closed with the window
        doc->approveClose();
        doc->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The View menu's commands, bound by their module.
    void viewCommands()
    {
        TfHTML* doc = fresh("<div>\n<p>\na\n</p>\n</div>");
        ViewModule module(*main);
        CommandBinder b;
        module.bindCommands(b);
        for (const QString& name : ViewModule::handlerNames())
            QVERIFY2(b.handler(name), qPrintable(name));
        b.handler("FoldAll1Click")();
        QCOMPARE(doc->txtHTML->folds().foldCount(), 2);
        b.handler("UnfoldAll1Click")();
        QCOMPARE(doc->txtHTML->folds().foldCount(), 0);
        b.handler("FoldLevel1Click")();
        QCOMPARE(doc->txtHTML->folds().foldedLines(), std::vector<int>{1});
        b.handler("SplitAbove1Click")();
        QCOMPARE(doc->splitView(), int(TfHTML::SplitAbove));
        b.handler("ShowWhitespace1Click")();
        QVERIFY(doc->txtHTML->ShowWhitespace() && doc->secondView()->ShowWhitespace());
        QVERIFY(main->IniControl.ReadBool(AppSettings::kEditor, "Show Whitespace", false));
        b.handler("ShowWhitespace1Click")();
        QVERIFY(!doc->txtHTML->ShowWhitespace());
        b.handler("Unsplit1Click")();
        QVERIFY(!doc->secondView());
        prompter->inputAnswers.enqueue("40");
        b.handler("WrapColumn1Click")();
        QCOMPARE(doc->txtHTML->WrapAtColumn(), 40);
        QCOMPARE(main->IniControl.ReadInteger(AppSettings::kEditor, "Wrap Column", 0), 40);
        prompter->inputAnswers.enqueue("5");
        b.handler("WrapColumn1Click")();
        QCOMPARE(doc->txtHTML->WrapAtColumn(), 40);
        QCOMPARE(prompter->messages, QStringList{"\"5\" is not a column from 10 to 10000, or 0."});
        prompter->inputAnswers.enqueue("0");
        b.handler("WrapColumn1Click")();
        QCOMPARE(doc->txtHTML->WrapAtColumn(), 0);
    }

    // A file's folds come back when it is opened again.
    void foldsComeBack()
    {
        fresh("");
        const QString file = TestEnv::workDir() + "/folded.html";
        TestEnv::writeAll(file, "<div>\n<p>a\n</p>\n</div>\n<ul>\n<li>x\n</ul>\n");
        main->OpenDocumentFile(file);
        TfHTML* doc = main->activeDocument();
        QVERIFY(doc->txtHTML->ToggleFold(1));
        QVERIFY(doc->txtHTML->ToggleFold(4));
        doc->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        main->OpenDocumentFile(file);
        doc = main->activeDocument();
        QCOMPARE(doc->txtHTML->folds().foldedLines(), (std::vector<int>{1, 4}));
        QVERIFY(doc->txtHTML->ToggleFold(1));
        doc->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        main->OpenDocumentFile(file);
        QCOMPARE(main->activeDocument()->txtHTML->folds().foldedLines(), std::vector<int>{4});
    }
};

VQ_TEST_MAIN(TstFindInFrame)
#include "tst_FindInFrame.moc"
