#include "app/SafeFile.h"

#include "app/AppError.h"
#include "app/PathUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace SafeFile {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

void write(const QString& fileName, const QByteArray& bytes, const Options& options)
{
    const QFileInfo info(fileName);
    if (fileName.isEmpty())
        throw EFileError(QStringLiteral("No file name was given."));
    if (info.isDir())
        throw EFileError(QStringLiteral("Unable to save %1: it is a folder, not a file.").arg(shown(fileName)));

    // The new text goes to a temporary file first; the file is replaced only
    // once that is written completely.
    QSaveFile out(fileName);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        throw EFileError(QStringLiteral("Unable to save %1: %2.").arg(shown(fileName), out.errorString()));

    // The backup holds what the file held before this save. It is written
    // as a copy before the file is replaced; the previous backup is kept
    // aside until the file has been replaced, and comes back on failure.
    const QString backup = options.backupExtension.isEmpty()
        ? QString() : PathUtil::withExtension(fileName, options.backupExtension);
    QString aside;
    bool madeBackup = false;
    auto restoreBackup = [&] {
        if (madeBackup)
            QFile::remove(backup);
        if (!aside.isEmpty())
            QFile::rename(aside, backup);
    };
    if (!backup.isEmpty() && info.isFile() && !PathUtil::samePath(backup, fileName)) {
        const QFileInfo backupInfo(backup);
        if (backupInfo.isDir())
            throw EFileError(QStringLiteral("Unable to make the backup copy %1: it is a folder.").arg(shown(backup)));
        QFile current(fileName);
        if (!current.open(QIODevice::ReadOnly))
            throw EFileError(QStringLiteral("Unable to make the backup copy of %1: %2.")
                                 .arg(shown(fileName), current.errorString()));
        const QByteArray previous = current.readAll();
        if (current.error() != QFileDevice::NoError)
            throw EFileError(QStringLiteral("Unable to make the backup copy of %1: %2.")
                                 .arg(shown(fileName), current.errorString()));
        current.close();
        if (backupInfo.exists() || backupInfo.isSymLink()) {
            for (int i = 0; aside.isEmpty() || QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++i)
                aside = backup + QStringLiteral(".old%1~").arg(i);
            if (!QFile::rename(backup, aside))
                throw EFileError(QStringLiteral("Unable to replace the backup copy %1.").arg(shown(backup)));
        }
        QSaveFile copy(backup);
        if (!copy.open(QIODevice::WriteOnly) || copy.write(previous) != previous.size() || !copy.commit()) {
            const QString error = copy.errorString();
            restoreBackup();
            throw EFileError(QStringLiteral("Unable to make the backup copy %1: %2.").arg(shown(backup), error));
        }
        madeBackup = true;
    }
    const bool committed = options.commit ? options.commit(out) : out.commit();
    if (!committed) {
        const QString error = out.errorString();
        restoreBackup();
        throw EFileError(QStringLiteral("Unable to save %1: %2.").arg(shown(fileName), error));
    }
    if (!aside.isEmpty())
        QFile::remove(aside);
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
