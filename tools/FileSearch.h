#pragma once
// Search and replace over files on disk. A file is decoded as the editor
// decodes it (any encoding and line ends it knows); a replacement changes
// only the bytes of the matches, so the encoding, the byte order mark, every
// line end and every other byte stay exactly as they were.
#include <QByteArray>
#include <QString>

struct FileSearchOptions {
    QString text;
    bool matchCase = false;
    bool wholeWord = false;
};

namespace FileSearch {
// Files larger than this are not searched.
constexpr qint64 kMaxFileSize = qint64(64) * 1024 * 1024;

// Number of matches in the file's bytes. The search text never matches
// across a line end.
int countMatches(const QByteArray& bytes, const FileSearchOptions& options);

struct Replaced {
    int matches = 0;
    QByteArray bytes;  // the new file; equal to the old one without matches
    QString error;     // why the file cannot take the replacement; empty when it can
};
Replaced replaceAll(const QByteArray& bytes, const FileSearchOptions& options, const QString& replacement);

// False for a file that is not text: NUL bytes where no UTF-16 or UTF-32
// byte order mark explains them, or the signature of an image, archive,
// font, document or program file.
bool isText(const QByteArray& bytes);

// The key under which two names of one file (symlinks, hard links) are
// the same: its device and inode, or the path's key when it does not exist.
QString identityKey(const QString& path);

// Reads a file to search it; false and the reason when it cannot.
bool readFile(const QString& path, QByteArray* bytes, QString* error);
}
