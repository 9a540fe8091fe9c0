#include "docking/TDocPanel.h"

#include "app/UiPrompter.h"
#include "docking/TDocForm.h"
#include "docking/TDockSite.h"

#include <QActionEvent>
#include <QKeyEvent>
#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QRubberBand>
#include <QScopeGuard>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>

namespace {

// The pointer while dragging: a bar at the side the panel would dock to.
QCursor sideCursor(TAlign side)
{
    if (side == alNone)
        return QCursor(Qt::ArrowCursor);
    static QCursor cache[5];
    QCursor& c = cache[side];
    if (c.pixmap().isNull()) {
        QPixmap pm(24, 24);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        QRect bar;
        QPolygon arrow;
        switch (side) {
        case alTop: bar = QRect(2, 1, 20, 5); arrow << QPoint(12, 7) << QPoint(6, 15) << QPoint(18, 15); break;
        case alBottom: bar = QRect(2, 18, 20, 5); arrow << QPoint(12, 16) << QPoint(6, 8) << QPoint(18, 8); break;
        case alLeft: bar = QRect(1, 2, 5, 20); arrow << QPoint(7, 12) << QPoint(15, 6) << QPoint(15, 18); break;
        default: bar = QRect(18, 2, 5, 20); arrow << QPoint(16, 12) << QPoint(8, 6) << QPoint(8, 18); break;
        }
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(Qt::black);
        p.drawRect(bar);
        p.drawPolygon(arrow);
        p.end();
        c = QCursor(pm, 12, 12);
    }
    return c;
}

QList<QRect> screenAreas()
{
    QList<QRect> out;
    for (const QScreen* s : QGuiApplication::screens())
        out << s->availableGeometry();
    return out;
}

// Panels report a failed write of their file once per run.
bool g_writeReported = false;

} // namespace

TDocPanel::TDocPanel(const QString& name, TDockSite* site) : QFrame(site), m_site(site)
{
    setObjectName(name);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setAutoFillBackground(true);
    m_form = new TDocForm(this, site->window());
    site->window()->installEventFilter(this);
    site->addPanel(this);
}

TDocPanel::~TDocPanel()
{
    try {
        StoreState();
    } catch (...) {
        // At program end there is no one left to tell.
    }
    if (m_form && !m_floating)
        delete m_form;
}

void TDocPanel::SetTitle(const QString& title)
{
    setWindowTitle(title);
    if (m_form) {
        m_form->setWindowTitle(title);
        m_form->update();
    }
}

void TDocPanel::SetDocked(bool docked)
{
    if (docked == Docked())
        return;
    if (docked)
        DockPanel();
    else
        FloatPanel();
}

void TDocPanel::SetAlign(int align)
{
    if (align == m_state.align || align < alNone || align > alRight)
        return;
    if (align == alNone)
        align = alTop;
    exchangeFor(align);
    m_state.align = align;
    relayoutOwner();
}

void TDocPanel::SetDockingSides(TDockSides sides)
{
    if (m_floating)
        throw ENotDocked(QStringLiteral("The Panel must be docked to change this property"));
    m_sides = sides & kAllDockSides;
    if (m_sides == 0)
        DockingMethod = dmDblClick;
}

void TDocPanel::SetArrangement(TArrangeMethods a)
{
    m_arrangement = a;
    relayoutOwner();
}

void TDocPanel::SetMaxWidth(int width)
{
    m_maxWidth = width;
    relayoutOwner();
}

QToolButton* TDocPanel::widgetForAction(QAction* action) const
{
    for (QToolButton* b : m_buttons)
        if (b->defaultAction() == action)
            return b;
    return nullptr;
}

// ---------------------------------------------------------------------------
// Buttons and their layout

void TDocPanel::actionEvent(QActionEvent* e)
{
    QAction* a = e->action();
    switch (e->type()) {
    case QEvent::ActionAdded: {
        auto* b = new QToolButton(this);
        b->setDefaultAction(a);
        b->setAutoRaise(true);
        b->setIconSize(m_iconSize);
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        b->setFocusPolicy(Qt::NoFocus);
        const int at = e->before() ? actions().indexOf(e->before()) : -1;
        if (at >= 0 && at < m_buttons.size())
            m_buttons.insert(at, b);
        else
            m_buttons.append(b);
        b->setVisible(a->isVisible());
        break;
    }
    case QEvent::ActionRemoved:
        if (QToolButton* b = widgetForAction(a)) {
            m_buttons.removeAll(b);
            b->deleteLater();
        }
        break;
    case QEvent::ActionChanged:
        if (QToolButton* b = widgetForAction(a); b && b->isHidden() == a->isVisible())
            b->setVisible(a->isVisible());
        break;
    default:
        break;
    }
    relayoutOwner();
    QFrame::actionEvent(e);
}

