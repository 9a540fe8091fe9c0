#pragma once
// Moving through the markup of the active document: find an element by its
// start and end texts and select it whole; bookmarks 1 to 9.
#include "tags/TagEngine.h"

#include <QStringView>

struct GotoCommandDef {
    const char* handler;
    const char* caption;
    const char* startText;
    const char* endText;
    bool fromTop;
    const char* notFoundMessage;
};

namespace Navigator {
// Searches forwards, ignoring letter case, for startText (from the top of the
// document or from the caret; a selection is first collapsed to its end),
// then for endText after it, and selects from the start text's first
// character to the end text's last, caret at the end. True when found. When
// only the start text is found it stays selected.
bool SelectNextElement(TagHost& host, const QString& startText, const QString& endText,
                       bool fromTop);

// The eleven Goto commands.
const GotoCommandDef* begin();
const GotoCommandDef* end();
int count();
const GotoCommandDef* find(QStringView handler);
// Runs a Goto command; shows its message when nothing is found.
bool run(TagHost& host, const GotoCommandDef& command);
bool run(TagHost& host, QStringView handler);

// Bookmark commands on the active document (nothing without one). Numbers 1..9.
void SetBookmark(TagHost& host, int number);
void GotoBookmark(TagHost& host, int number);
// Handler names of the bookmark commands, index 0 for bookmark 1.
extern const char* const kSetBookmarkHandlers[9];
extern const char* const kGotoBookmarkHandlers[9];
// 1..9 for a bookmark handler name, 0 for any other.
int bookmarkNumber(QStringView handler, bool* isSet = nullptr);
}
