#include "app/FileStamp.h"

#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>

#include <sys/stat.h>

FileStamp FileStamp::stat(const QString& path)
{
    FileStamp s;
    struct ::stat st;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return s;
    s.exists = true;
    s.size = st.st_size;
    s.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.ctimeNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    return s;
}

quint64 FileStamp::hashOf(const QByteArray& bytes)
{
    return qHashBits(bytes.constData(), size_t(bytes.size()), 0x5eed);
}

FileStamp FileStamp::of(const QString& path, const QByteArray& bytes)
{
    FileStamp s = stat(path);
    s.hash = hashOf(bytes);
    return s;
}

FileStamp::Change FileStamp::check(const QString& path, FileStamp* now) const
{
    FileStamp current = stat(path);
    Change change = Unchanged;
    if (!current.exists) {
        change = exists ? Deleted : Unchanged;
    } else if (!exists) {
        change = Changed;
    } else if (current.size != size) {
        change = Changed;
    } else if (current.mtimeNs != mtimeNs || current.ctimeNs != ctimeNs || current.inode != inode || current.device != device) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = f.readAll();
            current.hash = hashOf(bytes);
            change = current.hash == hash && bytes.size() == size ? Unchanged : Changed;
        } else {
            change = Changed;
        }
    } else {
        current.hash = hash;
    }
    if (now)
        *now = current;
    return change;
}

namespace FileIdentity {

bool sameFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QString ca = QFileInfo(a).canonicalFilePath();
    if (!ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath())
        return true;
    const FileStamp sa = FileStamp::stat(a);
    const FileStamp sb = FileStamp::stat(b);
    return sa.exists && sb.exists && sa.device == sb.device && sa.inode == sb.inode;
}

} // namespace FileIdentity
