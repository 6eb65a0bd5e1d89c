// A wizard ready to finish: the Shop cube loaded, a layout, members and
// measures chosen, the layout step filled in; and what a finished build
// left behind in the host.
#pragma once

#include "pivotfixture.h"

#include <QStringList>

namespace pivottest {

class BuildFixture : public PivotFixture {
protected:
    // Pages [Region], rows [Product], columns [Time] with 2023 and 2024
    // checked; measures Amount and Units; a new sheet at C5.
    void prepareStoreBuild();
    void prepareLocalBuild();

    // The layout step's check boxes by name, the decimal places read-out.
    void setChecked(const char* box, bool on);
    void setDecimalPlaces(int places);

    // The pivot table of the last build into a new sheet of the active workbook.
    std::shared_ptr<sheet::PivotTable> builtTable();
    // The cube field `name` of `table`: its orientation and position.
    static std::pair<int, int> placeOf(const std::shared_ptr<sheet::PivotTable>& table, const std::string& name);
    // The names of the worksheets of the active workbook, with their visibility.
    std::vector<std::pair<std::string, int>> sheetsOfActiveWorkbook();

    // Saves a new workbook with worksheets named `sheets` (in order) at
    // `file` and closes it again.
    void writeWorkbook(const std::filesystem::path& file, const std::vector<std::string>& sheets);

    // Whether everything the build switches for its duration is back.
    bool screenRestored();

private:
    void prepareDesign();
};

}  // namespace pivottest
