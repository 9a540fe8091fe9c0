#include "tools/PlugInFile.h"

#include "app/AppPaths.h"
#include "app/ListFile.h"
#include "app/PathUtil.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <algorithm>

namespace PlugInFile {

PlugInEntry splitLine(const QString& line)
{
    PlugInEntry e;
    const qsizetype tab = line.indexOf(QLatin1Char('\t'));
    if (tab < 0) {
        e.description = line;
        e.close = ListFile::midWhole(line, 0, kUsedLength);
        return e;
    }
    e.description = line.left(tab);
    const QString used = ListFile::midWhole(line, tab + 1, kUsedLength);
    const qsizetype second = used.indexOf(QLatin1Char('\t'));
    if (second < 0) {
        e.close = used;
    } else {
        e.open = used.left(second);
        e.close = used.mid(second + 1);
    }
    return e;
}

QStringList builtInLines()
{
    // Each colour is the one its description names.
    const char* const lines[] = {
        "Background Color : Black\t<BODY BGCOLOR=\"#000000\">\t",
        "Background Color : Blue\t<BODY BGCOLOR=\"#0000FF\">\t",
        "Background Color : Cyan\t<BODY BGCOLOR=\"#00FFFF\">\t",
        "Background Color : Green\t<BODY BGCOLOR=\"#00FF00\">\t",
        "Background Color : Magenta\t<BODY BGCOLOR=\"#FF00FF\">\t",
        "Background Color : Nice Yellow\t<BODY BGCOLOR=\"#FFE27F\" TEXT=\"#000000\">\t",
        "Background Color : Red\t<BODY BGCOLOR=\"#FF0000\">\t",
        "Background Color : White\t<BODY BGCOLOR=\"#FFFFFF\">\t",
        "Background Color : Yellow\t<BODY BGCOLOR=\"#FFFF00\">\t",
        "Background Extended\t<BODY BGCOLOR=\"#000000\" TEXT=\"#FFFFFF\" LINK=\"#FF0000\" VLINK=\"#C000C0\" "
        "ALINK=\"#FF0000\">\t",
        "Background Simple\t<BODY BACKGROUND=\"\t\">",
    };
    QStringList out;
    for (const char* l : lines)
        out << QString::fromLatin1(l);
    return out;
}

void sortLines(QStringList& lines)
{
    std::stable_sort(lines.begin(), lines.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
}

namespace {
QStringList plugInsIn(const QString& dir)
{
    return PathUtil::regularFiles(dir, {QStringLiteral("*.plg")}, QDir::Unsorted);
}

// The folder each listed name was found in, for a file gone since.
QHash<QString, QString>& foundIn()
{
    static QHash<QString, QString> folders;
    return folders;
}
} // namespace

QStringList fileNames(QString* firstFound)
{
    foundIn().clear();
    QStringList names = plugInsIn(AppPaths::dataDir());
    for (const QString& n : std::as_const(names))
        foundIn().insert(n, AppPaths::dataDir());
    if (QFileInfo(AppPaths::dataDir()) != QFileInfo(AppPaths::programDir())) {
        for (const QString& n : plugInsIn(AppPaths::programDir()))
            if (!names.contains(n)) {
                names << n;
                foundIn().insert(n, AppPaths::programDir());
            }
    }
    if (firstFound)
        *firstFound = names.value(0);
    sortLines(names);
    return names;
}

QString pathOf(const QString& name)
{
    const QString own = AppPaths::dataFile(name);
    if (QFileInfo::exists(own))
        return own;
    const QString shipped = AppPaths::programFile(name);
    if (QFileInfo::exists(shipped))
        return shipped;
    // Gone since it was listed: name the folder it was in.
    return foundIn().value(name, AppPaths::dataDir()) + QLatin1Char('/') + name;
}

} // namespace PlugInFile
