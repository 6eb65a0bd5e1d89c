// Reading a saved report back the way other programs do: LibreOffice opens
// the workbook and writes each sheet's cells as shown, and sqlite3 computes
// the expected values from the CSV tables the sample cubes were built from.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

using Grid = std::vector<std::vector<std::string>>;

// The cells of sheet `sheet` of `workbook` as LibreOffice shows them (number
// formats applied), converted in `scratch`. Throws when the conversion fails.
Grid sheetAsShown(const std::filesystem::path& workbook, const std::string& sheet, const std::filesystem::path& scratch);

// The rows sqlite3 answers to `sql`, with the CSV files `tables` (table name
// -> file) imported first. Throws when sqlite3 fails.
Grid sqliteRows(const std::map<std::string, std::filesystem::path>& tables, const std::string& sql);

// A table read from the report: the value shown where the row whose label
// (in any column left of the values) is `row` meets the column whose heading
// (in any row above) is `column`; empty when there is no such cell.
std::string reportValue(const Grid& report, const std::string& row, const std::string& column);
bool hasLabel(const Grid& report, const std::string& label);
