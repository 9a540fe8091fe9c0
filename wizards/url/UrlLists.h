#pragma once
// The URL wizard's remembered lists and the URL library's entries: small
// list files in the user's data folder, shown sorted with letter case ignored.
#include "tags/TagEngine.h"

#include <QString>
#include <QStringList>

namespace UrlLists {

inline const QString kLocationFile = QStringLiteral("WURLU.fil");
inline const QString kDescriptionFile = QStringLiteral("WURLD.fil");
inline const QString kLibraryFile = QStringLiteral("library.fil");

// The link the wizard inserts: <A HREF="{location}">{description} and </A>.
TagPair link(const QString& location, const QString& description);

// The lists the wizard starts with until its files exist; sorted.
QStringList builtInLocations();
QStringList builtInDescriptions();

// Sorts with letter case ignored; items equal but for case keep their order.
void sortItems(QStringList& items);
// Adds text unless an item is exactly the same (case counts), in its sorted
// place. True when added.
bool addItem(QStringList& items, const QString& text);

enum class Load { Loaded, Missing, Failed };
// The sorted lines of a list file read from the data folder (the user's copy,
// else the shipped one). Failed: the file exists but cannot be read; *error
// says why.
Load load(const QString& name, QStringList* items, QString* error);
// Writes the items to the user's data folder; throws EFileError naming the
// file and the reason.
void save(const QString& name, const QStringList& items);

}  // namespace UrlLists
