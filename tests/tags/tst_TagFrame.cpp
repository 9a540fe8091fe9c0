// The tag commands as the user reaches them: through the main frame's menu
// entries and tool bar buttons, the document window's pop-up menu, the
// chooser windows and drops on a document. The texts are checked against the
// command reference (TagTables.h), not against the program's own tables.
#include "ScriptedPrompter.h"
#include "TagTables.h"
#include "TagTestSupport.h"
#include "TestEnv.h"

#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "docking/TDocPanel.h"
#include "tags/TagsModule.h"
#include "tags/ListDragSource.h"
#include "tags/TfColorChooser.h"
#include "tags/TfHTMLTags.h"
#include "tags/TfSymbol.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QtTest>
#include <memory>

using namespace TagTables;

namespace {

const QString kReady = QStringLiteral("   Ready ...");

QString work(const QString& name)
{
    return TestEnv::workDir() + QLatin1Char('/') + name;
}

// Where an action sits: "menu <title>" or "bar <name>".
QString placeOf(QAction* a)
{
    for (QObject* o : a->associatedObjects()) {
        if (auto* bar = qobject_cast<TDocPanel*>(o))
            return QStringLiteral("bar ") + bar->objectName();
    }
    for (QObject* o : a->associatedObjects()) {
        if (auto* menu = qobject_cast<QMenu*>(o))
            return QStringLiteral("menu ") + menu->title();
    }
    return QStringLiteral("nowhere");
}

// Runs an action the way the user does: a tool bar button is clicked, a menu
// entry is triggered as its menu triggers it.
bool activate(QAction* a)
{
    for (QObject* o : a->associatedObjects()) {
        if (auto* bar = qobject_cast<TDocPanel*>(o)) {
            auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(a));
            if (!button || button->defaultAction() != a)
                return false;
            button->click();
            return true;
        }
    }
    a->trigger();
    return true;
}

QTreeWidgetItem* itemByFirstColumn(ChooserList* list, const QString& text)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0) == text)
            return list->topLevelItem(i);
    }
    return nullptr;
}

QPoint itemCentre(ChooserList* list, QTreeWidgetItem* item)
{
    list->scrollToItem(item);
    return list->visualItemRect(item).center();
}

// The "Last Updated" date as the stamp writes it, built from the locale's
// names: "Sunday, 6 December, 2026 at 6:08 PM".
QString stampDate(const QDateTime& when)
{
    const QLocale locale = QLocale::system();
    const QDate d = when.date();
    const QTime t = when.time();
    int hour = t.hour() % 12;
    if (hour == 0)
        hour = 12;
    return locale.dayName(d.dayOfWeek(), QLocale::LongFormat) + QStringLiteral(", ") + QString::number(d.day())
        + QLatin1Char(' ') + locale.monthName(d.month(), QLocale::LongFormat) + QStringLiteral(", ")
        + QString::number(d.year()) + QStringLiteral(" at ") + QString::number(hour) + QLatin1Char(':')
        + QStringLiteral("%1").arg(t.minute(), 2, 10, QLatin1Char('0'))
        + (t.hour() < 12 ? QStringLiteral(" AM") : QStringLiteral(" PM"));
}

} // namespace

