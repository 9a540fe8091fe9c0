#pragma once
// The single-click tag commands of the main frame as data: each handler
// hands a fixed pair of texts to the insertion engine. A few commands choose
// between two pairs by whether text is selected in the active document.
#include "tags/TagEngine.h"

#include <QString>
#include <QStringView>

struct TagCommandDef {
    const char* handler;   // the main frame's handler name, e.g. "Bold1Click"
    const char* open;      // the pair used with a selection (or always)
    const char* close;
    const char* openNoSelection = nullptr;   // set only when the texts depend on a selection
    const char* closeNoSelection = nullptr;

    bool selectionDependent() const { return openNoSelection != nullptr; }
    TagPair pair(bool hasSelection) const;
};

namespace TagCatalogue {
// Every command, in menu order within its group.
const TagCommandDef* begin();
const TagCommandDef* end();
int count();
// The command of a handler name; nullptr when there is none.
const TagCommandDef* find(QStringView handler);
// Runs one command: asks for the selection when the texts depend on it, then
// inserts the pair. False when the handler is not in the table.
bool run(TagEngine& engine, QStringView handler);
void run(TagEngine& engine, const TagCommandDef& command);
}
