#pragma once
// The geometry of docking tool bar panels, free of any widget: which side of
// the frame a dragged outline docks to, and where a panel's buttons go.
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// The side a panel is aligned to, as stored ("Align", 0 to 4).
enum TAlign { alNone = 0, alTop = 1, alBottom = 2, alLeft = 3, alRight = 4 };

// The sides a panel may dock to: a set of TDockSide.
enum TDockSide { dsTop, dsLeft, dsRight, dsBottom };
using TDockSides = unsigned;
constexpr TDockSides dockSide(TDockSide s) { return 1u << s; }
constexpr TDockSides kAllDockSides = 0xFu;

enum TDockMethods { dmDblClick, dmDrag, dmNone, dmBoth };
enum TArrangeMethods { amAuto, amWidth, amNone };

namespace DockGeometry {

inline bool isVertical(int align) { return align == alLeft || align == alRight; }
inline bool isSide(int align) { return align >= alTop && align <= alRight; }

// The side an outline docks to, both rectangles in screen coordinates: top,
// bottom, left and right are tried in that order, each only when allowed. A
// side is chosen when the outline overlaps the client area along that side
// (for top and bottom its left or right edge lies within the client's
// left-to-right span, for left and right its top or bottom edge within the
// top-to-bottom span) and meets the band of threshold pixels on either side
// of that edge. alNone: no side, the panel floats.
TAlign chooseSide(const QRect& outline, const QRect& client, int threshold, TDockSides allowed);

struct ButtonLayout {
    QList<QRect> rects;  // one per button, panel coordinates; hidden ones keep their design place
    QSize size;          // the bounding box of the visible buttons
};

// Places buttons given their design rectangles (as on a horizontal panel).
// amAuto: left to right from the top left, a button that would pass maxWidth
// starting a new row below the tallest button so far. amWidth: the design
// rows (buttons overlapping vertically, top to bottom, left to right within a
// row) are packed along each row, a row that would pass maxWidth continuing
// as a further row below. amNone: the design places. Vertical: rows become
// columns (every left and top, width and height exchanged), maxWidth then
// limits the height. maxWidth <= 0 never wraps.
ButtonLayout arrangeButtons(const QList<QRect>& design, const QList<bool>& visible,
                            TArrangeMethods method, int maxWidth, bool vertical);

// Where a floating window of this geometry can be reached: its title strip
// on some screen, or else moved onto the first screen (whole when it fits).
QPoint reachablePosition(const QRect& window, const QList<QRect>& screens, int titleHeight);

} // namespace DockGeometry
