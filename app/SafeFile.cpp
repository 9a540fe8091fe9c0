#include "app/SafeFile.h"

#include "app/AppError.h"
#include "app/PathUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
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
    throw EFileError(QStringLiteral("%1 %2: %3.").arg(what, shown(path), why));
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

bool pwriteAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Overwrites the file behind path with bytes, keeping its inode (so every
// hard link sees them). Space is reserved first; a write that still fails
// puts previous back. mode: the permission bits to leave (set-id bits off).
void writeInPlace(const QString& path, const QByteArray& bytes, const QByteArray& previous, mode_t mode,
                  const QString& shownName)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        fail(QStringLiteral("Unable to save"), shownName, reason(errno));
    if (bytes.size() > previous.size()) {
        const int r = ::posix_fallocate(fd, 0, off_t(bytes.size()));
        if (r == ENOSPC || r == EDQUOT || r == EFBIG) {
            ::ftruncate(fd, off_t(previous.size()));
            ::close(fd);
            fail(QStringLiteral("Unable to save"), shownName, reason(r));
        }
    }
    if (!pwriteAll(fd, bytes) || ::ftruncate(fd, off_t(bytes.size())) != 0
        || (::fsync(fd) != 0 && errno != EINVAL)) {
        const int error = errno;
        pwriteAll(fd, previous);
        ::ftruncate(fd, off_t(previous.size()));
        ::close(fd);
        fail(QStringLiteral("Unable to save"), shownName, reason(error));
    }
    struct ::stat st;
    if (::fstat(fd, &st) == 0 && (st.st_mode & 07777) != mode)
        ::fchmod(fd, mode);
    if (::close(fd) != 0)
        fail(QStringLiteral("Unable to save"), shownName, reason(errno));
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
    const QString target = resolveLinks(fileName);
    struct ::stat st;
    const bool exists = ::stat(QFile::encodeName(target).constData(), &st) == 0 && S_ISREG(st.st_mode);
    if (exists && !writable(target))
        fail(QStringLiteral("Unable to save"), fileName, reason(errno));
    const mode_t mode = exists ? (st.st_mode & 0777) : 0;
    report.setIdDropped = exists && (st.st_mode & (S_ISUID | S_ISGID));
    // In place: when other names share the file, when the folder takes no
    // new file, and when a new file could not keep the owner and group.
    const bool inPlace = exists && (st.st_nlink > 1 || !writable(QFileInfo(target).absolutePath())
                                    || !mayTakeOwner(st));
    report.inPlace = inPlace;

    // The new text goes to a temporary file first; the file is replaced only
    // once that is written completely.
    QSaveFile out(target);
    if (!inPlace) {
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            fail(QStringLiteral("Unable to save"), fileName, out.errorString());
        if (exists)
            takeOver(out.handle(), st, mode, &report.ownerLost);
    }

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

    // The backup holds what the file held before this save. It is written
    // as a copy before the file is replaced; the previous backup is kept
    // aside until the file has been replaced, and comes back on failure.
    QString aside;
    bool madeBackup = false;
    auto restoreBackup = [&] {
        if (madeBackup)
            QFile::remove(backup);
        if (!aside.isEmpty())
            QFile::rename(aside, backup);
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
                writeInPlace(resolveLinks(backup), previous, oldBackup, mode, backup);
            } else {
                report.backupSkipped = true;
            }
        } else {
            if (backupInfo.exists() || backupInfo.isSymLink()) {
                for (int i = 0; aside.isEmpty() || QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++i)
                    aside = backup + QStringLiteral(".old%1~").arg(i);
                if (!QFile::rename(backup, aside))
                    throw EFileError(QStringLiteral("Unable to replace the backup copy %1.").arg(shown(backup)));
            }
            QSaveFile copy(backup);
            bool ok = copy.open(QIODevice::WriteOnly);
            if (ok) {
                bool ignored = false;
                takeOver(copy.handle(), st, mode, &ignored);
                ok = copy.write(previous) == previous.size() && copy.commit();
            }
            if (!ok) {
                const QString error = copy.errorString();
                restoreBackup();
                throw EFileError(QStringLiteral("Unable to make the backup copy %1: %2.").arg(shown(backup), error));
            }
            madeBackup = true;
        }
    }

    if (inPlace) {
        try {
            writeInPlace(target, bytes, previous, mode, fileName);
        } catch (...) {
            restoreBackup();
            throw;
        }
    } else {
        const bool committed = options.commit ? options.commit(out) : out.commit();
        if (!committed) {
            const QString error = out.errorString();
            restoreBackup();
            fail(QStringLiteral("Unable to save"), fileName, error);
        }
    }
    if (!aside.isEmpty())
        QFile::remove(aside);
    if (options.report)
        *options.report = report;
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
