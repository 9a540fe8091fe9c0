#include "app/AppError.h"
#include "app/AppInvoker.h"
#include "app/AppPaths.h"
#include "app/AppSettings.h"
#include "app/CommandLine.h"
#include "app/SingleInstance.h"
#include "app/TAboutBox.h"
#include "app/TmdiMain.h"
#include "editor/MemoryRelease.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QTextStream>
#include <exception>

namespace {
// The last guard: an error that escapes an event handler outside any command.
class VelquistApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* e) override
    {
        // Every event passes here: no wrapper objects, only the catch.
        try {
            return QApplication::notify(receiver, e);
        } catch (const AppError& error) {
            AppInvoker::report(error.message());
        } catch (const std::exception& error) {
            AppInvoker::report(QString::fromLocal8Bit(error.what()));
        } catch (...) {
            AppInvoker::report(QString());
        }
        return false;
    }
};
}

int main(int argc, char** argv)
{
    // The folders named by the environment are fixed before anything can
    // change the current folder.
    AppPaths::fixEnvironment();
    MemoryRelease::returnLargeBlocks();

    // Every argument is a file to open: Qt sees only the program's name, so
    // none of its own options ("-reverse", "-platform", ...) is taken away.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QFile::decodeName(argv[i]);
    const CommandLine commandLine = CommandLine::parse(args);
    if (commandLine.help || commandLine.version) {
        QTextStream out(stdout);
        if (commandLine.help)
            out << CommandLine::usage(QFile::decodeName(argv[0]));
        else
            out << AppSettings::kAppTitle << ' ' << AppSettings::kVersion << '\n';
        return 0;
    }
    static int qtArgc = 1;
    static char* qtArgv[] = {argv[0], nullptr};
    VelquistApplication app(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("velquist"));
    // The desktop entry and the icon installed with the program; a build
    // tree without an icon theme entry draws its own.
    QGuiApplication::setDesktopFileName(QStringLiteral("velquist"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("velquist"), TAboutBox::programIcon()));

    // One frame per session: a frame already running takes the files and
    // comes to the front, and this start ends.
    SingleInstance instance;
    if (instance.handOverOrListen(commandLine.files))
        return 0;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    TmdiMain main;
    main.setCommandLine(commandLine.files);
    instance.setReadyCheck([&main] {
        return main.startUpDone() && !QApplication::activeModalWidget() && !QApplication::activePopupWidget();
    });
    QObject::connect(&instance, &SingleInstance::filesReceived, &main, &TmdiMain::OpenFilesFromAnotherStart);
    QApplication::restoreOverrideCursor();
    main.showMaximized();
    return app.exec();
}
