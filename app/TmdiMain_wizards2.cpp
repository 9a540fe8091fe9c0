// The main frame's home page, image, body, Java applet and browser extension
// wizard commands: short glue from menu entries and buttons to the windows
// in wizards/.
#include "app/TmdiMain.h"

#include "app/AppSettings.h"
#include "wizards/extensions/TfrmIE.h"
#include "wizards/homepage/TfHPWiz.h"
#include "wizards/java/TfrmJavaWiz.h"

void TmdiMain::NewHomePage1Click()
{
    SetStatusText(QStringLiteral("Loading Home Page Wizard ..."));
    m_hpWiz->exec();
    SetStatusText(AppSettings::kReady);
}

void TmdiMain::JavaWizard1Click() { m_javaWiz->showWindow(); }
void TmdiMain::InternetExplorerExtensions1Click() { m_ie->showWindow(); }
