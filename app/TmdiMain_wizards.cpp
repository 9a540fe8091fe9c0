// The main frame's wizard commands: each shows its window, made once at start-up.
#include "app/TmdiMain.h"

#include "wizards/forms/TfFormWiz.h"

void TmdiMain::FormsWizard1Click() { m_formWiz->showWizard(); }
