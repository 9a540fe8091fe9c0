#include "ScriptedPrompter.h"
#include "TestEnv.h"
#include "TagTestSupport.h"

#include "app/AppPaths.h"
#include "tags/HtmlTagList.h"
#include "tags/ListDragSource.h"
#include "tags/TfColorChooser.h"
#include "tags/TfHTMLTags.h"
#include "tags/TfSymbol.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QtTest>

class tst_Choosers : public QObject {
    Q_OBJECT
private slots:
    void init();
    void tagChooserShowsList();
    void tagDoubleClick_data();
    void tagDoubleClick();
    void mouseDownSetsPairWithoutDrop();
    void dragCarriesOurType();
    void otherDragsAreNotOurs();
    void symbolChooserReloadsFile();
    void symbolDoubleClickAndMouseDown();
    void keepOnTopAndClose();
    void placementKeptAcrossShowings();
    void colorGridCodes_data();
    void colorGridCodes();
    void colorInsertAsTyped_data();
    void colorInsertAsTyped();
    void moreColors();
    void colorChooserKeys_data();
    void colorChooserKeys();

private:
    QTreeWidgetItem* itemByFirstColumn(ChooserList* list, const QString& text);
    void pressOn(ChooserList* list, QTreeWidgetItem* item);
    void doubleClickOn(ChooserList* list, QTreeWidgetItem* item);
    TestHost host;
    TestEditor editor;
    ScriptedPrompter prompter;
};

void tst_Choosers::init()
{
    TestEnv::clearSettings();
    QFile::remove(AppPaths::programFile("symbols.web"));
    host.reset();
    host.editor = &editor;
    host.setTags("W", "Y");
}

QTreeWidgetItem* tst_Choosers::itemByFirstColumn(ChooserList* list, const QString& text)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0) == text)
            return list->topLevelItem(i);
    }
    return nullptr;
}

