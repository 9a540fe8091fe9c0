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

TfPlugIn* ToolsModule::plugInWindow()
{
    if (!m_plugIns)
        m_plugIns = new TfPlugIn(frame().tagEngine(), frame().frameWindow());
    return m_plugIns;
}

TfNotePad* ToolsModule::notePad()
{
    if (!m_notePad)
        m_notePad = new TfNotePad(frame().frameWindow());
    return m_notePad;
}

TfrmFileTools* ToolsModule::fileTools()
{
    if (!m_fileTools)
        m_fileTools = new TfrmFileTools(frame());
    return m_fileTools;
}

TfURLGrab* ToolsModule::urlManager()
{
    if (!m_urlGrab)
        m_urlGrab = new TfURLGrab(frame().frameWindow());
    return m_urlGrab;
}

TfNetscapeError* ToolsModule::bookmarkError()
{
    if (!m_netscapeError)
        m_netscapeError = new TfNetscapeError(frame().frameWindow());
    return m_netscapeError;
}

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
