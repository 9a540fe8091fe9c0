#include "tools/UrlCommands.h"

#include "app/AppError.h"
#include "app/AppSettings.h"
#include "app/ProgressWindow.h"
#include "app/TMegaRegistry.h"
#include "app/FrameServices.h"
#include "app/UiPrompter.h"
#include "tools/TfURLGrab.h"
#include "tools/UrlGrab.h"

#include <QFileInfo>

namespace UrlCommands {

void GrabURLs(FrameServices& main, TfURLGrab& manager)
{
    if (EditorContract* ed = main.activeEditor()) {
        main.SetStatusText(QStringLiteral("Search for URLs ..."));
        manager.setNewUrls({});
        const QStringList found = UrlGrab::grab(main, *ed);
        if (found.isEmpty()) {
            UiPrompter::instance().message(main.frameWindow(), QStringLiteral("No URLs found !"));
        } else {
            manager.setNewUrls(found);
            manager.showManager();
        }
    }
    main.SetStatusText(AppSettings::kReady);
}

void ImportFromNetscape(FrameServices& main, TfURLGrab& manager, ProgressWindow& progress,
                        const std::function<void()>& showError)
{
    main.SetStatusText(QStringLiteral("Searching for Netscape ..."));
    progress.show();
    progress.setPercent(1);
    bool done = false;
    TMegaRegistry netIni(AppSettings::kAppName, AppSettings::kCompany, UrlGrab::kNetscapeIni);
    netIni.Open();
    if (QFileInfo(netIni.filePath()).isFile()) {
        progress.setPercent(5);
        main.SetStatusText(QStringLiteral("Reading bookmark.htm ..."));
        const QString file = netIni.ReadString(UrlGrab::kBookmarkSection, UrlGrab::kBookmarkKey, QStringLiteral("???"));
        if (file != QLatin1String("???") && QFileInfo(file).isFile()) {
            done = true;
            // A file that cannot be a bookmark file, or cannot be read, is
            // named with the reason; its links are not grabbed.
            QString problem = UrlGrab::bookmarkFileProblem(file);
            if (problem.isEmpty()) {
                progress.setPercent(8);
                try {
                    main.OpenDocumentFile(file);
                } catch (const AppError& e) {
                    problem = e.message();
                }
            }
            if (problem.isEmpty()) {
                GrabURLs(main, manager);
            } else {
                progress.hide();
                UiPrompter::instance().message(main.frameWindow(), problem, UiPrompter::Ok, UiPrompter::Warning);
            }
        }
    }
    if (!done)
        showError();
    progress.hide();
    main.SetStatusText(AppSettings::kReady);
}

} // namespace UrlCommands
