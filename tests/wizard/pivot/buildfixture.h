// A PivotTable build test: the Shop cube loaded through the cube step, the
// real spreadsheet host, member editors and the layout step set up directly
// as the design steps leave them, and what a build left in the host.
#pragma once

#include "common/wizardtest.h"
#include "sheet/application.h"
#include "sheet/host/hostapplication.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

class BuildTest : public WizardTest {
protected:
    BuildTest() { wizard.xlApp(host); }

    // The Shop cube as store cube Shop (kStoreCube) or as the cube file
    // Shop.cub (kCubeFile), loaded through the cube step.
    void useShop(int kind, bool measureList = false);
    // Shop with pages [Region], rows [Product], columns [Time] with 2023 and
    // 2024 checked, measures Amount and Units, on a new sheet at C5.
    void prepareBuild(int kind);
    void arrange(const QStringList& pages, const QStringList& rows, const QStringList& columns);
    // Row (area 1) or column (area 2) editor `index`, made when missing, with
    // `dimension` of the loaded cube attached.
    NxDimEditCtrl* openEditor(int area, int index, const QString& dimension);
    // The measures editor with the measures (or the store's measure list) attached.
    NxDimEditCtrl* openMeasures(bool measureList = false);
    void chooseSheet(const QStringList& entries, const QString& chosen);
    void chooseStartCell(const QString& column, const QString& row);
    // Carries the state of the element-0 editor of `dimension` over to its
    // field of `table`, as the build does for a row (1) or column (2) field.
    void applyMembers(const std::shared_ptr<sheet::PivotTable>& table, const QString& dimension, quint8 orientationKind);

    // The pivot table of the last build into the active workbook.
    std::shared_ptr<sheet::PivotTable> builtTable();
    // The orientation and position of cube field `name` of `table`.
    static std::pair<int, int> placeOf(const std::shared_ptr<sheet::PivotTable>& table, const std::string& name);
    // The worksheets of the active workbook with their visibility.
    std::vector<std::pair<std::string, int>> sheets();
    // Whether the wait form, the hourglass and screen updating are as before the build.
    bool screenRestored();

    std::shared_ptr<sheet::Application> host = sheet::createApplication();
};

// Tables of variants written row by row: E is an empty slot.
using Rows = std::vector<std::vector<sheet::Variant>>;
inline const sheet::Variant E = std::nullopt;
inline sheet::Variant S(const std::string& text) { return text; }
sheet::VariantArray table(const Rows& rows);
Rows rowsOf(const sheet::VariantArray& table);
