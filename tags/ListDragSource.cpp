#include "tags/ListDragSource.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>

const char* const ListDragSource::kMimeType = "application/x-velquist-tag-pair";

ListDragSource::ListDragSource(QAbstractItemView* view, PressHandler onPress)
    : QObject(view), m_view(view), m_onPress(std::move(onPress))
{
    m_executor = [](QAbstractItemView* v, QMimeData* data) {
        auto* drag = new QDrag(v);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction, Qt::CopyAction);
    };
    view->viewport()->installEventFilter(this);
}

bool ListDragSource::isOurDrag(const QMimeData* data)
{
    return data && data->hasFormat(QString::fromLatin1(kMimeType));
}

QMimeData* ListDragSource::makeMimeData(const QString& itemText)
{
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kMimeType), itemText.toUtf8());
    return data;
}

bool ListDragSource::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_view || watched != m_view->viewport())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(event);
        m_pressed = QPersistentModelIndex();
        if (me->button() != Qt::LeftButton)
            break;
        const QModelIndex index = m_view->indexAt(me->position().toPoint());
        if (!index.isValid())
            break;
        m_pressed = index;
        m_pressPos = me->position().toPoint();
        if (m_onPress)
            m_onPress(index);
        break;
    }
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (!m_pressed.isValid() || !(me->buttons() & Qt::LeftButton))
            break;
        if ((me->position().toPoint() - m_pressPos).manhattanLength()
            < QApplication::startDragDistance())
            break;
        // The whole item line travels as the payload; the drop itself
        // inserts the last-tag pair stored on the press.
        const QModelIndex index = m_pressed;
        m_pressed = QPersistentModelIndex();
        QString text;
        const QAbstractItemModel* model = index.model();
        for (int c = 0; c < model->columnCount(index.parent()); ++c) {
            if (c)
                text += QLatin1Char('\t');
            text += model->index(index.row(), c, index.parent()).data().toString();
        }
        if (m_executor)
            m_executor(m_view, makeMimeData(text));
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_pressed = QPersistentModelIndex();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
