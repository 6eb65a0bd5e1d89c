// Dragging dimension names between the four lists of the dimension layout
// step with Qt's drag and drop.
//
// A drag carries the identity of the control and the index of the list it
// started from, so a list takes drops only from the lists of its own control
// and ignores anything else dragged over it (text, files, another wizard).
// The relay below delivers a list's mouse, drag and focus events to the
// control's handlers; a real drop and a drop event sent by a test reach the
// same handler through it.
#pragma once

#include <QObject>
#include <QPoint>

#include <functional>

class QEvent;
class QKeyEvent;
class QListWidget;
class QMimeData;

// New drag data for a drag from list `sourceList` of `owner`. The caller owns it
// (a QDrag takes it over).
QMimeData* layoutDragData(const QObject* owner, int sourceList);
// The list index a drag of `owner` started from; -1 when `data` is null or
// is not a drag of `owner`'s layout lists.
int layoutDragSource(const QMimeData* data, const QObject* owner);

// Watches one layout list and its viewport (mouse and drops arrive on the
// viewport, the focus and keys on the list) and calls the handlers. Parented to the
// list, so it lives as long as the list.
class LayoutListEvents : public QObject {
public:
    struct Handlers {
        std::function<void()> mouseDown;
        // Called for moves with a button held, once the pointer has travelled
        // the platform's drag distance since the press. Returns true when it
        // began a drag, which then consumes the move.
        std::function<bool()> mouseMove;
        std::function<void()> mouseUp;
        std::function<void()> gotFocus;
        // Whether drag data may be dropped here, and the drop itself.
        std::function<bool(const QMimeData*)> accepts;
        std::function<void(const QMimeData*)> drop;
        // Ctrl with an arrow key on the list (Qt::Key_Left .. Qt::Key_Down);
        // the key is taken whatever it returns.
        std::function<void(int key)> moveKey;
    };

    LayoutListEvents(QListWidget* list, Handlers handlers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool keyEvent(const QKeyEvent* event);
    bool mouseEvent(QEvent* event);
    bool dragEvent(QEvent* event);

    QListWidget* mList;
    Handlers mHandlers;
    QPoint mPressPosition;
};
