#pragma once
// The items of the tag and symbol chooser lists. An item is one line: the
// text to insert, a tab, and a second column (the closing text for tags, a
// description for symbols).
#include "tags/TagEngine.h"

#include <QStringList>

namespace HtmlTagList {
// The tag chooser's built-in items, "opening<TAB>closing", sorted.
QStringList builtInTags();
// A tag item's pair: split at the first tab. An item without a tab gives an
// empty opening text and the whole item as closing text.
TagPair tagPair(const QString& item);

// The symbol chooser's built-in items, "entity<TAB>description".
QStringList builtInSymbols();
// The text a symbol item inserts: the text before the first tab, or the
// whole item when it has no tab.
QString symbolText(const QString& item);
// A symbol item's pair: its text and an empty closing text.
TagPair symbolPair(const QString& item);
// The items of a symbol file's lines: every non-empty line is one item.
QStringList parseSymbolLines(const QStringList& lines);
// Reads a symbol file ("symbols.web"); false when it is missing or unreadable.
bool readSymbolFile(const QString& fileName, QStringList& items);
// The symbol file in the program's folder.
QString symbolFileName();
}
