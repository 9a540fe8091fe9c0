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

TfTemplate* ReuseModule::templatesDialog()
{
    if (!m_template)
        m_template = new TfTemplate(frame(), m_startFolder);
    return m_template;
}

TfAddMac* ReuseModule::macroWindow()
{
    if (!m_addMac)
        m_addMac = new TfAddMac(
            frame().tagEngine(), [this] { return macrosDialog()->systemMacros(); }, frame().frameWindow());
    return m_addMac;
}

TfMacros* ReuseModule::macrosDialog()
{
    if (!m_macros)
        m_macros = new TfMacros(frame().frameWindow());
    return m_macros;
}

TfProj* ReuseModule::projectWindow()
{
    if (!m_proj)
        m_proj = new TfProj(frame());
    return m_proj;
}

void ReuseModule::SaveOpenasNewProject1Click()
{
    QStringList captions;
    for (TfHTML* doc : frame().documents())
        captions << doc->caption();
    projectWindow()->SaveOpenAsNewProject(captions);
}
