#include "wizards/url/UrlLists.h"

#include "app/AppError.h"
#include "app/AppPaths.h"
#include "app/ListFile.h"
#include "app/SafeFile.h"

#include <QFileInfo>
#include <algorithm>

namespace UrlLists {

namespace {
bool lessIgnoringCase(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}
}

TagPair link(const QString& location, const QString& description)
{
    return {QStringLiteral("<A HREF=\"") + location + QStringLiteral("\">") + description, QStringLiteral("</A>")};
}

QStringList builtInLocations()
{
    QStringList items{QStringLiteral(".htm"),       QStringLiteral(".html"),      QStringLiteral("http://"),
                      QStringLiteral("index.htm"),  QStringLiteral("index.html"), QStringLiteral("mailto:"),
                      QStringLiteral("http://www.velquist.example/")};
    sortItems(items);
    return items;
}

QStringList builtInDescriptions()
{
    return {QStringLiteral("Send Mail to Me")};
}

void sortItems(QStringList& items)
{
    std::stable_sort(items.begin(), items.end(), lessIgnoringCase);
}

bool addItem(QStringList& items, const QString& text)
{
    if (items.contains(text, Qt::CaseSensitive))
        return false;
    items.insert(std::upper_bound(items.begin(), items.end(), text, lessIgnoringCase), text);
    return true;
}

Load load(const QString& name, QStringList* items, QString* error)
{
    const QString path = AppPaths::readableDataFile(name);
    if (!QFileInfo::exists(path))
        return Load::Missing;
    QStringList lines;
    if (!ListFile::read(path, &lines, error))
        return Load::Failed;
    sortItems(lines);
    *items = lines;
    return Load::Loaded;
}

void save(const QString& name, const QStringList& items)
{
    if (!AppPaths::ensureDataDir())
        throw EFileError(QStringLiteral("Unable to save %1: the folder %2 cannot be created.")
                             .arg(SafeFile::shown(AppPaths::dataFile(name)), SafeFile::shown(AppPaths::dataDir())));
    ListFile::write(AppPaths::dataFile(name), items);
}

}  // namespace UrlLists
