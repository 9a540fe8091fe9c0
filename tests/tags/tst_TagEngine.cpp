#include "TestEnv.h"
#include "TagTestSupport.h"

#include "tags/TagEngine.h"

#include <QApplication>
#include <QtTest>

class tst_TagEngine : public QObject {
    Q_OBJECT
private slots:
    void init();
    void insertMatrix_data();
    void insertMatrix();
    void caseKeepsReferences_data();
    void caseKeepsReferences();
    void missingSettingsMeanWordAndStay();
    void noDocumentChangesNothing();
    void repeatBeforeAnythingInserted();
    void repeatReplaysConvertedPair();
    void pairFromListThenRepeat();
    void failedInsertionStillFinishes();
    void readOnlyEditorKeepsCaretValid_data();
    void readOnlyEditorKeepsCaretValid();
    void multiLineTexts_data();
    void multiLineTexts();
    void selectionHelpers_data();
    void selectionHelpers();
    void undoTakesBackTheWholePair_data();
    void undoTakesBackTheWholePair();
    void colorIndex_data();
    void colorIndex();
    void colorRef_data();
    void colorRef();

private:
    TestHost host;
    TestEditor editor;
};

void tst_TagEngine::init()
{
    TestEnv::clearSettings();
    host.reset();
    host.editor = &editor;
    editor.failInsert = false;
    editor.focusCalls = 0;
}

