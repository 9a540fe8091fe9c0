#pragma once
// The lines a print of a document's source holds: every line, or the lines
// of the selection with the text before its start blanked (so columns stay
// where they were) and the text after its end left off. Lines come with
// their tabs expanded to stops every tabWidth columns and are cut at 1023
// characters; the selection is cut before the tabs are expanded, so a tab
// before or inside it moves nothing.
#include <QStringList>

class EditorContract;

namespace SourcePrint {
constexpr int MaxLineLength = 1023;
QStringList lines(const EditorContract& editor, bool selectionOnly, int tabWidth);
}