void tst_Choosers::pressOn(ChooserList* list, QTreeWidgetItem* item)
{
    list->scrollToItem(item);
    const QPoint at = list->visualItemRect(item).center();
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

void tst_Choosers::doubleClickOn(ChooserList* list, QTreeWidgetItem* item)
{
    list->scrollToItem(item);
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void tst_Choosers::tagChooserShowsList()
{
    TagEngine engine(host);
    TfHTMLTags w(engine);
    QCOMPARE(w.windowTitle(), QString("HTML Tags"));
    QCOMPARE(w.Prefs.IniSect, QString("HTML Tags"));
    QCOMPARE(w.lstHTML->items(), HtmlTagList::builtInTags());
    QCOMPARE(w.lstHTML->toolTip(), QString("Double Click or Drag & Drop to Insert HTML Tag"));
    QCOMPARE(w.lstHTML->selectionMode(), QAbstractItemView::ExtendedSelection);
    QTreeWidgetItem* b = itemByFirstColumn(w.lstHTML, "<B>");
    QVERIFY(b);
    QCOMPARE(b->text(1), QString("</B>"));

    w.resize(400, 300);
    w.showChooser();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const int share = w.lstHTML->columnWidth(0) * 100 / w.lstHTML->viewport()->width();
    QVERIFY2(share >= 49 && share <= 50, QByteArray::number(share));
}

void tst_Choosers::tagDoubleClick_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("repeated");
    QTest::newRow("bold wraps selection") << "<B>" << "Say [Hello] there" << "Say <B>[Hello]</B> there"
                                          << "<B>|</B>";
    QTest::newRow("line break, caret after") << "<BR>" << "a|b" << "a<BR>|b" << "<BR>|";
    QTest::newRow("comment") << "<!--" << "|" << "<!--|-->" << "<!--|-->";
}

void tst_Choosers::tagDoubleClick()
{
    QFETCH(QString, tag);
    QFETCH(QString, document);
    QFETCH(QString, expected);
    QFETCH(QString, repeated);
    TagEngine engine(host);
    TfHTMLTags w(engine);
    w.showChooser();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Marked::set(editor, document);
    doubleClickOn(w.lstHTML, itemByFirstColumn(w.lstHTML, tag));
    QCOMPARE(Marked::get(editor), expected);

    // F4 then repeats the same pair.
    Marked::set(editor, "|");
    engine.RepeatLastTag();
    QCOMPARE(Marked::get(editor), repeated);
}

void tst_Choosers::mouseDownSetsPairWithoutDrop()
{
    TagEngine engine(host);
    TfHTMLTags w(engine);
    w.showChooser();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Marked::set(editor, "|");
    pressOn(w.lstHTML, itemByFirstColumn(w.lstHTML, "<TABLE>"));
    QCOMPARE(engine.lastPair(), (TagPair{"<TABLE>", "</TABLE>"}));
    QCOMPARE(Marked::get(editor), QString("|"));
    QVERIFY(host.statuses.isEmpty());
    engine.RepeatLastTag();
    QCOMPARE(Marked::get(editor), QString("<TABLE>|</TABLE>"));

    // Only the left button picks up a pair.
    QTreeWidgetItem* bold = itemByFirstColumn(w.lstHTML, "<B>");
    w.lstHTML->scrollToItem(bold);
    QTest::mousePress(w.lstHTML->viewport(), Qt::RightButton, {},
                      w.lstHTML->visualItemRect(bold).center());
    QCOMPARE(engine.lastPair(), (TagPair{"<TABLE>", "</TABLE>"}));
}

void tst_Choosers::dragCarriesOurType()
{
    TagEngine engine(host);
    TfHTMLTags w(engine);
    w.showChooser();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QStringList formats;
    QByteArray payload;
    TagPair pairAtDrag;
    w.dragSource()->setDragExecutor([&](QAbstractItemView*, QMimeData* data) {
        formats = data->formats();
        payload = data->data(ListDragSource::kMimeType);
        pairAtDrag = engine.lastPair();
        QVERIFY(ListDragSource::isOurDrag(data));
        delete data;
    });
    QTreeWidgetItem* item = itemByFirstColumn(w.lstHTML, "<UL>");
    w.lstHTML->scrollToItem(item);
    const QPoint at = w.lstHTML->visualItemRect(item).center();
    QTest::mousePress(w.lstHTML->viewport(), Qt::LeftButton, {}, at);
    // A small movement is not yet a drag.
    QMouseEvent small(QEvent::MouseMove, at + QPoint(1, 0), w.lstHTML->viewport()->mapToGlobal(at),
                      Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.lstHTML->viewport(), &small);
    QVERIFY(formats.isEmpty());
    const QPoint far = at + QPoint(QApplication::startDragDistance() + 5, 0);
    QMouseEvent move(QEvent::MouseMove, far, w.lstHTML->viewport()->mapToGlobal(far), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.lstHTML->viewport(), &move);
    QCOMPARE(formats, QStringList{"application/x-velquist-tag-pair"});
    QCOMPARE(QString::fromUtf8(payload), QString("<UL>\t</UL>"));
    QCOMPARE(pairAtDrag, (TagPair{"<UL>", "</UL>"}));
}

void tst_Choosers::otherDragsAreNotOurs()
{
    QMimeData text;
    text.setText("<B>");
    QVERIFY(!ListDragSource::isOurDrag(&text));
    QVERIFY(!ListDragSource::isOurDrag(nullptr));
    std::unique_ptr<QMimeData> ours(ListDragSource::makeMimeData("x"));
    QVERIFY(ListDragSource::isOurDrag(ours.get()));
}

void tst_Choosers::symbolChooserReloadsFile()
{
    TagEngine engine(host);
    TfSymbol w(engine);
    QCOMPARE(w.windowTitle(), QString("Symbols"));
    QCOMPARE(w.Prefs.IniSect, QString("Symbols"));
    QCOMPARE(w.lSym->toolTip(), QString("Double Click or Drag & Drop to Insert Symbol"));
    QStringList builtIn = HtmlTagList::builtInSymbols();
    // Case ignored, the capital first where only case differs.
    std::sort(builtIn.begin(), builtIn.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    QCOMPARE(w.lSym->items(), builtIn);
    QCOMPARE(builtIn.mid(0, 3), (QStringList{"&Aacute;\tA, acute accent", "&aacute;\ta, acute accent", "&Acirc;\tA, circumflex accent"}));

    QEvent activate(QEvent::WindowActivate);
    // No file: the list keeps what it holds.
    QApplication::sendEvent(&w, &activate);
    QCOMPARE(w.lSym->items(), builtIn);

    QVERIFY(TestEnv::writeAll(AppPaths::programFile("symbols.web"), "&euro;\tEuro sign\r\n&amp;\tAmpersand\r\n"));
    QApplication::sendEvent(&w, &activate);
    QCOMPARE(w.lSym->items(), (QStringList{"&amp;\tAmpersand", "&euro;\tEuro sign"}));
    // An unchanged file leaves the items alone: the click that activates
    // the window keeps the item under the pointer.
    QTreeWidgetItem* first = w.lSym->topLevelItem(0);
    QApplication::sendEvent(&w, &activate);
    QCOMPARE(w.lSym->topLevelItem(0), first);

    // Edits show at the next activation; the current item stays current.
    w.lSym->setCurrentItem(itemByFirstColumn(w.lSym, "&euro;"));
    QVERIFY(TestEnv::writeAll(AppPaths::programFile("symbols.web"), "&euro;\tEuro sign\n&pound;\tPound\n"));
    QApplication::sendEvent(&w, &activate);
    QCOMPARE(w.lSym->items(), (QStringList{"&euro;\tEuro sign", "&pound;\tPound"}));
    QCOMPARE(w.lSym->currentItemText(), QString("&euro;\tEuro sign"));

    QFile::remove(AppPaths::programFile("symbols.web"));
    QApplication::sendEvent(&w, &activate);
    QCOMPARE(w.lSym->items().size(), 2);

    w.resize(400, 300);
    w.showChooser();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const int share = w.lSym->columnWidth(0) * 100 / w.lSym->viewport()->width();
    QVERIFY2(share >= 29 && share <= 30, QByteArray::number(share));
}

void tst_Choosers::symbolDoubleClickAndMouseDown()
{
    QVERIFY(TestEnv::writeAll(AppPaths::programFile("symbols.web"), "&euro;\tEuro sign\n&copy;\tCopyright\n"));
    TagEngine engine(host);
    TfSymbol w(engine);
    w.showChooser();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.LoadSymbols();

    Marked::set(editor, "a|b");
    doubleClickOn(w.lSym, itemByFirstColumn(w.lSym, "&euro;"));
    QCOMPARE(Marked::get(editor), QString("a&euro;|b"));

    pressOn(w.lSym, itemByFirstColumn(w.lSym, "&copy;"));
    QCOMPARE(engine.lastPair(), (TagPair{"&copy;", ""}));
    Marked::set(editor, "|");
    engine.RepeatLastTag();
    QCOMPARE(Marked::get(editor), QString("&copy;|"));

    // Without a current item the handler inserts an empty text.
    w.lSym->setCurrentItem(nullptr);
    Marked::set(editor, "x|");
    w.lSym->clearSelection();
    w.lSymDblClick();
    QCOMPARE(Marked::get(editor), QString("x|"));
    QCOMPARE(engine.lastPair(), (TagPair{"", ""}));
}

void tst_Choosers::keepOnTopAndClose()
{
    TagEngine engine(host);
    TfSymbol w(engine);
    QVERIFY(w.KeeponTop1->isChecked());
    QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
    w.showChooser();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.KeeponTop1->trigger();
    QVERIFY(!w.KeeponTop1->isChecked());
    QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(w.isVisible());
    w.KeeponTop1->trigger();
    QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(w.isVisible());

    w.Close1->trigger();
    QVERIFY(!w.isVisible());
    // Hidden, not destroyed: shown again with its list.
    w.showChooser();
    QVERIFY(w.isVisible());
    QVERIFY(w.lSym->topLevelItemCount() > 0);
}

void tst_Choosers::placementKeptAcrossShowings()
{
    TagEngine engine(host);
    QRect placed;
    {
        TfHTMLTags w(engine);
        w.showChooser();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.setGeometry(120, 140, 333, 222);
        placed = w.geometry();
        w.close();
    }
    const QByteArray ini = TestEnv::readAll(TestEnv::settingsDir() + "/velqopt.ini");
    QVERIFY2(ini.contains("[HTML Tags]"), ini.constData());
    QVERIFY2(ini.contains("FORM_PLACE="), ini.constData());

    TfHTMLTags again(engine);
    again.showChooser();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(again.geometry().size(), placed.size());
    again.close();

    TfColorChooser c(engine);
    c.showChooser();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    c.CancelBtn->click();
    QVERIFY(!c.isVisible());
    QVERIFY(TestEnv::readAll(TestEnv::settingsDir() + "/velqopt.ini").contains("[Color Chooser]"));
}

void tst_Choosers::colorGridCodes_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("code");
    const char* const codes[] = {"#000000", "#800000", "#008000", "#808000", "#000080", "#800080",
                                 "#008080", "#C0C0C0", "#808080", "#FF0000", "#00FF00", "#FFFF00",
                                 "#0000FF", "#FF00FF", "#00FFFF", "#FFFFFF"};
    for (int i = 0; i < 16; ++i)
        QTest::addRow("%d %s", i, codes[i]) << i << QString(codes[i]);
}

void tst_Choosers::colorGridCodes()
{
    QFETCH(int, index);
    QFETCH(QString, code);
    TagEngine engine(host);
    TfColorChooser c(engine);
    QCOMPARE(c.ColorGrid->count(), 16);
    // Two to a row, row by row.
    QCOMPARE(c.ColorGrid->cellRect(index).left() > c.ColorGrid->cellRect(index - index % 2).left(),
             index % 2 == 1);
    c.txtCl->setText("x");
    QTest::mouseClick(c.ColorGrid, Qt::LeftButton, {}, c.ColorGrid->cellRect(index).center());
    QCOMPARE(c.txtCl->text(), code);
}

void tst_Choosers::colorInsertAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("tagCase");
    QTest::addColumn<QString>("expected");
    QTest::newRow("code") << "#FF0000" << "W" << "a#FF0000|b";
    QTest::newRow("a word") << "blue" << "W" << "ablue|b";
    QTest::newRow("case setting applies") << "#ff00aa" << "U" << "a#FF00AA|b";
    QTest::newRow("cut at seven") << "#12345678" << "W" << "a#123456|b";
    QTest::newRow("empty") << "" << "W" << "a|b";
}

