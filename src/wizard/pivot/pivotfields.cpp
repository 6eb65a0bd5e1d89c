// The fields of the pivot table: dimensions placed as page, column and row
// fields, measures as data fields, and the options of the layout step
// (subtotals, number format), then the marker sheet.
#include "wizard/control/nxpivotwizardctrl.h"

#include "widgets/nxcubeselectorctrl.h"

#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "wizard/pivot/pivotbuild.h"
#include "platform/core/failure.h"
#include "widgets/nxdimeditctrl.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>

#include <array>

namespace {

// The very hidden sheet that marks a workbook as holding our reports.
const char* const kMarkerSheet = "Brenn Pivot";

template <class T>
T& need(const std::shared_ptr<T>& object, const char* what)
{
    return platform::requireObject(object.get(), what);
}

}  // namespace

void NxPivotWizardCtrl::placeDimensions(PivotBuild& build, LayoutList area, qint32 orientation)
{
    build.orientationKind = orientation == sheet::kColumnField ? 2 : 1;
    QListWidget* list = lstCubeDetails[size_t(area)];
    const int count = list->count();
    int counter = 1;
    for (int i = 1; i <= count; ++i) {
        const QString name = list->item(i - 1)->text();
        FieldMembers field;
        const bool placed = placeDimension(build, name, orientation, i, counter, field);
        qint16 pos = 0;
        if (placed && orientation != sheet::kPageField && dimControlExists(name, build.orientationKind, pos)) {
            field.triedCaptions = false;
            applyMemberStates(build, field, pos);
        }
        advanceProgress();
    }
}

// A store cube's dimension always takes its place in the list; a local-file
// or server cube's dimension with several hierarchies is left for the user
// to drag in, and the next one takes its position.
bool NxPivotWizardCtrl::placeDimension(PivotBuild& build, const QString& name, qint32 orientation,
                                       int listPosition, int& counter, FieldMembers& field)
{
    int position = listPosition;
    std::string dimensionName;
    if (cubeSourceKind == NxCubeSelectorCtrl::StoreCube) {
        field.dimension = need(loadedCube, "loaded cube").dimensionByName(name.toStdString());
        dimensionName = need(field.dimension, "dimension").name();
    } else {
        field.kDimension = getKDimension(name);
        if (need(field.kDimension, "dimension").hierarchies().count() != 1)
            return false;
        dimensionName = field.kDimension->name();
        position = counter++;
    }
    const std::shared_ptr<sheet::CubeField> cubeField = build.pt->CubeFields()->Item("[" + dimensionName + "]");
    silentlyOnFailure("Orientation", [&] {
        cubeField->Orientation(orientation);
        cubeField->Position(position);
    });
    return true;
}

// The table autoformat 13 always; "Alter Pivot Report Format" adds the
// shaded look over it (a heading band, shaded totals).
void NxPivotWizardCtrl::formatTable(PivotBuild& build)
{
    silentlyOnFailure("Format", [&] {
        const std::shared_ptr<sheet::PivotTable> table = build.aWs->PivotTables(build.tableName);
        table->Format(sheet::kTableFormat13);
        if (chkDisplay[0]->isChecked())
            table->Format(sheet::kTableFormatShaded);
    });
}

void NxPivotWizardCtrl::fillTable(PivotBuild& build)
{
    build.pt->RowGrand(chkRowGrand->isChecked());
    build.pt->ColumnGrand(chkColumnsGrand->isChecked());
    formatTable(build);
    advanceProgress();
    // Pages first, then columns, then rows: each area in list order.
    placeDimensions(build, kBackgroundList, sheet::kPageField);
    placeDimensions(build, kColumnsList, sheet::kColumnField);
    placeDimensions(build, kRowsList, sheet::kRowField);
    removeSubtotals(build);
    addDataFields(build);
    setNumberFormat(build);
}

