// How fast the layout step's "Preview" shows the sample's largest report.
//
//     cmake --build build --target preview_bench
//     build/bench/preview_bench
//
// The report: the sample store's Sales cube with Product and Store on the
// rows, Time on the columns, Customer as a page field, every level of the
// three axis dimensions drilled open, every measure as a data field, the
// shaded table look and two decimal places (389,000 cells with the
// sample's six measures). Timed as the
// preview runs it (preview/showpreview.cpp): a new host and workbook, the
// table made and filled (drawn once, when its data fields are placed), its
// first 1,000 rows laid out again with the number format
// (sheet::previewTable), and the preview window made, shown and painted.
// Not timed: placing the wizard's own member choices, which the table's
// drills stand in for here.
#include "olap/cube/cubefile.h"
#include "largestreport.h"
#include "sheet/constants.h"
#include "sheet/cubefield.h"
#include "sheet/host/hostapplication.h"
#include "sheet/host/tablepreview.h"
#include "sheet/pivotfield.h"
#include "wizard/preview/frmpreview.h"

#include <QApplication>
#include <QTest>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The host and workbook live as long as the table's sheet must.
struct Report {
    std::shared_ptr<sheet::Application> app;
    std::shared_ptr<sheet::Workbook> book;
    std::shared_ptr<sheet::PivotTable> table;
};

Report largestReport(const fs::path& cube, const olap::CubeInfo& info,
                     const std::map<std::string, sheet::VariantArray>& drills)
{
    auto app = sheet::createApplication();
    auto book = app->Workbooks()->Add();
    auto cache = book->PivotCaches()->Add(sheet::kExternalSource);
    cache->Connection(sheet::VariantArray{"OLEDB;Provider=MSOLAP.2;Data Source=" + cube.string()
                                          + ";Initial Catalog=Sales;Client Cache Size=25;Auto Synch Period=10000"});
    cache->CommandType(sheet::kCommandCube);
    cache->CommandText(sheet::VariantArray{"Sales"});
    auto table = cache->CreatePivotTable(book->Worksheets()->Item(1)->Range("A1"), "Table Sales");
    table->Format(sheet::kTableFormat13);
    table->Format(sheet::kTableFormatShaded);
    bench::arrangeLargestReport(*table, info, drills);
    return {app, book, table};
}

void PreviewLargestSampleReport(benchmark::State& state)
{
    const fs::path cube = fs::path(PIVOTWIZARD_SAMPLE_STORE) / "Sales.cub";
    const auto file = olap::CubeFile::open(cube);
    const auto& info = file->catalog().cubes.at(0);
    const auto drills = bench::everyParentByField(info);
    int64_t rows = 0, cells = 0;
    for (auto _ : state) {
        const Report report = largestReport(cube, info, drills);
        sheet::TablePreview preview = sheet::previewTable(*report.table, FrmPreview::kRows);
        rows = preview.rows;
        cells = int64_t(preview.cells.size());
        auto* window = new FrmPreview(std::move(preview), nullptr);
        window->show();
        if (!QTest::qWaitForWindowExposed(window))
            state.SkipWithError("the preview window was not shown");
        QApplication::processEvents();
        state.PauseTiming();
        window->close();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["report rows"] = double(rows);
    state.counters["cells shown"] = double(cells);
}
BENCHMARK(PreviewLargestSampleReport)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
