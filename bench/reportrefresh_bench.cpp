// How fast kept reports are refreshed and built from definitions.
//
//     cmake --build build --target reportrefresh_bench pivotreport
//     build/bench/reportrefresh_bench --benchmark_repetitions=5
//
// On a shared machine compare building and refreshing within one run: what
// counts is refresh over build (at most 1.2), and each alone varies with the
// load.
//
// BuildSampleLargestReport / RefreshSampleLargestReport: the sample store's
// Sales cube with Product and Store on the rows, Time on the columns,
// Customer as a page field, every level of the three axis dimensions drilled
// open, every measure with a number format and the table autoformat
// (389,000 cells with the sample's six measures). Building is timed from a new workbook to the saved
// file; refreshing from opening the saved workbook (a fresh copy each run)
// through recomputing the report from the cube to the saved file.
//
// PivotReportBuildProcess: `pivotreport build` of a report over a cube the
// size of the classic retail sample (90,000 sales facts; Time, Product in
// five levels, Store, Customer in four), run as a whole process each time,
// start to exit.
#include "olap/cube/cubebuilder.h"
#include "olap/cube/cubefile.h"
#include "sheet/host/hostapplication.h"
#include "sheet/host/hostworkbook.h"
#include "sheet/report/reportbuild.h"
#include "sheet/report/reportdefinition.h"
#include "sheet/report/reportrefresh.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace sheet;

const fs::path kFolder = fs::temp_directory_path() / "reportrefresh_bench";

// Every member with children, so that every level is drilled open.
std::vector<std::string> everyParent(const olap::DimensionInfo& dimension)
{
    std::vector<std::string> names;
    for (const auto& member : dimension.hierarchies.at(0).members) {
        if (member.childCount > 0)
            names.push_back(member.uniqueName);
    }
    return names;
}

report::ReportDefinition largestReport()
{
    const fs::path cube = fs::path(PIVOTWIZARD_SAMPLE_STORE) / "Sales.cub";
    const auto file = olap::CubeFile::open(cube);
    const auto& info = file->catalog().cubes.at(0);
    report::ReportDefinition definition;
    definition.name = "Table Sales";
    definition.sheet = "Sheet1";
    definition.cell = "A1";
    definition.source = {"store", "MSOLAP.2", cube.string(), "Sales", "", "Sales"};
    for (const auto& dimension : info.dimensions) {
        report::FieldDefinition field{dimension.name, everyParent(dimension), {}, {}, {}};
        if (dimension.name == "Customer")
            definition.pages.push_back({dimension.name, {}, {}, {}, {}});
        else
            (dimension.name == "Time" ? definition.columns : definition.rows).push_back(std::move(field));
    }
    for (const auto& measure : info.measures)
        definition.data.push_back({measure.name, "0.00"});
    definition.autoformat = true;
    return definition;
}

void build(const report::ReportDefinition& definition, const fs::path& file)
{
    auto app = createApplication();
    auto book = std::dynamic_pointer_cast<HostWorkbook>(app->Workbooks()->Add());
    report::buildReport(*book, definition);
    book->SaveAs(file.string());
}

