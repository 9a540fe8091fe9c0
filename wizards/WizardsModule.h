#pragma once
// The wizards: forms, URL wizard and library, tables, home page, Java
// applets, browser extensions, the image browser and tools, page bodies.
#include "app/FrameModule.h"

class TfFormWiz;
class TfURLLibrary;
class TfrmURLWizard;
class TfTableWiz;
class TfHPWiz;
class TfrmJavaWiz;
class TfrmIE;
class TfImageBrowser;
class TfWizBody;

class WizardsModule : public FrameModule {
public:
    explicit WizardsModule(FrameServices& frame);
    ~WizardsModule() override;

    void bindCommands(CommandBinder& binder) override;
    void commandsBuilt() override;

    TfFormWiz* formsWizard();
    TfURLLibrary* urlLibrary();
    TfrmURLWizard* urlWizard();
    TfTableWiz* tableWizard();
    TfHPWiz* homePageWizard();
    TfrmJavaWiz* javaWizard();
    TfrmIE* extensionsDialog();
    TfImageBrowser* imageBrowser();
    TfWizBody* bodyWizard();

    // The image tools program beside the executable.
    static QString imageToolsPath();
    // Its menu entry is enabled only when the program is there.
    void updateImageToolsEntry();

private:
    void NewHomePage1Click();
    void ImageTools1Click();

    TfFormWiz* m_formWiz = nullptr;
    TfURLLibrary* m_urlLibrary = nullptr;
    TfrmURLWizard* m_urlWizard = nullptr;
    TfTableWiz* m_tableWiz = nullptr;
    TfHPWiz* m_hpWiz = nullptr;
    TfrmJavaWiz* m_javaWiz = nullptr;
    TfrmIE* m_ie = nullptr;
    TfImageBrowser* m_imageBrowser = nullptr;
    TfWizBody* m_bodyWiz = nullptr;
};
