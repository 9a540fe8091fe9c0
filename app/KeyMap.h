#pragma once
// The keys the main frame's key map claims. A control inside the frame that
// would take one of them for itself (the editor's own Cut, Paste, ...) lets
// it pass, so every claimed key runs the frame's command.
#include <QKeyCombination>
#include <QKeySequence>

class QObject;
class QWidget;

namespace KeyMap {
void claim(const QKeySequence& keys);
bool claims(QKeyCombination key);

// The digit a key of the top row stands for on any keyboard layout, from the
// key's position (its native scan code under X11 and Wayland): 1..9, 0; -1
// for any other key or where the platform's codes mean something else.
int digitOfPhysicalKey(quint32 nativeScanCode, const QString& platformName);

// Installs, on the application, the filter that runs the frame's
// Shift+Ctrl+digit and Ctrl+Alt+digit commands from the digit keys'
// positions when the layout puts other symbols there (French AZERTY: "&",
// "é", ...). frame: the main window; the filter lives as long as it does.
void installDigitKeys(QWidget* frame);
}
