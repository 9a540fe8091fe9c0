#include "app/KeyMap.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QSet>
#include <QStringList>
#include <QWidget>

namespace KeyMap {
namespace {

QSet<int>& claimed()
{
    static QSet<int> keys;
    return keys;
}

class DigitKeyFilter : public QObject {
public:
    explicit DigitKeyFilter(QWidget* frame) : QObject(frame), m_frame(frame) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        // Only a key press that no shortcut took reaches here: where the
        // layout gives the digit itself, the shortcut has run already.
        if (e->type() != QEvent::KeyPress)
            return false;
        auto* ke = static_cast<QKeyEvent*>(e);
        // AltGr asks for a key's third symbol, not for the digit.
        if (ke->modifiers() & Qt::GroupSwitchModifier)
            return false;
        const Qt::KeyboardModifiers mods = ke->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (mods != (Qt::ShiftModifier | Qt::ControlModifier) && mods != (Qt::ControlModifier | Qt::AltModifier))
            return false;
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w || w->window() != m_frame)
            return false;
        const int digit = digitOfPhysicalKey(ke->nativeScanCode(), QGuiApplication::platformName());
        if (digit < 0)
            return false;
        const QKeySequence wanted(QKeyCombination(mods, Qt::Key(Qt::Key_0 + digit)));
        for (QAction* a : m_frame->findChildren<QAction*>(Qt::FindDirectChildrenOnly)) {
            if (a->shortcut() == wanted) {
                if (a->isEnabled())
                    a->trigger();
                return true;
            }
        }
        return false;
    }

private:
    QWidget* m_frame;
};

} // namespace

void claim(const QKeySequence& keys)
{
    if (keys.count() == 1)
        claimed().insert(keys[0].toCombined());
}

bool claims(QKeyCombination key)
{
    return claimed().contains(key.toCombined());
}

int digitOfPhysicalKey(quint32 nativeScanCode, const QString& platformName)
{
    // X11 key codes of the top row: "1" is 10 ... "9" is 18, "0" is 19.
    // Wayland gives the same codes. The offscreen platform has no keyboard
    // of its own and passes on the codes a synthetic event carries.
    static const QStringList kX11Codes{QStringLiteral("xcb"), QStringLiteral("wayland"), QStringLiteral("offscreen")};
    if (!kX11Codes.contains(platformName) || nativeScanCode < 10 || nativeScanCode > 19)
        return -1;
    return nativeScanCode == 19 ? 0 : int(nativeScanCode) - 9;
}

void installDigitKeys(QWidget* frame)
{
    new DigitKeyFilter(frame);
}

} // namespace KeyMap
