#pragma once
#include <QDir>
#include <QString>
#include <QStringList>

// The one place that decides how file paths are compared and shown.
// Paths keep the letter case the file system gives them; case is folded
// only where the file system ignores it.
namespace PathUtil {
// True when paths differing only in letter case name the same file here.
bool caseInsensitiveFileSystem();
// The text a document caption, tab or recent entry shows for a path:
// absolute, its folder resolved as the file system resolves it (symlinks
// first, then ".."), the file's own name as given (letter case kept, a
// symlink named as such). A folder that does not exist is cleaned as text.
QString captionForPath(const QString& path);
// The key under which two paths compare equal.
QString compareKey(const QString& path);
bool samePath(const QString& a, const QString& b);
// Converts "Desc|*.a;*.b|Desc2|*.c" filters into Qt's ";;" form.
QString qtFilter(const QString& pipeFilter);
// Replaces (or adds) the extension of a file name: "a/b.htm" + "BAK" -> "a/b.BAK".
QString withExtension(const QString& path, const QString& ext);
// The names of the regular files in a folder that match the patterns, hidden
// ones included. Never a pipe, socket or device: opening one can block for good.
QStringList regularFiles(const QString& dir, const QStringList& patterns, QDir::SortFlags sort = QDir::NoSort);
}
