#include "reuse/ReuseModule.h"

#include "app/FrameServices.h"
#include "app/TfHTML.h"
#include "reuse/TfAddMac.h"
#include "reuse/TfMacros.h"
#include "reuse/TfProj.h"
#include "reuse/TfTemplate.h"

#include <QDir>

ReuseModule::ReuseModule(FrameServices& frame) : FrameModule(frame), m_startFolder(QDir::currentPath()) {}

void ReuseModule::bindCommands(CommandBinder& binder)
{
    binder.bind(QStringLiteral("NewfromTemplate1Click"), [this] { templatesDialog()->exec(); });
    binder.bind(QStringLiteral("Macros1Click"), [this] { macrosDialog()->exec(); });
    binder.bind(QStringLiteral("Macro1Click"), [this] { macroWindow()->showWindow(); });
    binder.bind(QStringLiteral("ExpandMacrosNow1Click"), [this] { macrosDialog()->ExpandMacrosNow(frame()); });
    binder.bind(QStringLiteral("OpenWorkspace1Click"), [this] { projectWindow()->showModal(); });
    binder.bind("SaveOpenasNewProject1Click", this, &ReuseModule::SaveOpenasNewProject1Click);
}

TfTemplate* ReuseModule::templatesDialog() { return made(m_template, frame(), m_startFolder); }
TfMacros* ReuseModule::macrosDialog() { return made(m_macros, frame().frameWindow()); }
TfProj* ReuseModule::projectWindow() { return made(m_proj, frame()); }

TfAddMac* ReuseModule::macroWindow()
{
    return made(m_addMac, frame().tagEngine(), [this] { return macrosDialog()->systemMacros(); },
                frame().frameWindow());
}

void ReuseModule::SaveOpenasNewProject1Click()
{
    QStringList captions;
    for (TfHTML* doc : frame().documents())
        captions << doc->caption();
    projectWindow()->SaveOpenAsNewProject(captions);
}