QSize TDocPanel::arrangeFor(int length)
{
    const bool vertical = isVerticalNow();
    QList<QRect> design;
    QList<bool> shown;
    int x = 0;
    for (QToolButton* b : std::as_const(m_buttons)) {
        const QSize s = b->sizeHint();
        design << QRect(x, 0, s.width(), s.height());
        x += s.width();
        shown << !b->isHidden();
    }
    const int edge = bevel() + 1;
    const int handle = handleSize();
    int room = -1;
    if (length > 0)
        room = std::max(1, length - handle - 2 * edge);
    const DockGeometry::ButtonLayout l = DockGeometry::arrangeButtons(design, shown, m_arrangement, room, vertical);
    const QPoint origin = vertical ? QPoint(edge, edge + handle) : QPoint(edge + handle, edge);
    for (int i = 0; i < m_buttons.size(); ++i)
        m_buttons.at(i)->setGeometry(l.rects.at(i).translated(origin));
    QSize content = l.size;
    if (content.isEmpty()) {
        // No button shows: the remembered size less the bevels.
        content = QSize(std::max(0, m_state.width - 2 * edge - (vertical ? 0 : handle)),
                        std::max(0, m_state.height - 2 * edge - (vertical ? handle : 0)));
    }
    m_size = vertical ? QSize(content.width() + 2 * edge, content.height() + 2 * edge + handle)
                      : QSize(content.width() + 2 * edge + handle, content.height() + 2 * edge);
    return m_size;
}

void TDocPanel::relayoutOwner()
{
    if (m_floating) {
        if (m_form)
            m_form->fit();
    } else if (m_site) {
        m_site->relayout();
    }
    update();
}

bool TDocPanel::event(QEvent* e)
{
    // A button's size changed (its text, its style).
    if (e->type() == QEvent::LayoutRequest)
        relayoutOwner();
    return QFrame::event(e);
}

QRect TDocPanel::handleRect() const
{
    const int edge = bevel() + 1;
    return isVerticalNow() ? QRect(edge, edge, width() - 2 * edge, handleSize())
                           : QRect(edge, edge, handleSize(), height() - 2 * edge);
}

void TDocPanel::paintEvent(QPaintEvent* e)
{
    QFrame::paintEvent(e);
    if (handleSize() == 0)
        return;
    QPainter p(this);
    QStyleOption opt;
    opt.initFrom(this);
    opt.rect = handleRect();
    if (!isVerticalNow())
        opt.state |= QStyle::State_Horizontal;
    style()->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &opt, &p, this);
}

// ---------------------------------------------------------------------------
// Visibility

void TDocPanel::setInternalVisible(bool visible)
{
    const bool was = m_internal;
    m_internal = true;
    QFrame::setVisible(visible);
    m_internal = was;
}

void TDocPanel::setVisible(bool visible)
{
    if (m_internal) {
        QFrame::setVisible(visible);
        return;
    }
    m_shown = visible;
    if (m_floating) {
        setInternalVisible(visible && !m_form->isRolledUp());
        m_form->setVisible(visible && m_site && m_site->window()->isVisible());
    } else {
        setInternalVisible(visible);
        if (m_site)
            m_site->relayout();
    }
}

bool TDocPanel::eventFilter(QObject* watched, QEvent* e)
{
    if (m_outline && e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
        m_pressed = false;
        endDrag(false, QPoint());
        return true;
    }
    if (m_site && watched == m_site->window() && m_floating && m_form) {
        // The floating window comes and goes with the frame, and stands above
        // it: shown once the frame's own window is up (a maximised frame
        // would cover it otherwise), raised again when the frame changes state.
        if (e->type() == QEvent::Show && m_shown)
            QTimer::singleShot(0, m_form, [this] { showFormAboveFrame(); });
        else if (e->type() == QEvent::WindowStateChange && m_form->isVisible())
            QTimer::singleShot(0, m_form, [this] { m_form->raise(); });
        else if (e->type() == QEvent::Hide)
            m_form->hide();
    }
    return QFrame::eventFilter(watched, e);
}

void TDocPanel::showFormAboveFrame()
{
    if (!m_floating || !m_shown || !m_site || !m_site->window()->isVisible())
        return;
    m_form->show();
    m_form->raise();
}

// ---------------------------------------------------------------------------
// Floating and docking

void TDocPanel::rememberDocked()
{
    if (m_floating)
        return;
    const QRect g = geometry();
    m_state.top = g.y();
    m_state.left = g.x();
    m_state.width = g.width();
    m_state.height = g.height();
}

void TDocPanel::exchangeFor(int newAlign)
{
    // Between a horizontal and a vertical side the length and the thickness
    // change places; the buttons follow through the layout.
    if (DockGeometry::isVertical(newAlign) != isVerticalNow())
        std::swap(m_state.width, m_state.height);
}

