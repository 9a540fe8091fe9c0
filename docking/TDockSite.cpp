#include "docking/TDockSite.h"

#include "docking/TDocPanel.h"

#include <QEvent>
#include <algorithm>
#include <climits>

TDockSite::TDockSite(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DockSite"));
}

void TDockSite::setCentreWidget(QWidget* w)
{
    m_centre = w;
    if (w) {
        w->setParent(this);
        w->show();
    }
    relayout();
}

void TDockSite::addPanel(TDocPanel* p)
{
    if (!m_panels.contains(p))
        m_panels.append(p);
    relayout();
}

void TDockSite::removePanel(TDocPanel* p)
{
    m_panels.removeAll(p);
    relayout();
}

QRect TDockSite::clientRect() const
{
    return QRect(mapToGlobal(QPoint(0, 0)), size());
}

int TDockSite::sideLength(int align) const
{
    return DockGeometry::isVertical(align) ? m_verticalLength : width();
}

namespace {

// The key of the line a panel sits in (smaller is nearer the outer edge) and
// its place along the side, from its geometry.
QPair<int, int> placeKeys(int align, const QRect& g)
{
    switch (align) {
    case alBottom: return {-(g.bottom() + 1), g.x()};
    case alLeft: return {g.x(), g.y()};
    case alRight: return {-(g.right() + 1), g.y()};
    default: return {g.y(), g.x()};
    }
}

} // namespace

void TDockSite::normalisePlaces(int align)
{
    for (TDocPanel* p : std::as_const(m_panels)) {
        if (p->Align() == align && p->isShown()) {
            const QPair<int, int> k = placeKeys(align, p->geometry());
            p->setDockPlace(k.first, k.second);
        }
    }
}

int TDockSite::outerLine(int align) const
{
    int best = INT_MAX;
    for (TDocPanel* p : m_panels)
        if (p->Align() == align)
            best = std::min(best, p->dockLine());
    return best == INT_MAX ? 0 : best;
}

void TDockSite::relayout()
{
    if (m_busy)
        return;
    m_busy = true;
    int top = 0, bottom = height(), left = 0, right = width();
    for (int align : {int(alTop), int(alBottom), int(alLeft), int(alRight)}) {
        QList<TDocPanel*> side;
        for (TDocPanel* p : std::as_const(m_panels))
            if (p->Align() == align && p->isShown())
                side << p;
        std::stable_sort(side.begin(), side.end(), [](TDocPanel* a, TDocPanel* b) {
            return a->dockLine() != b->dockLine() ? a->dockLine() < b->dockLine() : a->dockPlace() < b->dockPlace();
        });
        const bool vertical = DockGeometry::isVertical(align);
        const int length = vertical ? std::max(0, bottom - top) : width();
        if (vertical)
            m_verticalLength = length;
        int cross = 0, thickness = 0, along = 0;
        bool first = true;
        int line = 0;
        for (TDocPanel* p : side) {
            const QSize s = p->arrangeFor(length);
            const int extent = vertical ? s.height() : s.width();
            const int thick = vertical ? s.width() : s.height();
            if (!first && (p->dockLine() != line || (along > 0 && along + extent > length))) {
                cross += thickness;
                thickness = 0;
                along = 0;
            }
            first = false;
            line = p->dockLine();
            QRect g;
            switch (align) {
            case alTop: g = QRect(along, top + cross, extent, thick); break;
            case alBottom: g = QRect(along, bottom - cross - thick, extent, thick); break;
            case alLeft: g = QRect(left + cross, top + along, thick, extent); break;
            default: g = QRect(right - cross - thick, top + along, thick, extent); break;
            }
            p->setGeometry(g);
            along += extent;
            thickness = std::max(thickness, thick);
        }
        const int used = cross + thickness;
        switch (align) {
        case alTop: top += used; break;
        case alBottom: bottom -= used; break;
        case alLeft: left += used; break;
        default: right -= used; break;
        }
    }
    if (m_centre)
        m_centre->setGeometry(left, top, std::max(0, right - left), std::max(0, bottom - top));
    m_used = QSize(width() - (right - left), height() - (bottom - top));
    m_busy = false;
}

QSize TDockSite::sizeHint() const
{
    const QSize centre = m_centre ? m_centre->sizeHint().expandedTo(QSize(640, 400)) : QSize(640, 400);
    return centre + m_used;
}

void TDockSite::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    relayout();
}

bool TDockSite::event(QEvent* e)
{
    if (e->type() == QEvent::LayoutRequest)
        relayout();
    return QWidget::event(e);
}
