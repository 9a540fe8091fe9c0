#include "tools/PlugInFile.h"

#include "app/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace PlugInFile {

PlugInEntry splitLine(const QString& line)
{
    PlugInEntry e;
    const qsizetype tab = line.indexOf(QLatin1Char('\t'));
    if (tab < 0) {
        e.description = line;
        e.close = line.left(kUsedLength);
        return e;
    }
    e.description = line.left(tab);
    const QString used = line.mid(tab + 1, kUsedLength);
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
    return QDir(dir).entryList({QStringLiteral("*.plg")},
                               QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
}
} // namespace

QStringList fileNames(QString* firstFound)
{
    QStringList names = plugInsIn(AppPaths::dataDir());
    if (QFileInfo(AppPaths::dataDir()) != QFileInfo(AppPaths::programDir())) {
        for (const QString& n : plugInsIn(AppPaths::programDir()))
            if (!names.contains(n))
                names << n;
    }
    if (firstFound)
        *firstFound = names.value(0);
    sortLines(names);
    return names;
}

QString pathOf(const QString& name)
{
    return AppPaths::readableDataFile(name);
}

} // namespace PlugInFile
