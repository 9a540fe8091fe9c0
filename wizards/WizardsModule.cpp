#include "wizards/WizardsModule.h"

#include "app/AppError.h"
#include "app/AppPaths.h"
#include "app/AppSettings.h"
#include "app/FrameServices.h"
#include "app/SafeFile.h"
#include "app/TfHTML.h"
#include "wizards/forms/WizardFolders.h"
#include "wizards/body/TfWizBody.h"
#include "wizards/extensions/TfrmIE.h"
#include "wizards/forms/TfFormWiz.h"
#include "wizards/homepage/TfHPWiz.h"
#include "wizards/image/TfImageBrowser.h"
#include "wizards/java/TfrmJavaWiz.h"
#include "wizards/table/TfTableWiz.h"
#include "wizards/url/TfURLLibrary.h"
#include "wizards/url/TfrmURLWizard.h"

#include <QAction>
#include <QFileInfo>
#include <QProcess>

WizardsModule::WizardsModule(FrameServices& frame) : FrameModule(frame)
{
    // Relative names and Browse dialogs start from the active document's folder.
    WizardFolders::setDocumentFolder([this] {
        const TfHTML* doc = this->frame().activeDocument();
        return doc && !doc->isUntitled() ? QFileInfo(doc->caption()).absolutePath() : QString();
    });
}

WizardsModule::~WizardsModule()
{
    WizardFolders::setDocumentFolder({});
}

void WizardsModule::bindCommands(CommandBinder& binder)
{
    binder.bind(QStringLiteral("FormsWizard1Click"), [this] { formsWizard()->showWizard(); });
    binder.bind(QStringLiteral("URLWizardShow"), [this] { urlWizard()->showWizard(); });
    binder.bind(QStringLiteral("Pick1Click"), [this] { urlLibrary()->showLibrary(); });
    binder.bind(QStringLiteral("TableWizard1Click"), [this] { tableWizard()->showWizard(); });
    binder.bind("NewHomePage1Click", this, &WizardsModule::NewHomePage1Click);
    binder.bind(QStringLiteral("JavaWizard1Click"), [this] { javaWizard()->showWizard(); });
    binder.bind(QStringLiteral("InternetExplorerExtensions1Click"), [this] { extensionsDialog()->showWindow(); });
    binder.bind(QStringLiteral("BodyWizard1Click"), [this] { bodyWizard()->showWizard(); });
    binder.bind(QStringLiteral("Pick2Click"), [this] { imageBrowser()->showWizard(); });
    binder.bind("ImageTools1Click", this, &WizardsModule::ImageTools1Click);
}

void WizardsModule::commandsBuilt()
{
    updateImageToolsEntry();
}

TfFormWiz* WizardsModule::formsWizard() { return made(m_formWiz, frame().tagEngine(), frame().frameWindow()); }
TfURLLibrary* WizardsModule::urlLibrary() { return made(m_urlLibrary, frame().tagEngine(), frame().frameWindow()); }
TfrmURLWizard* WizardsModule::urlWizard() { return made(m_urlWizard, frame().tagEngine(), frame().frameWindow()); }
TfTableWiz* WizardsModule::tableWizard() { return made(m_tableWiz, frame().tagEngine(), frame().frameWindow()); }
TfHPWiz* WizardsModule::homePageWizard() { return made(m_hpWiz, frame()); }
TfrmJavaWiz* WizardsModule::javaWizard() { return made(m_javaWiz, frame().tagEngine(), frame().frameWindow()); }
TfrmIE* WizardsModule::extensionsDialog() { return made(m_ie, frame().tagEngine(), frame().frameWindow()); }
TfImageBrowser* WizardsModule::imageBrowser() { return made(m_imageBrowser, frame().tagEngine(), frame().frameWindow()); }
TfWizBody* WizardsModule::bodyWizard() { return made(m_bodyWiz, frame().tagEngine(), frame().frameWindow()); }

void WizardsModule::NewHomePage1Click()
{
    frame().SetStatusText(QStringLiteral("Loading Home Page Wizard ..."));
    homePageWizard()->exec();
    frame().SetStatusText(AppSettings::kReady);
}

QString WizardsModule::imageToolsPath()
{
    return AppPaths::programFile(QStringLiteral("velqimg"));
}

void WizardsModule::updateImageToolsEntry()
{
    const QFileInfo tools(imageToolsPath());
    for (QAction* a : frame().actions(QStringLiteral("ImageTools1Click")))
        a->setEnabled(tools.isFile() && tools.isExecutable());
}

void WizardsModule::ImageTools1Click()
{
    const QString tools = imageToolsPath();
    if (!QFileInfo(tools).isFile())
        return;
    if (!QProcess::startDetached(tools, {}, AppPaths::programDir()))
        throw EFileError(QStringLiteral("Unable to start %1.").arg(SafeFile::shown(tools)));
}
