// The command surface: menu tree, tool bars and key map of the main frame.
#include "app/CommandTable.h"
#include "app/TmdiMain.h"
#include "docking/TDocPanel.h"
#include "render/RenderModule.h"
#include "render/TfPreview.h"
#include "ScriptedPrompter.h"
#include "TestEnv.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QToolBar>
#include <QtTest>

class tst_CommandTable : public QObject {
    Q_OBJECT
private:
    TmdiMain* m = nullptr;
    ScriptedPrompter* prompter = nullptr;

private slots:
    void initTestCase()
    {
        TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", "[System]\nOpen Template=0\n");
        prompter = new ScriptedPrompter;
        m = new TmdiMain;
        m->show();
    }
    void cleanupTestCase()
    {
        delete m;
        delete prompter;
    }

    // The frame and its modules bind every handler once; a binder that
    // misses one, binds one twice or binds a name the table lacks is refused.
    void handlersBoundOnce_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("fault");
        QTest::newRow("as built") << "" << "";
        QTest::newRow("missing") << "-Bold1Click" << "not bound: Bold1Click";
        QTest::newRow("twice") << "+FileNew" << "bound twice: FileNew";
        QTest::newRow("unknown") << "+NoSuchCommand" << "not in the table: NoSuchCommand";
    }
    void handlersBoundOnce()
    {
        QFETCH(QString, change);
        QFETCH(QString, fault);
        CommandBinder binder;
        for (const QString& name : CommandTable::handlerNames()) {
            QVERIFY2(m->command(name), qPrintable(name));
            if (change != QLatin1Char('-') + name)
                binder.bind(name, [] {});
        }
        if (change.startsWith(QLatin1Char('+')))
            binder.bind(change.mid(1), [] {});
        QCOMPARE(CommandTable::check(binder), fault.isEmpty() ? QStringList() : QStringList{fault});
    }

    void topLevelMenus()
    {
        QStringList titles;
        for (QAction* a : m->menuBar()->actions())
            titles << a->text();
        QCOMPARE(titles, (QStringList{"&File", "&Edit", "&Insert", "Wi&zards", "&Tools", "&View", "&Options",
                                      "&Window", "&Help"}));
    }

    void keyMap_data()
    {
        QTest::addColumn<QString>("handler");
        QTest::addColumn<QString>("keys");
        QTest::newRow("open") << "FileOpen" << "Ctrl+O";
        QTest::newRow("project") << "OpenWorkspace1Click" << "F2";
        QTest::newRow("save") << "FileSave" << "Ctrl+S";
        QTest::newRow("print") << "FilePrint" << "Ctrl+P";
        QTest::newRow("preview") << "PrintPreview1Click" << "F9";
        QTest::newRow("undo") << "EditUndo" << "Ctrl+U";
        QTest::newRow("repeat") << "RepeatLastTag1Click" << "F4";
        QTest::newRow("cut") << "EditCut" << "Ctrl+X";
        QTest::newRow("copy") << "EditCopy" << "Ctrl+C";
        QTest::newRow("paste") << "EditPaste" << "Ctrl+V";
        QTest::newRow("delete") << "EditDelete" << "Ctrl+Del";
        QTest::newRow("spelling keeps its menu only") << "CheckSpelling1Click" << "";
        QTest::newRow("bold") << "Bold1Click" << "Ctrl+B";
        QTest::newRow("italics") << "Italics1Click" << "Ctrl+I";
        QTest::newRow("underline") << "Underline1Click" << "Shift+Ctrl+U";
        QTest::newRow("h1") << "HeadingLevel1Click" << "Shift+Ctrl+1";
        QTest::newRow("h6") << "HeadingLevel61Click" << "Shift+Ctrl+6";
        QTest::newRow("aligned h1") << "HeadingLevel12Click" << "Ctrl+Alt+1";
        QTest::newRow("aligned h6") << "HeadingLevel62Click" << "Ctrl+Alt+6";
        QTest::newRow("rule") << "HorizontalLine1Click" << "Ctrl+H";
        QTest::newRow("rule with size") << "HorizontalLinewithSize1Click" << "Shift+Ctrl+H";
        QTest::newRow("colours") << "ColorChooser1Click" << "F7";
        QTest::newRow("tags") << "HTMLTagsChooser1Click" << "F3";
        QTest::newRow("plug-ins") << "mPlugInsClick" << "F10";
        QTest::newRow("note pad") << "DisplayNotePad1Click" << "F5";
        QTest::newRow("set bookmark 1") << "N110Click" << "Ctrl+F1";
        QTest::newRow("set bookmark 3") << "N34Click" << "Ctrl+F3";
        QTest::newRow("set bookmark 7") << "N71Click" << "Ctrl+F7";
        QTest::newRow("go to bookmark 9") << "N92Click" << "Shift+Ctrl+F9";
        QTest::newRow("help") << "HelpContents" << "F1";
        QTest::newRow("about") << "HelpAbout" << "Shift+F1";
        QTest::newRow("matching tag") << "GotoMatchingTag1Click" << "Ctrl+M";
        QTest::newRow("go to line") << "GotoLine1Click" << "Ctrl+L";
    }

    void keyMap()
    {
        QFETCH(QString, handler);
        QFETCH(QString, keys);
        QAction* a = m->action(handler);
        QVERIFY2(a, qPrintable(handler));
        QCOMPARE(a->shortcut(), QKeySequence(keys));
    }

    // Within the main window; other windows (the preview) have keys of their own.
    void noKeyRunsTwoCommands()
    {
        auto ownerWindow = [](QObject* o) -> QWidget* {
            for (; o; o = o->parent())
                if (auto* w = qobject_cast<QWidget*>(o); w && w->isWindow() && !qobject_cast<QMenu*>(w))
                    return w;
            return nullptr;
        };
        QHash<QKeySequence, QString> seen;
        for (QAction* a : m->findChildren<QAction*>()) {
            if (ownerWindow(a) != m)
                continue;
            for (const QKeySequence& k : a->shortcuts()) {
                const QString who = a->objectName().isEmpty() ? a->text() : a->objectName();
                QVERIFY2(!seen.contains(k), qPrintable(k.toString() + ": " + seen.value(k) + " and " + who));
                seen.insert(k, who);
            }
        }
    }

    void hiddenEntriesAreUnreachable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("print preview") << "PrintPreview";
        QTest::newRow("netscape") << "NetscapeExtensions1";
        QTest::newRow("html 3") << "HTML3Extensions1";
        QTest::newRow("image map wizard") << "ClientSideImageMapWizard1";
    }

    void hiddenEntriesAreUnreachable()
    {
        QFETCH(QString, name);
        QAction* a = m->action(name);
        QVERIFY(a);
        QVERIFY(!a->isVisible());
        QVERIFY(!a->isEnabled());
        QVERIFY(a->shortcut().isEmpty());
    }

    void toolBars_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("buttons");
        QTest::newRow("edit") << "SpeedBar" << "Edit" << 22;
        QTest::newRow("tags") << "Tagsbar" << "Tags" << 20;
        QTest::newRow("forms") << "FormToolBar" << "Forms" << 10;
        QTest::newRow("tables") << "TableToolBar" << "Tables" << 5;
        QTest::newRow("lists") << "ListToolBar" << "Lists" << 8;
        QTest::newRow("formatting") << "FormattingBar" << "Formatting" << 13;
    }

    void toolBars()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(int, buttons);
        TDocPanel* bar = m->toolBar(name);
        QVERIFY(bar);
        QCOMPARE(bar->windowTitle(), title);
        QCOMPARE(bar->actions().size(), buttons);
        for (QAction* a : bar->actions())
            QVERIFY2(!a->toolTip().isEmpty(), qPrintable(a->objectName()));
    }

    void buttonsShareTheirMenuEntrysState()
    {
        // Every button's command also has a menu entry, enabled alike.
        for (TDocPanel* bar : m->findChildren<TDocPanel*>()) {
            for (QAction* button : bar->actions()) {
                const QList<QAction*> all = m->actions(button->objectName());
                QVERIFY2(all.size() >= 2, qPrintable(button->objectName()));
                for (QAction* a : all)
                    QCOMPARE(a->isEnabled(), button->isEnabled());
            }
        }
    }

    void hintsOfButtons_data()
    {
        QTest::addColumn<QString>("bar");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::newRow("new") << "SpeedBar" << 0 << "" << "New Document";
        QTest::newRow("edit toggle") << "SpeedBar" << 15 << "Edit" << "Show / Hide Edit Toolbar";
        QTest::newRow("symbols") << "Tagsbar" << 3 << "(c)" << "Insert Symbols";
        QTest::newRow("DT keeps its hint") << "ListToolBar" << 6 << "DT" << "Ordered List";
        QTest::newRow("centre") << "FormattingBar" << 9 << "-C-" << "Center";
    }

    void hintsOfButtons()
    {
        QFETCH(QString, bar);
        QFETCH(int, index);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        QAction* a = m->toolBar(bar)->actions().at(index);
        QCOMPARE(a->toolTip(), hint);
        QCOMPARE(a->statusTip(), hint);
        if (!caption.isEmpty())
            QCOMPARE(a->text(), caption);
        else
            QVERIFY(!a->icon().isNull());
    }

    // A highlighted menu entry shows its hint in the status line.
    void hintsOfMenuEntries_data()
    {
        QTest::addColumn<QString>("handler");
        QTest::addColumn<QString>("hint");
        QTest::newRow("macros") << "Macros1Click" << "Define User Macros";
        QTest::newRow("project") << "SaveOpenasNewProject1Click" << "Saves all open to documents to a new project";
        QTest::newRow("as text") << "ExportasText1Click" << "Removes all Tags from current Document";
        QTest::newRow("grab") << "GrabURLs1Click" << "Copy URLs in this document to the URL Library";
        QTest::newRow("plug-ins") << "mPlugInsClick" << "Display the Plug Ins Dialog";
        QTest::newRow("file tools") << "VelquistFileTools1Click" << "Open the Velquist File Tools";
        QTest::newRow("none") << "FileNew" << "";
    }
    void hintsOfMenuEntries()
    {
        QFETCH(QString, handler);
        QFETCH(QString, hint);
        QAction* entry = nullptr;
        for (QAction* a : m->actions(handler))
            for (QObject* o : a->associatedObjects())
                if (qobject_cast<QMenu*>(o))
                    entry = a;
        QVERIFY(entry);
        QCOMPARE(entry->statusTip(), hint);
        // What a menu does for the entry under the pointer.
        m->SetStatusText("before");
        entry->showStatusText(m->menuBar());
        QCOMPARE(m->statusText(), hint);
    }

    // The menu entries the shipped tips and help name are where they say:
    // "X" in the Y menu, "X" in A > B, <b>A | B | C</b>; in the main frame or
    // the preview window.
    void shippedTextsNameRealEntries_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("tips") << "TIPS.TXT";
        QTest::newRow("help") << "velquist.hlp";
    }
    void shippedTextsNameRealEntries()
    {
        QFETCH(QString, file);
        QFile f(qEnvironmentVariable("VQ_TEST_DATA") + "/" + file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        QList<QStringList> paths;
        static const QRegularExpression inMenu(QStringLiteral("\"([^\"]+)\" in the (\\w+) menu"));
        static const QRegularExpression inPath(
            QStringLiteral("\"([^\"]+)\" in ([A-Z]\\w*(?: [A-Z]\\w*)*) > ([A-Z]\\w*(?: [A-Z]\\w*)*)"));
        static const QRegularExpression bold(QStringLiteral("<b>([^<|]+(?: \\| [^<|]+)+)</b>"));
        for (auto it = inMenu.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            paths << QStringList{m.captured(2), m.captured(1)};
        }
        for (auto it = inPath.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            paths << QStringList{m.captured(2), m.captured(3), m.captured(1)};
        }
        for (auto it = bold.globalMatch(text); it.hasNext();)
            paths << it.next().captured(1).split(" | ");
        QVERIFY(!paths.isEmpty());
        auto clean = [](QString t) {
            t = t.section('\t', 0, 0).remove('&').trimmed();
            while (t.endsWith('.'))
                t.chop(1);
            return t.trimmed();
        };
        // Whether the path leads from a menu bar's menus to an entry that
        // starts with the name given.
        auto found = [&](const QList<QAction*>& top, const QStringList& path) {
            QList<QAction*> level = top;
            for (int i = 0; i < path.size(); ++i) {
                QAction* hit = nullptr;
                for (QAction* a : level)
                    if (a->isVisible() && !a->isSeparator()
                        && (i + 1 < path.size() ? clean(a->text()) == clean(path[i])
                                                : clean(a->text()).startsWith(clean(path[i]))))
                        hit = hit ? hit : a;
                if (!hit)
                    return false;
                if (i + 1 < path.size()) {
                    if (!hit->menu())
                        return false;
                    level = hit->menu()->actions();
                }
            }
            return true;
        };
        const QList<QAction*> frameMenus = m->menuBar()->actions();
        const QList<QAction*> previewMenus = m->module<RenderModule>().preview()->menuBar()->actions();
        for (const QStringList& path : std::as_const(paths))
            QVERIFY2(found(frameMenus, path) || found(previewMenus, path), qPrintable(path.join(" > ")));
    }

    void everyPictureButtonHasItsThemePicture()
    {
        // The pictures are listed apart from the buttons: one per picture button, in order.
        QStringList buttons, pictures;
#define BUTTON(handler, caption, hint) if (QString(caption).isEmpty()) buttons << #handler;
#define BUTTON_OFF(handler, caption, hint) BUTTON(handler, caption, hint)
#define ICON(handler, name) pictures << #handler;
#include "app/CommandTable.def"
        QCOMPARE(pictures, buttons);
        int shown = 0;
        for (TDocPanel* bar : m->findChildren<TDocPanel*>())
            for (QAction* a : bar->actions())
                if (!a->icon().isNull()) {
                    QVERIFY2(QIcon::hasThemeIcon(a->icon().name()), qPrintable(a->objectName()));
                    QCOMPARE(a->text(), a->toolTip());
                    ++shown;
                }
        QCOMPARE(shown, buttons.size());
    }

    void statusPanels()
    {
        QStringList names;
        for (const char* n : {"StatusLine", "pnlMode", "pnlPos", "pnlSize", "pnlApp", "pnlTag"}) {
            QVERIFY(m->panel(n));
            // A panel showing "<H1> : </H1>" must show those characters, not a heading.
            QCOMPARE(m->panel(n)->textFormat(), Qt::PlainText);
            names << n;
        }
        QCOMPARE(m->panel("pnlTag")->toolTip(), QString("Last Tag inserted - to reuse press \"F4\""));
        QCOMPARE(m->panel("pnlSize")->toolTip(), QString("Files Size in Bytes"));
        QVERIFY(m->panel("pnlMode")->x() < m->panel("pnlPos")->x());
        QVERIFY(m->panel("pnlApp")->x() < m->panel("pnlTag")->x());
    }

    void realKeyRunsCommand()
    {
        m->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m));
        prompter->openAnswers.enqueue({TestEnv::workDir() + "/none.htm"});
        QTest::keyClick(m, Qt::Key_O, Qt::ControlModifier);
        QVERIFY(prompter->openAnswers.isEmpty());
        QCOMPARE(prompter->messages.last(), "Unable to find " + TestEnv::workDir() + "/none.htm.");
    }
};

VQ_TEST_MAIN(tst_CommandTable)
#include "tst_CommandTable.moc"
