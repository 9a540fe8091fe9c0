// The frame's side of one frame per session: files that a later start of the
// program handed over (app/SingleInstance).
#include "app/TmdiMain.h"

#include "app/AppInvoker.h"
#include "app/AppSettings.h"

void TmdiMain::OpenFilesFromAnotherStart(const QStringList& files)
{
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
    // As the command line's files at start-up.
    for (const QString& file : files) {
        SetStatusText(QStringLiteral("Opening File : ") + file + QStringLiteral(" ..."));
        AppInvoker::run([this, &file] { OpenDocumentFile(file); });
        SetStatusText(AppSettings::kReady);
    }
}
