#include "docking/TDocForm.h"

#include "docking/TDocPanel.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace {
const int kSizingEdge = 4;
const int kMinimumWidth = 48;
}

TDocForm::TDocForm(TDocPanel* panel, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint), m_panel(panel)
{
    setObjectName(panel->objectName() + QStringLiteral("Form"));
    setMouseTracking(true);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

int TDocForm::titleHeight() const
{
    const QFont f = m_panel ? m_panel->TitleFont : font();
    return QFontMetrics(f).height() + 4;
}

QRect TDocForm::titleRect() const
{
    return QRect(1, 1, width() - 2, titleHeight());
}

QRect TDocForm::closeBoxRect() const
{
    const int h = titleHeight();
    return QRect(width() - 1 - h, 1, h, h);
}

void TDocForm::setRolledUp(bool on)
{
    m_rolledUp = on;
    if (m_panel)
        m_panel->setInternalVisible(m_panel->isShown() && !on);
    fit();
}

int TDocForm::titleWidth() const
{
    if (!m_panel)
        return 0;
    return QFontMetrics(m_panel->TitleFont).horizontalAdvance(m_panel->Title()) + titleHeight() + 12;
}

int TDocForm::lengthForWidth(int width) const
{
    // Horizontal, the length is the width. Vertical, a longer column means
    // fewer columns: the shortest length whose panel still fits is the one
    // whose right edge comes nearest the pointer.
    if (!m_panel->isVerticalNow())
        return width;
    int low = 1, high = 1;
    while (m_panel->arrangeFor(high).width() > width && high < (1 << 20))
        high *= 2;
    if (m_panel->arrangeFor(high).width() > width)
        return high;  // even one column is wider
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (m_panel->arrangeFor(mid).width() <= width)
            high = mid;
        else
            low = mid + 1;
    }
    return high;
}

void TDocForm::fit()
{
    if (!m_panel)
        return;
    const QSize s = m_panel->arrangeFor(m_panel->MaxWidth());
    // A sizeable window keeps a strip right of the panel to take hold of.
    const int grip = m_panel->FloatBorder == fbSizeable ? kSizingEdge : 0;
    // The title is read whole, however narrow the buttons are.
    const int w = std::max({s.width() + 2 + grip, kMinimumWidth, titleWidth()});
    const int h = 2 + titleHeight() + (m_rolledUp ? 0 : s.height());
    m_panel->setGeometry(QRect(panelOrigin(), s));
    setFixedSize(w, h);
    update();
}

void TDocForm::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const QRect title = titleRect();
    p.fillRect(title, palette().color(QPalette::Highlight));
    p.setPen(palette().color(QPalette::HighlightedText));
    if (m_panel)
        p.setFont(m_panel->TitleFont);
    const QRect text = title.adjusted(4, 0, -closeBoxRect().width(), 0);
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
               p.fontMetrics().elidedText(windowTitle(), Qt::ElideRight, text.width()));
    // The close box: a cross; rolled up, it shows where the buttons went.
    const QRect box = closeBoxRect().adjusted(4, 4, -4, -4);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette().color(QPalette::HighlightedText), 1.5));
    if (m_rolledUp) {
        p.drawLine(box.topLeft(), QPoint(box.center().x(), box.bottom()));
        p.drawLine(QPoint(box.center().x(), box.bottom()), box.topRight());
    } else {
        p.drawLine(box.topLeft(), box.bottomRight());
        p.drawLine(box.topRight(), box.bottomLeft());
    }
}

bool TDocForm::onSizingEdge(const QPoint& pos) const
{
    return m_panel && m_panel->FloatBorder == fbSizeable && !m_rolledUp && pos.x() >= width() - kSizingEdge
        && pos.y() > titleHeight();
}

void TDocForm::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint pos = e->position().toPoint();
    m_moved = false;
    if (closeBoxRect().contains(pos))
        m_drag = None;
    else if (onSizingEdge(pos))
        m_drag = Sizing;
    else if (titleRect().contains(pos))
        m_drag = Moving;
    m_pressOffset = e->globalPosition().toPoint() - this->pos();
}

void TDocForm::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (m_drag == Moving) {
        move(e->globalPosition().toPoint() - m_pressOffset);
        m_moved = true;
    } else if (m_drag == Sizing && m_panel) {
        // The panel wraps its buttons so that the edge follows the pointer.
        m_panel->SetMaxWidth(lengthForWidth(std::max(kMinimumWidth, pos.x() + 1) - 2 - kSizingEdge));
    } else {
        setCursor(onSizingEdge(pos) ? Qt::SizeHorCursor : Qt::ArrowCursor);
    }
}

void TDocForm::mouseReleaseEvent(QMouseEvent* e)
{
    const Drag was = m_drag;
    m_drag = None;
    if (e->button() != Qt::LeftButton || !m_panel)
        return;
    if (was == Moving && m_moved)
        m_panel->writeFloatPosition();
    else if (was == None && closeBoxRect().contains(e->position().toPoint())) {
        if (m_panel->AutoHide)
            m_panel->setVisible(false);
        else
            setRolledUp(!m_rolledUp);
    }
}

void TDocForm::mouseDoubleClickEvent(QMouseEvent* e)
{
    m_drag = None;
    const QPoint pos = e->position().toPoint();
    if (e->button() == Qt::LeftButton && m_panel && titleRect().contains(pos) && !closeBoxRect().contains(pos)
        && (m_panel->DockingMethod == dmDblClick || m_panel->DockingMethod == dmBoth))
        m_panel->DockPanel();
}

void TDocForm::moveEvent(QMoveEvent* e)
{
    QWidget::moveEvent(e);
    // Moved by the window system: the new place is kept at once.
    if (m_drag == None && isVisible() && m_panel && !m_panel->Docked())
        m_panel->writeFloatPosition();
}

void TDocForm::closeEvent(QCloseEvent* e)
{
    // The window system's close: as the close box.
    e->ignore();
    if (m_panel && m_panel->AutoHide)
        m_panel->setVisible(false);
    else
        setRolledUp(!m_rolledUp);
}
