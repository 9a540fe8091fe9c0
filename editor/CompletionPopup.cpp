#include "editor/CompletionPopup.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>

CompletionPopup::CompletionPopup(QWidget* editor) : QListWidget(editor)
{
    // A window of its own over the editor's (a child of the editor, so that
    // the window system places it beside the editor's window).
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setFont(editor->font());
    editor->installEventFilter(this);
}

void CompletionPopup::offer(const Completion::Context& context, const QStringList& items, const QPoint& at)
{
    m_context = context;
    setUpdatesEnabled(false);
    clear();
    addItems(items);
    setCurrentRow(0);
    setUpdatesEnabled(true);
    const int rows = std::min(10, int(items.size()));
    int width = 0;
    const QFontMetrics fm(font());
    for (const QString& item : items.mid(0, 200))
        width = std::max(width, fm.horizontalAdvance(item));
    resize(width + verticalScrollBar()->sizeHint().width() + 24, rows * sizeHintForRow(0) + 2 * frameWidth() + 2);
    QPoint pos = at;
    if (const QScreen* screen = QGuiApplication::screenAt(at)) {
        const QRect r = screen->availableGeometry();
        pos.setX(std::min(pos.x(), r.right() - width));
    }
    move(pos);
    if (!isVisible())
        show();
}

QString CompletionPopup::chosen() const
{
    const QListWidgetItem* item = currentItem();
    return item ? item->text() : QString();
}

CompletionPopup::KeyUse CompletionPopup::useKey(int key)
{
    const int n = count();
    const int page = std::max(1, height() / std::max(1, sizeHintForRow(0)) - 1);
    switch (key) {
    case Qt::Key_Up: setCurrentRow((currentRow() - 1 + n) % n); return KeyUse::Moved;
    case Qt::Key_Down: setCurrentRow((currentRow() + 1) % n); return KeyUse::Moved;
    case Qt::Key_PageUp: setCurrentRow(std::max(0, currentRow() - page)); return KeyUse::Moved;
    case Qt::Key_PageDown: setCurrentRow(std::min(n - 1, currentRow() + page)); return KeyUse::Moved;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab: return KeyUse::Accept;
    case Qt::Key_Escape: return KeyUse::Close;
    default: return KeyUse::None;
    }
}

bool CompletionPopup::eventFilter(QObject*, QEvent* e)
{
    // The editor losing the focus, clicked, hidden or moved away.
    switch (e->type()) {
    case QEvent::FocusOut:
    case QEvent::MouseButtonPress:
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowDeactivate:
    case QEvent::Wheel:
        hide();
        break;
    default: break;
    }
    return false;
}
