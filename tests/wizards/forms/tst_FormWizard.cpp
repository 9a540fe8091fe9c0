// The forms wizard: every page's element, its delivery into a document and
// onto the clipboard, and loading form definition files.
#include "ScriptedPrompter.h"
#include "TestEnv.h"
#include "tags/TagTestSupport.h"

#include "wizards/forms/TfFormWiz.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using Page = FormWizard::Page;
Q_DECLARE_METATYPE(FormWizard::Page)

namespace {
// Changes one field of the defaults, by name.
FormFields with(const QString& change)
{
    FormFields f;
    if (change == "sub name") f.subName = "go";
    if (change == "text default") { f.textDefault = "a\"b"; f.textMax = 240; f.textSize = 1; }
    if (change == "check box") { f.optCheckBox = true; f.optAlign = FormFields::Centre; f.optValue = "v"; }
    if (change == "right") f.optAlign = FormFields::Right;
    if (change == "two lines") f.multiText = {"x", "y"};
    if (change == "abc multi") { f.selOptions = {"a", "b", "c"}; f.selMulti = true; }
    if (change == "empty option") f.selOptions = {"", QString(300, 'z')};
    if (change == "get") { f.method = "\"GET\""; f.action = ""; f.mime = "<&>"; }
    if (change == "sample") f.sample = {"<P>", "", "  x"};
    return f;
}
}

class tst_FormWizard : public QObject {
    Q_OBJECT
    TestHost host;
    TestEditor editor;
    TagEngine engine{host};

private slots:
    void init()
    {
        host.editor = &editor;
        host.setTags("W", "Y");
        TestEnv::clearSettings();
    }

    // Whole element texts as the templates give them; "clip" is what the clipboard gets.
    void generate_data()
    {
        QTest::addColumn<Page>("page");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("clip");
        QTest::newRow("form") << FormWizard::Form << ""
            << "<FORM METHOD=\"POST\" ACTION=\"http://\" ENCTYPE=\"application/x-www-form-urlencoded\">\r\n</FORM>";
        QTest::newRow("form get, raw values") << FormWizard::Form << "get"
            << "<FORM METHOD=\"GET\" ACTION=\"\" ENCTYPE=\"<&>\">\r\n</FORM>";
        QTest::newRow("submit") << FormWizard::Submit << "" << "<INPUT TYPE=SUBMIT VALUE=\"SUBMIT\">";
        QTest::newRow("submit named") << FormWizard::Submit << "sub name"
            << "<INPUT TYPE=SUBMIT VALUE=\"SUBMIT\" NAME=\"go\">";
        QTest::newRow("reset") << FormWizard::Reset << "" << "<INPUT TYPE=\"RESET\" VALUE=\"RESET\">";
        QTest::newRow("text") << FormWizard::TextLine << ""
            << "<INPUT TYPE=TEXT NAME=\"NAME\" VALUE=\"\" SIZE=\"50\" MAXLENGTH=\"50\">";
        QTest::newRow("text valued") << FormWizard::TextLine << "text default"
            << "<INPUT TYPE=TEXT NAME=\"NAME\" VALUE=\"a\"b\" SIZE=\"1\" MAXLENGTH=\"240\">";
        QTest::newRow("option") << FormWizard::Option << ""
            << "<INPUT TYPE=\"RADIO\" NAME=\"NAME\" VALUE=\"\" ALIGN=left>";
        QTest::newRow("check box") << FormWizard::Option << "check box"
            << "<INPUT TYPE=\"CHECKBOX\" NAME=\"NAME\" VALUE=\"v\" ALIGN=center>";
        QTest::newRow("right") << FormWizard::Option << "right"
            << "<INPUT TYPE=\"RADIO\" NAME=\"NAME\" VALUE=\"\" ALIGN=right>";
        QTest::newRow("multi") << FormWizard::MultiLine << "" << "<TEXTAREA NAME=\"NAME\" ROWS=3 COLS=50></TEXTAREA>";
        QTest::newRow("multi xy") << FormWizard::MultiLine << "two lines"
            << "<TEXTAREA NAME=\"NAME\" ROWS=3 COLS=50>xy</TEXTAREA>";
        QTest::newRow("select") << FormWizard::Select << ""
            << "<SELECT NAME=\"NAME\" SIZE=1 ><OPTION>Option 1</SELECT>";
        QTest::newRow("select abc") << FormWizard::Select << "abc multi"
            << "<SELECT NAME=\"NAME\" SIZE=1 MULTIPLE ><OPTION>a<OPTION>b<OPTION>c</SELECT>";
        QTest::newRow("select long") << FormWizard::Select << "empty option"
            << "<SELECT NAME=\"NAME\" SIZE=1 ><OPTION><OPTION>" + QString(300, 'z') + "</SELECT>";
        QTest::newRow("predefined") << FormWizard::Predefined << "sample" << "<P>\r\n\r\n  x\r\n";
    }

    void generate()
    {
        QFETCH(Page, page);
        QFETCH(QString, change);
        QFETCH(QString, clip);
        QCOMPARE(FormWizard::clipboardText(FormWizard::generate(page, with(change))), clip);
    }