void TDocPanel::writeItems(const QList<IniFile::Item>& items)
{
    if (IniFile.isEmpty())
        return;
    try {
        ::IniFile(IniFile).writeStrings(objectName(), items);
    } catch (const AppError& error) {
        if (!g_writeReported) {
            g_writeReported = true;
            UiPrompter::instance().message(window(), error.message(), UiPrompter::Ok, UiPrompter::Warning);
        }
    }
}

void TDocPanel::writeFloatPosition()
{
    if (!m_form)
        return;
    m_state.fLeft = m_form->x();
    m_state.fTop = m_form->y();
    m_state.hasFloatPos = true;
    writeItems(DockStateFile::floatItems(m_state, MaxWidthRestore));
}

void TDocPanel::keepState()
{
    // Also written at once, so a run that ends without closing keeps it.
    rememberDocked();
    DockState st = m_state;
    st.docked = !m_floating;
    st.visible = m_shown;
    writeItems(DockStateFile::stateItems(st, AutoHide));
}

void TDocPanel::FloatPanel()
{
    floatAtPoint(QPoint(), true, true);
}

void TDocPanel::floatAt(const QPoint& globalTopLeft)
{
    floatAtPoint(globalTopLeft, false, true);
}

void TDocPanel::floatAtPoint(const QPoint& globalTopLeft, bool storedPosition, bool rememberGeometry)
{
    if (!m_form)
        return;
    const bool wasFloating = m_floating;
    QPoint target = globalTopLeft;
    if (!wasFloating) {
        if (rememberGeometry)
            rememberDocked();
        m_maxWidthBeforeFloat = m_maxWidth;
        if (storedPosition) {
            if (!IniFile.isEmpty())
                DockStateFile::loadFloat(::IniFile(IniFile), objectName(), m_state, MaxWidthRestore);
            // Never floated yet: where it is now.
            target = m_state.hasFloatPos ? QPoint(m_state.fLeft, m_state.fTop)
                                         : mapToGlobal(QPoint(0, 0)) - m_form->panelOrigin();
        }
        // Floating, the buttons wrap where they did while docked.
        if (m_maxWidth <= 0)
            m_maxWidth = (isVerticalNow() ? m_state.height : m_state.width) - handleSize();
        if (m_site)
            m_site->removePanel(this);
        m_floating = true;
        setFrameStyle(QFrame::NoFrame);
        const bool was = m_internal;
        m_internal = true;
        setParent(m_form);
        m_internal = was;
    } else if (storedPosition) {
        target = m_form->pos();
    }
    m_form->fit();
    m_form->move(DockGeometry::reachablePosition(QRect(target, m_form->size()), screenAreas(), m_form->titleHeight()));
    setInternalVisible(m_shown && !m_form->isRolledUp());
    m_form->setVisible(m_shown && m_site && m_site->window()->isVisible());
    writeFloatPosition();
    if (!wasFloating) {
        if (m_loaded)
            keepState();
        emit OnDockChanged();
    }
}

void TDocPanel::DockPanel()
{
    if (!m_floating)
        return;
    dockTo(TAlign(DockGeometry::isSide(m_state.align) ? m_state.align : alTop), INT_MIN);
}

void TDocPanel::dockTo(TAlign side, int along)
{
    if (!DockGeometry::isSide(side) || !m_site)
        return;
    const bool wasFloating = m_floating;
    if (wasFloating) {
        writeFloatPosition();
        m_form->hide();
        m_floating = false;
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        setLineWidth(1);
        const bool was = m_internal;
        m_internal = true;
        setParent(m_site);
        m_internal = was;
        if (MaxWidthRestore)
            m_maxWidth = m_maxWidthBeforeFloat;
    } else {
        m_site->removePanel(this);
    }
    // INT_MIN: back where it was (a double click); else by drag, on the
    // side's outermost line at the place it was dropped.
    if (along != INT_MIN) {
        exchangeFor(side);
        m_state.align = side;
        m_site->normalisePlaces(side);
        setDockPlace(m_site->outerLine(side), along);
    }
    setInternalVisible(m_shown);
    m_site->addPanel(this);
    if (m_loaded)
        keepState();
    if (wasFloating)
        emit OnDockChanged();
}

// ---------------------------------------------------------------------------
// Stored state

