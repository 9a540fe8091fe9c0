#include "app/AppInvoker.h"
#include "app/AppError.h"

#include <exception>

namespace {
AppInvoker::Handler g_handler;
AppInvoker::Handler g_fileErrorHandler;
}

namespace AppInvoker {

void setHandler(Handler handler)
{
    g_handler = std::move(handler);
}

void setFileErrorHandler(Handler handler)
{
    g_fileErrorHandler = std::move(handler);
}

void report(const QString& message)
{
    if (g_handler)
        g_handler(message);
}

bool run(const std::function<void()>& fn)
{
    try {
        fn();
        return true;
    } catch (const EFileError& e) {
        if (g_fileErrorHandler)
            g_fileErrorHandler(e.message());
        else
            report(e.message());
    } catch (const AppError& e) {
        report(e.message());
    } catch (const std::exception& e) {
        report(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        report(QString());
    }
    return false;
}

} // namespace AppInvoker
