#pragma once
// "Convert HTML to Text": deletes every tag of the active document in place.
// A tag is any stretch from a "<" to the next ">", on one line or over
// several; entities, line breaks and the text between tags stay as written.
// Each removal is an undoable cut of its own, and the clipboard ends up
// holding the last tag removed.
#include "editor/EditorContract.h"

#include <QList>
#include <QStringView>

class TagHost;

namespace HtmlToText {
// The tags of text as the conversion removes them, left to right: from a "<"
// through the next ">"; the scan goes on after that ">". A "<" without any
// ">" after it ends the scan, so it and every later "<" stay.
QList<TextRange> tagRanges(QStringView text);
// Removes the tags of one editor; returns how many. The document is marked
// modified when any went.
int StripTags(EditorContract& editor);
// Runs the conversion on the active document of host; with none open it only
// shows "Ready ...". Returns the number of tags removed.
int ExportasText(TagHost& host);
}
