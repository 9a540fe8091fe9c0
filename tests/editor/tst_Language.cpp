// The editor's languages on pages the simple cases miss: a long inline
// script, elements far apart, a page on one long line, and stylesheets and
// scripts in files of their own.
#include "TestEnv.h"
#include "editor/HtmlHighlighter.h"
#include "editor/TOvcTextFileEditor.h"
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
        QCOMPARE(ed->RawLineText(30002), QStringLiteral("</div>"));
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