class tst_TagFrame : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<TmdiMain> main;

    // The settings file, written whole; the frame reads it afresh at every command.
    void writeIni(const QString& tagCase = "W", const QString& stay = "Y", const QString& user = "Kim")
    {
        QByteArray ini = "[System]\nOpen Template=0\n[Tags]\nCase=" + tagCase.toUtf8() + "\nStay Selected="
            + stay.toUtf8() + "\n[Application Header]\nEMail=kim@x.org\nOrganisation=Acme Ltd\n"
            "Home Page=http://kim.example/\n";
        if (!user.isNull())
            ini += "User Name=" + user.toUtf8() + "\n";
        QVERIFY(TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", ini));
    }

    void closeDocuments()
    {
        for (TfHTML* d : main->documents())
            d->approveClose();
        main->CloseAll1Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    // A new document window holding a marked text (see TagTestSupport.h); it
    // becomes the active one.
    TfHTML* newDocument(const QString& marked)
    {
        main->FileNew();
        TfHTML* d = main->activeDocument();
        if (d)
            Marked::set(*d->txtHTML, marked);
        return d;
    }

    static QString text(TfHTML* d) { return Marked::get(*d->txtHTML); }

    // Shows the tag or the symbol chooser through its command; *at becomes the
    // centre of the item's row. Null when the window or the item is missing.
    ChooserWindow* showList(bool tags, const QString& item, QPoint* at)
    {
        main->action(tags ? "HTMLTagsChooser1Click" : "Symbol1Click")->trigger();
        ChooserWindow* w = tags ? static_cast<ChooserWindow*>(main->module<TagsModule>().htmlTagsChooser())
                                : static_cast<ChooserWindow*>(main->module<TagsModule>().symbolChooser());
        if (!QTest::qWaitForWindowExposed(w))
            return nullptr;
        if (!tags)
            main->module<TagsModule>().symbolChooser()->LoadSymbols();
        QTreeWidgetItem* it = itemByFirstColumn(w->list(), item);
        if (!it)
            return nullptr;
        *at = itemCentre(w->list(), it);
        return w;
    }
    QString tagPanel() const { return main->panel("pnlTag")->text(); }

    void hideChoosers()
    {
        main->module<TagsModule>().symbolChooser()->hide();
        main->module<TagsModule>().htmlTagsChooser()->hide();
        main->module<TagsModule>().colorChooser()->hide();
    }

private slots:
    void initTestCase()
    {
        QDir::setCurrent(TestEnv::workDir());
        TestEnv::writeAll(TestEnv::programDir() + "/standard.tpl", QByteArray());
        QVERIFY(TestEnv::installDataFile("symbols.web"));
        writeIni();
        prompter = std::make_unique<ScriptedPrompter>();
        main = std::make_unique<TmdiMain>();
        TestEnv::showFrame(*main);
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }

    void cleanupTestCase()
    {
        closeDocuments();
        main.reset();
        prompter.reset();
    }

    void init()
    {
        closeDocuments();
        hideChoosers();
        writeIni();
        prompter->messages.clear();
        prompter->answers.clear();
        prompter->openAnswers.clear();
        prompter->beeps = 0;
        main->tagEngine().setLastPair(QString(), QString());
        main->SetTagPanel(QString());
        main->SetStatusText("Ready ...");
    }

    // Every catalogue command through every entry bound to it, at the caret
    // and around a selection: the texts, the caret, the status line, the tag
    // panel and the last-tag pair.
    void catalogue_data()
    {
        QTest::addColumn<QString>("handler");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("close");
        for (const Row& r : kConstant) {
            QTest::addRow("%s at caret", r.handler) << r.handler << false << "" << r.open << r.close;
            QTest::addRow("%s on selection", r.handler) << r.handler << true << "word" << r.open << r.close;
        }
        for (const SelRow& r : kSelection) {
            QTest::addRow("%s at caret", r.handler) << r.handler << false << "" << r.noneOpen << r.noneClose;
            QTest::addRow("%s on selection", r.handler) << r.handler << true << "a.htm" << r.selOpen << r.selClose;
        }
        QTest::addRow("%s on selection", kMailLink.handler)
            << kMailLink.handler << true << "kim@x.org" << kMailLink.selOpen << kMailLink.selClose;
    }

    void catalogue()
    {
        QFETCH(QString, handler);
        QFETCH(bool, selected);
        QFETCH(QString, selection);
        QFETCH(QString, open);
        QFETCH(QString, close);
        const QList<QAction*> actions = main->actions(handler);
        QVERIFY(!actions.isEmpty());
        bool inMenu = false;
        for (QAction* a : actions) {
            const QString where = placeOf(a);
            inMenu = inMenu || where.startsWith("menu ");
            closeDocuments();
            TfHTML* doc = newDocument(selected ? "x[" + selection + "]y" : "x|y");
            QVERIFY(doc);
            main->SetStatusText("Busy");
            QVERIFY2(a->isEnabled(), qPrintable(where));
            QVERIFY2(activate(a), qPrintable(where));
            const QString expected = selected ? "x" + open + "[" + selection + "]" + close + "y"
                                              : "x" + open + "|" + close + "y";
            QCOMPARE(where + ": " + text(doc), where + ": " + expected);
            QVERIFY2(doc->txtHTML->Modified(), qPrintable(where));
            QCOMPARE(main->statusText(), kReady);
            QCOMPARE(tagPanel(), open + " : " + close);
            QCOMPARE(main->tagEngine().lastPair(), (TagPair{open, close}));
        }
        QVERIFY(inMenu);
    }

    // Without a selection the simple mail link carries a placeholder address.
    void mailLinkWithoutSelection()
    {
        const QRegularExpression shape(
            QStringLiteral("^x<A HREF=\"MailTo:[^\"\\s]+@[^\"\\s]+\"> \\|Your_Name</A>y$"));
        const QList<QAction*> actions = main->actions(kMailLink.handler);
        QCOMPARE(actions.size(), 2);  // menu entry and "MailTo Link" button
        for (QAction* a : actions) {
            closeDocuments();
            TfHTML* doc = newDocument("x|y");
            QVERIFY(activate(a));
            QVERIFY2(shape.match(text(doc)).hasMatch(), qPrintable(placeOf(a) + ": " + text(doc)));
        }
    }

    // The letter case setting, read at each command, on a few commands.
    void caseMatrix_data()
    {
        QTest::addColumn<QString>("handler");
        QTest::addColumn<QString>("tagCase");
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("expected");
        QTest::newRow("bold U") << "Bold1Click" << "U" << "[Hello]" << "<B>[Hello]</B>";
        QTest::newRow("bold L") << "Bold1Click" << "L" << "[Hello]" << "<b>[Hello]</b>";
        QTest::newRow("bold W") << "Bold1Click" << "W" << "[Hello]" << "<B>[Hello]</B>";
        QTest::newRow("link U") << "Simple1Click" << "U" << "|" << "<A HREF=\"YOUR LINK HERE|\">DESCRIPTION_HERE</A>";
        QTest::newRow("link L") << "Simple1Click" << "L" << "|" << "<a href=\"your link here|\">description_here</a>";
        QTest::newRow("link W") << "Simple1Click" << "W" << "|" << "<A HREF=\"your link here|\">description_here</A>";
        QTest::newRow("link, other value") << "Simple1Click" << "u" << "|"
                                           << "<A HREF=\"your link here|\">description_here</A>";
        QTest::newRow("check box U") << "btnCheckClick" << "U" << "|"
                                     << "<INPUT TYPE=\"CHECKBOX\" NAME=\"\" VALUE=\"\" ALIGN=LEFT>|";
        QTest::newRow("check box L") << "btnCheckClick" << "L" << "|"
                                     << "<input type=\"checkbox\" name=\"\" value=\"\" align=left>|";
        QTest::newRow("check box W") << "btnCheckClick" << "W" << "|"
                                     << "<INPUT TYPE=\"CHECKBOX\" NAME=\"\" VALUE=\"\" ALIGN=Left>|";
        QTest::newRow("aligned heading L") << "HeadingLevel32Click" << "L" << "|" << "<h3 align=left>|</h3>";
        QTest::newRow("applet L") << "JavaSimple1Click" << "L" << "|"
                                  << "<applet code=\"myapplet.class\" width=100 height=110>|</applet>";
        QTest::newRow("mail to me U") << "PreDefined1Click" << "U" << "|" << "<A HREF=\"MAILTO:KIM@X.ORG\">|KIM</A>";
        QTest::newRow("company L") << "MyCompany1Click" << "L" << "[x]" << "<strong>acme ltd[x]</strong>";
    }

    void caseMatrix()
    {
        QFETCH(QString, handler);
        QFETCH(QString, tagCase);
        QFETCH(QString, document);
        QFETCH(QString, expected);
        writeIni(tagCase);
        const QList<QAction*> actions = main->actions(handler);
        QVERIFY(!actions.isEmpty());
        for (QAction* a : actions) {
            closeDocuments();
            TfHTML* doc = newDocument(document);
            QVERIFY(activate(a));
            QCOMPARE(placeOf(a) + ": " + text(doc), placeOf(a) + ": " + expected);
        }
    }

    // "Repeat Last Tag" from the Edit menu (F4) and from the document
    // window's pop-up menu replays the pair as converted when first inserted,
    // and converts it again under a later "U" or "L".
    void repeatReplaysConvertedPair_data()
    {
        QTest::addColumn<bool>("popup");
        QTest::newRow("edit menu entry") << false;
        QTest::newRow("document pop-up menu") << true;
    }

    void repeatReplaysConvertedPair()
    {
        QFETCH(bool, popup);
        writeIni("L");
        TfHTML* first = newDocument("|");
        QAction* button = nullptr;
        for (QAction* a : main->actions("Bold1Click"))
            if (placeOf(a).startsWith("bar "))
                button = a;
        QVERIFY(button);
        QVERIFY(activate(button));
        QCOMPARE(text(first), QString("<b>|</b>"));

        writeIni("W");
        TfHTML* second = newDocument("a|b");
        QAction* repeat = main->action("RepeatLastTag1Click");
        QVERIFY(repeat);
        QCOMPARE(repeat->text(), QString("Repeat &Last Tag"));
        auto replay = [&] {
            if (!popup) {
                repeat->trigger();
                return;
            }
            // The other window is active; the pop-up menu of this one is used.
            main->showDocument(first);
            QWidget* viewport = second->txtHTML->viewport();
            QContextMenuEvent ev(QContextMenuEvent::Mouse, QPoint(5, 5), viewport->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(viewport, &ev);
            QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget*>(second->contextMenu()));
            QTest::keyClick(second->contextMenu(), Qt::Key_L);
            QTRY_VERIFY(!second->contextMenu()->isVisible());
        };
        replay();
        QCOMPARE(text(second), QString("a<b>|</b>b"));
        QCOMPARE(text(first), QString("<b>|</b>"));
        QCOMPARE(main->activeDocument(), second);
        QCOMPARE(tagPanel(), QString("<b> : </b>"));

        writeIni("U");
        replay();
        QCOMPARE(text(second), QString("a<b><B>|</B></b>b"));
        QCOMPARE(main->tagEngine().lastPair(), (TagPair{"<B>", "</B>"}));
    }

    // Before anything was inserted, Repeat Last Tag inserts nothing yet marks
    // the document modified and shows " : ".
    void repeatBeforeAnyTag()
    {
        TfHTML* doc = newDocument("a|b");
        main->action("RepeatLastTag1Click")->trigger();
        QCOMPARE(text(doc), QString("a|b"));
        QVERIFY(doc->txtHTML->Modified());
        QCOMPARE(tagPanel(), QString(" : "));
        QCOMPARE(main->statusText(), kReady);
    }

    // The eleven Goto entries: what each selects and the message when there
    // is nothing to find.
    void gotoCommands_data()
    {
        QTest::addColumn<QString>("handler");
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("message");
        const QString page = "<html>\n<Head><title>T</title></head>\n<BODY bgcolor=x>b</body>|";
        const QStringList found = {
            page, "<html>\n[<Head>]<title>T</title></head>\n<BODY bgcolor=x>b</body>",
            page, "<html>\n<Head>[<title>]T</title></head>\n<BODY bgcolor=x>b</body>",
            page, "<html>\n<Head><title>T</title></head>\n[<BODY bgcolor=x>]b</body>",
            "|see <a href=\"x.htm\">X</a> end", "see [<a href=\"x.htm\">X</a>] end",
            "<A HREF=\"x\">a</A>| <A HREF=\"MailTo:k@x\">k</A>.", "<A HREF=\"x\">a</A> [<A HREF=\"MailTo:k@x\">k</A>].",
            "|<TABLE BORDER=1><tr><td>1</td></tr></table>!", "[<TABLE BORDER=1><tr><td>1</td></tr></table>]!",
            "|<form action=\"x\">\n<input>\n</FORM>", "[<form action=\"x\">\n<input>\n</FORM>]",
            "a|<IMG SRC=\"a.gif\" ALT=\"\"> b", "a[<IMG SRC=\"a.gif\" ALT=\"\">] b",
            "|<APPLET CODE=x>\n</applet>", "[<APPLET CODE=x>\n</applet>]",
            "|<ul>\n<li>one\n<li>two", "<ul>\n[<li>]one\n<li>two",
            "|<i>Last Updated by Kim on Sunday.</i>", "<i>[Last Updated by Kim on Sunday.</i>]",
        };
        QCOMPARE(found.size(), 2 * int(std::size(kGoto)));
        for (int i = 0; i < int(std::size(kGoto)); ++i) {
            const GotoRow& g = kGoto[i];
            QTest::addRow("%s found", g.handler) << g.handler << found[2 * i] << found[2 * i + 1] << "";
            QTest::addRow("%s not found", g.handler) << g.handler << "ab|cd" << "ab|cd" << g.notFound;
        }
        // Searches forwards from the caret only.
        QTest::newRow("next URL before the caret") << "NextURL1Click" << "<a href=x>y</a>|" << "<a href=x>y</a>|"
                                                   << kGoto[3].notFound;
    }

    void gotoCommands()
    {
        QFETCH(QString, handler);
        QFETCH(QString, document);
        QFETCH(QString, expected);
        QFETCH(QString, message);
        const QList<QAction*> actions = main->actions(handler);
        QCOMPARE(actions.size(), 1);
        QCOMPARE(placeOf(actions.first()), QString("menu &Goto"));
        TfHTML* doc = newDocument(document);
        main->SetStatusText("Busy");
        actions.first()->trigger();
        QCOMPARE(text(doc), expected);
        QCOMPARE(prompter->messages, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(main->statusText(), kReady);
    }

    void gotoWithoutDocument_data()
    {
        QTest::addColumn<QString>("handler");
        QTest::addColumn<QString>("message");
        for (const GotoRow& g : kGoto)
            QTest::newRow(g.handler) << g.handler << g.notFound;
    }

    void gotoWithoutDocument()
    {
        QFETCH(QString, handler);
        QFETCH(QString, message);
        main->action(handler)->trigger();
        QCOMPARE(prompter->messages, QStringList{message});
        QCOMPARE(main->documents().size(), 0);
        QCOMPARE(main->statusText(), kReady);
    }

    // Bookmarks belong to their window: going to one never set there does
    // nothing, and each window goes to its own.
    void bookmarksPerWindow_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("setHandler");
        QTest::addColumn<QString>("gotoHandler");
        for (int n = 1; n <= 9; ++n)
            QTest::addRow("bookmark %d", n) << n << kSetBookmark[n - 1] << kGotoBookmark[n - 1];
    }

    void bookmarksPerWindow()
    {
        QFETCH(int, number);
        QFETCH(QString, setHandler);
        QFETCH(QString, gotoHandler);
        QAction* set = main->action(setHandler);
        QAction* go = main->action(gotoHandler);
        QVERIFY(set && go);
        QCOMPARE(placeOf(set), QString("menu &Set Bookmark"));
        QCOMPARE(placeOf(go), QString("menu &Goto Bookmark"));
        QCOMPARE(set->text(), QString("&%1").arg(number));

        QString lines;
        for (int i = 1; i <= 12; ++i)
            lines += QString("line %1\n").arg(i);
        TfHTML* a = newDocument(lines);
        a->txtHTML->MoveCaret(10, 3);
        set->trigger();
        a->txtHTML->MoveCaret(1, 1);

        TfHTML* b = newDocument("one\ntwo\nthree\nfour\n");
        b->txtHTML->MoveCaret(2, 2);
        go->trigger();  // never set in this window
        int line = 0, col = 0;
        b->txtHTML->CaretPosition(line, col);
        QCOMPARE(QPoint(col, line), QPoint(2, 2));
        b->txtHTML->MoveCaret(4, 1);
        set->trigger();
        b->txtHTML->MoveCaret(1, 1);

        main->showDocument(a);
        go->trigger();
        a->txtHTML->CaretPosition(line, col);
        QCOMPARE(QPoint(col, line), QPoint(3, 10));

        main->showDocument(b);
        go->trigger();
        b->txtHTML->CaretPosition(line, col);
        QCOMPARE(QPoint(col, line), QPoint(1, 4));
        QVERIFY(!a->txtHTML->Modified());
        QVERIFY(!b->txtHTML->Modified());
    }

    // The personal stamps take the identity from the settings file.
    void stamps_data()
    {
        QTest::addColumn<QString>("handler");
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("close");
        QTest::newRow("mail to me") << "PreDefined1Click" << "<A HREF=\"MailTo:kim@x.org\">" << "Kim</A>";
        QTest::newRow("send mail") << "MailtomeURL1Click" << "<A HREF=\"MailTo:kim@x.org\"> "
                                   << "Send mail to Kim</A>";
        QTest::newRow("company") << "MyCompany1Click" << "<STRONG>Acme Ltd" << "</STRONG>";
        QTest::newRow("home page") << "MyHomePageURL1Click" << "<A HREF=\"http://kim.example/\"> "
                                   << "Home Page</A>";
    }

    void stamps()
    {
        QFETCH(QString, handler);
        QFETCH(QString, open);
        QFETCH(QString, close);
        const QList<QAction*> actions = main->actions(handler);
        QVERIFY(!actions.isEmpty());
        for (QAction* a : actions) {
            closeDocuments();
            TfHTML* doc = newDocument("x|y");
            QVERIFY(activate(a));
            QCOMPARE(placeOf(a) + ": " + text(doc), placeOf(a) + ": x" + open + "|" + close + "y");
            QCOMPARE(tagPanel(), open + " : " + close);
        }
    }

    void userNameReadAtEachCommand()
    {
        TfHTML* doc = newDocument("|");
        QAction* a = main->action("PreDefined1Click");
        a->trigger();
        QCOMPARE(text(doc), QString("<A HREF=\"MailTo:kim@x.org\">|Kim</A>"));
        writeIni("W", "Y", "Lee");
        Marked::set(*doc->txtHTML, "|");
        a->trigger();
        QCOMPARE(text(doc), QString("<A HREF=\"MailTo:kim@x.org\">|Lee</A>"));
        // Without a stored name the stamp still names someone.
        writeIni("W", "Y", QString());
        Marked::set(*doc->txtHTML, "|");
        a->trigger();
        const QString t = text(doc);
        QVERIFY2(t.startsWith("<A HREF=\"MailTo:kim@x.org\">|") && t.endsWith("</A>") && t.size() > 32, qPrintable(t));
        QVERIFY(!t.contains("Lee"));
    }

    void lastUpdatedStamp()
    {
        writeIni("W", "Y", "Kim");
        const QList<QAction*> actions = main->actions("LastUpdated1Click");
        QCOMPARE(actions.size(), 2);  // "Last U&pdated" and "Insert Last Updated String"
        const QRegularExpression shape(QStringLiteral(
            "^<i>Last Updated by Kim\\| on (\\S+), ([1-9]|[12][0-9]|3[01]) (\\S+), ([0-9]{4}) at ([1-9]|1[0-2]):"
            "([0-5][0-9]) (AM|PM)\\.</i>$"));
        for (QAction* a : actions) {
            closeDocuments();
            TfHTML* doc = newDocument("|");
            const QDateTime before = QDateTime::currentDateTime();
            QVERIFY(activate(a));
            const QDateTime after = QDateTime::currentDateTime();
            const QString t = text(doc);
            QVERIFY2(shape.match(t).hasMatch(), qPrintable(placeOf(a) + ": " + t));
            const QString stamped = t.mid(t.indexOf(" on ") + 4).chopped(5);
            QVERIFY2(stamped == stampDate(before) || stamped == stampDate(after),
                     qPrintable(stamped + " / " + stampDate(before)));
        }
    }

    // "Text File ..." inserts into the active window, whichever was opened last.
    void insertTextFile_data()
    {
        QTest::addColumn<int>("active");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("first window active") << 0 << true;
        QTest::newRow("second window active") << 1 << true;
        QTest::newRow("cancelled") << 0 << false;
    }

    void insertTextFile()
    {
        QFETCH(int, active);
        QFETCH(bool, chosen);
        const QString file = work("insert.txt");
        QVERIFY(TestEnv::writeAll(file, "one\r\ntwo <b>\r\nthree\r\n"));
        writeIni("U");
        TfHTML* docs[2] = {newDocument("A|"), newDocument("B|")};
        main->showDocument(docs[active]);
        main->tagEngine().setLastPair("<X>", "</X>");
        main->SetTagPanel("<X> : </X>");
        if (chosen)
            prompter->openAnswers.enqueue({file});
        const QList<QAction*> actions = main->actions("InsertFile1Click");
        QCOMPARE(actions.size(), 1);
        QCOMPARE(placeOf(actions.first()), QString("menu &Insert"));
        actions.first()->trigger();
        QVERIFY(prompter->openAnswers.isEmpty());
        const QString own = active == 0 ? "A" : "B";
        const QString other = active == 0 ? "B|" : "A|";
        // No case conversion, no change to the last pair.
        QCOMPARE(text(docs[active]), chosen ? own + "one\ntwo <b>\nthree\n|" : own + "|");
        QCOMPARE(docs[active]->txtHTML->Modified(), chosen);
        QCOMPARE(text(docs[1 - active]), other);
        QVERIFY(!docs[1 - active]->txtHTML->Modified());
        QCOMPARE(main->statusText(), kReady);
        QCOMPARE(main->tagEngine().lastPair(), (TagPair{"<X>", "</X>"}));
        QCOMPARE(tagPanel(), QString("<X> : </X>"));
    }

    void insertMissingTextFileSaysSo()
    {
        TfHTML* d = newDocument("A|");
        main->showDocument(d);
        const QString file = work("no-such-file.txt");
        prompter->openAnswers.enqueue({file});
        main->action("InsertFile1Click")->trigger();
        QCOMPARE(prompter->messages.size(), 1);
        QVERIFY2(prompter->messages.at(0).startsWith("Unable to open " + file + ": "), qPrintable(prompter->messages.at(0)));
        QCOMPARE(text(d), QString("A|"));
        QCOMPARE(main->statusText(), kReady);
    }

    // Each chooser command, from its menu entry and its button, shows its window.
    void choosersShownByCommands_data()
    {
        QTest::addColumn<QString>("handler");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("entries");
        QTest::newRow("symbols") << "Symbol1Click" << "Symbols" << 2;
        QTest::newRow("tags") << "HTMLTagsChooser1Click" << "HTML Tags" << 2;
        QTest::newRow("colours") << "ColorChooser1Click" << "Color Chooser" << 2;
    }

    void choosersShownByCommands()
    {
        QFETCH(QString, handler);
        QFETCH(QString, caption);
        QFETCH(int, entries);
        QWidget* window = handler == "Symbol1Click" ? static_cast<QWidget*>(main->module<TagsModule>().symbolChooser())
            : handler == "HTMLTagsChooser1Click"    ? static_cast<QWidget*>(main->module<TagsModule>().htmlTagsChooser())
                                                    : static_cast<QWidget*>(main->module<TagsModule>().colorChooser());
        QCOMPARE(window->windowTitle(), caption);
        const QList<QAction*> actions = main->actions(handler);
        QCOMPARE(actions.size(), entries);
        for (QAction* a : actions) {
            window->hide();
            QVERIFY(activate(a));
            QVERIFY2(window->isVisible(), qPrintable(placeOf(a)));
        }
        QCOMPARE(main->documents().size(), 0);
    }

    // A chooser inserts into the active document, not into the window opened last.
    void chooserInsertsIntoActiveDocument_data()
    {
        QTest::addColumn<QString>("chooser");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("repeated");
        QTest::newRow("tag wraps selection") << "tags" << "<B>" << "Say [Hello] there" << "Say <B>[Hello]</B> there"
                                             << "<B>|</B>";
        QTest::newRow("tag without end") << "tags" << "<BR>" << "a|b" << "a<BR>|b" << "<BR>|";
        QTest::newRow("symbol") << "symbols" << "&euro;" << "a|b" << "a&euro;|b" << "&euro;|";
        QTest::newRow("colour") << "colours" << "#FF0000" << "a|b" << "a#FF0000|b" << "#FF0000|";
    }

    void chooserInsertsIntoActiveDocument()
    {
        QFETCH(QString, chooser);
        QFETCH(QString, item);
        QFETCH(QString, document);
        QFETCH(QString, expected);
        QFETCH(QString, repeated);
        TfHTML* target = newDocument(document);
        TfHTML* other = newDocument("other|");
        main->showDocument(target);
        if (chooser == "colours") {
            main->action("ColorChooser1Click")->trigger();
            TfColorChooser* c = main->module<TagsModule>().colorChooser();
            QVERIFY(QTest::qWaitForWindowExposed(c));
            QTest::mouseClick(c->ColorGrid, Qt::LeftButton, {}, c->ColorGrid->cellRect(9).center());
            QCOMPARE(c->txtCl->text(), item);
            QTest::mouseClick(c->OKBtn, Qt::LeftButton);
        } else {
            QPoint at;
            ChooserWindow* w = showList(chooser == "tags", item, &at);
            QVERIFY(w);
            QTest::mouseClick(w->list()->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(w->list()->viewport(), Qt::LeftButton, {}, at);
        }
        QCOMPARE(text(target), expected);
        QCOMPARE(text(other), QString("other|"));
        QVERIFY(!other->txtHTML->Modified());
        QCOMPARE(main->activeDocument(), target);
        // What the user types next goes to the document, not the chooser.
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(main.get()));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(target->txtHTML));

        // Repeat Last Tag then inserts the same pair.
        Marked::set(*target->txtHTML, "|");
        main->action("RepeatLastTag1Click")->trigger();
        QCOMPARE(text(target), repeated);
    }

    // The mouse button going down on a list item picks up its pair; Repeat
    // Last Tag inserts it though nothing was dropped.
    void mouseDownThenRepeat_data()
    {
        QTest::addColumn<bool>("tags");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("expected");
        QTest::newRow("tag") << true << "<TABLE>" << "<TABLE>|</TABLE>";
        QTest::newRow("symbol") << false << "&copy;" << "&copy;|";
    }

    void mouseDownThenRepeat()
    {
        QFETCH(bool, tags);
        QFETCH(QString, item);
        QFETCH(QString, expected);
        TfHTML* doc = newDocument("|");
        QPoint at;
        ChooserWindow* w = showList(tags, item, &at);
        QVERIFY(w);
        QTest::mousePress(w->list()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(w->list()->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(text(doc), QString("|"));
        QVERIFY(!doc->txtHTML->Modified());
        main->action("RepeatLastTag1Click")->trigger();
        QCOMPARE(text(doc), expected);
    }

    // Only the program's own list drags are taken by a document; the pair
    // goes in at the caret of the window dropped on, which becomes active.
    void dropOnDocument_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("list drag") << "ours" << true;
        // Text and files are the editing view's (tst_EditingView).
        QTest::newRow("other data") << "other" << false;
    }

    void dropOnDocument()
    {
        QFETCH(QString, kind);
        QFETCH(bool, accepted);
        TfHTML* target = newDocument("ab|cd\nsecond line");
        TfHTML* other = newDocument("xy|z");
        QCOMPARE(main->activeDocument(), other);

        // The pair is picked up by the mouse button going down on a list item.
        main->action("HTMLTagsChooser1Click")->trigger();
        TfHTMLTags* tags = main->module<TagsModule>().htmlTagsChooser();
        QVERIFY(QTest::qWaitForWindowExposed(tags));
        QTreeWidgetItem* it = itemByFirstColumn(tags->lstHTML, "<TABLE>");
        QVERIFY(it);
        const QPoint at = itemCentre(tags->lstHTML, it);
        QTest::mousePress(tags->lstHTML->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(tags->lstHTML->viewport(), Qt::LeftButton, {}, at);

        std::unique_ptr<QMimeData> data;
        if (kind == "ours") {
            data.reset(ListDragSource::makeMimeData("<TABLE>\t</TABLE>"));
        } else {
            data = std::make_unique<QMimeData>();
            data->setData("application/x-other", "x");
        }
        // Released over the second line, away from the caret.
        QWidget* viewport = target->txtHTML->viewport();
        const QPoint point(40, viewport->height() / 2);
        QDragEnterEvent enter(point, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        QDragMoveEvent move(point, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QCOMPARE(move.isAccepted(), accepted);
        QDropEvent drop(QPointF(point), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        QCOMPARE(drop.isAccepted(), accepted);

        if (accepted) {
            QCOMPARE(text(target), QString("ab<TABLE>|</TABLE>cd\nsecond line"));
            QCOMPARE(main->activeDocument(), target);
        } else {
            QCOMPARE(text(target), QString("ab|cd\nsecond line"));
            QVERIFY(!target->txtHTML->Modified());
        }
        QCOMPARE(text(other), QString("xy|z"));
        QVERIFY(!other->txtHTML->Modified());
    }

    // With no document window open every tag command ends at "Ready ..." and
    // changes nothing else: no window, no message, the last pair and its panel kept.
    void withoutDocument_data()
    {
        QTest::addColumn<QString>("handler");
        for (const Row& r : kConstant)
            QTest::newRow(r.handler) << r.handler;
        for (const SelRow& r : kSelection)
            QTest::newRow(r.handler) << r.handler;
        QTest::newRow(kMailLink.handler) << kMailLink.handler;
        for (const char* h : {"PreDefined1Click", "MailtomeURL1Click", "MyCompany1Click", "MyHomePageURL1Click",
                              "LastUpdated1Click", "RepeatLastTag1Click"})
            QTest::newRow(h) << h;
    }

    void withoutDocument()
    {
        QFETCH(QString, handler);
        main->tagEngine().setLastPair("<P0>", "</P0>");
        main->SetTagPanel("<P0> : </P0>");
        const QList<QAction*> actions = main->actions(handler);
        QVERIFY(!actions.isEmpty());
        for (QAction* a : actions) {
            main->SetStatusText("Busy");
            QVERIFY(activate(a));
            QCOMPARE(placeOf(a) + ": " + main->statusText(), placeOf(a) + ": " + kReady);
        }
        QCOMPARE(main->documents().size(), 0);
        QCOMPARE(main->tagEngine().lastPair(), (TagPair{"<P0>", "</P0>"}));
        QCOMPARE(tagPanel(), QString("<P0> : </P0>"));
        QVERIFY(prompter->messages.isEmpty());
        QCOMPARE(prompter->beeps, 0);
    }

    // The chooser windows and "Text File ..." without a document.
    void choosersAndFileWithoutDocument()
    {
        main->tagEngine().setLastPair("<P0>", "</P0>");
        main->action("HTMLTagsChooser1Click")->trigger();
        TfHTMLTags* tags = main->module<TagsModule>().htmlTagsChooser();
        QVERIFY(QTest::qWaitForWindowExposed(tags));
        QTreeWidgetItem* bold = itemByFirstColumn(tags->lstHTML, "<B>");
        QVERIFY(bold);
        const QPoint at = itemCentre(tags->lstHTML, bold);
        main->SetStatusText("Busy");
        QTest::mouseClick(tags->lstHTML->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tags->lstHTML->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(main->statusText(), kReady);
        main->action("ColorChooser1Click")->trigger();
        main->SetStatusText("Busy");
        QTest::mouseClick(main->module<TagsModule>().colorChooser()->OKBtn, Qt::LeftButton);
        QCOMPARE(main->statusText(), kReady);
        // "Text File ..." does not even ask for a file.
        prompter->openAnswers.enqueue({work("insert.txt")});
        main->action("InsertFile1Click")->trigger();
        QCOMPARE(prompter->openAnswers.size(), 1);
        QCOMPARE(main->documents().size(), 0);
        QCOMPARE(tagPanel(), QString());
        QCOMPARE(prompter->beeps, 0);
    }
};

VQ_TEST_MAIN(tst_TagFrame)
#include "tst_TagFrame.moc"
