#include "app/PathUtil.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace PathUtil {

bool caseInsensitiveFileSystem()
{
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
    return true;
#else
    return false;
#endif
}

QString captionForPath(const QString& path)
{
    if (path.isEmpty())
        return path;
    // "a/link/../b.htm" is "b.htm" in the folder above the link's target, not in "a".
    const QString absolute = QDir::isAbsolutePath(path) ? path : QDir::currentPath() + QLatin1Char('/') + path;
    const qsizetype slash = absolute.lastIndexOf(QLatin1Char('/'));
    const QString name = absolute.mid(slash + 1);
    const QString folder = absolute.left(std::max<qsizetype>(slash, 1));
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        const QString canonical = QFileInfo(absolute).canonicalFilePath();
        return canonical.isEmpty() ? QDir::cleanPath(absolute) : canonical;
    }
    const QString resolved = QFileInfo(folder).canonicalFilePath();
    if (resolved.isEmpty())
        return QDir::cleanPath(absolute);
    return resolved.endsWith(QLatin1Char('/')) ? resolved + name : resolved + QLatin1Char('/') + name;
}

QString compareKey(const QString& path)
{
    const QString p = captionForPath(path);
    return caseInsensitiveFileSystem() ? p.toLower() : p;
}

bool samePath(const QString& a, const QString& b)
{
    return compareKey(a) == compareKey(b);
}

QString qtFilter(const QString& pipeFilter)
{
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts[i];
        QString pattern = parts[i + 1];
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
        if (desc.contains(QLatin1Char('(')))
            desc = desc.left(desc.indexOf(QLatin1Char('('))).trimmed();
        out << QStringLiteral("%1 (%2)").arg(desc, pattern);
    }
    return out.join(QStringLiteral(";;"));
}

QString withExtension(const QString& path, const QString& ext)
{
    const QFileInfo fi(path);
    const QString dir = fi.path();
    QString name = fi.fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    name += QLatin1Char('.') + ext;
    return dir == QLatin1String(".") && !path.startsWith(QLatin1String("./")) ? name : dir + QLatin1Char('/') + name;
}

QStringList regularFiles(const QString& dir, const QStringList& patterns, QDir::SortFlags sort)
{
    QStringList out;
    // Without QDir::System the listing leaves out pipes, sockets, devices and
    // dangling links; isFile() also checks where a link leads.
    for (const QFileInfo& fi : QDir(dir).entryInfoList(patterns, QDir::Files | QDir::Hidden, sort))
        if (fi.isFile())
            out << fi.fileName();
    return out;
}

} // namespace PathUtil
