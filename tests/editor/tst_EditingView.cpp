// The editing view in a running frame: lazy colours, the View toggles, the
// tag pair marks, "</", the two Go to commands, and drops of files and text.
#include "ScriptedPrompter.h"
#include "FrameTest.h"
#include "TestEnv.h"
#include "app/AppSettings.h"
#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "editor/FoldGutter.h"
#include "editor/HtmlHighlighter.h"
#include "editor/TOvcTextFileEditor.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMimeData>
#include <QtTest>
#include <memory>

namespace {
QString work(const QString& name)
{
    return TestEnv::workDir() + QLatin1Char('/') + name;
}
} // namespace

class TstEditingView : public QObject {
    Q_OBJECT
    std::unique_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<TmdiMain> main;

    TfHTML* open(const QString& name, const QByteArray& bytes)
    {
        TestEnv::writeAll(work(name), bytes);
        main->OpenDocumentFile(work(name));
        TfHTML* doc = main->activeDocument();
        if (!QTest::qWaitForWindowExposed(doc))
            qWarning("document window not exposed");
        doc->txtHTML->repaint();
        QCoreApplication::processEvents();
        return doc;
    }
    // The editor's text with "|" at the caret.
    static QString marked(TOvcTextFileEditor* ed)
    {
        QString t = ed->RawText();
        t.insert(ed->caretOffset(), QLatin1Char('|'));
        return t;
    }
    static void setMarked(TOvcTextFileEditor* ed, QString text)
    {
        const int at = int(text.indexOf(QLatin1Char('|')));
        text.remove(at, 1);
        ed->SetRawText(text);
        ed->setSelection(at, at);
    }

private slots:
    void initTestCase()
    {
        QDir::setCurrent(TestEnv::workDir());
        TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", "[System]\nOpen Template=0\n");
        prompter = std::make_unique<ScriptedPrompter>();
        main = std::make_unique<TmdiMain>();
        main->resize(900, 700);
        QVERIFY(TestEnv::showFrame(*main));
    }
    void cleanupTestCase()
    {
        FrameTest::stop(main);
        prompter.reset();
    }
    void init()
    {
        for (TfHTML* d : main->documents())
            d->approveClose();
        main->CloseAll1Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        prompter->messages.clear();
        prompter->beeps = 0;
    }

    // Opening a long page colours the lines shown and works out no state
    // beyond them; the end of the text is done when it is shown.
    void highlightingIsLazy()
    {
        QByteArray page = "<html><body>\n";
        for (int i = 0; i < 100000; ++i)
            page += "<p class=\"x\">Line &amp; text</p>\n";
        TfHTML* doc = open("long.html", page);
        HtmlHighlighter* h = doc->txtHTML->highlighter();
        QVERIFY(h->colouredBlocks() > 5);
        QVERIFY2(h->colouredBlocks() < 200, qPrintable(QString::number(h->colouredBlocks())));
        // (the tag pair around the caret may look a little further ahead)
        QVERIFY(h->knownStates() < 5000);
        QVERIFY(h->formats(50000).isEmpty());

        doc->txtHTML->MoveCaret(doc->txtHTML->LineCount() - 1, 1);
        doc->txtHTML->repaint();
        QVERIFY(!h->formats(99990).isEmpty());
        // The states far down come in from the worker and the lines are coloured again.
        QTRY_VERIFY(h->knownStates() >= doc->txtHTML->LineCount() - 1);
        doc->txtHTML->repaint();
        QVERIFY(!h->guessing());
        QVERIFY(!h->formats(99990).isEmpty());
        QVERIFY(h->colouredBlocks() < 400);
    }

    // A comment opened at the top reaches the lines below when they are shown.
    void stateChangeReachesLaterLines()
    {
        TfHTML* doc = open("state.html", "<b>one</b>\n<i>two</i>\n");
        TOvcTextFileEditor* ed = doc->txtHTML;
        ed->MoveCaret(1, 1);
        ed->InsertAtCaret("<!-- ");
        ed->repaint();
        const QList<QTextLayout::FormatRange> f = ed->highlighter()->formats(1);
        QCOMPARE(f.size(), 1);
        QCOMPARE(f.first().length, ed->buffer().Text().LineLength(1));
        QCOMPARE(f.first().format.foreground().color(), ed->highlighter()->colorOf(Html::TokenKind::Comment));
    }

