#include "spell/SpellModule.h"

#include "app/FrameServices.h"
#include "app/TfHTML.h"
#include "editor/TOvcTextFileEditor.h"
#include "spell/TAddictSpell.h"

void SpellModule::bindCommands(CommandBinder& binder)
{
    binder.bind("CheckSpelling1Click", this, &SpellModule::CheckSpelling1Click);
}

void SpellModule::CheckSpelling1Click()
{
    TfHTML* doc = frame().activeDocument();
    if (!doc)
        return;
    if (!m_checker)
        m_checker = new TAddictSpell(frame().frameWindow());
    m_checker->CheckEditor(*doc->txtHTML, doc->txtHTML);
}
