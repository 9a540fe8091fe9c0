// "Convert HTML to Text" on an editing control: what stays, what goes, the
// undo steps, the clipboard and the modified flag.
#include "TestEnv.h"
#include "tags/TagTestSupport.h"

#include "tools/HtmlToText.h"

#include <QApplication>
#include <QClipboard>
#include <QtTest>

class tst_HtmlToText : public QObject {
    Q_OBJECT
private slots:
    void convert_data();
    void convert();
    void noDocumentOnlyReady();

private:
    TestHost host;
    TestEditor editor;
};

void tst_HtmlToText::convert_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("clipboard");   // "-": left as it was
    QTest::addColumn<QString>("oneUndo");     // the text after one undo step

    QTest::newRow("pair") << "<B>bold</B> text" << "bold text" << "</B>" << "bold</B> text";
    QTest::newRow("no closing") << "a < b" << "a < b" << "-" << "a < b";
    QTest::newRow("tag over two lines") << "x<A\nHREF=y>z\nnext" << "xz\nnext" << "<A\nHREF=y>"
                                        << "x<A\nHREF=y>z\nnext";
    QTest::newRow("comment to its first >") << "<!-- note > more -->" << " more -->" << "<!-- note >"
                                            << "<!-- note > more -->";
    QTest::newRow("entity") << "&amp; &lt;" << "&amp; &lt;" << "-" << "&amp; &lt;";
    QTest::newRow("adjacent, undone one by one") << "<P><B>x" << "x" << "<B>" << "<B>x";
    QTest::newRow("script text stays") << "<SCRIPT>a>b</SCRIPT>" << "a>b" << "</SCRIPT>" << "a>b</SCRIPT>";
    QTest::newRow("open < at the end") << "<i>x</i> 1 < 2" << "x 1 < 2" << "</i>" << "x</i> 1 < 2";
    QTest::newRow("tab inside a tag") << "<a\thref=x>t</a>\tafter" << "t\tafter" << "</a>" << "t</a>\tafter";
    QTest::newRow("plain") << "no tags" << "no tags" << "-" << "no tags";
    // A removed tag that starts a line and holds a line break, not the last one.
    QTest::newRow("tag with a break starts a line") << "<img src=\"a.png\"\n alt=\"x\">\n<p>text</p>" << "\ntext"
                                                    << "</p>" << "\ntext</p>";
    QTest::newRow("break inside the middle tag") << "<a><b\n><c>" << "" << "<c>" << "<c>";
}

void tst_HtmlToText::convert()
{
    QFETCH(QString, page);
    QFETCH(QString, text);
    QFETCH(QString, clipboard);
    QFETCH(QString, oneUndo);
    host.editor = &editor;
    host.reset();
    editor.SetRawText(page);
    editor.MoveCaret(editor.LineCount(), 1);  // the scan starts at the top wherever the caret is
    editor.SetModified(false);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));

    HtmlToText::ExportasText(host);

    QCOMPARE(editor.RawText(), text);
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard == "-" ? QStringLiteral("before") : clipboard);
    QCOMPARE(editor.Modified(), text != page);
    QCOMPARE(host.statuses, QStringList({"Converting to Text ...", "Ready ..."}));
    if (text != page) {
        editor.UndoStep();
        QCOMPARE(editor.RawText(), oneUndo);
    }
}

void tst_HtmlToText::noDocumentOnlyReady()
{
    host.editor = nullptr;
    host.reset();
    QCOMPARE(HtmlToText::ExportasText(host), 0);
    QCOMPARE(host.statuses, QStringList({"Ready ..."}));
}

VQ_TEST_MAIN(tst_HtmlToText)
#include "tst_HtmlToText.moc"
