#include "app/CommandTable.h"

#include "app/AppInvoker.h"
#include "app/FrameModule.h"
#include "app/KeyMap.h"
#include "app/TmdiMain.h"
#include "docking/TDocPanel.h"
#include "docking/TDockSite.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QChildEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QStandardPaths>
#include <QToolButton>
#include <utility>
#include <vector>

namespace {

struct Entry {
    enum Kind { Menu, EndMenu, Item, ItemOff, Hidden, Separator, Mru, Search, Toolbar, EndToolbar, Button, ButtonOff };
    Kind kind;
    const char* name;
    const char* caption;
    const char* extra;  // shortcut or hint
};

const Entry kEntries[] = {
#define MENU(caption, shortcut) {Entry::Menu, nullptr, caption, shortcut},
#define END_MENU() {Entry::EndMenu, nullptr, nullptr, nullptr},
#define ITEM(handler, caption, shortcut) {Entry::Item, #handler, caption, shortcut},
#define ITEM_OFF(handler, caption, shortcut) {Entry::ItemOff, #handler, caption, shortcut},
#define HIDDEN(name, caption) {Entry::Hidden, #name, caption, ""},
#define SEPARATOR() {Entry::Separator, nullptr, nullptr, nullptr},
#define MRU_ENTRIES() {Entry::Mru, nullptr, nullptr, nullptr},
#define SEARCH_MENU() {Entry::Search, nullptr, nullptr, nullptr},
#define TOOLBAR(name, title) {Entry::Toolbar, #name, title, ""},
#define END_TOOLBAR() {Entry::EndToolbar, nullptr, nullptr, nullptr},
#define BUTTON(handler, caption, hint) {Entry::Button, #handler, caption, hint},
#define BUTTON_OFF(handler, caption, hint) {Entry::ButtonOff, #handler, caption, hint},
#include "app/CommandTable.def"
};

const QSet<QString>& toggles()
{
    static const QSet<QString> set{
        QStringLiteral("FileToolbar1Click"), QStringLiteral("TagsToolbar1Click"),
        QStringLiteral("FormattingToolbar1Click"), QStringLiteral("TableToolbar1Click"),
        QStringLiteral("FormsToolbar1Click"), QStringLiteral("ListToolBarClick"),
        QStringLiteral("WordWrap1Click"), QStringLiteral("SmartTabs1Click"),
        QStringLiteral("DocumentTabs1Click"), QStringLiteral("SyntaxHighlighting1Click"),
        QStringLiteral("LineNumbers1Click"), QStringLiteral("AutoCloseTags1Click"),
        QStringLiteral("CloseTagOnGreater1Click"), QStringLiteral("CompletionLists1Click"),
        QStringLiteral("ProblemsPanel1Click")};
    return set;
}

// Document windows keep no keys of their own: a document window's frame
// comes with its system menu's keys (Ctrl+W and Ctrl+F4 close it, Ctrl+F6
// and others move between windows), which the key map does not have, and a
// key the key map also has would belong to two commands and run neither.
// Each document window gives them all up as soon as it is made ready to be
// shown.
class KeyMapGuard : public QObject {
public:
    explicit KeyMapGuard(QWidget* area) : QObject(area) { area->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::ChildPolished) {
            if (auto* sub = qobject_cast<QMdiSubWindow*>(static_cast<QChildEvent*>(e)->child()))
                releaseKeys(sub);
        }
        return QObject::eventFilter(watched, e);
    }

private:
    static void releaseKeys(QMdiSubWindow* window)
    {
        QList<QAction*> actions = window->actions();
        if (window->systemMenu())
            actions += window->systemMenu()->actions();
        for (QAction* a : actions) {
            if (!a->shortcuts().isEmpty())
                a->setShortcuts({});
        }
    }
};

void connectHandler(TmdiMain& main, QAction* action, const std::function<void()>& fn)
{
    QObject::connect(action, &QAction::triggered, &main, [fn, action](bool checked) {
        // Toggles keep their check mark under the handler's control, so a
        // handler behaves the same whether run from an entry or by name.
        if (action->isCheckable())
            action->setChecked(!checked);
        AppInvoker::run(fn);
    });
}

// Entries that carry a check mark.
bool isToggle(const QString& handler)
{
    return toggles().contains(handler);
}