    // A dark background takes the light colours.
    void darkBackground()
    {
        TfHTML* doc = open("dark.html", "<b>x</b>\n");
        doc->txtHTML->SetColor(Qt::black);
        QVERIFY(doc->txtHTML->highlighter()->colorOf(Html::TokenKind::Tag).lightness() > 128);
        doc->txtHTML->SetColor(Qt::white);
        QVERIFY(doc->txtHTML->highlighter()->colorOf(Html::TokenKind::Tag).lightness() < 128);
    }

    void viewToggles_data()
    {
        QTest::addColumn<QString>("handler");
        QTest::addColumn<QString>("key");
        QTest::newRow("highlighting") << "SyntaxHighlighting1Click" << "Syntax Highlighting";
        QTest::newRow("line numbers") << "LineNumbers1Click" << "Line Numbers";
        QTest::newRow("closing tags") << "AutoCloseTags1Click" << "Auto Close Tags";
    }
    // Checked at first; turning one off changes the open documents, is
    // stored, and holds for documents opened later.
    void viewToggles()
    {
        QFETCH(QString, handler);
        QFETCH(QString, key);
        auto state = [&](TOvcTextFileEditor* ed) {
            return handler.startsWith("Syntax") ? ed->SyntaxHighlighting()
                   : handler.startsWith("Line") ? ed->LineNumbers()
                                                : ed->AutoCloseTags();
        };
        TfHTML* first = open("toggle1.html", "<b>x</b>\n");
        QAction* a = main->action(handler);
        QVERIFY(a && a->isCheckable() && a->isChecked());
        QVERIFY(state(first->txtHTML));
        a->trigger();
        QVERIFY(!a->isChecked());
        QVERIFY(!state(first->txtHTML));
        QCOMPARE(main->IniControl.ReadString(AppSettings::kEditor, key, "?"), QString("0"));
        TfHTML* second = open("toggle2.html", "<b>x</b>\n");
        QVERIFY(!state(second->txtHTML));
        if (handler.startsWith("Syntax"))
            QCOMPARE(second->txtHTML->highlighter()->colouredBlocks(), 0);
        if (handler.startsWith("Line")) {
            // Only the fold markers' strip is left of the text.
            const FoldGutter* folds = second->txtHTML->findChild<FoldGutter*>();
            QVERIFY(folds);
            QCOMPARE(second->txtHTML->viewport()->x(), second->txtHTML->contentsRect().x() + folds->neededWidth());
        }
        a->trigger();
        QVERIFY(a->isChecked() && state(first->txtHTML) && state(second->txtHTML));
    }

    // With the caret in a tag both tags of its pair are marked, and the
    // command jumps between them.
    void tagPair()
    {
        TfHTML* doc = open("pair.html", "<div class=a>\n<p>xy</p>\n</DIV>\n");
        TOvcTextFileEditor* ed = doc->txtHTML;
        ed->MoveCaret(1, 3);
        ed->refreshTagMatch();
        const QList<TextRange> marks = ed->matchedTags();
        QCOMPARE(marks.size(), 2);
        QCOMPARE(ed->RawText().mid(marks[0].start, marks[0].length), QString("<div"));
        QCOMPARE(ed->RawText().mid(marks[1].start, marks[1].length), QString("</DIV"));
        main->GotoMatchingTag1Click();
        int line = 0, col = 0;
        ed->CaretPosition(line, col);
        QCOMPARE(line, 3);
        main->GotoMatchingTag1Click();
        ed->CaretPosition(line, col);
        QCOMPARE(line, 1);
        ed->MoveCaret(2, 5);  // between x and y
        ed->refreshTagMatch();
        QVERIFY(ed->matchedTags().isEmpty());
        main->GotoMatchingTag1Click();
        QCOMPARE(prompter->beeps, 1);
    }

