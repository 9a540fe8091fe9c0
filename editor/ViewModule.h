#pragma once
// The editing view's View menu commands: folding, split view, guides, the
// wrap column and auto pairs. Settings are stored with the editor's other
// settings and reach every open document window.
#include "app/FrameModule.h"

class TfHTML;

class ViewModule : public FrameModule {
public:
    explicit ViewModule(FrameServices& frame) : FrameModule(frame) {}

    // The handler names, as the command table names them.
    static QStringList handlerNames();
    void bindCommands(CommandBinder& binder) override;
    // The toggles' check marks from the settings.
    void commandsBuilt() override;

private:
    void toggle(const char* handler, const char* key, bool defaultOn, void (*apply)(TfHTML*, bool));
    void askWrapColumn();
    TfHTML* document() const;
};
