#pragma once
// What the editing view draws besides the text: visible blanks and line
// ends, indentation guides, the marker of a wrapped row and the line at the
// wrap column. The view calls these for each row it draws.
#include <QColor>
#include <QPointF>
#include <QStringView>

class QPainter;
class QTextLayout;

namespace ViewGuides {

struct Style {
    QColor ink;           // faint: blanks, line ends, guides, markers
    qreal charWidth = 8;
    int lineHeight = 16;
};

// Columns the leading blanks of a line take (tabs to their stops).
int indentColumns(QStringView line, int tabSize);
// The indentation a guide shows on a blank line: the smaller of those of the
// nearest lines above and below that hold text (-1: none of them).
int blankLineIndent(int above, int below);

// Spaces as dots and tabs as arrows over a row laid out in layout (drawn at
// origin); a line end sign after it when endsLine.
void paintBlanks(QPainter& p, const QTextLayout& layout, QPointF origin, bool endsLine, const Style& s);
// Thin lines at each indentation step below indentCols, from x (the text's
// left edge) over one row at y.
void paintIndentGuides(QPainter& p, qreal x, int y, int indentCols, int tabSize, const Style& s);
// The hook at the start of a row that goes on from the row above, in the
// room left of the text (width margin).
void paintWrapMarker(QPainter& p, int y, int margin, const Style& s);

} // namespace ViewGuides
