#include "docking/DockGeometry.h"

#include <algorithm>

namespace DockGeometry {

namespace {

bool within(int v, int lo, int hi) { return v >= lo && v <= hi; }

bool meetsBand(int lo, int hi, int edge, int threshold)
{
    return lo <= edge + threshold && hi >= edge - threshold;
}

} // namespace

TAlign chooseSide(const QRect& outline, const QRect& client, int threshold, TDockSides allowed)
{
    if (!outline.isValid() || !client.isValid())
        return alNone;
    const int t = std::max(0, threshold);
    const bool alongX = within(outline.left(), client.left(), client.right())
        || within(outline.right(), client.left(), client.right());
    const bool alongY = within(outline.top(), client.top(), client.bottom())
        || within(outline.bottom(), client.top(), client.bottom());
    if ((allowed & dockSide(dsTop)) && alongX && meetsBand(outline.top(), outline.bottom(), client.top(), t))
        return alTop;
    if ((allowed & dockSide(dsBottom)) && alongX && meetsBand(outline.top(), outline.bottom(), client.bottom(), t))
        return alBottom;
    if ((allowed & dockSide(dsLeft)) && alongY && meetsBand(outline.left(), outline.right(), client.left(), t))
        return alLeft;
    if ((allowed & dockSide(dsRight)) && alongY && meetsBand(outline.left(), outline.right(), client.right(), t))
        return alRight;
    return alNone;
}

ButtonLayout arrangeButtons(const QList<QRect>& design, const QList<bool>& visible,
                            TArrangeMethods method, int maxWidth, bool vertical)
{
    // Packing runs along the panel's length ("main") and its rows stack across
    // it ("cross"); on a vertical panel the length is the height.
    const auto shown = [&](int i) { return i >= visible.size() || visible.at(i); };
    const auto mainOf = [vertical](const QRect& r) { return vertical ? r.height() : r.width(); };
    const auto crossOf = [vertical](const QRect& r) { return vertical ? r.width() : r.height(); };
    const auto passes = [maxWidth](int m, int extent) { return maxWidth > 0 && m > 0 && m + extent > maxWidth; };

    ButtonLayout out;
    out.rects = design;
    // Each packed row of buttons, in order.
    QList<QList<int>> rows;
    if (method == amAuto) {
        rows.append(QList<int>());
        for (int i = 0; i < design.size(); ++i)
            if (shown(i))
                rows.last() << i;
    } else if (method == amWidth) {
        // Rows of the design: buttons overlapping vertically, top to bottom.
        QList<int> order;
        for (int i = 0; i < design.size(); ++i)
            if (shown(i))
                order << i;
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return design.at(a).top() < design.at(b).top(); });
        int rowBottom = 0;
        for (int i : order) {
            const QRect& r = design.at(i);
            if (rows.isEmpty() || r.top() > rowBottom) {
                rows.append(QList<int>());
                rowBottom = r.bottom();
            } else {
                rowBottom = std::max(rowBottom, r.bottom());
            }
            rows.last() << i;
        }
        for (QList<int>& row : rows)
            std::stable_sort(row.begin(), row.end(),
                             [&](int a, int b) { return design.at(a).left() < design.at(b).left(); });
    } else {
        // amNone: the design places, exchanged on a vertical panel.
        for (int i = 0; i < design.size(); ++i)
            if (vertical)
                out.rects[i].moveTopLeft(QPoint(design.at(i).y(), design.at(i).x()));
    }

    // amAuto starts a wrapped row below the tallest button so far, amWidth
    // below the row it continues: with rows packed one after the other the
    // two are the same.
    int crossStart = 0;
    for (const QList<int>& row : rows) {
        int m = 0, lineStart = crossStart, crossEnd = crossStart;
        for (int i : row) {
            const QRect& r = design.at(i);
            if (passes(m, mainOf(r))) {
                m = 0;
                lineStart = crossEnd;
            }
            out.rects[i].moveTopLeft(vertical ? QPoint(lineStart, m) : QPoint(m, lineStart));
            m += mainOf(r);
            crossEnd = std::max(crossEnd, lineStart + crossOf(r));
        }
        crossStart = crossEnd;
    }
    int right = 0, bottom = 0;
    for (int i = 0; i < out.rects.size(); ++i) {
        if (!shown(i))
            continue;
        right = std::max(right, out.rects.at(i).right() + 1);
        bottom = std::max(bottom, out.rects.at(i).bottom() + 1);
    }
    out.size = QSize(right, bottom);
    return out;
}

QPoint reachablePosition(const QRect& window, const QList<QRect>& screens, int titleHeight)
{
    if (screens.isEmpty())
        return window.topLeft();
    // Enough of the title strip to take hold of it with the mouse.
    const QRect strip(window.left(), window.top(), window.width(), std::max(1, titleHeight));
    for (const QRect& s : screens) {
        const QRect seen = s.intersected(strip);
        if (seen.width() >= std::min(32, window.width()) && seen.height() >= std::min(8, strip.height()))
            return window.topLeft();
    }
    const QRect s = screens.first();
    const int x = std::clamp(window.left(), s.left(), std::max(s.left(), s.right() + 1 - window.width()));
    const int y = std::clamp(window.top(), s.top(), std::max(s.top(), s.bottom() + 1 - window.height()));
    return QPoint(x, y);
}

} // namespace DockGeometry
