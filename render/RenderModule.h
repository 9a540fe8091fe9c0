#pragma once
// Printing, the web preview and its font dialog, and help.
#include "app/FrameModule.h"

class TfPreview;
class TFontForm;

class RenderModule : public FrameModule {
public:
    using FrameModule::FrameModule;

    void bindCommands(CommandBinder& binder) override;

    TfPreview* preview();
    TFontForm* fontForm();

private:
    void FilePrint();

    TfPreview* m_preview = nullptr;
    TFontForm* m_fontForm = nullptr;
};
