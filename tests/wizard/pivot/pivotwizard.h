// The wizard as the PivotTable build tests drive it: the loaded cube and the
// member editors are put in place directly (as the cube and member steps
// leave them), the layout step's controls are set as a user sets them, and
// the build's procedures are reachable.
#pragma once

#include "wizard/control/nxpivotwizardctrl.h"
#include "wizard/pivot/pivotbuild.h"

#include <QStringList>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class PivotWizard : public NxPivotWizardCtrl {
public:
    using Names = std::vector<std::string>;

    explicit PivotWizard(std::shared_ptr<sheet::Application> host);

    using NxPivotWizardCtrl::CreatePivot;
    using NxPivotWizardCtrl::FieldMembers;
    using NxPivotWizardCtrl::fixArray;
    using NxPivotWizardCtrl::fixArray2;
    using NxPivotWizardCtrl::getArray;
    using NxPivotWizardCtrl::getLevelName;
    using NxPivotWizardCtrl::GetKTreeDrilledAndHiddenArrays;
    using NxPivotWizardCtrl::GetTreeDrilledAndHiddenArrays;
    using NxPivotWizardCtrl::getXlVer;
    using NxPivotWizardCtrl::PivotBuild;
    using NxPivotWizardCtrl::SetUpExcel;
    using NxPivotWizardCtrl::shrinkArray;
    using NxPivotWizardCtrl::cubeFieldExists;
    using NxPivotWizardCtrl::pvFieldExists;

    qint16 hostGeneration() const { return excelVersion; }
    void setHostGeneration(qint16 version) { excelVersion = version; }
    bool keyNames() const { return keyNameFlag; }
    void setKeyNames(bool on) { keyNameFlag = on; }
    quint8 sourceKind() const { return cubeSourceKind; }
    void setSourceKind(quint8 kind) { cubeSourceKind = kind; }

    // The store cube Shop of `folder` (made by pivottest::makeStoreShop), as
    // the cube step leaves it.
    void useStoreCube(std::shared_ptr<olap::Cube> cube, const std::filesystem::path& folder);
    // The cube file `file`, opened as a local cube file (kind 2).
    void useLocalCube(const std::filesystem::path& file);
    // The cube of `file` as if it were reached on a server (kind 4).
    void useServerCube(const std::filesystem::path& file, const QString& provider, const QString& server,
                       const QString& catalog);

    std::shared_ptr<olap::KDimension> kDimensionNamed(const QString& name) const;
    std::shared_ptr<olap::Dimension> storeDimension(const char* name) const;
    // The row (`columns` false) or column editor `index`, made when missing,
    // with `dimension` of the loaded cube attached. Returns the editor.
    NxDimEditCtrl* openEditor(bool columns, int index, const QString& dimension);
    // The measures step's editor, with the loaded cube's measures attached.
    NxDimEditCtrl* openMeasures();
    // The same with the store cube's measure-list dimension attached.
    NxDimEditCtrl* openMeasureList();
    // Checks (or unchecks) the members named by their unique names in `editor`.
    static void check(NxDimEditCtrl* editor, const Names& uniqueNames, bool uncheck = false);

    // Fills the three areas of the layout step.
    void arrange(const Names& pages, const Names& rows, const Names& columns);
    // The layout step: the sheet list with `chosen` selected, and the start cell.
    void chooseSheet(const Names& entries, const std::string& chosen);
    void chooseStartCell(const QString& column, const QString& row);

    // Carries the editor state of `dimension` over to its field of `table`,
    // as the build does for a placed column (orientationKind 2) or row (1)
    // field whose editor is element 0.
    void applyMembers(const std::shared_ptr<sheet::PivotTable>& table, const QString& dimension,
                      quint8 orientationKind);
};