// The status line hints of menu entries, shown while the entry is highlighted.
QString menuHint(const QString& handler)
{
    static const QHash<QString, QString> hints{
        {QStringLiteral("SaveOpenasNewProject1Click"), QStringLiteral("Saves all open to documents to a new project")},
        {QStringLiteral("mPlugInsClick"), QStringLiteral("Display the Plug Ins Dialog")},
        {QStringLiteral("ExportasText1Click"), QStringLiteral("Removes all Tags from current Document")},
        {QStringLiteral("GrabURLs1Click"), QStringLiteral("Copy URLs in this document to the URL Library")},
        {QStringLiteral("Macros1Click"), QStringLiteral("Define User Macros")},
        {QStringLiteral("VelquistFileTools1Click"), QStringLiteral("Open the Velquist File Tools")},
    };
    return hints.value(handler);
}

// The pictures of the picture buttons, in the tool bars' order.
struct Picture {
    const char* handler;
    const char* icon;
};
const Picture kPictures[] = {
#define ICON(handler, name) {#handler, name},
#include "app/CommandTable.def"
};

// A short caption for a picture button whose picture the icon theme lacks.
QString fallbackCaption(const QString& handler, const QString& hint)
{
    static const QHash<QString, QString> captions{
        {QStringLiteral("NewfromTemplate1Click"), QStringLiteral("Tpl")},
        {QStringLiteral("NewHomePage1Click"), QStringLiteral("HP")},
        {QStringLiteral("FilePrint"), QStringLiteral("Prn")},
        {QStringLiteral("PrintPreview1Click"), QStringLiteral("Web")},
        {QStringLiteral("EditCut"), QStringLiteral("Cut")},
        {QStringLiteral("EditCopy"), QStringLiteral("Cpy")},
        {QStringLiteral("EditPaste"), QStringLiteral("Pst")},
        {QStringLiteral("WindowTile"), QStringLiteral("Til")},
        {QStringLiteral("WindowCascade"), QStringLiteral("Cas")},
        {QStringLiteral("WindowArrange"), QStringLiteral("Arr")},
        {QStringLiteral("mPlugInsClick"), QStringLiteral("Plg")},
        {QStringLiteral("Macro1Click"), QStringLiteral("Mac")},
        {QStringLiteral("ColorChooser1Click"), QStringLiteral("Col")},
        {QStringLiteral("DisplayNotePad1Click"), QStringLiteral("Nte")},
        {QStringLiteral("HTMLTagsChooser1Click"), QStringLiteral("<>")},
        {QStringLiteral("Simple1Click"), QStringLiteral("A")},
        {QStringLiteral("Pick1Click"), QStringLiteral("Lib")},
        {QStringLiteral("GrabURLs1Click"), QStringLiteral("Grb")},
        {QStringLiteral("Simple3Click"), QStringLiteral("@")},
        {QStringLiteral("Simple2Click"), QStringLiteral("Img")},
        {QStringLiteral("Pick2Click"), QStringLiteral("IWz")},
        {QStringLiteral("URLWizardShow"), QStringLiteral("UWz")},
        {QStringLiteral("FormsWizard1Click"), QStringLiteral("FWz")},
        {QStringLiteral("TableWizard1Click"), QStringLiteral("TWz")},
        {QStringLiteral("BodyWizard1Click"), QStringLiteral("BWz")},
        {QStringLiteral("JavaWizard1Click"), QStringLiteral("JWz")},
        {QStringLiteral("LastUpdated1Click"), QStringLiteral("Upd")},
        {QStringLiteral("MarkasComment1Click"), QStringLiteral("!--")},
        {QStringLiteral("PreDefined1Click"), QStringLiteral("Me")},
        {QStringLiteral("btnFormClick"), QStringLiteral("Frm")},
        {QStringLiteral("btnFTextClick"), QStringLiteral("Txt")},
        {QStringLiteral("btnFMultiClick"), QStringLiteral("TA")},
        {QStringLiteral("btnRadioClick"), QStringLiteral("(o)")},
        {QStringLiteral("btnCheckClick"), QStringLiteral("[x]")},
        {QStringLiteral("TableClick"), QStringLiteral("Tbl")},
        {QStringLiteral("Bold1Click"), QStringLiteral("B")},
        {QStringLiteral("Italics1Click"), QStringLiteral("I")},
        {QStringLiteral("Size1Click"), QStringLiteral("Sz")},
    };
    const QString caption = captions.value(handler);
    return caption.isEmpty() ? hint.left(3) : caption;
}

