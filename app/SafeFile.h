#pragma once
// Writing the program's files without ever leaving a half-written one: the
// new bytes go to a temporary file beside the target, which replaces the
// target only once it is complete. Every file the program writes (documents,
// backups, settings, lists, projects, tables) goes through here.
//
// What the file was is kept: its permission bits (its backup gets them too)
// and, where the process may, its owner and group; set-user-id and
// set-group-id bits are dropped on purpose. A symlink keeps pointing where it
// pointed and its target is written. A file with more than one hard link, or
// a writable file in a folder the user cannot write to, is written in place
// (after its backup copy), so every name sees the new text; space is reserved
// first, and the old bytes go back should the write still fail. Until the new
// bytes of such a write are on disk, the old ones wait in a copy beside the
// file ("page.htm.vq-old~"), or in the data folder's "saving" folder when the
// file's folder takes no new files; an interrupted save leaves it behind.
// Extended attributes (POSIX ACLs, user attributes) go to the new file and to
// the backup as well.
//
// The new bytes are written to "page.htm.vq-new~" and are on disk before that
// file takes the name; a previous backup is kept as "page.BAK.vq-prev~" until
// the save is done. A write removes what an interrupted write of the same
// file left under these names.
#include <QByteArray>
#include <QString>
#include <functional>

class QSaveFile;

namespace SafeFile {

// What a write kept or had to leave out, for the status line.
struct WriteReport {
    bool setIdDropped = false;  // the file had set-user-id or set-group-id bits
    bool inPlace = false;       // written in place (hard links, unwritable folder)
    bool backupSkipped = false; // a backup was asked for but the folder takes none
    bool ownerLost = false;     // the file's owner or group could not be kept
    // One sentence for the status line, empty when there is nothing to say.
    QString notice(const QString& path) const;
};

struct Options {
    // Keep what the file held before as a copy named with this extension
    // ("BAK": "page.htm" -> "page.BAK"); empty: no backup.
    QString backupExtension;
    // Test seam: commits the temporary file (default: QSaveFile::commit).
    std::function<bool(QSaveFile&)> commit;
    // Receives what the write kept or left out (optional).
    WriteReport* report = nullptr;
    // The permission bits the file gets (0600 for a private file); -1: those
    // of the file it replaces, or the usual ones (umask) for a new file.
    int permissions = -1;
    // Test seam: called at the steps where an interrupted run would leave
    // something behind ("backup set aside", "new file written", "half
    // written in place").
    std::function<void(const char* step)> checkpoint;
    // The name itself is written, as a new file that takes the name in one
    // step: a symlink there is refused (never followed), and nothing is
    // written in place. For the program's own scratch files in folders that
    // others may write to.
    bool refuseLinks = false;
};

// Writes bytes to path. Throws EFileError with a text that names the file and
// the reason ("Unable to save /a/b.htm: Permission denied.") and leaves the
// file and its previous backup as they were.
void write(const QString& path, const QByteArray& bytes, const Options& options = {});

// The same without exceptions: false and the reason in *error.
bool tryWrite(const QString& path, const QByteArray& bytes, QString* error = nullptr,
              const Options& options = {});

// The copy of the old text that an interrupted save in place of path left
// behind (the file itself may then be torn); empty when there is none.
QString interruptedSave(const QString& path);

// Reads a whole file; false and the reason ("Unable to open ...: No such file
// or directory.") in *error when it cannot.
bool read(const QString& path, QByteArray* bytes, QString* error = nullptr);

// The path as message boxes show it.
QString shown(const QString& path);

} // namespace SafeFile