    // Into a document: the two tags through the engine (so in the tag case),
    // the body straight in; a selection stays inside the element.
    void deliver_data()
    {
        QTest::addColumn<Page>("page");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("tagCase");
        QTest::addColumn<QString>("stay");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("form wraps") << FormWizard::Form << "" << "L" << "N" << "a[b]c"
            << "a<form method=\"post\" action=\"http://\" enctype=\"application/x-www-form-urlencoded\">|b</form>c";
        QTest::newRow("multi at caret") << FormWizard::MultiLine << "two lines" << "L" << "Y" << "q|"
            << "q<textarea name=\"name\" rows=3 cols=50>xy|</textarea>";
        QTest::newRow("select keeps selection") << FormWizard::Select << "abc multi" << "W" << "Y" << "[sel]"
            << "<SELECT NAME=\"NAME\" SIZE=1 MULTIPLE >sel<OPTION>a<OPTION>b<OPTION>c|</SELECT>";
        QTest::newRow("multi keeps selection, caret mode") << FormWizard::MultiLine << "two lines" << "W" << "N"
            << "p{s\nt}" << "p<TEXTAREA NAME=\"NAME\" ROWS=3 COLS=50>s\ntxy|</TEXTAREA>";
        QTest::newRow("predefined lines") << FormWizard::Predefined << "sample" << "L" << "Y" << "A|B"
            << "A<P>\n\n  x\n|B";
    }

    void deliver()
    {
        QFETCH(Page, page);
        QFETCH(QString, change);
        QFETCH(QString, tagCase);
        QFETCH(QString, stay);
        QFETCH(QString, before);
        QFETCH(QString, after);
        host.setTags(tagCase, stay);
        Marked::set(editor, before);
        FormWizard::deliver(engine, FormWizard::generate(page, with(change)));
        QCOMPARE(Marked::get(editor), after);
        editor.UndoStep();
        QCOMPARE(Marked::get(editor).remove(QRegularExpression("[][{}|]")),
                 QString(before).remove(QRegularExpression("[][{}|]")));
    }

    // The window: each button reaches its target; with no document only the
    // clipboard changes.
    void window_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("clipboard");
        QTest::addColumn<bool>("document");
        QTest::addColumn<QString>("expected");
        QTest::newRow("submit to doc") << 1 << false << true << "<INPUT TYPE=SUBMIT VALUE=\"SUBMIT\">|";
        QTest::newRow("reset to clip") << 2 << true << true << "<INPUT TYPE=\"RESET\" VALUE=\"RESET\">";
        QTest::newRow("select to clip, no doc") << 6 << true << false
            << "<SELECT NAME=\"NAME\" SIZE=1 ><OPTION>Option 1</SELECT>";
        QTest::newRow("predefined to doc") << 7 << false << true
            << FormWizard::sampleQuestionnaire().join('\n') + "\n|";
        QTest::newRow("multi, no doc") << 4 << false << false << "|";
    }

    void window()
    {
        QFETCH(int, page);
        QFETCH(bool, clipboard);
        QFETCH(bool, document);
        QFETCH(QString, expected);
        host.editor = document ? &editor : nullptr;
        Marked::set(editor, "|");
        QGuiApplication::clipboard()->setText("old");
        TfFormWiz w(engine);
        w.setPage(page);
        (clipboard ? w.btnToClip : w.btnToDoc)->click();
        QCOMPARE(clipboard ? QGuiApplication::clipboard()->text() : Marked::get(editor), expected);
        if (clipboard)
            QCOMPARE(Marked::get(editor), QString("|"));
        else
            QCOMPARE(QGuiApplication::clipboard()->text(), QString("old"));
    }

    // One option per memo line; the line end after the last one starts no option.
    void selectMemo_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QString>("options");
        QTest::newRow("line end after the last") << "a\nb\n" << "<OPTION>a<OPTION>b";
        QTest::newRow("no line end") << "a\nb" << "<OPTION>a<OPTION>b";
        QTest::newRow("empty line inside") << "a\n\nb" << "<OPTION>a<OPTION><OPTION>b";
        QTest::newRow("two line ends") << "a\n\n" << "<OPTION>a<OPTION>";
        QTest::newRow("an empty line, then the line end") << "\n" << "<OPTION>";
    }

    void selectMemo()
    {
        QFETCH(QString, memo);
        QFETCH(QString, options);
        TfFormWiz w(engine);
        w.setPage(FormWizard::Select);
        w.mSel->setPlainText(memo);
        w.btnToClip->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), "<SELECT NAME=\"NAME\" SIZE=1 >" + options + "</SELECT>");
    }

    // The action field is kept on every Form element, in either mode.
    void actionStored()
    {
        {
            TfFormWiz w(engine);
            QCOMPARE(w.tAction->text(), QString("http://"));
            w.tAction->setText("http://x.test/cgi");
            w.btnToClip->click();
        }
        TfFormWiz again(engine);
        QCOMPARE(again.tAction->text(), QString("http://x.test/cgi"));
    }

    void loadDefinition_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("memo");
        QTest::newRow("CR LF, empty last line") << QByteArray("<P>\r\nb\r\n\r\n") << "<P>\nb\n";
        QTest::newRow("CR and LF") << QByteArray("a\rb\nc") << "a\nb\nc";
        QTest::newRow("Latin-1") << QByteArray("caf\xe9\r\n") << QString::fromUtf8("café");
        QTest::newRow("long line") << QByteArray(5000, 'x') << QString(5000, 'x');
        QTest::newRow("missing keeps memo") << QByteArray() << "kept";
    }

    void loadDefinition()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, memo);
        const QString path = TestEnv::workDir() + "/form.vfd";
        QFile::remove(path);
        if (!bytes.isEmpty())
            QVERIFY(TestEnv::writeAll(path, bytes));
        ScriptedPrompter prompter;
        prompter.openAnswers.enqueue({path});
        TfFormWiz w(engine);
        w.mSample->setPlainText("kept");
        w.btnLoadFormClick();
        QCOMPARE(w.mSample->toPlainText(), memo);
        QCOMPARE(prompter.messages.size(), bytes.isEmpty() ? 1 : 0);
        if (bytes.isEmpty())
            QVERIFY(prompter.messages.first().contains(path));
    }
};

VQ_TEST_MAIN(tst_FormWizard)
#include "tst_FormWizard.moc"
