#pragma once
// Abbreviations of markup, expanded to the elements they stand for. The
// subset understood:
//   name          an element: div, ul, a ...; left out, the name the parent
//                 implies (li in ul and ol, tr in tables, td in tr, option in
//                 select, span in inline elements, div elsewhere)
//   #id .class    its id and classes: div#main.card.wide
//   [a=1 b="x y" c]  its attributes, a value quoted or not, or none
//   {text}        its text
//   a>b           b inside a          a+b   b after a
//   a>b^c         ^ climbs up one level from b (^^ two ...): c after a's b
//   a*3           three of it; $ in a name, id, class, attribute or text is
//                 its number (1, 2, 3; $$ pads to 01, 02 ...)
//   (a>b)+c       a group, multiplied like an element: (dt+dd)*2
// Some elements get attributes of their own: a href, img src and alt, link
// rel and href, form action, label for, input type, script src when empty.
// Nested elements are indented with a tab unless all the children of an
// element are inline ones, which stay on its line.
#include <QString>

namespace Abbreviation {

struct Expansion {
    QString text;     // empty: not an abbreviation
    qsizetype caret;  // the first empty spot: an empty value or element
};

struct Options {
    QString lineIndent;                   // the indent of the line it stands on
    QString indentUnit = QStringLiteral("\t");  // one level deeper
    bool upperCase = false;               // tag names in capitals
};

Expansion expand(const QString& abbreviation, const Options& options = Options());

// Where an abbreviation ending at column end of the line starts; -1 when
// no abbreviation ends there.
qsizetype startBefore(const QString& line, qsizetype end);

// True for an abbreviation worth taking Tab for: one with an operator, id,
// class, attribute or text, or the bare name of an HTML element.
bool isLikely(const QString& abbreviation);

} // namespace Abbreviation
