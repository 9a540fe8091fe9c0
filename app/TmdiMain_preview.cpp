// The main frame's printing, web preview, spelling and help commands: short
// glue from menu entries, buttons and keys to the render and spell folders.
#include "app/TmdiMain.h"

#include "app/AppSettings.h"
#include "app/TfHTML.h"
#include "editor/TOvcTextFileEditor.h"
#include "render/HelpViewer.h"
#include "render/TextPrinter.h"
#include "render/TfPreview.h"
#include "spell/TAddictSpell.h"

void TmdiMain::HelpContents() { HelpViewer::showContents(); }
void TmdiMain::HelpSearch() { HelpViewer::showKeyword(QString()); }
void TmdiMain::HTMLPrimer1Click() { HelpViewer::showPrimer(); }
void TmdiMain::HelpHowToUse() { HelpViewer::showHowToUse(); }

void TmdiMain::FilePrint()
{
    TfHTML* doc = activeDocument();
    if (!doc)
        return;
    TextPrinter::printSource(this, *doc->txtHTML, doc->txtHTML->FixedFont());
    SetStatusText(AppSettings::kReady);
}

void TmdiMain::FilePrintSetup() { TextPrinter::runSetupDialog(this); }

void TmdiMain::PrintPreview1Click() { m_preview->PrintPreview1Click(activeDocument()); }

void TmdiMain::CheckSpelling1Click()
{
    TfHTML* doc = activeDocument();
    if (!doc)
        return;
    if (!AddictSpell1)
        AddictSpell1 = new TAddictSpell(this);
    AddictSpell1->CheckEditor(*doc->txtHTML, doc->txtHTML);
}