// A workbook refreshed was saved long before: its copy is put on disk before
// the clock runs, or the refresh's own flush would write it out as well.
void copyToDisk(const fs::path& from, const fs::path& to)
{
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    const int fd = ::open(to.c_str(), O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void BuildSampleLargestReport(benchmark::State& state)
{
    fs::create_directories(kFolder);
    const auto definition = largestReport();
    for (auto _ : state)
        build(definition, kFolder / "fresh.xlsx");
}
BENCHMARK(BuildSampleLargestReport)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();

void RefreshSampleLargestReport(benchmark::State& state)
{
    fs::create_directories(kFolder);
    const fs::path original = kFolder / "kept.xlsx";
    build(largestReport(), original);
    const fs::path file = kFolder / "refreshed.xlsx";
    int64_t cells = 0;
    for (auto _ : state) {
        state.PauseTiming();
        copyToDisk(original, file);
        state.ResumeTiming();
        auto app = createApplication();
        auto book = std::dynamic_pointer_cast<HostWorkbook>(app->Workbooks()->Open(file.string()));
        const auto outcome = report::refreshReports(*book);
        book->Save();
        const auto area = *parseAddress(outcome.reports.at(0).after);
        cells = int64_t(area.last.row - area.first.row + 1) * (area.last.column - area.first.column + 1);
    }
    state.counters["report cells"] = double(cells);
}
BENCHMARK(RefreshSampleLargestReport)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();

// The retail sample's shape: 90,000 facts, 1,560 products under 5 levels,
// 24 stores, 10,000 customers, two years of months.
fs::path retailCube()
{
    const fs::path file = kFolder / "retail.cub";
    if (fs::exists(file))
        return file;
    fs::create_directories(kFolder);
    using olap::LevelSpec;
    olap::CubeSpec spec{"Retail",
                        {{"Time", olap::DimensionType::Time, {{"", false, "", {{"Year"}, {"Quarter"}, {"Month"}}}}},
                         {"Product", olap::DimensionType::Other,
                          {{"", true, "All Products",
                            {{"Family"}, {"Department"}, {"Category"}, {"Brand"}, {"Product"}}}}},
                         {"Store", olap::DimensionType::Other, {{"", false, "", {{"Country"}, {"State"}, {"Store"}}}}},
                         {"Customer", olap::DimensionType::Other,
                          {{"", false, "", {{"Country"}, {"State"}, {"City"}, {"Customer"}}}}}},
                        {{"Unit Sales", olap::Aggregation::Sum, "#,##0"},
                         {"Store Cost", olap::Aggregation::Sum, "#,##0.00"},
                         {"Store Sales", olap::Aggregation::Sum, "#,##0.00"}}};
    olap::CubeBuilder cube(spec);
    uint64_t seed = 1997;
    const auto next = [&](uint32_t bound) {
        seed = seed * 6364136223846793005u + 1442695040888963407u;
        return uint32_t((seed >> 33) % bound);
    };
    const auto s = [](const char* prefix, uint32_t n) { return std::string(prefix) + std::to_string(n); };
    for (int f = 0; f < 90000; ++f) {
        const uint32_t month = next(24), product = next(1560), store = next(24), customer = next(10000);
        const uint32_t keys[] = {
            cube.dimensionKey(0, std::vector<olap::PathPart>{{s("", 1997 + month / 12), ""},
                                                             {s("Q", month % 12 / 3 + 1), ""},
                                                             {s("M", month % 12 + 1), ""}}),
            cube.dimensionKey(1, std::vector<olap::PathPart>{{s("Family ", product % 3), ""},
                                                             {s("Department ", product % 22), ""},
                                                             {s("Category ", product % 45), ""},
                                                             {s("Brand ", product % 111), ""},
                                                             {s("Product ", product), ""}}),
            cube.dimensionKey(2, std::vector<olap::PathPart>{{s("Country ", store % 3), ""},
                                                             {s("State ", store % 10), ""},
                                                             {s("Store ", store), ""}}),
            cube.dimensionKey(3, std::vector<olap::PathPart>{{s("Country ", customer % 3), ""},
                                                             {s("State ", customer % 10), ""},
                                                             {s("City ", customer % 109), ""},
                                                             {s("Customer ", customer), ""}})};
        const double units = 1 + next(5);
        const double values[] = {units, units * 1.2, units * 2.9};
        cube.addFact(keys, values);
    }
    olap::CubeBuilder* cubes[] = {&cube};
    olap::writeCubeFile(file, "Retail", cubes);
    return file;
}

void PivotReportBuildProcess(benchmark::State& state)
{
    const fs::path cube = retailCube();
    const fs::path definition = kFolder / "retail.json";
    std::ofstream(definition) << R"({"version": 1, "name": "Table Retail", "sheet": "Sales", "cell": "A1",
  "source": {"kind": "file", "dataSource": ")" << cube.string() << R"(", "catalog": "Retail", "cube": "Retail"},
  "pages": [{"dimension": "Customer"}],
  "rows": [{"dimension": "Product", "drilled": ["[Product].[All Products].[Family 0]", "[Product].[All Products].[Family 1]", "[Product].[All Products].[Family 2]"]},
           {"dimension": "Store"}],
  "columns": [{"dimension": "Time", "drilled": ["[Time].[1997]", "[Time].[1998]"]}],
  "data": [{"measure": "Unit Sales"}, {"measure": "Store Sales", "numberFormat": "0.00"}],
  "autoformat": true})";
    const std::string command = std::string(PIVOTREPORT_PROGRAM) + " build '" + definition.string() + "' --output '"
                                + (kFolder / "retail.xlsx").string() + "' 2>/dev/null";
    for (auto _ : state) {
        fs::remove(kFolder / "retail.xlsx");
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("pivotreport build failed");
    }
}
BENCHMARK(PivotReportBuildProcess)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