void NxPivotWizardCtrl::removeSubtotals(PivotBuild& build)
{
    const bool rowSubtotals = chkRowSubs->isChecked();
    const bool columnSubtotals = chkColumnSubs->isChecked();
    if (rowSubtotals && columnSubtotals)
        return;
    const std::array<bool, sheet::kSubtotalCount> none{};
    for (const auto& field : *build.pt->PivotFields()) {
        const int32_t orientation = field->Orientation();
        if ((orientation == sheet::kRowField && !rowSubtotals)
            || (orientation == sheet::kColumnField && !columnSubtotals))
            field->Subtotals(none);
    }
}

// The data-field names of the measures checked on the measures step. A store
// cube names them after the dimension that step lists (the measure-list
// dimension, else the measures dimension); the connection model's members
// carry their field names.
std::vector<std::string> NxPivotWizardCtrl::measureFieldNames()
{
    std::vector<std::string> names;
    if (cubeSourceKind != NxCubeSelectorCtrl::StoreCube) {
        for (const DimMember& member : NxDimEditMembers->checkedMembers())
            names.push_back(platform::requireObject(member.kMember().get(), "measure").name());
        return names;
    }
    const olap::Cube& cube = need(loadedCube, "loaded cube");
    std::shared_ptr<olap::Dimension> listed = cube.measureListDimension();
    if (!listed)
        listed = cube.measuresDimension();
    const std::string prefix = "[" + need(listed, "measures dimension").name() + "].";
    for (const auto& member : need(NxDimEditMembers->dimension(), "measures dimension").selectedMembers())
        names.push_back(prefix + member->name());
    return names;
}

void NxPivotWizardCtrl::addDataFields(PivotBuild& build)
{
    build.pt->ManualUpdate(true);
    int counter = 1;
    for (const std::string& name : measureFieldNames()) {
        // A measure the table does not know is left out; the positions of
        // the others stay consecutive.
        if (cubeFieldExists(QString::fromStdString(name), build.pt)) {
            const std::shared_ptr<sheet::CubeField> field = build.pt->CubeFields()->Item(name);
            silentlyOnFailure("Orientation", [&] {
                field->Orientation(sheet::kDataField);
                field->Position(counter);
            });
            ++counter;
        }
        advanceProgress();
    }
    build.pt->ManualUpdate(false);
}

// "0", "0.0", "0.00", ... A host that cannot format a field leaves it as it is.
void NxPivotWizardCtrl::setNumberFormat(PivotBuild& build)
{
    if (!chkDps->isChecked())
        return;
    bool isNumber = false;
    const int places = lblDps->text().trimmed().toInt(&isNumber);
    if (!isNumber)
        throw platform::Failure(platform::err::kTypeMismatch, "the decimal places are not a number");
    std::string format = "0";
    for (int j = 1; j <= places; ++j)
        format += j == 1 ? ".0" : "0";
    // The number format is a nicety: a host that refuses it leaves the
    // report as it is.
    try {
        for (const auto& field : *build.pt->DataFields()) {
            try {
                field->NumberFormat(format);
            } catch (const platform::Failure& failure) {
                platform::noteIgnoredFailure("NumberFormat", failure);
            }
        }
    } catch (const platform::Failure& failure) {
        platform::noteIgnoredFailure("DataFields", failure);
    }
}

void NxPivotWizardCtrl::addMarkerSheet(PivotBuild& build)
{
    const std::shared_ptr<sheet::Worksheets> sheets = build.aWb->Worksheets();
    bool marked = false;
    for (const auto& sheet : *sheets) {
        if (sheet->Name() == kMarkerSheet) {
            marked = true;
            break;
        }
    }
    if (!marked) {
        const std::shared_ptr<sheet::Worksheet> marker = sheets->Add(build.aWs);
        marker->Name(kMarkerSheet);
        marker->Visible(sheet::kSheetVeryHidden);
    }
    build.aWs->Activate();
}
