#pragma once
// One main frame for a whole test class: the program and settings folders of
// TestEnv, no template document, a scripted prompter, the frame shown and
// started up.
#include "ScriptedPrompter.h"
#include "TestEnv.h"

#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "render/RenderModule.h"
#include "reuse/ReuseModule.h"
#include "tags/TagsModule.h"
#include "tools/ToolsModule.h"
#include "wizards/WizardsModule.h"

#include <memory>

namespace FrameTest {

// Starts the frame; false when its start-up did not run. With an empty
// template, "&New Document" makes an empty document.
inline bool start(std::unique_ptr<ScriptedPrompter>& prompter, std::unique_ptr<TmdiMain>& main,
                  bool emptyTemplate = true)
{
    QDir::setCurrent(TestEnv::workDir());
    TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", "[System]\nOpen Template=0\n");
    if (emptyTemplate)
        TestEnv::writeAll(TestEnv::programDir() + "/standard.tpl", QByteArray());
    prompter = std::make_unique<ScriptedPrompter>();
    main = std::make_unique<TmdiMain>();
    return TestEnv::showFrame(*main) && QTest::qWaitForWindowExposed(main.get());
}

// Closes the frame without asking about its documents.
inline void stop(std::unique_ptr<TmdiMain>& main)
{
    for (TfHTML* d : main->documents())
        d->approveClose();
    main.reset();
}

// Makes every window of the frame and its modules, which are otherwise made
// when first needed.
inline void makeAllWindows(TmdiMain& m)
{
    m.optionsDialog(), m.aboutBox(), m.editorColorsDialog(), m.progressWindow();
    auto& tags = m.module<TagsModule>();
    tags.symbolChooser(), tags.htmlTagsChooser(), tags.colorChooser();
    auto& w = m.module<WizardsModule>();
    w.formsWizard(), w.urlLibrary(), w.urlWizard(), w.tableWizard(), w.homePageWizard(), w.javaWizard();
    w.extensionsDialog(), w.imageBrowser(), w.bodyWizard();
    auto& r = m.module<ReuseModule>();
    r.templatesDialog(), r.macroWindow(), r.macrosDialog(), r.projectWindow();
    auto& t = m.module<ToolsModule>();
    t.plugInWindow(), t.notePad(), t.fileTools(), t.urlManager(), t.bookmarkError();
    m.module<RenderModule>().preview(), m.module<RenderModule>().fontForm();
}

} // namespace FrameTest
