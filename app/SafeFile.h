#pragma once
// Writing the program's files without ever leaving a half-written one: the
// new bytes go to a temporary file beside the target, which replaces the
// target only once it is complete. Every file the program writes (documents,
// backups, settings, lists, projects, tables) goes through here.
#include <QByteArray>
#include <QString>
#include <functional>

class QSaveFile;

namespace SafeFile {

struct Options {
    // Keep what the file held before as a copy named with this extension
    // ("BAK": "page.htm" -> "page.BAK"); empty: no backup.
    QString backupExtension;
    // Test seam: commits the temporary file (default: QSaveFile::commit).
    std::function<bool(QSaveFile&)> commit;
};

// Writes bytes to path. Throws EFileError with a text that names the file and
// the reason ("Unable to save /a/b.htm: Permission denied.") and leaves the
// file and its previous backup as they were.
void write(const QString& path, const QByteArray& bytes, const Options& options = {});

// The same without exceptions: false and the reason in *error.
bool tryWrite(const QString& path, const QByteArray& bytes, QString* error = nullptr,
              const Options& options = {});

// Reads a whole file; false and the reason ("Unable to open ...: No such file
// or directory.") in *error when it cannot.
bool read(const QString& path, QByteArray* bytes, QString* error = nullptr);

// The path as message boxes show it.
QString shown(const QString& path);

} // namespace SafeFile
