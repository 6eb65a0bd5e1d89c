// Helpers of the spreadsheet host's tests: a temporary folder per test, a
// fixture workbook written part by part as another program would write it,
// and looks into zip packages (entries, their bytes as stored).
#pragma once

#include "platform/core/failure.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace sheettest {

// A fresh folder, removed with everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::filesystem::path& path() const { return mPath; }
    std::filesystem::path operator/(const std::string& name) const { return mPath / name; }
    // The names of the files in the folder, sorted.
    std::vector<std::string> files() const;

private:
    std::filesystem::path mPath;
};

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

std::string fileBytes(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, const std::string& bytes);

// The LibreOffice program, or "" when it is not installed.
std::string findSoffice();

// Has LibreOffice (`soffice`) convert every sheet of `workbook` to
// "<stem>-<sheet>.csv" in `out`, cells as shown (number formats applied), with
// a private profile folder `profile`; its output goes to out/soffice.log.
// Returns the command's exit status.
int convertToCsv(const std::string& soffice, const std::filesystem::path& workbook, const std::filesystem::path& out,
                 const std::filesystem::path& profile);

// Runs `call` and returns the platform::Failure it throws; fails the test
// when it throws nothing or something else.
platform::Failure failureOf(const std::function<void()>& call);

}  // namespace sheettest
