// Helpers of the spreadsheet host's tests: a fixture workbook as another
// program would write it (its parts are files in tests/sheet/fixture), looks
// into zip packages (entries, their bytes as stored), and a pivot table
// stand-in for the host's own checks and the chart engine.
#pragma once

#include "platform/core/failure.h"
#include "sheet/failures.h"
#include "sheet/host/extensions.h"
#include "support/failureof.h"
#include "support/scratchfolder.h"
#include "support/textfile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace sheettest {

// The folder of the sheet tests' data: the fixture's parts, golden parts.
std::filesystem::path dataFolder();

// The names of the files in `folder`, sorted.
std::vector<std::string> filesIn(const std::filesystem::path& folder);

// Part name -> bytes.
using Parts = std::map<std::string, std::string>;

struct FixtureOptions {
    bool pivotTable = false;  // a sheet "Pivot" holding a pivot table "SalesPivot" at A3:B7
};

// The parts of a workbook as a spreadsheet program would save it: worksheets
// "Data" (visible, selected, shared strings, styles, formulas, an embedded
// chart), "Calc" (hidden, a formula on Data), "Locked" (protected contents),
// "Secret" (very hidden), and the chart sheet "Chart1"; two defined names
// (one local to Locked), a calculation chain, document properties and a
// part of a type no spreadsheet program knows.
Parts fixtureParts(const FixtureOptions& options = {});

// Writes `parts` as a zip file at `file`, deflated, in the map's order with
// [Content_Types].xml first.
void writeZip(const std::filesystem::path& file, const Parts& parts);

// One entry of a zip as stored.
struct StoredEntry {
    std::string data;        // decompressed bytes
    std::string compressed;  // the bytes as stored (compressed stream)
    uint32_t crc = 0;
    uint16_t method = 0;
};

// Every entry of the zip `file` by name.
std::map<std::string, StoredEntry> readZip(const std::filesystem::path& file);

// Expects every entry of `before` but those named in `changed` to be stored
// in the zip `file` as it was: same bytes, same compressed stream, same
// checksum and method.
void expectUnchangedBut(const std::map<std::string, StoredEntry>& before, const std::filesystem::path& file,
                        const std::set<std::string>& changed);

// Has LibreOffice (`soffice`) convert every sheet of `workbook` to
// "<stem>-<sheet>.csv" in `out`, cells as shown (number formats applied), with
// a private profile folder `profile`; its output goes to out/soffice.log.
// Returns the command's exit status.
int convertToCsv(const std::string& soffice, const std::filesystem::path& workbook, const std::filesystem::path& out,
                 const std::filesystem::path& profile);

using CsvGrid = std::vector<std::vector<std::string>>;

// Comma-separated lines as sqlite3's list output and LibreOffice's CSV of
// reports are. A quoted field is a number shown with thousands separators
// (report texts hold no quote), which are dropped: values compare with
// sqlite3's plain digits.
CsvGrid csvGrid(const std::string& text);

// The value shown where the row labelled `row` (in any column left of the
// value) meets the column headed `column` (in any row above); "" when none is.
std::string reportValue(const CsvGrid& cells, const std::string& row, const std::string& column);

using testsupport::failureOf;

// A call the host must refuse, the failure number of its kind of failure,
// and a text the description must hold.
struct Refusal {
    std::string label;
    std::function<void()> call;
    int32_t number;
    std::string says = {};
};

// Expects every call to throw its failure, with source "sheet".
void expectRefusals(const std::vector<Refusal>& refusals);

// A pivot table that covers `area` and shows `data`: all the host's sheets
// and the chart engine read. The other members refuse with 445.
class FakeTable final : public sheet::PlacedPivotTable {
public:
    FakeTable(std::string name, sheet::Area area, std::optional<sheet::ChartData> data = std::nullopt)
        : mName(std::move(name)), mArea(area), mData(std::move(data)) {}

    std::string Name() override { return mName; }
    bool RowGrand() override { return true; }
    void RowGrand(bool) override { refuse(); }
    bool ColumnGrand() override { return true; }
    void ColumnGrand(bool) override { refuse(); }
    bool ManualUpdate() override { return false; }
    void ManualUpdate(bool) override { refuse(); }
    void Format(int32_t) override { refuse(); }
    std::shared_ptr<sheet::CubeFields> CubeFields() override { refuse(); }
    std::shared_ptr<sheet::PivotFields> PivotFields() override { refuse(); }
    std::shared_ptr<sheet::PivotFields> DataFields() override { refuse(); }
    std::shared_ptr<sheet::Worksheet> Parent() override { refuse(); }
    sheet::Area area() override { return mArea; }
    std::optional<sheet::ChartData> chartData() override { return mData; }

    // What later reads get (the table was redrawn).
    void show(sheet::ChartData data) { mData = std::move(data); }
    void cover(sheet::Area area) { mArea = area; }

private:
    [[noreturn]] static void refuse() { sheet::failNotSupported("the test's table serves only its place and values"); }

    std::string mName;
    sheet::Area mArea;
    std::optional<sheet::ChartData> mData;
};

}  // namespace sheettest
