#pragma once
// Pairs of brackets and quotes: which character closes one that is typed,
// and where the partner of a bracket or quote is.
#include "editor/TextSnapshot.h"

namespace AutoPairs {

// The character that closes the one typed, or a null character when none
// is put in: brackets ( [ { unless a word goes on right after the caret;
// quotes " ' where a value starts (after '=', an opening bracket, ',' or
// ':') and no word goes on after the caret. before and after are the
// characters around the caret (null at the text's edges).
QChar closerFor(QChar typed, QChar before, QChar after);
// ) ] } " '
bool isCloser(QChar c);
// The opening character a closer ends ('"' for '"').
QChar openerOf(QChar closer);

// The partner of the bracket or quote at offset: brackets counted through
// nesting, looking at most limit characters away; quotes within their line
// (the count of like quotes before it tells whether it opens or closes).
// -1 when offset holds none or its partner is not found.
qsizetype partner(const TextSnapshot& t, qsizetype offset, qsizetype limit = 100000);

} // namespace AutoPairs
