#include "app/CommandTable.h"

#include "app/AppInvoker.h"
#include "app/KeyMap.h"
#include "app/TmdiMain.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QChildEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QSet>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <utility>
#include <vector>

namespace {

using Handler = void (TmdiMain::*)();

struct Entry {
    enum Kind { Menu, EndMenu, Item, ItemOff, Hidden, Separator, Mru, Search, Toolbar, EndToolbar, Button, ButtonOff };
    Kind kind;
    const char* name;
    const char* caption;
    const char* extra;  // shortcut or hint
    Handler fn;
};

const Entry kEntries[] = {
#define MENU(caption, shortcut) {Entry::Menu, nullptr, caption, shortcut, nullptr},
#define END_MENU() {Entry::EndMenu, nullptr, nullptr, nullptr, nullptr},
#define ITEM(handler, caption, shortcut) {Entry::Item, #handler, caption, shortcut, &TmdiMain::handler},
#define ITEM_OFF(handler, caption, shortcut) {Entry::ItemOff, #handler, caption, shortcut, nullptr},
#define HIDDEN(name, caption) {Entry::Hidden, #name, caption, "", nullptr},
#define SEPARATOR() {Entry::Separator, nullptr, nullptr, nullptr, nullptr},
#define MRU_ENTRIES() {Entry::Mru, nullptr, nullptr, nullptr, nullptr},
#define SEARCH_MENU() {Entry::Search, nullptr, nullptr, nullptr, nullptr},
#define TOOLBAR(name, title) {Entry::Toolbar, #name, title, "", nullptr},
#define END_TOOLBAR() {Entry::EndToolbar, nullptr, nullptr, nullptr, nullptr},
#define BUTTON(handler, caption, hint) {Entry::Button, #handler, caption, hint, &TmdiMain::handler},
#define BUTTON_OFF(handler, caption, hint) {Entry::ButtonOff, #handler, caption, hint, nullptr},
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
        QStringLiteral("LineNumbers1Click"), QStringLiteral("AutoCloseTags1Click")};
    return set;
}

// A small picture with a few letters, for buttons without a standard icon.
QIcon glyphIcon(const QString& glyph)
{
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0x33, 0x55, 0x99));
    p.setBrush(QColor(0xE8, 0xEE, 0xF8));
    p.drawRoundedRect(QRectF(1.5, 1.5, 21, 21), 3, 3);
    QFont f = p.font();
    f.setPixelSize(glyph.size() > 2 ? 8 : 10);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0x20, 0x30, 0x60));
    p.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, glyph);
    return QIcon(pm);
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

void connectHandler(TmdiMain& main, QAction* action, Handler fn)
{
    QObject::connect(action, &QAction::triggered, &main, [&main, fn, action](bool checked) {
        // Toggles keep their check mark under the handler's control, so a
        // handler behaves the same whether run from an entry or called directly.
        if (action->isCheckable())
            action->setChecked(!checked);
        AppInvoker::run([&main, fn] { (main.*fn)(); });
    });
}

// Entries that carry a check mark.
bool isToggle(const QString& handler)
{
    return toggles().contains(handler);
}

QIcon pictureFor(const QString& handler, const QString& hint)
{
    QStyle* st = QApplication::style();
    static const QHash<QString, QStyle::StandardPixmap> standard{
        {QStringLiteral("FileNew"), QStyle::SP_FileIcon},
        {QStringLiteral("FileOpen"), QStyle::SP_DialogOpenButton},
        {QStringLiteral("FileSave"), QStyle::SP_DialogSaveButton},
        {QStringLiteral("OpenWorkspace1Click"), QStyle::SP_DirIcon},
        {QStringLiteral("HelpContents"), QStyle::SP_DialogHelpButton},
        {QStringLiteral("EditUndo"), QStyle::SP_ArrowBack},
    };
    static const QHash<QString, QString> glyphs{
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
    if (standard.contains(handler))
        return st->standardIcon(standard.value(handler));
    QString g = glyphs.value(handler);
    if (g.isEmpty())
        g = hint.left(2);
    return glyphIcon(g);
}

} // namespace

void CommandTable::build(TmdiMain& main)
{
    new KeyMapGuard(main.m_mdi->viewport());
    KeyMap::installDigitKeys(&main);
    QMenuBar* bar = main.menuBar();
    std::vector<QMenu*> stack;
    QToolBar* toolBar = nullptr;
    bool searchPending = false;

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
            a->setCheckable(isToggle(name));
            if (e.kind == Entry::Item)
                connectHandler(main, a, e.fn);
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
        case Entry::Toolbar:
            toolBar = new QToolBar(QString::fromUtf8(e.caption), &main);
            toolBar->setObjectName(QString::fromUtf8(e.name));
            toolBar->setIconSize(QSize(20, 20));
            // Edit and Tags each get a row; the four small bars share the third.
            if (!main.m_toolBars.isEmpty() && (toolBar->objectName() == QLatin1String("Tagsbar")
                                               || toolBar->objectName() == QLatin1String("FormToolBar")))
                main.addToolBarBreak(Qt::TopToolBarArea);
            main.addToolBar(Qt::TopToolBarArea, toolBar);
            main.m_toolBars.insert(toolBar->objectName(), toolBar);
            break;
        case Entry::EndToolbar:
            toolBar = nullptr;
            break;
        case Entry::Button:
        case Entry::ButtonOff: {
            const QString name = QString::fromUtf8(e.name);
            const QString caption = QString::fromUtf8(e.caption);
            const QString hint = QString::fromUtf8(e.extra);
            auto* a = new QAction(&main);
            if (caption.isEmpty()) {
                a->setIcon(pictureFor(name, hint));
                a->setText(hint);
            } else {
                a->setText(caption);
            }
            a->setToolTip(hint);
            a->setStatusTip(hint);
            a->setCheckable(isToggle(name));
            if (e.kind == Entry::Button)
                connectHandler(main, a, e.fn);
            else
                a->setEnabled(false);
            addToRegistry(name, a);
            toolBar->addAction(a);
            if (!caption.isEmpty())
                if (auto* b = qobject_cast<QToolButton*>(toolBar->widgetForAction(a)))
                    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
            break;
        }
        }
    }
}
