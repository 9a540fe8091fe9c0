#pragma once
// Lets a list window feed the drag-and-drop insertion into documents: when
// the left mouse button goes down on an item, a callback stores the item's
// pair as the last-tag pair; when the mouse then moves the drag distance, a
// drag of our own kind starts. A document accepts only such drags and, on a
// drop, inserts the last-tag pair at its caret.
#include <QModelIndex>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <functional>

class QAbstractItemView;
class QMimeData;

class ListDragSource : public QObject {
    Q_OBJECT
public:
    // Called with the item the button went down on, before any drag begins.
    using PressHandler = std::function<void(const QModelIndex&)>;
    // Runs a drag; the default executes a QDrag from the view with a copy action.
    using DragExecutor = std::function<void(QAbstractItemView*, QMimeData*)>;

    static const char* const kMimeType;  // "application/x-velquist-tag-pair"

    // Installs itself on the view (owned by it).
    ListDragSource(QAbstractItemView* view, PressHandler onPress);

    // True when the data comes from one of the program's list drags.
    static bool isOurDrag(const QMimeData* data);
    // The data a list drag carries: our type, with the item text as payload.
    static QMimeData* makeMimeData(const QString& itemText);

    void setDragExecutor(DragExecutor executor) { m_executor = std::move(executor); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QAbstractItemView> m_view;
    PressHandler m_onPress;
    DragExecutor m_executor;
    QPersistentModelIndex m_pressed;
    QPoint m_pressPos;
};
