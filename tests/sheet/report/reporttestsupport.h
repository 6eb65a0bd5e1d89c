// Helpers of the report definitions' tests: the sample's Sales cube built
// from a copy of its CSV files (so that tests can add facts and build it
// again), and the command-line report builder run in the test's process.
#pragma once

#include "sheettestsupport.h"

#include <filesystem>
#include <string>
#include <vector>

namespace reporttest {

// A copy of the sample tables and the Sales cube definition in `folder`,
// and the cube built from them at folder/Sales.cub.
struct SalesSource {
    explicit SalesSource(const std::filesystem::path& folder);
    // Builds folder/Sales.cub again from the CSV files as they are now.
    void buildCube() const;
    // Appends `lines` to the CSV file `table` ("sales.csv").
    void append(const std::string& table, const std::vector<std::string>& lines) const;

    std::filesystem::path folder;
    std::filesystem::path cube;
};

struct CommandRun {
    int status = -1;
    std::string out;
    std::string err;
};
CommandRun runPivotReport(const std::vector<std::string>& arguments);

// A definition of a report of the Sales cube at `cube`: `extra` is spliced
// into the JSON object (", \"rows\": [...]").
std::string salesDefinition(const std::filesystem::path& cube, const std::string& extra);

// The cells of the saved sheet `part` of `file` as "C5=text|format|bold" lines.
std::vector<std::string> cellLines(const std::filesystem::path& file, const std::string& part);

}  // namespace reporttest
