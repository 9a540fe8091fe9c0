#pragma once
// The tag commands: the catalogue's single-click pairs, the Goto commands,
// bookmarks, personal stamps, text files, the last tag and the three chooser
// windows.
#include "app/FrameModule.h"

class TfColorChooser;
class TfHTMLTags;
class TfSymbol;

class TagsModule : public FrameModule {
public:
    using FrameModule::FrameModule;

    void bindCommands(CommandBinder& binder) override;

    TfSymbol* symbolChooser();
    TfHTMLTags* htmlTagsChooser();
    TfColorChooser* colorChooser();

private:
    void InsertFile1Click();

    TfSymbol* m_symbols = nullptr;
    TfHTMLTags* m_htmlTags = nullptr;
    TfColorChooser* m_colors = nullptr;
};
