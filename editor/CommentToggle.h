#pragma once
// Toggle comment: text wrapped in the comment of its language, or the
// comment taken off again.
#include <QString>

namespace CommentToggle {

enum class Style {
    Html,    // <!-- ... -->
    Css,     // /* ... */
    Script,  // // at the start of each line
};

// The style for text that starts in the tokenizer state.
Style styleFor(int tokenizerState);

// The text toggled: a commented text (its comment markers around it, blanks
// aside; for a script, every line that is not blank) loses them, any other
// text gets them. Blanks before and after the text stay outside the
// markers; a script's lines get "// " at their smallest indent.
QString toggle(const QString& text, Style style);

// Where a position in text (0..size) stands after toggle(text, style): on
// the same character of the text itself.
qsizetype positionAfter(const QString& text, qsizetype position, Style style);

} // namespace CommentToggle