void tst_TagEngine::insertMatrix_data()
{
    QTest::addColumn<QString>("tagCase");
    QTest::addColumn<QString>("stay");
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("close");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("lastOpen");
    QTest::addColumn<QString>("lastClose");

    const QString font = QStringLiteral("<Font Size=\"+1\">");
    // No selection: both texts at the caret, caret between them.
    QTest::newRow("caret U") << "U" << "Y" << "ab|cd" << font << "</Font>"
                             << "ab<FONT SIZE=\"+1\">|</FONT>cd" << "<FONT SIZE=\"+1\">" << "</FONT>";
    QTest::newRow("caret L") << "L" << "Y" << "ab|cd" << font << "</Font>"
                             << "ab<font size=\"+1\">|</font>cd" << "<font size=\"+1\">" << "</font>";
    QTest::newRow("caret W") << "W" << "N" << "ab|cd" << font << "</Font>"
                             << "ab<Font Size=\"+1\">|</Font>cd" << font << "</Font>";
    QTest::newRow("caret other value") << "X" << "Y" << "ab|cd" << font << "</Font>"
                                       << "ab<Font Size=\"+1\">|</Font>cd" << font << "</Font>";
    QTest::newRow("caret small u is not U") << "u" << "Y" << "|" << "<b>" << "</b>"
                                            << "<b>|</b>" << "<b>" << "</b>";
    QTest::newRow("caret empty close U") << "U" << "Y" << "ab|cd" << "<Br>" << ""
                                         << "ab<BR>|cd" << "<BR>" << "";
    QTest::newRow("caret empty close W N") << "W" << "N" << "ab|cd" << "<Br>" << ""
                                           << "ab<Br>|cd" << "<Br>" << "";
    QTest::newRow("caret in empty document") << "W" << "Y" << "" << "<H1>" << "</H1>"
                                             << "<H1>|</H1>" << "<H1>" << "</H1>";
    QTest::newRow("caret second line") << "W" << "Y" << "one\ntw|o" << "<I>" << "</I>"
                                       << "one\ntw<I>|</I>o" << "<I>" << "</I>";

    // One-line selection.
    QTest::newRow("line W Y") << "W" << "Y" << "Say [Hello] there" << "<B>" << "</B>"
                              << "Say <B>[Hello]</B> there" << "<B>" << "</B>";
    QTest::newRow("line W N") << "W" << "N" << "Say [Hello] there" << "<B>" << "</B>"
                              << "Say <B>|Hello</B> there" << "<B>" << "</B>";
    QTest::newRow("line U Y") << "U" << "Y" << "Say [Hello] there" << "<b>" << "</b>"
                              << "Say <B>[Hello]</B> there" << "<B>" << "</B>";
    QTest::newRow("line L Y long open") << "L" << "Y" << "Say [Hello] there" << font << "</Font>"
                                        << "Say <font size=\"+1\">[Hello]</font> there"
                                        << "<font size=\"+1\">" << "</font>";
    QTest::newRow("line U N") << "U" << "N" << "[Hello]" << "<i>" << "</i>"
                              << "<I>|Hello</I>" << "<I>" << "</I>";
    QTest::newRow("line other Y") << "?" << "Y" << "a[bc]d" << "<Em>" << "</Em>"
                                  << "a<Em>[bc]</Em>d" << "<Em>" << "</Em>";
    QTest::newRow("line empty close Y") << "W" << "Y" << "Say [Hello] there" << "<!--" << ""
                                        << "Say <!--[Hello] there" << "<!--" << "";
    QTest::newRow("line empty close N") << "W" << "N" << "Say [Hello] there" << "<!--" << ""
                                        << "Say <!--|Hello there" << "<!--" << "";
    QTest::newRow("line made backwards") << "W" << "Y" << "Say {Hello} there" << "<B>" << "</B>"
                                         << "Say <B>[Hello]</B> there" << "<B>" << "</B>";
    QTest::newRow("line stay small y") << "W" << "y" << "Say [Hello] there" << "<B>" << "</B>"
                                       << "Say <B>|Hello</B> there" << "<B>" << "</B>";
    QTest::newRow("line stay empty") << "W" << "" << "Say [Hello] there" << "<B>" << "</B>"
                                     << "Say <B>|Hello</B> there" << "<B>" << "</B>";
    QTest::newRow("line whole") << "W" << "Y" << "[Hello]" << "<B>" << "</B>"
                                << "<B>[Hello]</B>" << "<B>" << "</B>";

    // Selection over several lines: only the start column moves.
    QTest::newRow("lines W Y") << "W" << "Y" << "ab[cd\nef]gh" << "<H2>" << "</H2>"
                               << "ab<H2>[cd\nef]</H2>gh" << "<H2>" << "</H2>";
    QTest::newRow("lines W N") << "W" << "N" << "ab[cd\nef]gh" << "<H2>" << "</H2>"
                               << "ab<H2>|cd\nef</H2>gh" << "<H2>" << "</H2>";
    QTest::newRow("lines U Y three") << "U" << "Y" << "x[yy\nzz\nw]v" << "<div class=a>" << "</div>"
                                     << "x<DIV CLASS=A>[yy\nzz\nw]</DIV>v" << "<DIV CLASS=A>"
                                     << "</DIV>";
    QTest::newRow("lines L N") << "L" << "N" << "x[yy\nw]v" << "<DIV>" << "</DIV>"
                               << "x<div>|yy\nw</div>v" << "<div>" << "</div>";
    QTest::newRow("lines empty close Y") << "W" << "Y" << "a[b\nc]d" << "<P>" << ""
                                         << "a<P>[b\nc]d" << "<P>" << "";
    QTest::newRow("lines end at column 1") << "W" << "Y" << "[Hello\n]World" << "<B>" << "</B>"
                                           << "<B>[Hello\n]</B>World" << "<B>" << "</B>";
    QTest::newRow("lines end longer than start") << "W" << "Y" << "a[b\nccccccc]" << "<TT>" << "</TT>"
                                                 << "a<TT>[b\nccccccc]</TT>" << "<TT>" << "</TT>";

    // Only the letters a-z and A-Z change.
    QTest::newRow("non-ascii upper") << "U" << "Y" << "|" << QStringLiteral("<\u00e9-tag \u00df>") << ""
                                     << QStringLiteral("<\u00e9-TAG \u00df>|")
                                     << QStringLiteral("<\u00e9-TAG \u00df>") << "";
    QTest::newRow("non-ascii lower") << "L" << "Y" << "|" << QStringLiteral("<\u00c9-TAG>") << "</X1>"
                                     << QStringLiteral("<\u00c9-tag>|</x1>")
                                     << QStringLiteral("<\u00c9-tag>") << "</x1>";
}

// Character references keep their letters; tag and attribute names change.
void tst_TagEngine::caseKeepsReferences_data()
{
    QTest::addColumn<QString>("tagCase");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("named U") << "U" << "&nbsp;" << "&nbsp;";
    QTest::newRow("named L") << "L" << "&Eacute;&AElig;" << "&Eacute;&AElig;";
    QTest::newRow("hex U") << "U" << "&#x20ac;" << "&#x20ac;";
    QTest::newRow("decimal U") << "U" << "<b>&#160;</b>" << "<B>&#160;</B>";
    QTest::newRow("in a tag") << "U" << "<a title=\"&euro;\">" << "<A TITLE=\"&euro;\">";
    QTest::newRow("bare ampersand") << "U" << "a & b; c&d" << "A & B; C&D";
    QTest::newRow("no semicolon") << "U" << "&copy x" << "&COPY X";
    QTest::newRow("empty reference") << "L" << "&;&#;&#X;" << "&;&#;&#x;";
}

void tst_TagEngine::caseKeepsReferences()
{
    QFETCH(QString, tagCase);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(TagEngine::applyTagCase(text, tagCase), expected);
}

