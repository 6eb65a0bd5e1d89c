// Reading a saved report back the way other programs do: LibreOffice opens
// the workbook and writes each sheet's cells as shown, and sqlite3 computes
// the expected values from the CSV tables the sample cubes were built from.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pivottest {

using Grid = std::vector<std::vector<std::string>>;

// The cells of sheet `sheet` of `workbook` as LibreOffice shows them (number
// formats applied), converted in `scratch`. Nothing when LibreOffice is not
// installed; throws when the conversion fails.
std::optional<Grid> sheetAsShown(const std::filesystem::path& workbook, const std::string& sheet,
                                 const std::filesystem::path& scratch);

// The rows sqlite3 answers to `sql`, with the CSV files `tables` (table name
// -> file) imported first. Throws when sqlite3 fails.
Grid sqliteRows(const std::map<std::string, std::filesystem::path>& tables, const std::string& sql);

// A table read from the report: the value shown in the cell where the row
// whose label (in any column left of the values) is `row` meets the column
// whose heading (in any row above) is `column`. Labels are matched exactly.
class ReportTable {
public:
    explicit ReportTable(Grid cells) : mCells(std::move(cells)) {}
    // Empty when the report has no such row or column.
    std::string value(const std::string& row, const std::string& column) const;
    bool hasLabel(const std::string& label) const;
    const Grid& cells() const { return mCells; }

private:
    Grid mCells;
};

}  // namespace pivottest
