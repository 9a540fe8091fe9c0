#pragma once
// Checking the active document's spelling.
#include "app/FrameModule.h"

class TAddictSpell;

class SpellModule : public FrameModule {
public:
    using FrameModule::FrameModule;

    void bindCommands(CommandBinder& binder) override;

    // The spell checker, made at the first check; nullptr before.
    TAddictSpell* checker() const { return m_checker; }

private:
    void CheckSpelling1Click();

    TAddictSpell* m_checker = nullptr;
};