void tst_TagEngine::insertMatrix()
{
    QFETCH(QString, tagCase);
    QFETCH(QString, stay);
    QFETCH(QString, document);
    QFETCH(QString, open);
    QFETCH(QString, close);
    QFETCH(QString, expected);
    QFETCH(QString, lastOpen);
    QFETCH(QString, lastClose);

    host.setTags(tagCase, stay);
    Marked::set(editor, document);
    TagEngine engine(host);
    engine.InsertTagPair(open, close);

    QCOMPARE(Marked::get(editor), expected);
    QVERIFY(editor.Modified());
    QCOMPARE(engine.LastOpenTag(), lastOpen);
    QCOMPARE(engine.LastCloseTag(), lastClose);
    QCOMPARE(host.tagPanels, QStringList{lastOpen + " : " + lastClose});
    QCOMPARE(host.statuses, (QStringList{"Adding Command ...", "Ready ..."}));
    QCOMPARE(editor.focusCalls, 1);
}

void tst_TagEngine::missingSettingsMeanWordAndStay()
{
    Marked::set(editor, "Say [Hello] there");
    TagEngine engine(host);
    engine.InsertTagPair("<b>", "</b>");
    QCOMPARE(Marked::get(editor), QString("Say <b>[Hello]</b> there"));
}

void tst_TagEngine::noDocumentChangesNothing()
{
    host.setTags("U", "Y");
    TagEngine engine(host);
    engine.setLastPair("<P>", "</P>");
    host.editor = nullptr;
    engine.InsertTagPair("<b>", "</b>");
    QCOMPARE(host.statuses, (QStringList{"Adding Command ...", "Ready ..."}));
    QVERIFY(host.tagPanels.isEmpty());
    QCOMPARE(engine.lastPair(), (TagPair{"<P>", "</P>"}));
    QVERIFY(!engine.ActiveHasSelection());
    engine.DeleteActiveSelection();
}

void tst_TagEngine::repeatBeforeAnythingInserted()
{
    Marked::set(editor, "ab|");
    TagEngine engine(host);
    engine.RepeatLastTag();
    QCOMPARE(Marked::get(editor), QString("ab|"));
    QVERIFY(editor.Modified());
    QCOMPARE(host.tagPanels, QStringList{" : "});
}

void tst_TagEngine::repeatReplaysConvertedPair()
{
    Marked::set(editor, "|");
    TagEngine engine(host);
    host.setTags("U", "Y");
    engine.InsertTagPair("<a href=\"x\">", "</a>");
    QCOMPARE(engine.lastPair(), (TagPair{"<A HREF=\"X\">", "</A>"}));

    host.setTags("W", "Y");
    Marked::set(editor, "|");
    engine.RepeatLastTag();
    QCOMPARE(Marked::get(editor), QString("<A HREF=\"X\">|</A>"));

    host.setTags("L", "Y");
    Marked::set(editor, "|");
    engine.RepeatLastTag();
    QCOMPARE(Marked::get(editor), QString("<a href=\"x\">|</a>"));
    QCOMPARE(engine.lastPair(), (TagPair{"<a href=\"x\">", "</a>"}));
}

void tst_TagEngine::pairFromListThenRepeat()
{
    TagEngine engine(host);
    engine.setLastPair("&copy;", QString());
    QVERIFY(host.statuses.isEmpty());
    Marked::set(editor, "x|y");
    engine.RepeatLastTag();
    QCOMPARE(Marked::get(editor), QString("x&copy;|y"));
}

void tst_TagEngine::failedInsertionStillFinishes()
{
    host.setTags("U", "Y");
    Marked::set(editor, "a[b]c");
    editor.failInsert = true;
    TagEngine engine(host);
    QVERIFY_THROWS_EXCEPTION(EEditorError, engine.InsertTagPair("<b>", "</b>"));
    QCOMPARE(host.statuses, (QStringList{"Adding Command ...", "Ready ..."}));
    QCOMPARE(host.tagPanels, QStringList{"<B> : </B>"});
    QVERIFY(editor.Modified());
    QCOMPARE(engine.lastPair(), (TagPair{"<B>", "</B>"}));
    QCOMPARE(editor.focusCalls, 0);
}

void tst_TagEngine::readOnlyEditorKeepsCaretValid_data()
{
    QTest::addColumn<QString>("document");
    QTest::newRow("caret at line start") << "|abc";
    QTest::newRow("selection") << "a[bc]d";
    QTest::newRow("selection over lines") << "a[b\nc]d";
}

void tst_TagEngine::readOnlyEditorKeepsCaretValid()
{
    // Nothing can be inserted; the caret must not be moved to a place
    // computed from texts that never went in.
    QFETCH(QString, document);
    TestEditor ro;
    Marked::set(ro, document);
    ro.makeReadOnly();
    host.editor = &ro;
    TagEngine engine(host);
    engine.InsertTagPair("<LONGER-TAG>", "</LONGER-TAG>");
    QCOMPARE(Marked::get(ro), document);
    QCOMPARE(host.tagPanels, QStringList{"<LONGER-TAG> : </LONGER-TAG>"});
}

