#pragma once
// Templates, macros and projects.
#include "app/FrameModule.h"

class TfTemplate;
class TfAddMac;
class TfMacros;
class TfProj;

class ReuseModule : public FrameModule {
public:
    explicit ReuseModule(FrameServices& frame);

    void bindCommands(CommandBinder& binder) override;

    TfTemplate* templatesDialog();
    TfAddMac* macroWindow();
    TfMacros* macrosDialog();
    TfProj* projectWindow();

private:
    void SaveOpenasNewProject1Click();

    // The current folder when the program started, before the start-up
    // folder applies: the templates dialog's folder list starts there.
    QString m_startFolder;
    TfTemplate* m_template = nullptr;
    TfAddMac* m_addMac = nullptr;
    TfMacros* m_macros = nullptr;
    TfProj* m_proj = nullptr;
};
