// The dimension lists of the member steps, copied from the layout, and the
// clearing of everything that was filled from the loaded cube.
#include "wizard/control/nxpivotwizardctrl.h"

#include "olap/store/storemodel.h"
#include "platform/core/failure.h"
#include "widgets/nxdimeditctrl.h"

#include <QListWidget>

void NxPivotWizardCtrl::LoadMeasureDetails()
{
    trap([&] {
        QListWidget* list = lstCubeOptions[0];
        // Filled once per loaded cube, so the measures the user chose stay chosen.
        if (list->count() != 0)
            return;
        if (measuresInLayout) {
            const olap::Cube& cube = platform::requireObject(loadedCube.get(), "loaded cube");
            const olap::Dimension& measureList =
                platform::requireObject(cube.measureListDimension().get(), "measure-list dimension");
            list->addItem(QString::fromStdString(measureList.name()));
        } else {
            list->addItem(measuresDimensionName);
        }
        list->setCurrentRow(0);  // opens the measures in the measures step's editor
    });
}

// dimType 1 fills the row members step's list from the Rows area, 2 the
// column members step's list from the Columns area. The entry named
// `currentDimensionName` is selected again, else the first; selecting an
// entry opens that dimension in the step's editor.
void NxPivotWizardCtrl::LoadDimensionDetails(quint8 dimType)
{
    trap([&] {
        QListWidget* target = lstCubeOptions.at(dimType);
        if (dimType == 1 || dimType == 2)
            target->clear();
        const QListWidget* source = lstCubeDetails[dimType == 1 ? kRowsList : kColumnsList];
        int remembered = 0;
        for (int i = 0; i < source->count(); ++i) {
            const QString name = source->item(i)->text();
            target->addItem(name);
            if (name == currentDimensionName)
                remembered = target->count() - 1;
        }
        if (target->count() > 0)
            target->setCurrentRow(remembered);
    });
}

void NxPivotWizardCtrl::ClearInputBoxes()
{
    trap([&] {
        for (QListWidget* list : lstCubeOptions)
            list->clear();
        for (QListWidget* list : lstCubeDetails)
            list->clear();
        // Element 0 of each editor array belongs to the form; later elements
        // were created for dimensions of the cube now going away.
        for (std::vector<NxDimEditCtrl*>* editors : {&NxDimEditRows, &NxDimEditCols}) {
            while (editors->size() > 1) {
                delete editors->back();
                editors->pop_back();
            }
            editors->at(0)->setDimension(nullptr);  // detaches a dimension of either model
        }
        NxDimEditMembers->setDimension(nullptr);
        currentDimensionName.clear();
    });
}
