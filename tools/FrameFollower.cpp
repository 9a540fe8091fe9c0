#include "tools/FrameFollower.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace {
class Follower : public QObject {
public:
    Follower(QWidget* window, QWidget* frame) : QObject(window), m_window(window) { frame->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        // A hide that the program makes, not a minimize: the frame was closed.
        if (e->type() == QEvent::Hide && !e->spontaneous() && m_window && m_window->isVisible())
            m_window->close();
        return QObject::eventFilter(watched, e);
    }

private:
    QPointer<QWidget> m_window;
};
} // namespace

namespace FrameFollower {
void closeWithFrame(QWidget* window)
{
    if (QWidget* frame = window->parentWidget())
        new Follower(window, frame);
}
} // namespace FrameFollower
