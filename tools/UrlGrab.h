#pragma once
// "Grab URLs": every link element of a document, from its "<A HREF=" (one
// blank between "A" and "HREF=", letter case ignored) through the next
// "</A>", taken whole; and the bookmark import that grabs the links of the
// browser's bookmark file.
#include "editor/EditorContract.h"

#include <QList>
#include <QStringList>
#include <QStringView>

class TagHost;

namespace UrlGrab {
// The links of text, left to right; the scan goes on after each "</A>". A
// "<A HREF=" without a "</A>" after it has none after any later one either,
// so the scan ends there.
QList<TextRange> linkRanges(QStringView text);

// Grabs the links of an editor: returns their texts (line breaks inside a
// link kept as "\n"), selects the last one and copies it to the clipboard.
// Shows "Found URL ..." for each. The text is not changed.
QStringList grab(TagHost& host, EditorContract& editor);

// The library file's lines for entries: an entry holding line breaks
// becomes one line per part, as it will be read back.
QStringList libraryLines(const QStringList& entries);

// The bookmark import's file name of the browser's settings and its key.
inline const QString kNetscapeIni = QStringLiteral("netscape.ini");
inline const QString kBookmarkSection = QStringLiteral("Bookmark List");
inline const QString kBookmarkKey = QStringLiteral("File TTTLocation");
// A bookmark file larger than this is refused.
constexpr qint64 kMaxBookmarkFile = qint64(32) * 1024 * 1024;
// Why a file cannot be a bookmark file (too large, binary); empty when it can.
QString bookmarkFileProblem(const QString& path);
}
