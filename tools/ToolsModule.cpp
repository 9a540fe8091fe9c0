#include "tools/ToolsModule.h"

#include "app/AppSettings.h"
#include "app/FrameServices.h"
#include "app/TMegaRegistry.h"
#include "tools/HtmlToText.h"
#include "tools/TfNotePad.h"
#include "tools/TfPlugIn.h"
#include "tools/TfTipOfTheDay.h"
#include "tools/TfURLGrab.h"
#include "tools/TfrmFileTools.h"
#include "tools/UrlCommands.h"

void ToolsModule::bindCommands(CommandBinder& binder)
{
    binder.bind(QStringLiteral("ExportasText1Click"), [this] { HtmlToText::ExportasText(frame()); });
    binder.bind(QStringLiteral("mPlugInsClick"), [this] { plugInWindow()->showPlugIns(); });
    binder.bind(QStringLiteral("DisplayNotePad1Click"), [this] { notePad()->showNotePad(); });
    binder.bind("VelquistFileTools1Click", this, &ToolsModule::VelquistFileTools1Click);
    binder.bind(QStringLiteral("GrabURLs1Click"), [this] { UrlCommands::GrabURLs(frame(), *urlManager()); });
    binder.bind("ImportURLsfromNetscape1Click", this, &ToolsModule::ImportURLsfromNetscape1Click);
}

void ToolsModule::startUp()
{
    if (frame().settings().ReadBool(AppSettings::kStart, QStringLiteral("Tips"), true))
        DisplayTips();
}

TfPlugIn* ToolsModule::plugInWindow() { return made(m_plugIns, frame().tagEngine(), frame().frameWindow()); }
TfNotePad* ToolsModule::notePad() { return made(m_notePad, frame().frameWindow()); }
TfrmFileTools* ToolsModule::fileTools() { return made(m_fileTools, frame()); }
TfURLGrab* ToolsModule::urlManager() { return made(m_urlGrab, frame().frameWindow()); }
TfNetscapeError* ToolsModule::bookmarkError() { return made(m_netscapeError, frame().frameWindow()); }

void ToolsModule::DisplayTips()
{
    TfTipOfTheDay::DisplayTips(frame().frameWindow(), frame().settings());
}

void ToolsModule::VelquistFileTools1Click()
{
    TfrmFileTools* tools = fileTools();
    tools->show();
    tools->raise();
    tools->activateWindow();
}

void ToolsModule::ImportURLsfromNetscape1Click()
{
    UrlCommands::ImportFromNetscape(frame(), *urlManager(), frame().progressWindow(),
                                    [this] { bookmarkError()->exec(); });
}
