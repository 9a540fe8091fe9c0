#pragma once
// The tools: HTML to text, URL grabbing and bookmark import, plug-ins, file
// tools, the note pad and the tip of the day; the page checks (the problems
// panel, Tidy Up Page and Check Site).
#include "app/FrameModule.h"

#include <QMetaObject>

class TfPlugIn;
class TfNotePad;
class TfrmFileTools;
class TfURLGrab;
class TfNetscapeError;
class ProblemsPanel;
class TfCheckSite;

class ToolsModule : public FrameModule {
public:
    using FrameModule::FrameModule;
    ~ToolsModule() override;

    void bindCommands(CommandBinder& binder) override;
    // The tip of the day, when the user wants it at start-up.
    void startUp() override;
    void commandsBuilt() override;
    // The problems panel's place and the checks' choices.
    void loadSettings() override;
    void storeSettings() override;

    TfPlugIn* plugInWindow();
    TfNotePad* notePad();
    TfrmFileTools* fileTools();
    TfURLGrab* urlManager();
    TfNetscapeError* bookmarkError();
    ProblemsPanel* problemsPanel();
    TfCheckSite* checkSite();

    void DisplayTips();

private:
    void VelquistFileTools1Click();
    void ImportURLsfromNetscape1Click();
    void ProblemsPanel1Click();
    void CheckSite1Click();
    void syncProblemsToggle();

    TfPlugIn* m_plugIns = nullptr;
    TfNotePad* m_notePad = nullptr;
    TfrmFileTools* m_fileTools = nullptr;
    TfURLGrab* m_urlGrab = nullptr;
    TfNetscapeError* m_netscapeError = nullptr;
    ProblemsPanel* m_problems = nullptr;
    TfCheckSite* m_checkSite = nullptr;
    QMetaObject::Connection m_problemsToggle;
};
