#include "app/AppError.h"
#include "app/AppInvoker.h"
#include "app/AppPaths.h"
#include "app/AppSettings.h"
#include "app/TAboutBox.h"
#include "app/TmdiMain.h"

#include <QApplication>
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
    VelquistApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velquist"));
    QApplication::setApplicationDisplayName(AppSettings::kAppTitle);
    QApplication::setWindowIcon(TAboutBox::programIcon());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TmdiMain main;
    QStringList args = QApplication::arguments();
    args.removeFirst();
    main.setCommandLine(args);
    QApplication::restoreOverrideCursor();
    main.showMaximized();
    return app.exec();
}
