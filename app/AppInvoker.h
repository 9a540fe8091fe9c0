#pragma once
// Runs every command, menu entry, button and key. An error that escapes a
// command ends that command only and goes to the application's handler.
#include <QString>
#include <functional>

namespace AppInvoker {
using Handler = std::function<void(const QString& message)>;
// Installs the application's error handler (replaces any previous one).
void setHandler(Handler handler);
// Installs the handler of file errors (EFileError): a file the user asked to
// read or write that failed, told in a message box naming the file and the
// reason. Without one they go to the error handler.
void setFileErrorHandler(Handler handler);
// Runs fn; returns false when it threw. Every run catches for itself, since
// an error must never unwind through the event loop of a modal dialog.
bool run(const std::function<void()>& fn);
// Reports an error to the handler directly.
void report(const QString& message);
}