// The program's icon theme: the desktop's, else breeze; breeze also fills in
// what the desktop's theme lacks.
void chooseIconTheme()
{
    const QString breeze = QStringLiteral("breeze");
    const QString hicolor = QStringLiteral("hicolor");
    // Some platforms (the headless one among them) look only in the
    // program's resources: add the system's icon folders.
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& dir : QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                                        QStandardPaths::LocateDirectory))
        if (!paths.contains(dir))
            paths << dir;
    QIcon::setThemeSearchPaths(paths);
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == hicolor)
        QIcon::setThemeName(breeze);
    if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == hicolor)
        QIcon::setFallbackThemeName(breeze);
}

// The menu a right click on a tool bar opens: the View menu's own toggles, so
// every way of showing or hiding a bar goes through them.
QMenu* barMenu(TmdiMain& main)
{
    if (auto* m = main.findChild<QMenu*>(QStringLiteral("ToolBarMenu"), Qt::FindDirectChildrenOnly))
        return m;
    auto* m = new QMenu(&main);
    m->setObjectName(QStringLiteral("ToolBarMenu"));
    for (const char* toggle : {"FileToolbar1Click", "TagsToolbar1Click", "FormattingToolbar1Click",
                               "TableToolbar1Click", "FormsToolbar1Click", "ListToolBarClick"})
        if (QAction* a = main.action(QString::fromLatin1(toggle)))
            m->addAction(a);
    return m;
}

} // namespace

QStringList CommandTable::handlerNames()
{
    QStringList names;
    for (const Entry& e : kEntries)
        if ((e.kind == Entry::Item || e.kind == Entry::Button) && !names.contains(QLatin1String(e.name)))
            names << QString::fromLatin1(e.name);
    return names;
}

QStringList CommandTable::check(const CommandBinder& handlers)
{
    QStringList faults;
    const QStringList wanted = handlerNames();
    for (const QString& name : wanted)
        if (!handlers.handler(name))
            faults << QStringLiteral("not bound: ") + name;
    for (const QString& name : handlers.boundTwice())
        faults << QStringLiteral("bound twice: ") + name;
    for (const QString& name : handlers.names())
        if (!wanted.contains(name))
            faults << QStringLiteral("not in the table: ") + name;
    faults.sort();
    return faults;
}

