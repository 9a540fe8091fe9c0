#pragma once
// Showing and hiding the tool bar panels, and keeping that in the settings.
#include "app/FrameModule.h"

class DockingModule : public FrameModule {
public:
    using FrameModule::FrameModule;

    void bindCommands(CommandBinder& binder) override;
    void commandsBuilt() override;
    void loadSettings() override;
    void storeSettings() override;

private:
    void setShown(const QString& handler, const QString& barName, bool shown);
    bool isShown(const QString& handler) const;
};
