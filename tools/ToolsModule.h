#pragma once
// The tools: HTML to text, URL grabbing and bookmark import, plug-ins, file
// tools, the note pad and the tip of the day.
#include "app/FrameModule.h"

class TfPlugIn;
class TfNotePad;
class TfrmFileTools;
class TfURLGrab;
class TfNetscapeError;

class ToolsModule : public FrameModule {
public:
    using FrameModule::FrameModule;

    void bindCommands(CommandBinder& binder) override;
    // The tip of the day, when the user wants it at start-up.
    void startUp() override;

    TfPlugIn* plugInWindow();
    TfNotePad* notePad();
    TfrmFileTools* fileTools();
    TfURLGrab* urlManager();
    TfNetscapeError* bookmarkError();

    void DisplayTips();

private:
    void VelquistFileTools1Click();
    void ImportURLsfromNetscape1Click();

    TfPlugIn* m_plugIns = nullptr;
    TfNotePad* m_notePad = nullptr;
    TfrmFileTools* m_fileTools = nullptr;
    TfURLGrab* m_urlGrab = nullptr;
    TfNetscapeError* m_netscapeError = nullptr;
};