void tst_TagEngine::multiLineTexts_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("expected");
    QTest::newRow("caret") << "x|y" << "x<UL>\n<LI>|\n</UL>y";
    QTest::newRow("one line") << "a[b]c" << "a<UL>\n<LI>[b]\n</UL>c";
    QTest::newRow("lines") << "a[b\nc]d" << "a<UL>\n<LI>[b\nc]\n</UL>d";
}

void tst_TagEngine::multiLineTexts()
{
    // Texts holding line breaks still leave the caret and the selection
    // where single-line texts would.
    QFETCH(QString, document);
    QFETCH(QString, expected);
    host.setTags("W", "Y");
    Marked::set(editor, document);
    TagEngine engine(host);
    engine.InsertTagPair("<UL>\n<LI>", "\n</UL>");
    QCOMPARE(Marked::get(editor), expected);
}

void tst_TagEngine::selectionHelpers_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<bool>("hasSelection");
    QTest::addColumn<QString>("afterDelete");
    QTest::newRow("caret") << "ab|c" << false << "ab|c";
    QTest::newRow("word") << "a[bc]d" << true << "a|d";
    QTest::newRow("backwards") << "a{bc}d" << true << "a|d";
    QTest::newRow("lines") << "a[b\nc]d" << true << "a|d";
}

void tst_TagEngine::selectionHelpers()
{
    QFETCH(QString, document);
    QFETCH(bool, hasSelection);
    QFETCH(QString, afterDelete);
    Marked::set(editor, document);
    TagEngine engine(host);
    QCOMPARE(engine.ActiveHasSelection(), hasSelection);
    engine.DeleteActiveSelection();
    QCOMPARE(Marked::get(editor), afterDelete);
    QVERIFY(host.statuses.isEmpty());
}

void tst_TagEngine::undoTakesBackTheWholePair_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("at the caret") << "ab|cd" << "ab<B>|</B>cd";
    QTest::newRow("around a selection") << "a[bc]d" << "a<B>[bc]</B>d";
    QTest::newRow("over two lines") << "a[b\nc]d" << "a<B>[b\nc]</B>d";
}

void tst_TagEngine::undoTakesBackTheWholePair()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    Marked::set(editor, before);
    editor.ClearUndoHistory();
    TagEngine engine(host);
    engine.InsertTagPair("<B>", "</B>");
    QCOMPARE(Marked::get(editor), after);
    editor.UndoStep();
    QCOMPARE(editor.RawText(), QString(before).remove('[').remove(']').remove('|'));
    editor.RedoStep();
    QCOMPARE(editor.RawText(), QString(after).remove('[').remove(']').remove('|'));
}

void tst_TagEngine::colorIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    const char* const expected[] = {"#000000", "#770000", "#339933", "#999900", "#000099", "#993399",
                                    "#009999", "#CCCCCC", "#777777", "#FF3333", "#00FF33", "#FFFF00",
                                    "#3333FF", "#FF66CC", "#00FFFF", "#FFFFFF"};
    for (int i = 0; i < 16; ++i)
        QTest::addRow("%d", i) << i << QString(expected[i]);
    QTest::newRow("-1") << -1 << QString();
    QTest::newRow("16") << 16 << QString();
    QTest::newRow("large") << 1000 << QString();
}

void tst_TagEngine::colorIndex()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QCOMPARE(TagEngine::ColorIndexToHtml(index), text);
}

void tst_TagEngine::colorRef_data()
{
    QTest::addColumn<uint>("ref");
    QTest::addColumn<QString>("text");
    QTest::newRow("red") << 0x0000FFu << "#FF0000";
    QTest::newRow("green") << 0x00FF00u << "#00FF00";
    QTest::newRow("blue") << 0xFF0000u << "#0000FF";
    QTest::newRow("mixed") << 0x123456u << "#563412";
    QTest::newRow("small digits padded") << 0x000A0Bu << "#0B0A00";
    QTest::newRow("lower hex to capitals") << 0xabcdefu << "#EFCDAB";
    QTest::newRow("high byte ignored") << 0x02FFFFFFu << "#FFFFFF";
}

void tst_TagEngine::colorRef()
{
    QFETCH(uint, ref);
    QFETCH(QString, text);
    QCOMPARE(TagEngine::ColorRefToHtml(ref), text);
}

VQ_TEST_MAIN(tst_TagEngine)
#include "tst_TagEngine.moc"