void TDocPanel::Loaded()
{
    const auto done = qScopeGuard([this] { m_loaded = true; });
    if (IniFile.isEmpty())
        return;
    const ::IniFile ini(IniFile);
    if (!ini.hasSection(objectName()))
        return;
    DockState st = m_state;
    st.docked = !m_floating;
    st.visible = m_shown;
    DockStateFile::load(ini, objectName(), st, AutoHide);
    // A panel aligned to no side, or to one it may not use, docks where it is.
    if (!DockGeometry::isSide(st.align))
        st.align = alTop;
    const TDockSide bits[] = {dsTop, dsTop, dsBottom, dsLeft, dsRight};
    if (!(m_sides & dockSide(bits[st.align])))
        st.align = m_state.align;
    exchangeFor(st.align);
    const bool docked = st.docked;
    st.hasFloatPos = m_state.hasFloatPos;
    m_state = st;
    m_state.docked = true;
    setDockPlace(0, 0);
    switch (m_state.align) {
    case alBottom: setDockPlace(-(st.top + st.height), st.left); break;
    case alLeft: setDockPlace(st.left, st.top); break;
    case alRight: setDockPlace(-(st.left + st.width), st.top); break;
    default: setDockPlace(st.top, st.left); break;
    }
    if (AutoHide)
        setVisible(st.visible);
    if (!docked)
        floatAtPoint(QPoint(), true, false);  // the geometry just read is the remembered one
    else
        relayoutOwner();
}

void TDocPanel::StoreState()
{
    if (IniFile.isEmpty())
        return;
    rememberDocked();
    DockState st = m_state;
    st.docked = !m_floating;
    st.visible = m_shown;
    ::IniFile(IniFile).writeStrings(objectName(), DockStateFile::stateItems(st, AutoHide));
}

// ---------------------------------------------------------------------------
// Mouse gestures

void TDocPanel::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QFrame::mousePressEvent(e);
        return;
    }
    m_pressed = true;
    m_pressGlobal = e->globalPosition().toPoint();
    m_grabOffset = m_pressGlobal - mapToGlobal(QPoint(0, 0));
    e->accept();
}

QRect TDocPanel::outlineFor(const QPoint& global, TAlign* side) const
{
    const QRect own(global - m_grabOffset, size());
    *side = alNone;
    if (!m_site)
        return own;
    const QRect client = m_site->clientRect();
    *side = DockGeometry::chooseSide(own, client, Threshhold, m_sides);
    const int thickness = isVerticalNow() ? width() : height();
    switch (*side) {
    case alTop: return QRect(client.left(), client.top(), client.width(), thickness);
    case alBottom: return QRect(client.left(), client.bottom() + 1 - thickness, client.width(), thickness);
    case alLeft: return QRect(client.left(), client.top(), thickness, client.height());
    case alRight: return QRect(client.right() + 1 - thickness, client.top(), thickness, client.height());
    default: return own;
    }
}

void TDocPanel::mouseMoveEvent(QMouseEvent* e)
{
    if (!m_pressed || !allows(dmDrag)) {
        QFrame::mouseMoveEvent(e);
        return;
    }
    const QPoint global = e->globalPosition().toPoint();
    if (!m_outline) {
        if ((global - m_pressGlobal).manhattanLength() < QApplication::startDragDistance())
            return;
        m_outline = new QRubberBand(QRubberBand::Rectangle);
        m_outline->setObjectName(QStringLiteral("DockOutline"));
        QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
        // Escape gives up the drag, wherever the keyboard is.
        qApp->installEventFilter(this);
    }
    TAlign side = alNone;
    m_outline->setGeometry(outlineFor(global, &side));
    m_outline->show();
    if (NotificationCursor)
        QGuiApplication::changeOverrideCursor(sideCursor(side));
}

void TDocPanel::endDrag(bool apply, const QPoint& global)
{
    if (!m_outline)
        return;
    delete m_outline;
    m_outline = nullptr;
    qApp->removeEventFilter(this);
    QGuiApplication::restoreOverrideCursor();
    if (!apply)
        return;
    TAlign side = alNone;
    outlineFor(global, &side);
    const QRect own(global - m_grabOffset, size());
    if (side != alNone) {
        const QRect client = m_site->clientRect();
        dockTo(side, DockGeometry::isVertical(side) ? own.top() - client.top() : own.left() - client.left());
    } else if (m_floating) {
        m_form->move(own.topLeft() - m_form->panelOrigin());
        writeFloatPosition();
    } else {
        floatAt(own.topLeft() - m_form->panelOrigin());
    }
}

void TDocPanel::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        endDrag(true, e->globalPosition().toPoint());
        e->accept();
        return;
    }
    QFrame::mouseReleaseEvent(e);
}

void TDocPanel::mouseDoubleClickEvent(QMouseEvent* e)
{
    m_pressed = false;
    endDrag(false, QPoint());
    if (e->button() == Qt::LeftButton && !m_floating && allows(dmDblClick)) {
        FloatPanel();
        e->accept();
        return;
    }
    QFrame::mouseDoubleClickEvent(e);
}
