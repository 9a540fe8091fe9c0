#pragma once
// A docking tool bar panel: a row of buttons that sits docked along one side
// of its dock site (the main frame's client area) or floats in a small window
// of its own (TDocForm), moved between the two with the mouse, and that keeps
// its state in an INI file across runs (see DockState.h).
//
// Gestures: a double click on a docked panel floats it; a double click on the
// floating window's title docks it back where it was; the left button held
// on the panel (its handle or between buttons) drags an outline, which docks
// the panel to the side chosen for it (DockGeometry::chooseSide) or floats it
// where it is released.
#include "app/AppError.h"
#include "docking/DockGeometry.h"
#include "docking/DockState.h"

#include <QFont>
#include <QFrame>
#include <QList>
#include <QPointer>

#include "docking/TDocForm.h"
#include "docking/TDockSite.h"

class QRubberBand;
class QToolButton;
class TDocForm;
class TDockSite;

// Raised when a property that needs the docked state is set while floating.
class ENotDocked : public AppError {
public:
    using AppError::AppError;
};

enum TFloatBorder { fbSingle, fbSizeable };
enum TCaptionType { ctCustom, ctWindows, ctNot3x, ctSmall, ctNone };
enum TDockFrame { dfInner, dfOuter };

class TDocPanel : public QFrame {
    Q_OBJECT
public:
    // name: the component name, also the panel's section of its INI file.
    explicit TDocPanel(const QString& name, TDockSite* site);
    ~TDocPanel() override;

    // Published properties, with the component's defaults.
    TDockMethods DockingMethod = dmDblClick;
    bool AutoHide = true;
    bool DropDown = false;
    bool AutoWrap = false;
    TFloatBorder FloatBorder = fbSingle;
    TCaptionType CaptionType = ctCustom;
    TDockFrame DockFrame = dfInner;
    QFont TitleFont;
    bool MaxWidthRestore = true;
    int Threshhold = 5;
    bool StayOnTop = true;
    bool NotificationCursor = true;
    QString IniFile;
    QString RegistryKey;  // not used: the INI file keeps the state

    bool Docked() const { return !m_floating; }
    void SetDocked(bool docked);
    int Align() const { return m_state.align; }
    void SetAlign(int align);
    TDockSides DockingSides() const { return m_sides; }
    // Throws ENotDocked while floating; an empty set also sets dmDblClick.
    void SetDockingSides(TDockSides sides);
    TArrangeMethods Arrangement() const { return m_arrangement; }
    void SetArrangement(TArrangeMethods a);
    int MaxWidth() const { return m_maxWidth; }
    void SetMaxWidth(int width);
    QString Title() const { return windowTitle(); }
    void SetTitle(const QString& title);
    void setIconSize(const QSize& size) { m_iconSize = size; }

    // Reads the stored state (after the properties are set at start-up).
    void Loaded();
    // Writes the stored state; done when the panel is destroyed.
    void StoreState();

    // Floats at the remembered floating position / docks back where it was.
    void FloatPanel();
    void DockPanel();
    // Floats with the floating window's top left at a screen point.
    void floatAt(const QPoint& globalTopLeft);
    // Docks to a side by drag: the line outermost on that side, at a place
    // along it (site coordinates).
    void dockTo(TAlign side, int along);

    // The button showing an action of the panel.
    QToolButton* widgetForAction(QAction* action) const;
    TDocForm* floatingForm() const { return m_form; }
    TDockSite* dockSite() const { return m_site; }
    bool isShown() const { return m_shown; }
    // Where the panel sits along its side: panels of one side are ordered by
    // line, then by place along it.
    int dockLine() const { return m_line; }
    int dockPlace() const { return m_place; }
    void setDockPlace(int line, int place) { m_line = line; m_place = place; }
    // The remembered docked geometry (kept while floating).
    const DockState& state() const { return m_state; }

    // Lays the buttons out for a panel length (its width when horizontal, its
    // height when vertical; <= 0: no limit) and returns the panel's size.
    QSize arrangeFor(int length);
    bool isVerticalNow() const { return DockGeometry::isVertical(m_state.align); }

    void setVisible(bool visible) override;
    QSize sizeHint() const override { return m_size; }
    QSize minimumSizeHint() const override { return m_size; }

signals:
    void OnDockChanged();

protected:
    bool event(QEvent* e) override;
    void actionEvent(QActionEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void showFormAboveFrame();
    friend class TDocForm;
    bool allows(TDockMethods method) const { return DockingMethod == method || DockingMethod == dmBoth; }
    void setInternalVisible(bool visible);
    void relayoutOwner();
    void rememberDocked();
    void exchangeFor(int newAlign);
    void enterForm();
    void writeFloatPosition();
    void writeItems(const QList<IniFile::Item>& items);
    void keepState();
    void floatAtPoint(const QPoint& globalTopLeft, bool storedPosition, bool rememberGeometry);
    QRect outlineFor(const QPoint& global, TAlign* side) const;
    void endDrag(bool apply, const QPoint& global);
    int handleSize() const { return m_floating ? 0 : 8; }
    int bevel() const { return m_floating ? 1 : 2; }
    QRect handleRect() const;

    QPointer<TDockSite> m_site;
    QPointer<TDocForm> m_form;
    QList<QToolButton*> m_buttons;
    DockState m_state;
    TDockSides m_sides = dockSide(dsTop) | dockSide(dsBottom);
    TArrangeMethods m_arrangement = amAuto;
    int m_maxWidth = -1;
    int m_maxWidthBeforeFloat = -1;
    int m_line = 0, m_place = 0;
    QSize m_iconSize{20, 20};
    QSize m_size{40, 30};
    bool m_floating = false;
    bool m_shown = true;
    bool m_internal = false;
    bool m_loaded = false;
    // Dragging.
    bool m_pressed = false;
    QPoint m_pressGlobal, m_grabOffset;
    QRubberBand* m_outline = nullptr;
};
