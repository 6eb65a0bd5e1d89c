// Writes small .xlsx workbooks as another spreadsheet program would save
// them, with sheets the host cannot make itself (chart sheets, protected
// sheets).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct SheetSpec {
    enum Kind { Worksheet, ChartSheet };
    std::string name;
    Kind kind = Worksheet;
    std::string state = "visible";  // "visible", "hidden" or "veryHidden"
    bool protectedContents = false;
};

// Writes a workbook with `sheets` in tab order to `file`.
void writeWorkbook(const std::filesystem::path& file, const std::vector<SheetSpec>& sheets);
