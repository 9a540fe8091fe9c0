// Loads the page viewer plug-in the first time a page is rendered: the web
// engine, its GL start and its libraries stay out of a program that never
// previews.
#include "render/THTMLViewer.h"

#include "app/AppError.h"
#include "app/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#ifndef VQ_PLUGIN_SUBDIR
#define VQ_PLUGIN_SUBDIR "../lib/velquist"
#endif

namespace {
const char* const kPluginName = "libvelquist_webview.so";
}

QString htmlViewerPluginPath()
{
    // Beside the executable's folder, as built and as installed.
    const QString dir = QCoreApplication::applicationDirPath();
    return QDir::cleanPath(dir + QLatin1Char('/') + QString::fromUtf8(VQ_PLUGIN_SUBDIR) + QLatin1Char('/')
                           + QString::fromLatin1(kPluginName));
}

THTMLViewer* createHTMLViewer(QWidget* parent)
{
    static CreateHTMLViewerFn create = nullptr;
    if (!create) {
        const QString path = htmlViewerPluginPath();
        QString reason;
        if (!QFileInfo(path).isFile()) {
            reason = QStringLiteral("the file does not exist");
        } else {
            // The engine cannot be unloaded once started: the library stays for the run.
            QLibrary library(path);
            library.setLoadHints(QLibrary::PreventUnloadHint);
            if (library.load())
                create = reinterpret_cast<CreateHTMLViewerFn>(library.resolve("velquistCreateHTMLViewer"));
            if (!create)
                reason = library.errorString();
        }
        if (!create)
            throw EFileError(QStringLiteral("Unable to load the page viewer %1: %2.")
                                 .arg(SafeFile::shown(path), reason));
    }
    return create(parent);
}
