// The main frame's template, macro and project commands: short glue from
// menu entries and buttons to the windows and functions in reuse/.
#include "app/TmdiMain.h"

#include "app/TfHTML.h"
#include "reuse/TfAddMac.h"
#include "reuse/TfMacros.h"
#include "reuse/TfProj.h"
#include "reuse/TfTemplate.h"

void TmdiMain::NewfromTemplate1Click() { m_template->exec(); }
void TmdiMain::Macros1Click() { m_macros->exec(); }
void TmdiMain::Macro1Click() { m_addMac->showWindow(); }
void TmdiMain::ExpandMacrosNow1Click() { m_macros->ExpandMacrosNow(*this); }
void TmdiMain::OpenWorkspace1Click() { m_proj->showModal(); }

void TmdiMain::SaveOpenasNewProject1Click()
{
    QStringList captions;
    for (TfHTML* doc : documents())
        captions << doc->caption();
    m_proj->SaveOpenAsNewProject(captions);
}
