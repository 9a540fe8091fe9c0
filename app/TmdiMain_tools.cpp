// The main frame's tool commands: HTML to text, URL grabbing and bookmark
// import, plug-ins, file tools, the note pad and the tip of the day.
#include "app/TmdiMain.h"

#include "app/ProgressWindow.h"
#include "tools/HtmlToText.h"
#include "tools/TfNotePad.h"
#include "tools/TfPlugIn.h"
#include "tools/TfTipOfTheDay.h"
#include "tools/TfrmFileTools.h"
#include "tools/TfURLGrab.h"
#include "tools/UrlCommands.h"

void TmdiMain::ExportasText1Click()
{
    HtmlToText::ExportasText(*this);
}

void TmdiMain::mPlugInsClick()
{
    m_plugIns->showPlugIns();
}

void TmdiMain::DisplayNotePad1Click()
{
    m_notePad->showNotePad();
}

void TmdiMain::DisplayTips()
{
    TfTipOfTheDay::DisplayTips(this, IniControl);
}

void TmdiMain::VelquistFileTools1Click()
{
    m_fileTools->show();
    m_fileTools->raise();
    m_fileTools->activateWindow();
}

void TmdiMain::GrabURLs1Click()
{
    UrlCommands::GrabURLs(*this, *m_urlGrab);
}

void TmdiMain::ImportURLsfromNetscape1Click()
{
    UrlCommands::ImportFromNetscape(*this, *m_urlGrab, *m_progress, [this] { m_netscapeError->exec(); });
}
