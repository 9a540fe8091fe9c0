#include "docking/DockingModule.h"

#include "app/AppSettings.h"
#include "app/FrameServices.h"
#include "app/TMegaRegistry.h"
#include "docking/TDocPanel.h"

#include <QAction>

namespace {
// Each View entry, its panel and its visibility key, in the order start-up
// applies them.
struct BarToggle {
    const char* handler;
    const char* bar;
    const char* key;
};
const BarToggle kToggles[] = {
    {"FileToolbar1Click", "SpeedBar", "Edit ToolBar"},
    {"ListToolBarClick", "ListToolBar", "List ToolBar"},
    {"TagsToolbar1Click", "Tagsbar", "Tags ToolBar"},
    {"FormattingToolbar1Click", "FormattingBar", "Format ToolBar"},
    {"TableToolbar1Click", "TableToolBar", "Table ToolBar"},
    {"FormsToolbar1Click", "FormToolBar", "Forms ToolBar"},
};
}

void DockingModule::bindCommands(CommandBinder& binder)
{
    for (const BarToggle& t : kToggles) {
        const QString handler = QString::fromLatin1(t.handler);
        const QString bar = QString::fromLatin1(t.bar);
        binder.bind(handler, [this, handler, bar] { setShown(handler, bar, !isShown(handler)); });
    }
}

void DockingModule::commandsBuilt()
{
    for (const BarToggle& t : kToggles)
        for (QAction* a : frame().actions(QString::fromLatin1(t.handler)))
            a->setChecked(true);
}

void DockingModule::loadSettings()
{
    for (const BarToggle& t : kToggles)
        setShown(QString::fromLatin1(t.handler), QString::fromLatin1(t.bar),
                 frame().settings().ReadBool(AppSettings::kOptions, QString::fromLatin1(t.key), true));
}

void DockingModule::storeSettings()
{
    for (const BarToggle& t : kToggles)
        frame().settings().WriteBool(AppSettings::kOptions, QString::fromLatin1(t.key),
                                     isShown(QString::fromLatin1(t.handler)));
}

void DockingModule::setShown(const QString& handler, const QString& barName, bool shown)
{
    for (QAction* a : frame().actions(handler))
        a->setChecked(shown);
    if (TDocPanel* bar = frame().toolBar(barName))
        bar->setVisible(shown);
}

bool DockingModule::isShown(const QString& handler) const
{
    const QList<QAction*> list = frame().actions(handler);
    return !list.isEmpty() && list.first()->isChecked();
}
