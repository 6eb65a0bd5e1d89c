// How fast the spreadsheet host turns a pivot table over a cube into a saved
// report.
//
//     cmake --build build --target pivotreport_bench
//     build/bench/pivotreport_bench
//
// RenderAndSave100kCells: a table of 1,000 row items by 100 column items (one
// fact per cell, so 100,000 value cells plus the grand totals) is computed,
// drawn into its sheet and saved. The cube file is written once into a
// temporary folder (not timed); each run opens a new workbook and table on it
// (not timed) and times ManualUpdate(false) and SaveAs: the query, the
// layout, the cells and styles, the zip.
//
// SampleLargestPivot: the sample store's Sales cube with Product and Store on
// the rows, Time on the columns, Customer as a page field, every level of
// the three axis dimensions drilled open, every measure as a data field,
// the table autoformat, a number format, AutoFit and a save: timed from
// CreatePivotTable to the saved file, opening the cube included.
#include "olap/cube/cubebuilder.h"
#include "olap/cube/cubefile.h"
#include "largestreport.h"
#include "sheet/constants.h"
#include "sheet/cubefield.h"
#include "sheet/host/hostapplication.h"
#include "sheet/pivotfield.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kFolder = fs::temp_directory_path() / "pivotreport_bench";

std::string connection(const fs::path& cube, const std::string& catalog)
{
    return "OLEDB;Provider=MSOLAP.2;Data Source=" + cube.string() + ";Initial Catalog=" + catalog
           + ";Client Cache Size=25;Auto Synch Period=10000";
}

fs::path gridCube()
{
    const fs::path file = kFolder / "grid.cub";
    if (fs::exists(file))
        return file;
    fs::create_directories(kFolder);
    olap::CubeSpec spec{"Grid",
                        {{"Row", olap::DimensionType::Other, {{"", false, "", {{"Row"}}}}},
                         {"Column", olap::DimensionType::Other, {{"", false, "", {{"Column"}}}}}},
                        {{"Value", olap::Aggregation::Sum, "#,##0.00"}}};
    olap::CubeBuilder cube(spec);
    for (int r = 0; r < 1000; ++r) {
        for (int c = 0; c < 100; ++c) {
            const uint32_t keys[] = {cube.dimensionKey(0, std::vector<olap::PathPart>{{"R" + std::to_string(r), ""}}),
                                     cube.dimensionKey(1, std::vector<olap::PathPart>{{"C" + std::to_string(c), ""}})};
            const double values[] = {r * 100.0 + c + 0.25};
            cube.addFact(keys, values);
        }
    }
    olap::CubeBuilder* cubes[] = {&cube};
    olap::writeCubeFile(file, "Grid", cubes);
    return file;
}

std::shared_ptr<sheet::PivotTable> newTable(std::shared_ptr<sheet::Workbook>& book, const fs::path& cube,
                                            const std::string& catalog, const std::string& name)
{
    auto cache = book->PivotCaches()->Add(sheet::kExternalSource);
    cache->Connection(sheet::VariantArray{connection(cube, catalog)});
    cache->CommandType(sheet::kCommandCube);
    cache->CommandText(sheet::VariantArray{name});
    return cache->CreatePivotTable(book->Worksheets()->Item(1)->Range("C5"), "Table " + name);
}

void RenderAndSave100kCells(benchmark::State& state)
{
    const fs::path cube = gridCube();
    for (auto _ : state) {
        state.PauseTiming();
        auto app = sheet::createApplication();
        auto book = app->Workbooks()->Add();
        auto table = newTable(book, cube, "Grid", "Grid");
        table->ManualUpdate(true);
        table->CubeFields()->Item("[Row]")->Orientation(sheet::kRowField);
        table->CubeFields()->Item("[Column]")->Orientation(sheet::kColumnField);
        table->CubeFields()->Item("[Measures].[Value]")->Orientation(sheet::kDataField);
        state.ResumeTiming();
        table->ManualUpdate(false);
        book->SaveAs((kFolder / "grid.xlsx").string());
    }
}
BENCHMARK(RenderAndSave100kCells)->Unit(benchmark::kMillisecond)->MinTime(3);

void SampleLargestPivot(benchmark::State& state)
{
    const fs::path cube = fs::path(PIVOTWIZARD_SAMPLE_STORE) / "Sales.cub";
    const auto file = olap::CubeFile::open(cube);
    const auto& info = file->catalog().cubes.at(0);
    const auto drills = bench::everyParentByField(info);
    int64_t cells = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto app = sheet::createApplication();
        auto book = app->Workbooks()->Add();
        state.ResumeTiming();
        auto table = newTable(book, cube, "Sales", "Sales");
        table->Format(sheet::kTableFormat13);
        bench::arrangeLargestReport(*table, info, drills);
        book->Worksheets()->Item(1)->Columns()->AutoFit();
        book->SaveAs((kFolder / "sales.xlsx").string());
        const auto area = std::dynamic_pointer_cast<sheet::PlacedPivotTable>(table)->area();
        cells = int64_t(area.last.row - area.first.row + 1) * (area.last.column - area.first.column + 1);
    }
    state.counters["table cells"] = double(cells);
}
BENCHMARK(SampleLargestPivot)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace

BENCHMARK_MAIN();
