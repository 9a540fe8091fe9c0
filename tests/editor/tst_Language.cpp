// The editor's languages on pages the simple cases miss: a long inline
// script, elements far apart, a page on one long line, and stylesheets and
// scripts in files of their own.
#include "TestEnv.h"
#include "editor/HtmlHighlighter.h"
#include "editor/TOvcTextFileEditor.h"
#include "editor/CompletionPopup.h"
#include "editor/TagMatcher.h"

#include <QtTest>

namespace {

// Types text into the editor, key by key.
void type(TOvcTextFileEditor& ed, const QString& text)
{
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(&ed, &press);
    }
}

void press(TOvcTextFileEditor& ed, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = QString())
{
    QKeyEvent e(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(&ed, &e);
}

// A minified script over 10 000 characters: tags and "<" in its strings,
// regular expressions and comparisons.
QString minifiedScript()
{
    return QStringLiteral("var a=\"<div>\",b=/<\\/?p>/g;if(x>1&&y<2){z='</b>'+a.replace(b,\">\")}/*<i>*/")
        .repeated(200);
}

} // namespace

class TstLanguage : public QObject {
    Q_OBJECT
    TOvcTextFileEditor* ed = nullptr;

    // The editor's text with "|" at the caret.
    QString marked() const
    {
        QString t = ed->RawText();
        t.insert(ed->caretOffset(), QLatin1Char('|'));
        return t;
    }

private slots:
    void initTestCase() { TestEnv::init(); }
    void init()
    {
        ed = new TOvcTextFileEditor;
        ed->SetAutoCloseTags(true);
        ed->resize(600, 400);
        ed->show();
    }
    void cleanup() { delete ed; }

    // "</" and the pairs around a line longer than 10 000 characters, and
    // far into it.
    void longLines_data()
    {
        QTest::addColumn<QString>("text");    // "|": where "</" is typed
        QTest::addColumn<QString>("closes");  // the element it closes
        QTest::newRow("after an inline script") << QStringLiteral("<div>\n<script>") + minifiedScript()
                                                       + QStringLiteral("</script>\n<p>x|") << "p";
        QTest::newRow("one-line page, far in") << QStringLiteral("<div><ul>") + QStringLiteral("<li>x</li>").repeated(5000)
                                                       + QStringLiteral("</ul><em>x|</div>") << "em";
        QTest::newRow("one-line page with a script") << QStringLiteral("<section><script>") + minifiedScript()
                                                            + QStringLiteral("</script>|") << "section";
    }
    void longLines()
    {
        QFETCH(QString, text);
        QFETCH(QString, closes);
        const int at = int(text.indexOf(QLatin1Char('|')));
        text.remove(at, 1);
        ed->SetRawText(text);
        ed->setSelection(at, at);
        type(*ed, QStringLiteral("</"));
        QCOMPARE(ed->RawText().mid(at, closes.size() + 3), QStringLiteral("</") + closes + QLatin1Char('>'));
        // and the pair from either end
        const int close = at;
        const TagLineSource& lines = *ed->tagLines();
        int line = 0, col = 0;
        ed->CaretPosition(line, col);
        const std::optional<TagRef> end = TagMatcher::tagAt(lines, line - 1, col - 3);
        QVERIFY(end && end->closing);
        const std::optional<TagRef> start = TagMatcher::partner(lines, *end);
        QVERIFY(start);
        QCOMPARE(start->name, closes);
        QCOMPARE(TagMatcher::partner(lines, *start), end);
        Q_UNUSED(close);
    }

    // No distance is too far for the pair marks, "</" or Ctrl+M.
    void farPairs()
    {
        ed->SetRawText(QStringLiteral("<div>") + QStringLiteral("\n<p>a</p>").repeated(30000) + QStringLiteral("\n"));
        ed->MoveCaret(30002, 1);
        type(*ed, QStringLiteral("</"));
        // (the pairs that far down are worked out on a worker: "</" is completed when they are in)
        QTRY_COMPARE(ed->RawLineText(30002), QStringLiteral("</div>"));
        ed->MoveCaret(30002, 3);
        ed->refreshTagMatch();
        QCOMPARE(ed->matchedTags().size(), 2);
        QCOMPARE(ed->matchedTags().last().start, 0);
        QVERIFY(TagMatcher::gotoPartner(*ed));
        int line = 0, col = 0;
        ed->CaretPosition(line, col);
        QCOMPARE(qMakePair(line, col), qMakePair(1, 2));
        QVERIFY(TagMatcher::gotoPartner(*ed));
        ed->CaretPosition(line, col);
        QCOMPARE(line, 30002);
        // An edit between the two is seen.
        ed->MoveCaret(15000, 1);
        ed->InsertAtCaret(QStringLiteral("</div>"));
        ed->MoveCaret(1, 2);
        ed->refreshTagMatch();
        QCOMPARE(ed->matchedTags().size(), 2);
        QCOMPARE(ed->matchedTags().last().start, ed->buffer().Text().LineStart(14999));
    }

