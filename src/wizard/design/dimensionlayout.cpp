// The dimension layout step: moving dimension names between the Unselected,
// Background, Rows and Columns lists by drag and drop, and reordering a list
// with the up and down buttons.
#include "wizard/control/nxpivotwizardctrl.h"

#include "wizard/design/layoutdrag.h"

#include <QDrag>
#include <QListWidget>
#include <QMimeData>
#include <QToolButton>

namespace {

constexpr int kUp = 0;

}  // namespace

// Called once per list while the step's screen is built.
void NxPivotWizardCtrl::wireLayoutList(int Index)
{
    LayoutListEvents::Handlers handlers;
    handlers.mouseDown = [this, Index] { lstCubeDetails_MouseDown(Index); };
    handlers.mouseMove = [this, Index] { return lstCubeDetails_MouseMove(Index); };
    handlers.mouseUp = [this, Index] { lstCubeDetails_MouseUp(Index); };
    handlers.gotFocus = [this, Index] { lstCubeDetails_GotFocus(Index); };
    handlers.accepts = [this](const QMimeData* data) { return layoutDragSource(data, this) >= 0; };
    handlers.drop = [this, Index](const QMimeData* data) {
        lstCubeDetails_DragDrop(Index, lstCubeDetails[layoutDragSource(data, this)]);
    };
    handlers.moveKey = [this, Index](int key) { lstCubeDetails_KeyMove(Index, key); };
    new LayoutListEvents(lstCubeDetails[Index], std::move(handlers));
}

int NxPivotWizardCtrl::listIndex(const QListWidget* list)
{
    const QListWidgetItem* item = list->currentItem();
    return item && item->isSelected() ? list->currentRow() : -1;
}

void NxPivotWizardCtrl::lstCubeDetails_MouseDown(int)
{
    trap([&] {
        mouseIsDown = true;
        // A drag that never saw its release (the pointer left the window)
        // is over by now; forget it.
        isDragging = false;
    });
}

bool NxPivotWizardCtrl::lstCubeDetails_MouseMove(int Index)
{
    bool began = false;
    trap([&] {
        if (!mouseIsDown || isDragging || Index < 0 || Index >= kLayoutListCount || listIndex(lstCubeDetails[Index]) == -1)
            return;
        isDragging = true;
        dragSourceList = static_cast<qint16>(Index);
        began = true;
        auto* drag = new QDrag(lstCubeDetails[Index]);  // Qt deletes it when the drag is over
        drag->setMimeData(layoutDragData(this, Index));
        drag->exec(Qt::MoveAction);
        // The drag ends with the release of the button, which the drag
        // consumed: the list never sees it.
        isDragging = false;
        mouseIsDown = false;
    });
    return began;
}

void NxPivotWizardCtrl::lstCubeDetails_MouseUp(int)
{
    trap([&] {
        mouseIsDown = false;
        isDragging = false;
    });
}

void NxPivotWizardCtrl::lstCubeDetails_GotFocus(int Index)
{
    trap([&] { focusedLayoutList = static_cast<qint16>(Index); });
}

void NxPivotWizardCtrl::lstCubeDetails_DragDrop(int Index, QListWidget* Source)
{
    trap([&] {
        const int sourceIndex = Source->property("index").toInt();
        if (sourceIndex == Index)
            return;  // order inside a list changes with the arrow buttons only
        const int p = listIndex(Source);
        if (p < 0)
            return;
        if (sourceIndex == kRowsList && Source->item(p)->text() == measuresDimensionName) {
            showCatalogueMessage(50001, QString(), QStringLiteral("Measure Movement"), MessageIcon::Exclamation);
            return;
        }
        QListWidget* target = lstCubeDetails[Index];
        const std::unique_ptr<QListWidgetItem> moved(Source->takeItem(p));
        target->addItem(moved->text());
        target->setFocus();
        target->setCurrentRow(target->count() - 1);
        // The entry before the gap, or the one that moved up into it.
        if (Source->count() > 0)
            Source->setCurrentRow(p > 0 ? p - 1 : p);
    });
}

// Ctrl+Left and Ctrl+Right move the selected dimension to the area before
// or after its own, in the order Unselected, Background, Rows, Columns, as a
// drop there would; Ctrl+Up and Ctrl+Down move it within its area, as the
// arrow buttons do.
void NxPivotWizardCtrl::lstCubeDetails_KeyMove(int Index, int key)
{
    trap([&] {
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            focusedLayoutList = static_cast<qint16>(Index);
            butMovement_Click(key == Qt::Key_Up ? kUp : kUp + 1);
            return;
        }
        const int target = Index + (key == Qt::Key_Right ? 1 : -1);
        if (target >= 0 && target < kLayoutListCount)
            lstCubeDetails_DragDrop(target, lstCubeDetails[Index]);
    });
}

void NxPivotWizardCtrl::butMovement_Click(int Index)
{
    trap([&] {
        QListWidget* list = lstCubeDetails[focusedLayoutList];
        const int i = listIndex(list);
        const int n = list->count();
        // With nothing selected there is nothing to move.
        if (n >= 2 && i >= 0) {
            const int other = Index == kUp ? i - 1 : i + 1;
            if (other >= 0 && other < n) {
                const QString text = list->item(i)->text();
                list->item(i)->setText(list->item(other)->text());
                list->item(other)->setText(text);
                list->setCurrentRow(other);
            }
        }
        list->setFocus();
    });
}
