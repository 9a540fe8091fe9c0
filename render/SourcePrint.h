#pragma once
// The lines a print of a document's source holds: every line, or the lines
// of the selection with the text before its start blanked (so columns stay
// where they were) and the text after its end left off. Lines come with
// their tabs expanded and are cut at 1023 characters.
#include <QStringList>

class EditorContract;

namespace SourcePrint {
constexpr int MaxLineLength = 1023;
QStringList lines(const EditorContract& editor, bool selectionOnly);
}