void tst_Choosers::colorInsertAsTyped()
{
    QFETCH(QString, typed);
    QFETCH(QString, tagCase);
    QFETCH(QString, expected);
    host.setTags(tagCase, "Y");
    TagEngine engine(host);
    TfColorChooser c(engine);
    QCOMPARE(c.txtCl->text(), QString("#FFFFFF"));
    QCOMPARE(c.txtCl->maxLength(), 7);
    c.txtCl->clear();
    QTest::keyClicks(c.txtCl, typed);
    Marked::set(editor, "a|b");
    c.OKBtn->click();
    QCOMPARE(Marked::get(editor), expected);
}

void tst_Choosers::moreColors()
{
    TagEngine engine(host);
    TfColorChooser c(engine);
    c.txtCl->setText("#ABCDEF");
    prompter.colorAnswers.clear();
    c.btnMore->click();  // cancelled
    QCOMPARE(c.txtCl->text(), QString("#ABCDEF"));
    prompter.colorAnswers.enqueue(QColor(0x12, 0x34, 0x56));
    c.btnMore->click();
    QCOMPARE(c.txtCl->text(), QString("#123456"));
}

void tst_Choosers::colorChooserKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("escape") << int(Qt::Key_Escape);
    QTest::newRow("enter") << int(Qt::Key_Return);
}

void tst_Choosers::colorChooserKeys()
{
    QFETCH(int, key);
    TagEngine engine(host);
    TfColorChooser c(engine);
    QCOMPARE(c.windowTitle(), QString("Color Chooser"));
    QVERIFY(c.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!c.isModal());
    QVERIFY(c.CancelBtn->isDefault());
    c.showChooser();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    Marked::set(editor, "|");
    c.txtCl->setFocus();
    QTest::keyClick(c.txtCl, Qt::Key(key));
    QVERIFY(!c.isVisible());
    QCOMPARE(Marked::get(editor), QString("|"));
    QVERIFY(TestEnv::readAll(TestEnv::settingsDir() + "/velqopt.ini").contains("[Color Chooser]"));
}

VQ_TEST_MAIN(tst_Choosers)
#include "tst_Choosers.moc"
