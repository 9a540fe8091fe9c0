#include "editor/ViewGuides.h"

#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace ViewGuides {

int indentColumns(QStringView line, int tabSize)
{
    int col = 0;
    for (QChar c : line) {
        if (c == QLatin1Char(' '))
            ++col;
        else if (c == QLatin1Char('\t'))
            col += tabSize - col % tabSize;
        else
            return col;
    }
    // A line of blanks only has no indentation of its own.
    return -1;
}

int blankLineIndent(int above, int below)
{
    return above < 0 || below < 0 ? -1 : std::min(above, below);
}

void paintBlanks(QPainter& p, const QTextLayout& layout, QPointF origin, bool endsLine, const Style& s)
{
    const QTextLine line = layout.lineAt(0);
    if (!line.isValid())
        return;
    const QString text = layout.text();
    p.save();
    p.setPen(QPen(s.ink, 1));
    const qreal mid = origin.y() + s.lineHeight / 2.0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t'))
            continue;
        const qreal x0 = origin.x() + line.cursorToX(int(i));
        const qreal x1 = origin.x() + line.cursorToX(int(i + 1));
        if (c == QLatin1Char(' ')) {
            const qreal r = std::max(1.0, s.charWidth / 8);
            p.fillRect(QRectF((x0 + x1) / 2 - r / 2, mid - r / 2, r, r), s.ink);
        } else {
            // An arrow across the tab's width.
            const qreal a = x0 + 2, b = std::max(a + 3, x1 - 2);
            p.drawLine(QPointF(a, mid), QPointF(b, mid));
            p.drawLine(QPointF(b - 3, mid - 3), QPointF(b, mid));
            p.drawLine(QPointF(b - 3, mid + 3), QPointF(b, mid));
        }
    }
    if (endsLine) {
        // A pilcrow-like sign after the row's last character.
        const qreal x = origin.x() + line.naturalTextWidth() + 2;
        const qreal top = origin.y() + s.lineHeight * 0.2, bottom = origin.y() + s.lineHeight * 0.8;
        const qreal w = std::max(3.0, s.charWidth * 0.6);
        p.drawLine(QPointF(x + w, top), QPointF(x + w, bottom));
        p.drawLine(QPointF(x + w * 0.6, top), QPointF(x + w * 0.6, bottom));
        p.drawLine(QPointF(x + w * 0.2, top), QPointF(x + w, top));
        p.fillRect(QRectF(x, top, w * 0.6, s.lineHeight * 0.25), s.ink);
    }
    p.restore();
}

void paintIndentGuides(QPainter& p, qreal x, int y, int indentCols, int tabSize, const Style& s)
{
    if (indentCols <= 0 || tabSize <= 0)
        return;
    p.save();
    QPen pen(s.ink, 1, Qt::DotLine);
    p.setPen(pen);
    // One at each indentation step left of the text, the first at its edge.
    for (int col = 0; col < indentCols && col < 4096; col += tabSize) {
        const qreal gx = qRound(x + col * s.charWidth) + 0.5;
        p.drawLine(QPointF(gx, y), QPointF(gx, y + s.lineHeight - 1));
    }
    p.restore();
}

void paintWrapMarker(QPainter& p, int y, int margin, const Style& s)
{
    if (margin < 2)
        return;
    p.save();
    p.setPen(QPen(s.ink, 1));
    const int x = std::max(0, margin - 3);
    const int top = y + 2, mid = y + s.lineHeight / 2;
    p.drawLine(QPoint(x, top), QPoint(x, mid));
    p.drawLine(QPoint(x, mid), QPoint(margin - 1, mid));
    p.restore();
}

} // namespace ViewGuides
