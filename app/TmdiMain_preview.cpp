// The main frame's printing, web preview, spelling and help commands: short
// glue from menu entries, buttons and keys to the render and spell folders.
#include "app/TmdiMain.h"

#include "render/HelpViewer.h"

void TmdiMain::HelpContents() { HelpViewer::showContents(); }
void TmdiMain::HelpSearch() { HelpViewer::showKeyword(QString()); }
void TmdiMain::HelpHowToUse() { HelpViewer::showHowToUse(); }
