#include "app/PlacementAdapter.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QPalette>
#include <QScreen>
#include <QWidget>

namespace {

enum ShowCommand {
    SwShowNormal = 1,
    SwShowMinimized = 2,
    SwShowMaximized = 3,
    SwMinimize = 6,
    SwShowMinNoActive = 7,
};
const int RestoreToMaximized = 2;
const Qt::WindowStates SizeStates = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

double screenDpi()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    const double dpi = s ? s->logicalDotsPerInchY() : 0.0;
    return dpi > 0 ? dpi : 96.0;
}

Qt::WindowStates statesFor(const WindowPlacement& p)
{
    switch (p.showCmd) {
    case SwShowMinimized:
    case SwMinimize:
    case SwShowMinNoActive:
        return (p.flags & RestoreToMaximized) ? Qt::WindowMinimized | Qt::WindowMaximized
                                              : Qt::WindowStates(Qt::WindowMinimized);
    case SwShowMaximized:
        return Qt::WindowMaximized;
    default:
        // Every other command, hiding included, shows the window normally.
        return Qt::WindowNoState;
    }
}

} // namespace

bool placementOf(const QWidget* w, WindowPlacement* out)
{
    if (!w || !out)
        return false;
    QRect normal;
    if (w->isWindow())
        normal = w->normalGeometry();
    if (!normal.isValid())
        normal = w->geometry();
    if (normal.width() <= 0 || normal.height() <= 0)
        return false;
    const Qt::WindowStates s = w->windowState();
    WindowPlacement p;
    if (s & Qt::WindowMinimized) {
        p.showCmd = SwShowMinimized;
        if (s & (Qt::WindowMaximized | Qt::WindowFullScreen))
            p.flags = RestoreToMaximized;
    } else if (s & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        p.showCmd = SwShowMaximized;
    } else {
        p.showCmd = SwShowNormal;
    }
    p.left = normal.x();
    p.top = normal.y();
    p.right = normal.x() + normal.width();
    p.bottom = normal.y() + normal.height();
    *out = p;
    return true;
}

QRect fitToScreens(const QRect& r, const QList<QRect>& screens)
{
    if (screens.isEmpty() || r.isEmpty())
        return r;
    // The screen that shows most of the rectangle, else the first one.
    QRect area = screens.first();
    qint64 best = 0;
    for (const QRect& s : screens) {
        const QRect common = s.intersected(r);
        const qint64 size = qint64(common.width()) * common.height();
        if (size > best) {
            best = size;
            area = s;
        }
    }
    QRect fitted(r.topLeft(), r.size().boundedTo(area.size()));
    if (fitted.right() > area.right())
        fitted.moveRight(area.right());
    if (fitted.bottom() > area.bottom())
        fitted.moveBottom(area.bottom());
    if (fitted.left() < area.left())
        fitted.moveLeft(area.left());
    if (fitted.top() < area.top())
        fitted.moveTop(area.top());
    return fitted;
}

QRect fitToScreens(const QRect& r)
{
    QList<QRect> areas;
    for (const QScreen* s : QGuiApplication::screens())
        areas.append(s->availableGeometry());
    return fitToScreens(r, areas);
}

void fitOnScreen(QWidget* w)
{
    if (!w || !w->isWindow())
        return;
    const Qt::WindowType type = w->windowType();
    if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen || type == Qt::Desktop)
        return;
    const QWidget* owner = w->parentWidget() ? w->parentWidget()->window() : w;
    QScreen* screen = w->screen() ? w->screen() : owner->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // The frame adds to the window; before the window manager has framed
    // the window, room for a title bar is kept.
    QSize frame = w->frameGeometry().size() - w->geometry().size();
    if (frame.isEmpty() || frame.height() <= 0)
        frame = QSize(8, 32);
    const QSize room = area.size() - frame;
    QSize size = w->size();
    if (size.width() > room.width() || size.height() > room.height()) {
        if (QLayout* layout = w->layout(); layout && layout->sizeConstraint() == QLayout::SetFixedSize)
            layout->setSizeConstraint(QLayout::SetDefaultConstraint);
        w->setMinimumSize(w->minimumSize().boundedTo(room));
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        size = size.boundedTo(room);
        w->resize(size);
    }
    QRect r(w->pos(), size + frame);
    if (r.right() > area.right())
        r.moveRight(area.right());
    if (r.bottom() > area.bottom())
        r.moveBottom(area.bottom());
    if (r.left() < area.left())
        r.moveLeft(area.left());
    if (r.top() < area.top())
        r.moveTop(area.top());
    if (r.topLeft() != w->pos())
        w->move(r.topLeft());
}

namespace {
class ScreenFitter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::Show && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            if (w->isWindow() && !(w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
                fitOnScreen(w);
        }
        return false;
    }
};
}

