#pragma once
// What a document knows of the file it last loaded or saved, to tell when
// another program has changed, replaced or deleted it; and which names are
// one file (symlinks, hard links).
#include <QByteArray>
#include <QString>

struct FileStamp {
    bool exists = false;
    qint64 size = -1;
    qint64 mtimeNs = 0;
    qint64 ctimeNs = 0;  // the inode's change time, which no program can set back
    quint64 device = 0;
    quint64 inode = 0;
    quint64 hash = 0;  // of the file's bytes

    // The file as it is now (size, time, device and inode; no hash).
    static FileStamp stat(const QString& path);
    // The file as it is now, with the hash of bytes, which were just read or written.
    static FileStamp of(const QString& path, const QByteArray& bytes);
    static quint64 hashOf(const QByteArray& bytes);

    enum Change { Unchanged, Changed, Deleted };
    // Compares the file on disk with this stamp: by size, times and inode
    // first; only when those differ are the bytes read and hashed, so a file
    // touched but not changed counts as unchanged. A change time that moved
    // is enough to compare the bytes: a file rewritten and given its old
    // time back (cp -p, rsync -t, touch -r) is caught that way. *now (optional) receives
    // the stamp of what is there now.
    Change check(const QString& path, FileStamp* now = nullptr) const;
};

namespace FileIdentity {
// True when both names lead to one file: the same path once symlinks are
// resolved, or the same device and inode (hard links).
bool sameFile(const QString& a, const QString& b);
}
