#include "app/SafeFile.h"

#include "app/AppError.h"
#include "app/AppPaths.h"
#include "app/PathUtil.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace SafeFile {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

namespace {

QString reason(int error)
{
    return QString::fromLocal8Bit(strerror(error));
}

[[noreturn]] void fail(const QString& what, const QString& path, const QString& why)
{
    throw EFileError(QStringLiteral("%1 %2: %3.").arg(what, shown(path), why), why);
}

// The file a name leads to: symlinks are followed (a dangling one too), so
// the link itself stays as it was.
QString resolveLinks(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    QString p = path;
    for (int i = 0; i < 40 && QFileInfo(p).isSymLink(); ++i)
        p = QFileInfo(p).symLinkTarget();
    return p;
}

bool writable(const QString& path)
{
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

bool pwriteAll(int fd, const char* data, qsizetype size, qsizetype offset = 0)
{
    qsizetype done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, data + done, size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}

bool pwriteAll(int fd, const QByteArray& bytes)
{
    return pwriteAll(fd, bytes.constData(), bytes.size());
}

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

bool existsAsName(const QString& path)
{
    struct ::stat st;
    return ::lstat(encoded(path).constData(), &st) == 0;
}

void checkpoint(const Options& options, const char* step)
{
    if (options.checkpoint)
        options.checkpoint(step);
}

// Makes a rename or a new name in dir last across a power cut.
void syncFolder(const QString& dir)
{
    const int fd = ::open(encoded(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The names a write of a file uses beside it; each ends in "~" so that no
// file of the user's is taken for one.
const QString kNewSuffix = QStringLiteral(".vq-new~");   // the new bytes, before they replace the file
const QString kPrevSuffix = QStringLiteral(".vq-prev~"); // the previous backup, until the save is done
const QString kOldSuffix = QStringLiteral(".vq-old~");   // the old bytes, while the file is rewritten in place

// Where the old bytes of path wait while the file is rewritten in place:
// beside it, or in the data folder when its folder takes no new files.
QString inPlaceCopyName(const QString& path)
{
    const QFileInfo info(path);
    if (writable(info.absolutePath()))
        return path + kOldSuffix;
    const QByteArray key = QCryptographicHash::hash(encoded(info.absoluteFilePath()), QCryptographicHash::Sha1)
                               .toHex()
                               .left(16);
    return AppPaths::dataDir() + QStringLiteral("/saving/") + QString::fromLatin1(key) + QLatin1Char('-')
           + info.fileName() + kOldSuffix;
}

// Copies the extended attributes of the file at from (user attributes,
// POSIX ACLs, security labels) to the open file to, as far as the file
// system and the process's rights allow.
void copyAttributes(const QString& from, int to)
{
    const QByteArray source = encoded(from);
    QByteArray names;
    for (int tries = 0; tries < 4; ++tries) {
        const ssize_t size = ::listxattr(source.constData(), nullptr, 0);
        if (size <= 0)
            return;
        names.resize(size);
        const ssize_t got = ::listxattr(source.constData(), names.data(), size_t(names.size()));
        if (got >= 0) {
            names.resize(got);
            break;
        }
        if (errno != ERANGE)
            return;
        names.clear();
    }
    for (const QByteArray& name : names.split('\0')) {
        if (name.isEmpty())
            continue;
        QByteArray value;
        for (int tries = 0; tries < 4; ++tries) {
            const ssize_t size = ::getxattr(source.constData(), name.constData(), nullptr, 0);
            if (size < 0)
                break;
            value.resize(size);
            const ssize_t got = ::getxattr(source.constData(), name.constData(), value.data(), size_t(value.size()));
            if (got >= 0) {
                value.resize(got);
                ::fsetxattr(to, name.constData(), value.constData(), size_t(value.size()), 0);
                break;
            }
            if (errno != ERANGE)
                break;
        }
    }
}

// Gives a new file (open as fd) the owner, group and permission bits of the
// original; *ownerLost when the owner or group could not be kept.
void takeOver(int fd, const struct ::stat& original, mode_t mode, bool* ownerLost)
{
    struct ::stat now;
    if (::fstat(fd, &now) == 0 && (now.st_uid != original.st_uid || now.st_gid != original.st_gid)) {
        if (::fchown(fd, original.st_uid, original.st_gid) != 0) {
            // Keeping the group alone may still be allowed.
            if (::fchown(fd, uid_t(-1), original.st_gid) != 0 || now.st_uid != original.st_uid)
                *ownerLost = true;
        }
    }
    ::fchmod(fd, mode);
}

// What a new file written in place of another one takes over from it.
struct Original {
    const struct ::stat* st = nullptr; // owner, group; null: a new file
    mode_t mode = 0;
    QString attributesFrom;            // the file whose extended attributes it takes
};

// Replaces path with a complete new file holding bytes: they are written to
// path + kNewSuffix (on disk before anything is renamed), which then takes
// the name in one step. Throws with "<what> <shownName>: <reason>".
void replaceWith(const QString& path, const QByteArray& bytes, const Original& original,
                 const std::function<bool(QSaveFile&)>& commit, bool* ownerLost, const QString& what,
                 const QString& shownName, const Options& options)
{
    const QString temporary = path + kNewSuffix;
    QFile::remove(temporary);
    QSaveFile carrier(temporary);
    carrier.setDirectWriteFallback(false);
    if (!carrier.open(QIODevice::WriteOnly))
        fail(what, shownName, carrier.errorString());
    const int fd = carrier.handle();
    // Space first, so a full disk is told as such before a byte is written.
    if (!bytes.isEmpty()) {
        const int r = ::posix_fallocate(fd, 0, off_t(bytes.size()));
        if (r == ENOSPC || r == EDQUOT || r == EFBIG) {
            carrier.cancelWriting();
            fail(what, shownName, reason(r));
        }
    }
    if (!pwriteAll(fd, bytes)) {
        const int error = errno;
        carrier.cancelWriting();
        fail(what, shownName, reason(error));
    }
    if (original.st) {
        bool lost = false;
        takeOver(fd, *original.st, original.mode, &lost);
        if (ownerLost)
            *ownerLost = lost;
    } else if (original.mode) {
        ::fchmod(fd, original.mode);
    }
    if (!original.attributesFrom.isEmpty())
        copyAttributes(original.attributesFrom, fd);
    errno = 0;
    const bool committed = commit ? commit(carrier) : carrier.commit();
    if (!committed) {
        const int error = errno;
        QString why = carrier.errorString();
        if (error != 0 && (why.isEmpty() || why == QLatin1String("Unknown error")))
            why = reason(error);
        QFile::remove(temporary);
        fail(what, shownName, why);
    }
    checkpoint(options, "new file written");
    if (::rename(encoded(temporary).constData(), encoded(path).constData()) != 0) {
        const int error = errno;
        QFile::remove(temporary);
        fail(what, shownName, reason(error));
    }
    syncFolder(QFileInfo(path).absolutePath());
}

// Overwrites the file behind path with bytes, keeping its inode (so every
// hard link sees them). The old bytes are first put in a copy on disk (see
// inPlaceCopyName), which goes only once the new bytes are on disk; a copy
// an interrupted save left is kept until a save succeeds. Space is reserved
// first; a write that still fails puts previous back. mode: the permission
// bits to leave (set-id bits off).
void writeInPlace(const QString& path, const QByteArray& bytes, const QByteArray& previous, mode_t mode,
                  const QString& shownName, const Options& options)
{
    const QString copy = inPlaceCopyName(path);
    const bool earlierCopy = existsAsName(copy);
    if (!earlierCopy) {
        if (!copy.startsWith(QFileInfo(path).absolutePath() + QLatin1Char('/'))) {
            const QString dir = QFileInfo(copy).absolutePath();
            if (!QDir().mkpath(dir))
                fail(QStringLiteral("Unable to save"), shownName,
                     QStringLiteral("the folder %1 for a copy of its old text cannot be made").arg(shown(dir)));
            ::chmod(encoded(dir).constData(), 0700);
        }
        Original original;
        original.mode = 0600;
        replaceWith(copy, previous, original, {}, nullptr, QStringLiteral("Unable to save"), shownName, options);
    }

    const int fd = ::open(encoded(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        fail(QStringLiteral("Unable to save"), shownName, reason(errno));
    if (bytes.size() > previous.size()) {
        const int r = ::posix_fallocate(fd, 0, off_t(bytes.size()));
        if (r == ENOSPC || r == EDQUOT || r == EFBIG) {
            // Best effort while the failure is reported: the copy of the old
            // bytes stays for recovery either way.
            if (::ftruncate(fd, off_t(previous.size())) != 0) {
            }
            ::close(fd);
            fail(QStringLiteral("Unable to save"), shownName, reason(r));
        }
    }
    const qsizetype half = bytes.size() / 2;
    bool ok = pwriteAll(fd, bytes.constData(), half);
    if (ok) {
        checkpoint(options, "half written in place");
        ok = pwriteAll(fd, bytes.constData() + half, bytes.size() - half, half);
    }
    if (!ok || ::ftruncate(fd, off_t(bytes.size())) != 0 || (::fsync(fd) != 0 && errno != EINVAL)) {
        const int error = errno;
        pwriteAll(fd, previous);
        if (::ftruncate(fd, off_t(previous.size())) != 0) {
            // The copy of the old bytes stays for recovery.
        }
        ::fsync(fd);
        ::close(fd);
        fail(QStringLiteral("Unable to save"), shownName, reason(error));
    }
    struct ::stat st;
    if (::fstat(fd, &st) == 0 && (st.st_mode & 07777) != mode)
        ::fchmod(fd, mode);
    if (::close(fd) != 0)
        fail(QStringLiteral("Unable to save"), shownName, reason(errno));
    QFile::remove(copy);
}

// Removes what an interrupted write of path left beside it: a new file that
// never took its name, and a previous backup set aside, which goes back
// when path is missing.
void cleanLeftovers(const QString& path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    const QDir dir = info.absoluteDir();
    QStringList setAside;
    static const QRegularExpression oldBackup(QStringLiteral("^\\.old\\d+~$"));
    const QStringList entries = dir.entryList({name + QStringLiteral(".*~*")},
                                              QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (!entry.startsWith(name))
            continue;  // a wildcard character in the name matched another file
        const QString suffix = entry.mid(name.size());
        const QString full = dir.filePath(entry);
        if (suffix == kNewSuffix || (suffix.startsWith(kNewSuffix + QLatin1Char('.')) && suffix.size() == kNewSuffix.size() + 7))
            QFile::remove(full);
        else if (suffix == kPrevSuffix || oldBackup.match(suffix).hasMatch())
            setAside << full;
    }
    for (const QString& aside : setAside) {
        if (!existsAsName(path))
            ::rename(encoded(aside).constData(), encoded(path).constData());
        else
            QFile::remove(aside);
    }
}

// True when a new file of this process can be given the owner and group of st.
bool mayTakeOwner(const struct ::stat& st)
{
    if (::geteuid() == 0)
        return true;
    if (st.st_uid != ::geteuid())
        return false;
    if (st.st_gid == ::getegid())
        return true;
    gid_t groups[256];
    const int n = ::getgroups(256, groups);
    return std::find(groups, groups + std::max(n, 0), st.st_gid) != groups + std::max(n, 0);
}

} // namespace

QString WriteReport::notice(const QString& path) const
{
    QStringList parts;
    if (setIdDropped)
        parts << QStringLiteral("%1 was saved without its set-user-id and set-group-id bits.").arg(shown(path));
    if (ownerLost)
        parts << QStringLiteral("%1 now belongs to you: its owner and group could not be kept.").arg(shown(path));
    if (backupSkipped)
        parts << QStringLiteral("No backup of %1 was made: its folder cannot be written.").arg(shown(path));
    return parts.join(QLatin1Char(' '));
}

void write(const QString& fileName, const QByteArray& bytes, const Options& options)
{
    WriteReport report;
    const QFileInfo info(fileName);
    if (fileName.isEmpty())
        throw EFileError(QStringLiteral("No file name was given."));
    if (info.isDir())
        throw EFileError(QStringLiteral("Unable to save %1: it is a folder, not a file.").arg(shown(fileName)));

    // What the file is now: its permissions, owner, links and folder.
    struct ::stat st;
    if (options.refuseLinks && ::lstat(encoded(fileName).constData(), &st) == 0 && !S_ISREG(st.st_mode))
        fail(QStringLiteral("Unable to save"), fileName,
             S_ISLNK(st.st_mode) ? QStringLiteral("it is a symbolic link") : QStringLiteral("it is not a plain file"));
    const QString target = options.refuseLinks ? fileName : resolveLinks(fileName);
    const bool exists = ::stat(encoded(target).constData(), &st) == 0 && S_ISREG(st.st_mode);
    if (exists && !options.refuseLinks && !writable(target))
        fail(QStringLiteral("Unable to save"), fileName, reason(errno));
    const mode_t mode = options.permissions >= 0 ? mode_t(options.permissions & 0777)
                        : exists ? (st.st_mode & 0777) : 0;
    report.setIdDropped = exists && (st.st_mode & (S_ISUID | S_ISGID));
    // In place: when other names share the file, when the folder takes no
    // new file, and when a new file could not keep the owner and group.
    const bool inPlace = exists && !options.refuseLinks
                         && (st.st_nlink > 1 || !writable(QFileInfo(target).absolutePath()) || !mayTakeOwner(st));
    report.inPlace = inPlace;
    cleanLeftovers(target);

    // What the file held before: for the backup, and to put back should a
    // write in place fail.
    const QString backup = options.backupExtension.isEmpty()
        ? QString() : PathUtil::withExtension(fileName, options.backupExtension);
    const bool wantBackup = !backup.isEmpty() && exists && !PathUtil::samePath(backup, fileName)
                            && !PathUtil::samePath(resolveLinks(backup), target);
    QByteArray previous;
    if (wantBackup || inPlace) {
        QFile current(target);
        if (!current.open(QIODevice::ReadOnly))
            fail(QStringLiteral("Unable to make the backup copy of"), fileName, current.errorString());
        previous = current.readAll();
        if (current.error() != QFileDevice::NoError)
            fail(QStringLiteral("Unable to make the backup copy of"), fileName, current.errorString());
    }
    Original original;
    // A scratch file takes nothing (owner, ACLs) from whatever held its name.
    const bool inherit = exists && !options.refuseLinks;
    original.st = inherit ? &st : nullptr;
    original.mode = mode;
    original.attributesFrom = inherit ? target : QString();

    // The backup holds what the file held before this save. It is written
    // as a new file before the file is replaced; the previous backup keeps a
    // second name until the file has been replaced, and comes back on failure.
    QString aside;
    bool madeBackup = false;
    auto restoreBackup = [&] {
        if (!aside.isEmpty())
            ::rename(encoded(aside).constData(), encoded(backup).constData());
        else if (madeBackup)
            QFile::remove(backup);
    };
    if (wantBackup) {
        const QFileInfo backupInfo(backup);
        if (backupInfo.isDir())
            throw EFileError(QStringLiteral("Unable to make the backup copy %1: it is a folder.").arg(shown(backup)));
        if (!writable(backupInfo.absolutePath())) {
            // A folder that takes no new files: an existing backup is
            // overwritten in place, else the save goes on without one.
            QFile old(backup);
            if (backupInfo.isFile() && writable(backup) && old.open(QIODevice::ReadOnly)) {
                const QByteArray oldBackup = old.readAll();
                old.close();
                writeInPlace(resolveLinks(backup), previous, oldBackup, mode, backup, options);
            } else {
                report.backupSkipped = true;
            }
        } else {
            cleanLeftovers(backup);
            if (existsAsName(backup)) {
                aside = backup + kPrevSuffix;
                const QByteArray from = encoded(backup), to = encoded(aside);
                // A second name first, so there is never a moment without a backup.
                if (::link(from.constData(), to.constData()) != 0 && ::rename(from.constData(), to.constData()) != 0)
                    throw EFileError(QStringLiteral("Unable to replace the backup copy %1: %2.")
                                         .arg(shown(backup), reason(errno)));
                checkpoint(options, "backup set aside");
            }
            try {
                replaceWith(backup, previous, original, {}, nullptr,
                            QStringLiteral("Unable to make the backup copy"), backup, options);
            } catch (...) {
                restoreBackup();
                throw;
            }
            madeBackup = true;
        }
    }

    try {
        if (inPlace)
            writeInPlace(target, bytes, previous, mode, fileName, options);
        else
            replaceWith(target, bytes, original, options.commit, &report.ownerLost,
                        QStringLiteral("Unable to save"), fileName, options);
    } catch (...) {
        restoreBackup();
        throw;
    }
    if (!aside.isEmpty())
        QFile::remove(aside);
    // The file now holds its whole new text: an old copy an interrupted
    // save left is no longer needed.
    if (exists) {
        const QString earlier = inPlaceCopyName(target);
        if (existsAsName(earlier))
            QFile::remove(earlier);
    }
    if (options.report)
        *options.report = report;
}

QString interruptedSave(const QString& path)
{
    const QString copy = inPlaceCopyName(resolveLinks(path));
    return existsAsName(copy) ? copy : QString();
}

bool tryWrite(const QString& path, const QByteArray& bytes, QString* error, const Options& options)
{
    try {
        write(path, bytes, options);
        return true;
    } catch (const EFileError& e) {
        if (error)
            *error = e.message();
        return false;
    }
}

bool read(const QString& path, QByteArray* bytes, QString* error)
{
    QFile f(path);
    if (QFileInfo(path).isDir()) {
        if (error)
            *error = QStringLiteral("Unable to open %1: it is a folder, not a file.").arg(shown(path));
        return false;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Unable to open %1: %2.").arg(shown(path), f.errorString());
        return false;
    }
    QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("Unable to read %1: %2.").arg(shown(path), f.errorString());
        return false;
    }
    if (bytes)
        *bytes = std::move(data);
    return true;
}

} // namespace SafeFile
