// The main frame's home page, image, body, Java applet and browser extension
// wizard commands: short glue from menu entries and buttons to the windows
// in wizards/.
#include "app/TmdiMain.h"

#include "app/AppError.h"
#include "app/AppPaths.h"
#include "app/AppSettings.h"
#include "app/SafeFile.h"
#include "wizards/body/TfWizBody.h"
#include "wizards/extensions/TfrmIE.h"
#include "wizards/homepage/TfHPWiz.h"
#include "wizards/image/TfImageBrowser.h"
#include "wizards/java/TfrmJavaWiz.h"

#include <QAction>
#include <QFileInfo>
#include <QProcess>

void TmdiMain::NewHomePage1Click()
{
    SetStatusText(QStringLiteral("Loading Home Page Wizard ..."));
    m_hpWiz->exec();
    SetStatusText(AppSettings::kReady);
}

void TmdiMain::JavaWizard1Click() { m_javaWiz->showWizard(); }
void TmdiMain::InternetExplorerExtensions1Click() { m_ie->showWindow(); }
void TmdiMain::BodyWizard1Click() { m_bodyWiz->showWizard(); }
void TmdiMain::Pick2Click() { m_imageBrowser->showWizard(); }

QString TmdiMain::imageToolsPath()
{
    return AppPaths::programFile(QStringLiteral("velqimg"));
}

void TmdiMain::updateImageToolsEntry()
{
    const QFileInfo tools(imageToolsPath());
    for (QAction* a : actions(QStringLiteral("ImageTools1Click")))
        a->setEnabled(tools.isFile() && tools.isExecutable());
}

void TmdiMain::ImageTools1Click()
{
    const QString tools = imageToolsPath();
    if (!QFileInfo(tools).isFile())
        return;
    if (!QProcess::startDetached(tools, {}, AppPaths::programDir()))
        throw EFileError(QStringLiteral("Unable to start %1.").arg(SafeFile::shown(tools)));
}
