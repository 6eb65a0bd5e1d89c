#include "nxdimeditctrl.h"

#include <QTreeView>
#include <QVBoxLayout>

NxDimEditCtrl::NxDimEditCtrl(QWidget* parent) : QWidget(parent)
{
    mTree = new QTreeView(this);
    mTree->setHeaderHidden(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mTree);
}