void keepWindowsOnScreen()
{
    static QObject* fitter = nullptr;
    if (fitter || !qApp)
        return;
    fitter = new ScreenFitter(qApp);
    qApp->installEventFilter(fitter);
}

void centreOnScreen(QWidget* w)
{
    if (!w)
        return;
    const QWidget* owner = w->parentWidget() ? w->parentWidget()->window() : w;
    const QScreen* screen = owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = w->size();
    w->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

void setKeepOnTop(QWidget* w, bool on, bool* reflagging)
{
    const bool visible = w->isVisible();
    *reflagging = true;
    w->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible)
        w->show();
    *reflagging = false;
}

bool applyPlacement(QWidget* w, const WindowPlacement& p)
{
    if (!w || p.right <= p.left || p.bottom <= p.top)
        return false;
    const QRect normal(p.left, p.top, p.right - p.left, p.bottom - p.top);
    const Qt::WindowStates others = w->windowState() & ~SizeStates;
    // The normal geometry can only be set in the normal state.
    if (w->windowState() & SizeStates)
        w->setWindowState(others);
    if (w->isWindow())
        w->setGeometry(fitToScreens(normal));
    else
        w->setGeometry(normal);
    const Qt::WindowStates target = others | statesFor(p);
    if (target != others)
        w->setWindowState(target);
    return true;
}

void LoadPlacement(TBag& bag, const QString& name, QWidget* w)
{
    WindowPlacement p;
    if (bag.GetPlacement(name, p))
        applyPlacement(w, p);
}

void StorePlacement(TBag& bag, const QString& name, QWidget* w)
{
    WindowPlacement p;
    if (placementOf(w, &p))
        bag.PutPlacement(name, p);
}

QFont fontFromSpec(const FontSpec& spec)
{
    QFont f;
    if (!spec.name.isEmpty())
        f.setFamily(spec.name);
    if (spec.pointSize > 0)
        f.setPointSize(spec.pointSize);
    else if (spec.height != 0)
        f.setPixelSize(qAbs(spec.height));
    f.setBold(spec.style & FontSpec::Bold);
    f.setItalic(spec.style & FontSpec::Italic);
    f.setUnderline(spec.style & FontSpec::Underline);
    f.setStrikeOut(spec.style & FontSpec::StrikeOut);
    if (spec.pitch == FontSpec::FixedPitch) {
        f.setFixedPitch(true);
        f.setStyleHint(QFont::TypeWriter);
    } else if (spec.pitch == FontSpec::VariablePitch) {
        f.setFixedPitch(false);
    }
    return f;
}

FontSpec specFromFont(const QFont& font, const QColor& color)
{
    FontSpec s;
    s.name = font.family();
    s.style = (font.bold() ? FontSpec::Bold : 0) | (font.italic() ? FontSpec::Italic : 0)
        | (font.underline() ? FontSpec::Underline : 0) | (font.strikeOut() ? FontSpec::StrikeOut : 0);
    if (font.resolveMask() & QFont::FixedPitchResolved)
        s.pitch = font.fixedPitch() ? FontSpec::FixedPitch : FontSpec::VariablePitch;
    else
        s.pitch = FontSpec::DefaultPitch;
    const double dpi = screenDpi();
    if (font.pointSize() > 0) {
        s.pointSize = font.pointSize();
        s.height = -qRound(s.pointSize * dpi / 72.0);
    } else if (font.pixelSize() > 0) {
        s.height = -font.pixelSize();
        s.pointSize = qRound(font.pixelSize() * 72.0 / dpi);
    }
    s.color = colorRefFromColor(color);
    return s;
}

QColor colorFromColorRef(unsigned int ref)
{
    if (ref & 0xFF000000u) {
        const QPalette pal = QGuiApplication::palette();
        switch (ref & 0xFFu) {
        case 5:  return pal.color(QPalette::Base);             // window background
        case 13: return pal.color(QPalette::Highlight);
        case 14: return pal.color(QPalette::HighlightedText);
        case 15: return pal.color(QPalette::Button);           // button face
        case 18: return pal.color(QPalette::ButtonText);
        default: return pal.color(QPalette::Text);
        }
    }
    return QColor(int(ref & 0xFFu), int((ref >> 8) & 0xFFu), int((ref >> 16) & 0xFFu));
}

unsigned int colorRefFromColor(const QColor& color)
{
    if (!color.isValid())
        return 0;
    const QColor c = color.toRgb();
    return unsigned(c.red()) | (unsigned(c.green()) << 8) | (unsigned(c.blue()) << 16);
}

void bagShow(TBag& bag, QWidget* w)
{
    bag.LoadSection();
    LoadPlacement(bag, FormPlaceKey, w);
}

void bagClose(TBag& bag, QWidget* w)
{
    StorePlacement(bag, FormPlaceKey, w);
    bag.SaveSection();
}