    void closingTag_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("innermost") << "<ul><li>a|" << "<ul><li>a</li>|";
        QTest::newRow("letter case") << "<TABLE><TR>|\n" << "<TABLE><TR></TR>|\n";
        QTest::newRow("text follows") << "<b>x|y" << "<b>x</b>|y";
        QTest::newRow("all closed") << "<b>x</b>|" << "<b>x</b></|";
        QTest::newRow("in a comment") << "<b><!-- |" << "<b><!-- </|";
        QTest::newRow("in a script") << "<b><script>x = 1|" << "<b><script>x = 1</|";
        QTest::newRow("in a style") << "<style>p {}|" << "<style>p {}</|";
        QTest::newRow("in a value") << "<a title=\"|" << "<a title=\"</|";
    }
    // Typing "</" closes the innermost open element, as its own undo step.
    void closingTag()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        TfHTML* doc = open("close.html", "");
        TOvcTextFileEditor* ed = doc->txtHTML;
        setMarked(ed, before);
        QTest::keyClicks(ed, "</");
        QCOMPARE(marked(ed), after);
        const QString typedOnly = QString(before).replace("|", "</|");
        if (after != typedOnly) {
            ed->UndoStep();
            QCOMPARE(marked(ed), typedOnly);
        }
    }

    void closingTagOff()
    {
        TfHTML* doc = open("closeoff.html", "");
        doc->txtHTML->SetAutoCloseTags(false);
        setMarked(doc->txtHTML, "<b>|");
        QTest::keyClicks(doc->txtHTML, "</");
        QCOMPARE(marked(doc->txtHTML), QString("<b></|"));
    }

    void gotoLine_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("message");
        QTest::newRow("a line") << "3" << 3 << "";
        QTest::newRow("beyond the end") << "99" << 4 << "";
        QTest::newRow("below one") << "-5" << 1 << "";
        QTest::newRow("not a number") << "three" << 2 << "\"three\" is not a line number.";
        QTest::newRow("cancelled") << QString() << 2 << "";
    }
    void gotoLine()
    {
        QFETCH(QString, answer);
        QFETCH(int, line);
        QFETCH(QString, message);
        TfHTML* doc = open("lines.html", "a\nb\nc\nd");
        doc->txtHTML->MoveCaret(2, 1);
        prompter->inputAnswers.enqueue(answer);
        main->action("GotoLine1Click")->trigger();
        int l = 0, c = 0;
        doc->txtHTML->CaretPosition(l, c);
        QCOMPARE(l, line);
        QCOMPARE(prompter->messages.join("/"), message);
    }

    void fileDrops_data()
    {
        QTest::addColumn<bool>("onFrame");
        QTest::newRow("on a document") << false;
        QTest::newRow("on the frame") << true;
    }
    // Files from a file manager open as documents, with the usual messages.
    void fileDrops()
    {
        QFETCH(bool, onFrame);
        TfHTML* doc = open("target.html", "text\n");
        TestEnv::writeAll(work("d1.html"), "<p>one</p>\n");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(work("d1.html")), QUrl::fromLocalFile(work("missing.html"))});
        QWidget* target = onFrame ? main->mdiArea()->viewport() : doc->txtHTML->viewport();
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QVERIFY(drop.isAccepted());
        QTRY_COMPARE(main->documents().size(), 2);
        QCOMPARE(main->activeDocument()->txtHTML->RawText(), QString("<p>one</p>"));
        QCOMPARE(prompter->messages, QStringList{"Unable to find " + work("missing.html") + "."});
        QCOMPARE(doc->txtHTML->RawText(), QString("text"));
    }

    // Text dropped from another program goes in at the drop point, and one
    // undo takes it out again.
    void textDrop()
    {
        TfHTML* doc = open("textdrop.html", "first line\nsecond line\n");
        TOvcTextFileEditor* ed = doc->txtHTML;
        ed->MoveCaret(1, 1);
        QMimeData data;
        data.setText("<b>dropped</b>");
        const QRect r = ed->cursorRect(ed->buffer().Text().LineStart(1));
        const QPoint at(r.left() + 1, r.center().y());
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(ed->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(ed->viewport(), &move);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(ed->viewport(), &drop);
        QCOMPARE(ed->RawText(), QString("first line\n<b>dropped</b>second line"));
        ed->UndoStep();
        QCOMPARE(ed->RawText(), QString("first line\nsecond line"));
    }
};

VQ_TEST_MAIN(TstEditingView)
#include "tst_EditingView.moc"
