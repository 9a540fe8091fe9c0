#pragma once
// Finds the words of an HTML text for the spell checker, line by line:
// tags, comments, character entities and the contents of scripts and style
// sheets are skipped; a leading "'" and a trailing "'" or "'s" are not part
// of a word; words holding digits are left alone.
#include <QString>

struct SpellScanState {
    enum Mode { Text, Tag, Comment };
    Mode mode = Text;
    QString rawElement;  // "script" or "style" while inside one
    QString tagName;     // the name of the tag being read
    bool readingName = false;
    bool closingTag = false;
    QChar quote;         // inside a quoted attribute value
};

struct SpellWord {
    int start = -1;  // index in the line, -1 when there is none
    int length = 0;
    QString text;
};

namespace SpellScanner {
// The next word of line from pos on; pos moves past it (to the line's end
// when there is none) and state carries tags and comments to the next line.
SpellWord next(const QString& line, int& pos, SpellScanState& state);
}
