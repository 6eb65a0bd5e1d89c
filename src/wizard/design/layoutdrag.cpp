#include "wizard/design/layoutdrag.h"
#include "wizard/design/layoutlists.h"

#include <QApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>

namespace {

// Private to this program: nothing outside the wizard understands it.
const QString kMimeType = QStringLiteral("application/x-pivotwizard-layout-list");

// "<owner address> <list index>": the address tells this control's drags
// from those of another wizard in the same process.
QByteArray payload(const QObject* owner, int sourceList)
{
    return QByteArray::number(reinterpret_cast<quintptr>(owner)) + ' ' + QByteArray::number(sourceList);
}

}  // namespace

QMimeData* layoutDragData(const QObject* owner, int sourceList)
{
    auto* data = new QMimeData;
    data->setData(kMimeType, payload(owner, sourceList));
    return data;
}

int layoutDragSource(const QMimeData* data, const QObject* owner)
{
    if (!data || !data->hasFormat(kMimeType))
        return -1;
    const QList<QByteArray> parts = data->data(kMimeType).split(' ');
    if (parts.size() != 2 || parts[0] != QByteArray::number(reinterpret_cast<quintptr>(owner)))
        return -1;
    bool ok = false;
    const int index = parts[1].toInt(&ok);
    return ok && index >= 0 && index < kLayoutListCount ? index : -1;
}

LayoutListEvents::LayoutListEvents(QListWidget* list, Handlers handlers)
    : QObject(list), mList(list), mHandlers(std::move(handlers))
{
    list->viewport()->setAcceptDrops(true);
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
}

bool LayoutListEvents::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mList) {
        if (event->type() == QEvent::FocusIn)
            mHandlers.gotFocus();
        return event->type() == QEvent::KeyPress && keyEvent(static_cast<QKeyEvent*>(event));
    }
    if (watched != mList->viewport())
        return false;
    return mouseEvent(event) || dragEvent(event);
}

bool LayoutListEvents::keyEvent(const QKeyEvent* event)
{
    const int key = event->key();
    const bool arrow = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
    if (!arrow || (event->modifiers() & ~Qt::KeypadModifier) != Qt::ControlModifier)
        return false;
    mHandlers.moveKey(key);
    return true;
}

// The press and release also go on to the list, which selects the entry
// under the pointer on the press.
bool LayoutListEvents::mouseEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        mPressPosition = static_cast<QMouseEvent*>(event)->position().toPoint();
        mHandlers.mouseDown();
        return false;
    case QEvent::MouseMove: {
        const auto* move = static_cast<QMouseEvent*>(event);
        if (move->buttons() == Qt::NoButton)
            return false;
        if ((move->position().toPoint() - mPressPosition).manhattanLength() < QApplication::startDragDistance())
            return false;
        return mHandlers.mouseMove();
    }
    case QEvent::MouseButtonRelease:
        mHandlers.mouseUp();
        return false;
    default:
        return false;
    }
}

bool LayoutListEvents::dragEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (mHandlers.accepts(drag->mimeData())) {
            drag->setDropAction(Qt::MoveAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::DragLeave:
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!mHandlers.accepts(drop->mimeData())) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::MoveAction);
        drop->accept();
        mHandlers.drop(drop->mimeData());
        return true;
    }
    default:
        return false;
    }
}
