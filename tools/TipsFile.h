#pragma once
// The tips file "TIPS.TXT": one tip per line. The first character is the
// line's kind marker, never shown, which chooses the heading above the tip;
// the rest (at most 255 characters) is the tip, in which each of the first
// five "%s" stands for a line break and "%%" for a percent sign.
#include <QString>

namespace TipsFile {
// "Today's joke..." for "!", "Today's message..." for "#", "Today's
// quote..." for "'", "Did you know..." for "?", "Today's tip..." for "^";
// empty for any other marker and for an empty line.
QString heading(const QString& line);
// The tip text as shown.
QString tipText(const QString& line);
}
