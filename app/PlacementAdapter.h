#pragma once
// The bag's stored window placement and font, applied to and taken from Qt
// widgets and fonts.
//
// A placement's normal rectangle is the window's geometry in the normal
// state, without the frame the window system adds: left and top are where
// the window's area starts, right and bottom lie one past its last column
// and row, so right - left and bottom - top are its width and height.
// Taking and giving back the same area keeps a window from creeping by its
// frame's size from run to run. Show commands:
// 1 normal, 2 minimized, 3 maximized; flag 2 on a minimized window means it
// comes back maximized.
#include "app/TBag.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QRect>
#include <QString>

class QWidget;

// The key under which a window keeps its placement in its bag.
inline const QString FormPlaceKey = QStringLiteral("FORM_PLACE");

// Moves and sizes w from the placement item name; an item that is missing or
// incomplete, or whose left is not smaller than its right, leaves w as it is.
void LoadPlacement(TBag& bag, const QString& name, QWidget* w);
// Stores w's current placement under name; nothing is stored when w has none.
void StorePlacement(TBag& bag, const QString& name, QWidget* w);

// The placement of w now; false when there is none to take (no widget, or an
// empty area).
bool placementOf(const QWidget* w, WindowPlacement* out);
// Sets w's normal geometry and window state; false (w unchanged) for an empty
// rectangle.
bool applyPlacement(QWidget* w, const WindowPlacement& p);

// r moved and, where it is larger, shrunk onto the screen area that shows
// most of it (the first when none does), so the user can reach the window.
QRect fitToScreens(const QRect& r, const QList<QRect>& screenAreas);
// The same over the available areas of the screens there are.
QRect fitToScreens(const QRect& r);

// From now on every window the program shows fits the available area of the
// screen it opens on: a larger one is made smaller (a fixed-size dialog
// gives up its fixed size) and moved fully onto the screen. Installs itself
// once on the application.
void keepWindowsOnScreen();
// The same for one window, now.
void fitOnScreen(QWidget* w);

// Moves w to the middle of the screen its main window is on (the primary
// screen when it has none). Dialogs the user expects in the screen's middle
// call it when shown.
void centreOnScreen(QWidget* w);

// Turns w's stay-on-top flag on or off. Changing the flag hides the window,
// so a shown window is shown again; *reflagging is true meanwhile, so the
// window's showEvent can tell this from a new showing.
void setKeepOnTop(QWidget* w, bool on, bool* reflagging);

QFont fontFromSpec(const FontSpec& spec);
FontSpec specFromFont(const QFont& font, const QColor& color);

// Colour values as stored: 0x00BBGGRR. Values with a high byte name system
// colours and come back as the matching palette colour.
QColor colorFromColorRef(unsigned int ref);
unsigned int colorRefFromColor(const QColor& color);

// The pattern of every window that keeps a bag: when shown, load the section
// and the placement; when closed, store the placement and save the section.
void bagShow(TBag& bag, QWidget* w);
void bagClose(TBag& bag, QWidget* w);