    // Sets the text with "|" as the caret, or "[" and "]" around the selection.
    void setMarked(QString text)
    {
        const qsizetype a = text.indexOf(QLatin1Char('[')), caret = text.indexOf(QLatin1Char('|'));
        if (a >= 0) {
            text.remove(a, 1);
            const qsizetype b = text.indexOf(QLatin1Char(']'));
            text.remove(b, 1);
            ed->SetRawText(text);
            ed->setSelection(a, b);
        } else {
            text.remove(caret, 1);
            ed->SetRawText(text);
            ed->setSelection(caret, caret);
        }
    }

    // Ctrl+/ in each language of a page; one undo step.
    void toggleComment_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("HTML line") << "<div>\n  <p>x|</p>\n</div>" << "<div>\n  <!-- <p>x|</p> -->\n</div>";
        QTest::newRow("HTML selection") << "<p>[two words]</p>" << "<p><!-- two words --></p>";
        QTest::newRow("uncomment") << "  <!-- <b>x</b> -->|" << "  <b>x</b>|";
        QTest::newRow("CSS") << "<style>\n  p { color: red }|\n</style>" << "<style>\n  /* p { color: red } */|\n</style>";
        QTest::newRow("script lines") << "<script>\n[a();\nb();\n]</script>" << "<script>\n// a();\n// b();\n</script>";
    }
    void toggleComment()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        setMarked(before);
        const QString original = ed->RawText();
        press(*ed, Qt::Key_Slash, Qt::ControlModifier, QStringLiteral("/"));
        QString got = ed->RawText();
        if (after.contains(QLatin1Char('|')))
            got.insert(ed->caretOffset(), QLatin1Char('|'));
        QCOMPARE(got, after);
        ed->UndoStep();
        QCOMPARE(ed->RawText(), original);
    }

    // Abbreviations by Tab (a likely one only) and Ctrl+E.
    void abbreviations_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("after");
        QTest::newRow("Tab") << "<body>\n  ul>li*2|" << int(Qt::Key_Tab) << "<body>\n  <ul>\n  \t<li>|</li>\n  \t<li></li>\n  </ul>";
        QTest::newRow("Ctrl+E") << "<p>b{x}|" << int(Qt::Key_E) << "<p><b>x</b>|";
        QTest::newRow("Tab after a word") << "hello|" << int(Qt::Key_Tab) << "hello\t|";
        QTest::newRow("Tab in a script") << "<script>a.b|" << int(Qt::Key_Tab) << "<script>a.b\t|";
    }
    void abbreviations()
    {
        QFETCH(QString, before);
        QFETCH(int, key);
        QFETCH(QString, after);
        setMarked(before);
        press(*ed, key, key == Qt::Key_E ? Qt::ControlModifier : Qt::NoModifier, key == Qt::Key_Tab ? QStringLiteral("\t") : QString());
        QString got = ed->RawText();
        got.insert(ed->caretOffset(), QLatin1Char('|'));
        QCOMPARE(got, after);
    }

    // ">" after an opening tag offers its closing tag.
    void closeOnGreater_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");
        QTest::newRow("element") << "<div class=\"a\">" << "<div class=\"a\">|</div>";
        QTest::newRow("void") << "<br>" << "<br>|";
        QTest::newRow("self-closed") << "<x/>" << "<x/>|";
        QTest::newRow("in a value") << "<a title=\"x>" << "<a title=\"x>|";
        QTest::newRow("closing tag") << "</b>" << "</b>|";
        QTest::newRow("in a comment") << "<!-- <i>" << "<!-- <i>|";
    }
    void closeOnGreater()
    {
        QFETCH(QString, typed);
        QFETCH(QString, after);
        ed->SetAutoCloseTags(false);
        ed->SetRawText(QString());
        type(*ed, typed);
        ed->completionPopup() ? ed->completionPopup()->hide() : void();
        QCOMPARE(marked(), after);
    }

    // The end tag ">" put in is typed over by "</", not doubled; undo gives
    // the "</" back.
    void endTagTypedOver()
    {
        ed->SetAutoCloseTags(true);
        ed->SetRawText(QString());
        type(*ed, QStringLiteral("<i>x</"));
        ed->completionPopup() ? ed->completionPopup()->hide() : void();
        QCOMPARE(marked(), QStringLiteral("<i>x</i>|"));
        ed->UndoStep();
        QCOMPARE(ed->RawText(), QStringLiteral("<i>x</</i>"));
    }

    // The list follows the typing; it takes only the keys it uses.
    void completionPopup()
    {
        ed->SetRawText(QString());
        type(*ed, QStringLiteral("<ta"));
        CompletionPopup* popup = ed->completionPopup();
        QVERIFY(popup && popup->isVisible());
        QCOMPARE(popup->chosen(), QStringLiteral("table"));
        press(*ed, Qt::Key_Return);
        QCOMPARE(marked(), QStringLiteral("<table|"));
        QVERIFY(!popup->isVisible());
        type(*ed, QStringLiteral(" ti"));
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->context().kind, Completion::Kind::Attribute);
        type(*ed, QStringLiteral("t"));  // letters go to the text
        QCOMPARE(popup->chosen(), QStringLiteral("title"));
        press(*ed, Qt::Key_Escape);
        QVERIFY(!popup->isVisible());
        QCOMPARE(marked(), QStringLiteral("<table tit|"));
        ed->SetTagCase(QStringLiteral("U"));
        type(*ed, QStringLiteral("><"));
        QVERIFY(popup->isVisible());
        type(*ed, QStringLiteral("tb"));
        press(*ed, Qt::Key_Tab);
        QCOMPARE(marked(), QStringLiteral("<table tit><TBODY|</table>"));
        // Arrows move in the list, then the caret once it is closed.
        type(*ed, QStringLiteral(" "));
        QVERIFY(popup->isVisible());
        const QString first = popup->chosen();
        press(*ed, Qt::Key_Down);
        QVERIFY(popup->chosen() != first);
        QCOMPARE(marked(), QStringLiteral("<table tit><TBODY |</table>"));
        press(*ed, Qt::Key_Escape);
        // Not the attributes a tag has already.
        ed->SetRawText(QStringLiteral("<a href=\"x\" title=y>"));
        ed->setSelection(12, 12);
        type(*ed, QStringLiteral(" "));
        QVERIFY(popup->isVisible());
        QStringList offered;
        for (int i = 0; i < popup->count(); ++i)
            offered << popup->item(i)->text();
        QVERIFY(!offered.contains(QStringLiteral("href")) && !offered.contains(QStringLiteral("title")));
        QVERIFY(offered.contains(QStringLiteral("target")));
        press(*ed, Qt::Key_Escape);
        // Entities come from the symbol list.
        ed->SetRawText(QStringLiteral("<p>"));
        ed->setSelection(3, 3);
        type(*ed, QStringLiteral("&nbs"));
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->chosen(), QStringLiteral("nbsp"));
        press(*ed, Qt::Key_Return);
        QCOMPARE(marked(), QStringLiteral("<p>&nbsp;|"));
    }

    // Far into a long line the colours are those of the whole line
    // tokenized at once, whatever a slice boundary falls on.
    void longLineColours()
    {
        const QString line = QStringLiteral("<p id=x>") + minifiedScript().replace(QLatin1String("/*<i>*/"), QString())
                             + QStringLiteral("<script>") + minifiedScript() + QStringLiteral("</script><b title=\"a>b\">x</b>");
        ed->SetRawText(line);
        QList<Html::Token> tokens;
        Html::HtmlTokenizer::tokenize(line, Html::HtmlTokenizer::kInitialState, &tokens);
        for (const qsizetype from : {qsizetype(12000), qsizetype(line.size()) - 9000}) {
            // The colour of each character of [from, to), both ways.
            const qsizetype to = from + 3000;
            QList<QRgb> want(to - from, 0), got(to - from, 0);
            for (const Html::Token& t : std::as_const(tokens)) {
                for (qsizetype c = std::max<qsizetype>(t.start, from); c < std::min<qsizetype>(t.start + t.length, to); ++c)
                    want[c - from] = ed->highlighter()->colorOf(t.kind).rgb();
            }
            for (const QTextLayout::FormatRange& r : ed->highlighter()->formatsIn(0, from, to)) {
                if (r.format.underlineStyle() == QTextCharFormat::WaveUnderline)
                    continue;  // a stray closing tag's mark, over its token
                for (int c = r.start; c < r.start + r.length; ++c)
                    got[c] = r.format.foreground().color().rgb();
            }
            QCOMPARE(got, want);
        }
    }

    // Closing tags that close nothing are underlined as problems, and stop
    // being so when an edit above gives them an element.
    void strayClosingTags()
    {
        auto strays = [this](int line) {
            QStringList out;
            for (const QTextLayout::FormatRange& r : ed->highlighter()->lineFormats(line)) {
                if (r.format.underlineStyle() == QTextCharFormat::WaveUnderline)
                    out << ed->RawLineText(line + 1).mid(r.start, r.length);
            }
            return out.join(QLatin1Char(' '));
        };
        ed->SetRawText(QStringLiteral("<div><h5>x</h3></h5>\n<p>a</p>\n</span></div>"));
        ed->repaint();
        QCOMPARE(strays(0), QStringLiteral("</h3"));
        QCOMPARE(strays(2), QStringLiteral("</span"));
        ed->MoveCaret(1, 6);
        ed->InsertAtCaret(QStringLiteral("<span>"));
        ed->repaint();
        QCOMPARE(strays(2), QString());
        ed->UndoStep();
        ed->repaint();
        QCOMPARE(strays(2), QStringLiteral("</span"));
    }

    // A plain text file gets no closing tags, lists or abbreviations.
    void plainTextGetsNoHelp()
    {
        const QString file = TestEnv::workDir() + QStringLiteral("/notes.txt");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        ed->LoadFile(file);
        type(*ed, QStringLiteral("<b>ul>li"));
        QVERIFY(!ed->completionPopup() || !ed->completionPopup()->isVisible());
        press(*ed, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
        QCOMPARE(marked(), QStringLiteral("<b>ul>li\t|"));
    }

    // Each file is coloured in its own language.
    void fileTypes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("word");  // coloured as kind
        QTest::addColumn<int>("kind");      // -1: plain
        QTest::newRow("stylesheet") << "a.css" << "body {\n  color: red;\n}" << 1 << "color" << int(Html::TokenKind::CssProperty);
        QTest::newRow("script") << "a.js" << "var s = \"<script>\";\nif (a < b) s = 1;" << 1 << "if" << int(Html::TokenKind::ScriptKeyword);
        QTest::newRow("script, no tags") << "a.js" << "s = a <b && c> d;\n" << 0 << "b" << -1;
        QTest::newRow("page") << "a.htm" << "<p>\n<b>x</b>" << 1 << "<b>" << int(Html::TokenKind::Tag);
        QTest::newRow("PHP page") << "a.php" << "<?php\n$u->name(); ?>" << 1 << "$u->" << int(Html::TokenKind::ServerCode);
        QTest::newRow("plain text") << "a.txt" << "<b>x</b>" << 0 << "<b>" << -1;
    }
    void fileTypes()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(int, line);
        QFETCH(QString, word);
        QFETCH(int, kind);
        const QString file = TestEnv::workDir() + QLatin1Char('/') + name;
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
        f.close();
        ed->LoadFile(file);
        const int at = int(ed->RawLineText(line + 1).indexOf(word));
        QVERIFY(at >= 0);
        QColor colour;
        for (const QTextLayout::FormatRange& r : ed->highlighter()->lineFormats(line)) {
            if (r.start <= at && at < r.start + r.length)
                colour = r.format.foreground().color();
        }
        if (kind < 0)
            QVERIFY(!colour.isValid());
        else
            QCOMPARE(colour, ed->highlighter()->colorOf(Html::TokenKind(kind)));
    }
};

QTEST_MAIN(TstLanguage)
#include "tst_Language.moc"
