// The spell checker: which words of an HTML text are checked, and a check
// of a document with a scripted "Spell Check" dialog (change, change all,
// ignore all, add to the user dictionary, cancel, undo).
#include "ScriptedPrompter.h"
#include "TestEnv.h"

#include "app/AppPaths.h"
#include "editor/TOvcTextFileEditor.h"
#include "spell/SpellScanner.h"
#include "spell/TAddictSpell.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QtTest>

namespace {
QStringList wordsOf(const QString& text)
{
    QStringList out;
    SpellScanState st;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        int pos = 0;
        for (SpellWord w = SpellScanner::next(line, pos, st); w.start >= 0; w = SpellScanner::next(line, pos, st)) {
            out << (line.mid(w.start, w.length) == w.text ? w.text : QStringLiteral("?"));
        }
    }
    return out;
}
}

class tst_Spell : public QObject {
    Q_OBJECT
private slots:
    void scanner_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("tags and attributes") << "<P ALIGN=\"center\" title='a b'>One <B>two</B></P>"
                                             << QStringList{"One", "two"};
        QTest::newRow("tag over lines") << "a <IMG\nSRC=\"x.gif\"\nALT=\"pic\"> b" << QStringList{"a", "b"};
        QTest::newRow("entities") << "caf&eacute; &amp; Tom&nbsp;cat &#169; x na&#239;ve&eacute;s y"
                                  << QStringList{"Tom", "cat", "x", "y"};
        QTest::newRow("apostrophes") << "'tis John's boys' don't" << QStringList{"tis", "John", "boys", "don't"};
        QTest::newRow("comment over lines") << "a <!-- not\nthis --> b" << QStringList{"a", "b"};
        QTest::newRow("script and style") << "a<script>var x = 'y';</script>b<style>p{}</style>c"
                                          << QStringList{"a", "b", "c"};
        QTest::newRow("digits") << "HTML4 2nd page" << QStringList{"page"};
        QTest::newRow("entity far before") << "&eacute;" + QString(40, 'x') + ";word" << QStringList{"word"};
        QTest::newRow("letter entity glued after ;") << "a;&eacute;b c" << QStringList{"a", "c"};
    }
    void scanner()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, words);
        QCOMPARE(wordsOf(text), words);
    }

    // One pass over a long line, whatever follows a ";".
    void longLineLinear()
    {
        QString line;
        for (int i = 0; i < 200000; ++i)
            line += QStringLiteral("ab;");
        QElapsedTimer t;
        t.start();
        const qsizetype words = wordsOf(line).size();
        QCOMPARE(words, qsizetype(200000));
        QVERIFY2(t.elapsed() < 3000, qPrintable(QString::number(t.elapsed()) + " ms"));
    }

    void check_data()
    {
        QTest::addColumn<QStringList>("answers");  // action:replacement, one per question
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("complete");
        const QString text = QStringLiteral("<P>Teh cat&nbsp;sat\n\tand teh dgo's <B ALT=\"zzq\">bowl</B> teh</P>");
        QTest::newRow("change, change all")
            << QStringList{"change:The", "changeall:the", "change:dog"}
            << QStringList{"Teh", "teh", "dgo"}
            << "<P>The cat&nbsp;sat\n\tand the dog's <B ALT=\"zzq\">bowl</B> the</P>" << true;
        QTest::newRow("ignore all, add")
            << QStringList{"ignore:", "ignoreall:", "add:"}
            << QStringList{"Teh", "teh", "dgo"} << text << true;
        QTest::newRow("cancel") << QStringList{"cancel:"} << QStringList{"Teh"} << text << false;
    }
    void check()
    {
        QFETCH(QStringList, answers);
        QFETCH(QStringList, asked);
        QFETCH(QString, result);
        QFETCH(bool, complete);
        ScriptedPrompter prompter;
        QFile::remove(AppPaths::dataFile(QStringLiteral("default.udt")));
        TOvcTextFileEditor editor;
        editor.SetTabSize(8);
        const QString text = QStringLiteral("<P>Teh cat&nbsp;sat\n\tand teh dgo's <B ALT=\"zzq\">bowl</B> teh</P>");
        editor.SetRawText(text);
        TAddictSpell spell(nullptr);
        QStringList questions;
        spell.dialogForTests = [&](const SpellQuery& q) {
            questions << q.word;
            const QString a = answers.value(int(questions.size()) - 1, QStringLiteral("cancel:"));
            const QString action = a.section(QLatin1Char(':'), 0, 0);
            SpellAnswer r;
            r.replacement = a.section(QLatin1Char(':'), 1);
            r.action = action == "change" ? SpellAnswer::Change : action == "changeall" ? SpellAnswer::ChangeAll
                : action == "ignore" ? SpellAnswer::Ignore : action == "ignoreall" ? SpellAnswer::IgnoreAll
                : action == "add" ? SpellAnswer::Add : SpellAnswer::Cancel;
            return r;
        };
        QCOMPARE(spell.CheckEditor(editor, &editor), complete);
        QCOMPARE(questions, asked);
        QCOMPARE(editor.RawText(), result);
        QCOMPARE(prompter.messages, complete ? QStringList{QStringLiteral("Spell Check Complete")} : QStringList());
        if (answers.contains(QStringLiteral("add:"))) {
            QCOMPARE(TestEnv::readAll(AppPaths::dataFile(QStringLiteral("default.udt"))), QByteArray("dgo\r\n"));
            TAddictSpell again(nullptr);
            QVERIFY(again.ensureLoaded(nullptr));
            QVERIFY(again.isCorrect(QStringLiteral("dgo")));
        }
        if (result != text) {
            // Each change undoes on its own: the last one first.
            editor.UndoStep();
            QVERIFY(editor.RawText().endsWith(QStringLiteral(" teh</P>")));
            QVERIFY(editor.RawText().contains(QStringLiteral("The cat")));
            QVERIFY(editor.RawText().contains(QStringLiteral("dog's")));
        }
    }
};

VQ_TEST_MAIN(tst_Spell)
#include "tst_Spell.moc"