void CommandTable::build(TmdiMain& main, const CommandBinder& handlers)
{
    const QStringList faults = check(handlers);
    if (!faults.isEmpty())
        qFatal("The command table's handlers are wrong: %s", qPrintable(faults.join(QStringLiteral(", "))));
    new KeyMapGuard(main.m_mdi->viewport());
    KeyMap::installDigitKeys(&main);
    QMenuBar* bar = main.menuBar();
    std::vector<QMenu*> stack;
    TDockSite* site = nullptr;
    TDocPanel* toolBar = nullptr;
    int line = 0, place = 0;
    size_t picture = 0;
    bool searchPending = false;
    chooseIconTheme();

    auto addToRegistry = [&main](const QString& name, QAction* a) {
        a->setObjectName(name);
        main.m_actions[name].append(a);
    };

    for (const Entry& e : kEntries) {
        switch (e.kind) {
        case Entry::Menu: {
            auto* m = new QMenu(QString::fromUtf8(e.caption), &main);
            if (stack.empty()) {
                bar->addMenu(m);
                if (searchPending) {
                    main.m_searchAnchor = m->menuAction();
                    searchPending = false;
                }
            } else {
                stack.back()->addMenu(m);
            }
            const QString shortcut = QString::fromUtf8(e.extra);
            if (!shortcut.isEmpty()) {
                // A key that opens this submenu under the caret of the active
                // document, or below its top-level menu when there is none.
                auto* opener = new QAction(&main);
                opener->setShortcut(QKeySequence(shortcut));
                KeyMap::claim(opener->shortcut());
                opener->setShortcutContext(Qt::WindowShortcut);
                QMenu* top = stack.empty() ? m : stack.front();
                QObject::connect(opener, &QAction::triggered, m, [&main, m, top] {
                    m->popup(main.submenuPosition(top));
                });
                opener->setObjectName(QStringLiteral("open:") + m->title());
                main.addAction(opener);
            }
            main.m_menus.append(m);
            stack.push_back(m);
            break;
        }
        case Entry::EndMenu:
            stack.pop_back();
            break;
        case Entry::Item:
        case Entry::ItemOff: {
            const QString name = QString::fromUtf8(e.name);
            auto* a = new QAction(QString::fromUtf8(e.caption), &main);
            const QString shortcut = QString::fromUtf8(e.extra);
            if (!shortcut.isEmpty()) {
                a->setShortcut(QKeySequence(shortcut));
                KeyMap::claim(a->shortcut());
            }
            a->setStatusTip(menuHint(name));
            a->setCheckable(isToggle(name));
            if (e.kind == Entry::Item)
                connectHandler(main, a, handlers.handler(name));
            else
                a->setEnabled(false);
            addToRegistry(name, a);
            stack.back()->addAction(a);
            break;
        }
        case Entry::Hidden: {
            auto* a = new QAction(QString::fromUtf8(e.caption), &main);
            a->setVisible(false);
            a->setEnabled(false);
            addToRegistry(QString::fromUtf8(e.name), a);
            stack.back()->addAction(a);
            break;
        }
        case Entry::Separator:
            stack.back()->addSeparator();
            break;
        case Entry::Mru:
            for (int k = 0; k < MruList::kSize; ++k) {
                auto* a = new QAction(&main);
                a->setObjectName(QStringLiteral("MRU%1").arg(k + 1));
                a->setData(k);
                a->setVisible(false);
                QObject::connect(a, &QAction::triggered, &main, [&main, k] {
                    AppInvoker::run([&main, k] { main.MRUOpenChild(k); });
                });
                stack.back()->addAction(a);
                main.m_mruActions.append(a);
            }
            main.m_mruSeparator = stack.back()->addSeparator();
            main.m_mruSeparator->setObjectName(QStringLiteral("MRUSeparator"));
            main.m_mruSeparator->setVisible(false);
            break;
        case Entry::Search:
            searchPending = true;
            break;
        case Entry::Toolbar: {
            if (!site) {
                // The frame's client area takes the panels along its sides.
                site = new TDockSite(&main);
                site->setCentreWidget(main.takeCentralWidget());
                main.setCentralWidget(site);
            }
            const QString name = QString::fromUtf8(e.name);
            // Edit and Tags each get a line; the four small bars share the third.
            if (!main.m_toolBars.isEmpty()
                && (name == QLatin1String("Tagsbar") || name == QLatin1String("FormToolBar"))) {
                ++line;
                place = 0;
            }
            toolBar = new TDocPanel(name, site);
            toolBar->SetTitle(QString::fromUtf8(e.caption));
            toolBar->setIconSize(QSize(20, 20));
            toolBar->SetDockingSides(kAllDockSides);
            toolBar->DockingMethod = dmBoth;
            toolBar->SetArrangement(amWidth);
            toolBar->AutoHide = false;
            toolBar->DropDown = true;
            toolBar->AutoWrap = false;
            toolBar->FloatBorder = fbSizeable;
            toolBar->IniFile = QStringLiteral("velq32tb.ini");
            toolBar->setDockPlace(line, place++);
            toolBar->setContextMenuPolicy(Qt::CustomContextMenu);
            QObject::connect(toolBar, &QWidget::customContextMenuRequested, &main,
                             [&main](const QPoint&) { barMenu(main)->popup(QCursor::pos()); });
            main.m_toolBars.insert(name, toolBar);
            break;
        }
        case Entry::EndToolbar:
            toolBar = nullptr;
            break;
        case Entry::Button:
        case Entry::ButtonOff: {
            const QString name = QString::fromUtf8(e.name);
            const QString caption = QString::fromUtf8(e.caption);
            const QString hint = QString::fromUtf8(e.extra);
            auto* a = new QAction(&main);
            bool textOnly = !caption.isEmpty();
            if (caption.isEmpty()) {
                const Picture* p = picture < std::size(kPictures) ? &kPictures[picture++] : nullptr;
                const QString icon = p && name == QLatin1String(p->handler) ? QString::fromLatin1(p->icon) : QString();
                if (!icon.isEmpty() && QIcon::hasThemeIcon(icon)) {
                    a->setIcon(QIcon::fromTheme(icon));
                    a->setText(hint);
                } else {
                    a->setText(fallbackCaption(name, hint));
                    textOnly = true;
                }
            } else {
                a->setText(caption);
            }
            a->setToolTip(hint);
            a->setStatusTip(hint);
            a->setCheckable(isToggle(name));
            if (e.kind == Entry::Button)
                connectHandler(main, a, handlers.handler(name));
            else
                a->setEnabled(false);
            addToRegistry(name, a);
            toolBar->addAction(a);
            if (textOnly)
                if (auto* b = qobject_cast<QToolButton*>(toolBar->widgetForAction(a)))
                    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
            break;
        }
        }
    }
    // Each panel takes the place it had at the end of the last run.
    for (TDocPanel* panel : site ? site->panels() : QList<TDocPanel*>())
        panel->Loaded();
}
