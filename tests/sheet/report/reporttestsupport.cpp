#include "reporttestsupport.h"

#include "pivottestsupport.h"

#include "olap/build/cubesourcecommand.h"
#include "sheet/report/reportcommand.h"

#include <fstream>
#include <sstream>

namespace reporttest {

namespace fs = std::filesystem;

SalesSource::SalesSource(const fs::path& into) : folder(into), cube(into / "Sales.cub")
{
    const fs::path source = PIVOTWIZARD_SAMPLE_SOURCE;
    for (const char* name : {"Sales.json", "sales.csv", "months.csv", "products.csv", "subcategories.csv",
                             "categories.csv", "stores.csv", "customers.csv"})
        fs::copy_file(source / name, folder / name, fs::copy_options::overwrite_existing);
    buildCube();
}

void SalesSource::buildCube() const
{
    const std::vector<std::string> arguments{"--quiet", (folder / "Sales.json").string(), cube.string()};
    std::ostringstream out, err;
    const int status = olap::runCubeBuilderCommand(arguments, out, err);
    ASSERT_EQ(status, 0) << err.str();
}

void SalesSource::append(const std::string& table, const std::vector<std::string>& lines) const
{
    std::ofstream file(folder / table, std::ios::app);
    for (const auto& line : lines)
        file << line << "\n";
}

CommandRun runPivotReport(const std::vector<std::string>& arguments)
{
    std::ostringstream out, err;
    CommandRun run;
    run.status = sheet::report::runPivotReportCommand(arguments, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

std::string salesDefinition(const fs::path& cube, const std::string& extra)
{
    return R"({"version": 1, "name": "Table Sales", "sheet": "Report", "cell": "B3",
  "source": {"kind": "file", "provider": "MSOLAP.2", "dataSource": ")"
           + cube.string() + R"(", "catalog": "Sales", "cube": "Sales"})" + extra + "}";
}

std::vector<std::string> cellLines(const fs::path& file, const std::string& part)
{
    std::vector<std::string> lines;
    for (const auto& [name, cell] : pivottest::savedCells(file, part))
        lines.push_back(name + "=" + cell.text + "|" + cell.numberFormat + (cell.bold ? "|bold" : ""));
    return lines;
}

}  // namespace reporttest
