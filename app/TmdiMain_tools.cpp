// The main frame's tool commands: HTML to text, URL grabbing and bookmark
// import, plug-ins, file tools, the note pad and the tip of the day.
#include "app/TmdiMain.h"

#include "tools/HtmlToText.h"
#include "tools/TfPlugIn.h"

void TmdiMain::ExportasText1Click()
{
    HtmlToText::ExportasText(*this);
}

void TmdiMain::mPlugInsClick()
{
    m_plugIns->showPlugIns();
}
