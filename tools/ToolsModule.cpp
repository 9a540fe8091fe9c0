#include "tools/ToolsModule.h"

#include "app/AppSettings.h"
#include "app/FrameServices.h"
#include "app/TMegaRegistry.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include "tools/HtmlToText.h"
#include "tools/ProblemsPanel.h"
#include "tools/TfCheckSite.h"
#include "tools/TfTidyUp.h"
#include "tools/TidyRunner.h"
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
    binder.bind("ProblemsPanel1Click", this, &ToolsModule::ProblemsPanel1Click);
    binder.bind(QStringLiteral("TidyUpPage1Click"), [this] { TfTidyUp::TidyUpPage(frame()); });
    binder.bind("CheckSite1Click", this, &ToolsModule::CheckSite1Click);
}

ToolsModule::~ToolsModule()
{
    // The panel lives on with the frame's window a little longer.
    QObject::disconnect(m_problemsToggle);
}

void ToolsModule::commandsBuilt()
{
    for (QAction* a : frame().actions(QStringLiteral("ProblemsPanel1Click")))
        a->setCheckable(true);
}

namespace {
const QString kChecks = QStringLiteral("Page Checks");
const QString kPanelKey = QStringLiteral("Problems Panel");
}

void ToolsModule::loadSettings()
{
    if (frame().settings().ReadBool(kChecks, kPanelKey, false))
        problemsPanel()->show();
    syncProblemsToggle();
}

void ToolsModule::storeSettings()
{
    frame().settings().WriteBool(kChecks, kPanelKey, m_problems && m_problems->isVisible());
}

ProblemsPanel* ToolsModule::problemsPanel()
{
    if (!m_problems) {
        // Tidy's options file, with its defaults, for the checks to read.
        TidyRunner::ensureOptionsFile(nullptr);
        made(m_problems, frame());
        m_problems->loadChoices(frame().settings());
        m_problems->hide();
        m_problemsToggle = QObject::connect(m_problems, &QDockWidget::visibilityChanged, m_problems,
                                            [this] { syncProblemsToggle(); });
    }
    return m_problems;
}

void ToolsModule::syncProblemsToggle()
{
    const bool on = m_problems && !m_problems->isHidden();
    for (QAction* a : frame().actions(QStringLiteral("ProblemsPanel1Click")))
        a->setChecked(on);
}

TfCheckSite* ToolsModule::checkSite() { return made(m_checkSite, frame()); }

void ToolsModule::CheckSite1Click()
{
    TfCheckSite* w = checkSite();
    if (w->edFolder->text().isEmpty())
        w->edFolder->setText(QDir::currentPath());
    w->show();
    w->raise();
    w->activateWindow();
}

void ToolsModule::ProblemsPanel1Click()
{
    ProblemsPanel* panel = problemsPanel();
    panel->setVisible(panel->isHidden());
    syncProblemsToggle();
    frame().settings().WriteBool(kChecks, kPanelKey, !panel->isHidden());
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
