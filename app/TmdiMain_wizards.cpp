// The main frame's wizard commands: each shows its window, made once at start-up.
#include "app/TmdiMain.h"

#include "wizards/forms/TfFormWiz.h"
#include "wizards/table/TfTableWiz.h"
#include "wizards/url/TfURLLibrary.h"
#include "wizards/url/TfrmURLWizard.h"

void TmdiMain::FormsWizard1Click() { m_formWiz->showWizard(); }
void TmdiMain::URLWizardShow() { m_urlWizard->showWizard(); }
void TmdiMain::Pick1Click() { m_urlLibrary->showLibrary(); }
void TmdiMain::TableWizard1Click() { m_tableWiz->showWizard(); }
