// Timings of the query engine on the benchmark cube (benchcube.h), made by
// makebenchcube. Run through bench/run.sh, or by hand:
//
//     querybench --data=/tmp/pivot-bench [--benchmark_filter=...]
//
//   Bandwidth     the machine's memory bandwidth: a sum over 1 GiB, on 1 and
//                 2 threads (what a scan could reach at best)
//   Open          opening the cube file: metadata only
//   Pivot/...     a pivot over facts already in memory (read by a first
//                 run), with 1 and 2 scanning threads; Years: the benchmark
//                 pivot, YearsDistinct: the same with the distinct count of
//                 1,000,000 shoppers added, Months: Time opened to months,
//                 Customers: 100,000 customers by the 12 months of a year
//   PivotFromFile opening the file, reading the columns the pivot uses and
//                 computing it (the page cache is warm after the first run)
// Times are wall-clock; CPU times add up all threads of the process. Every
// result reports the fact count, the bytes of fact columns it read per run
// (bytes_per_second: the scan's speed), and the machine's load average over
// the last minute when it ended, as other work skews the figures.
#include "benchcube.h"

#include "olap/cube/cubefile.h"
#include "olap/cube/facttable.h"
#include "olap/cube/measurecolumn.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <numeric>
#include <thread>
#include <vector>

namespace {

std::filesystem::path gCubeFile;

double loadAverage()
{
    std::ifstream in("/proc/loadavg");
    double load = -1;
    in >> load;
    return load;
}

const auto bytesOf = [](const auto& keys) { return uint64_t(keys.size() * sizeof(keys[0])); };

// The bytes of the fact columns `query` reads.
uint64_t columnBytes(const olap::CubeInfo& cube, const olap::FactTable& facts, const olap::PivotQuery& query)
{
    uint64_t bytes = 0;
    for (uint32_t m : query.measures) {
        bytes += cube.measures[m].aggregation == olap::Aggregation::DistinctCount
            ? std::visit(bytesOf, facts.distinctIds(m))
            : facts.rowCount() * olap::valueWidth(facts.values(m));
    }
    for (const olap::QueryAxis* axis : {&query.rows, &query.columns}) {
        for (const olap::AxisField& field : axis->fields)
            bytes += std::visit(bytesOf, facts.keys(field.dimension));
    }
    return bytes;
}

// Reports the grand total of the first measure, so runs can be compared
// with other engines, and keeps the compiler from dropping the work.
void report(benchmark::State& state, const olap::QueryResult& result, uint64_t facts, uint64_t bytes)
{
    const auto total = result.cell(result.rows.size() - 1, result.columns.size() - 1, 0);
    state.counters["grandUnits"] = total.value_or(-1);
    state.counters["cells"] = double(result.rows.size() * result.columns.size());
    state.counters["facts"] = double(facts);
    state.counters["load"] = loadAverage();
    state.SetBytesProcessed(int64_t(state.iterations() * bytes));
}

void Bandwidth(benchmark::State& state)
{
    const auto threads = unsigned(state.range(0));
    olap::Column<uint64_t> data(size_t(1) << 27);  // 1 GiB
    std::iota(data.begin(), data.end(), 0);
    std::vector<uint64_t> sums(threads);
    for (auto _ : state) {
        std::vector<std::jthread> workers;
        for (unsigned t = 0; t < threads; ++t) {
            workers.emplace_back([&, t] {
                const size_t first = data.size() * t / threads, end = data.size() * (t + 1) / threads;
                sums[t] = std::accumulate(data.begin() + ptrdiff_t(first), data.begin() + ptrdiff_t(end), uint64_t(0));
            });
        }
    }
    benchmark::DoNotOptimize(sums);
    state.counters["load"] = loadAverage();
    state.SetBytesProcessed(int64_t(state.iterations() * data.size() * sizeof(uint64_t)));
}

void Open(benchmark::State& state)
{
    for (auto _ : state) {
        auto file = olap::CubeFile::open(gCubeFile);
        benchmark::DoNotOptimize(file->catalog().cubes.size());
    }
    state.counters["load"] = loadAverage();
}

template <class MakeQuery>
void Pivot(benchmark::State& state, MakeQuery makeQuery)
{
    const auto file = olap::CubeFile::open(gCubeFile);
    const olap::CubeInfo& cube = file->catalog().cubes[0];
    const auto facts = file->facts(0);
    const olap::PivotQuery query = makeQuery(cube);
    const olap::QueryOptions options{unsigned(state.range(0))};
    olap::QueryResult result = olap::runQuery(cube, *facts, query, options);  // reads the columns
    for (auto _ : state)
        result = olap::runQuery(cube, *facts, query, options);
    report(state, result, facts->rowCount(), columnBytes(cube, *facts, query));
}

void PivotFromFile(benchmark::State& state)
{
    olap::QueryResult result;
    uint64_t facts = 0, bytes = 0;
    for (auto _ : state) {
        const auto file = olap::CubeFile::open(gCubeFile);
        const olap::CubeInfo& cube = file->catalog().cubes[0];
        const olap::PivotQuery query = bench::benchPivot(cube, false);
        result = olap::runQuery(cube, *file->facts(0), query);
        facts = file->facts(0)->rowCount();
        bytes = columnBytes(cube, *file->facts(0), query);
    }
    report(state, result, facts, bytes);
}

const auto years = [](const olap::CubeInfo& cube) { return bench::benchPivot(cube, false); };
const auto yearsDistinct = [](const olap::CubeInfo& cube) { return bench::benchPivot(cube, false, true); };
const auto months = [](const olap::CubeInfo& cube) { return bench::benchPivot(cube, true); };
const auto customers = [](const olap::CubeInfo& cube) { return bench::customersPivot(cube); };

}  // namespace

// CPU times are of the whole process, every thread counted.
BENCHMARK(Bandwidth)->Arg(1)->Arg(2)->ArgName("threads")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Open)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Pivot, Years, years)->Arg(1)->Arg(2)->ArgName("threads")->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_CAPTURE(Pivot, YearsDistinct, yearsDistinct)->Arg(1)->Arg(2)->ArgName("threads")
    ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_CAPTURE(Pivot, Months, months)->Arg(2)->ArgName("threads")->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_CAPTURE(Pivot, Customers, customers)->Arg(1)->Arg(2)->ArgName("threads")->Unit(benchmark::kMillisecond)
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
