// Timings of the query engine on the benchmark cube (benchcube.h), made by
// makebenchcube. Run through bench/run.sh, or by hand:
//
//     querybench --data=/tmp/pivot-bench [--benchmark_filter=...]
//
//   Open          opening the cube file: metadata only
//   Pivot/...     the benchmark pivot over facts already in memory, with 1
//                 and 2 scanning threads; Months: Time opened to months
//   PivotFromFile opening the file, reading the facts and computing the pivot
//                 (the page cache is warm after the first iteration)
// Times are wall-clock; CPU times add up all threads of the process.
#include "benchcube.h"

#include "olap/cube/cubefile.h"
#include "olap/cube/facttable.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <iostream>

namespace {

std::filesystem::path gCubeFile;

// Reports the grand total of the first measure, so runs can be compared
// with other engines, and keeps the compiler from dropping the work.
void reportTotal(benchmark::State& state, const olap::QueryResult& result)
{
    const auto total = result.cell(result.rows.size() - 1, result.columns.size() - 1, 0);
    state.counters["grandUnits"] = total.value_or(-1);
    state.counters["cells"] = double(result.rows.size() * result.columns.size());
}

void Open(benchmark::State& state)
{
    for (auto _ : state) {
        auto file = olap::CubeFile::open(gCubeFile);
        benchmark::DoNotOptimize(file->catalog().cubes.size());
    }
}

void Pivot(benchmark::State& state, bool months)
{
    const auto file = olap::CubeFile::open(gCubeFile);
    const olap::CubeInfo& cube = file->catalog().cubes[0];
    const auto facts = file->facts(0);
    const olap::PivotQuery query = bench::benchPivot(cube, months);
    const olap::QueryOptions options{unsigned(state.range(0))};
    olap::QueryResult result;
    for (auto _ : state)
        result = olap::runQuery(cube, *facts, query, options);
    reportTotal(state, result);
}

void PivotFromFile(benchmark::State& state)
{
    olap::QueryResult result;
    for (auto _ : state) {
        const auto file = olap::CubeFile::open(gCubeFile);
        const olap::CubeInfo& cube = file->catalog().cubes[0];
        result = olap::runQuery(cube, *file->facts(0), bench::benchPivot(cube, false));
    }
    reportTotal(state, result);
}

}  // namespace

// CPU times are of the whole process, every thread counted.
BENCHMARK(Open)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Pivot, Years, false)->Arg(1)->Arg(2)->ArgName("threads")->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_CAPTURE(Pivot, Months, true)->Arg(2)->ArgName("threads")->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(PivotFromFile)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->MinTime(2.0);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--data=", 7) == 0)
            gCubeFile = std::filesystem::path(argv[i] + 7) / "bench.cub";
    }
    if (gCubeFile.empty() || !std::filesystem::exists(gCubeFile)) {
        std::cerr << "usage: querybench --data=FOLDER (a folder made by makebenchcube)\n";
        return 2;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
