// Peak memory of computing the benchmark pivot from the cube file, in a
// fresh process: open, read the facts, query once. Prints one JSON line:
//
//     querymemory /tmp/pivot-bench [distinct]
//
// With "distinct", the pivot also counts the distinct shoppers.
//     {"peakBytes": ..., "factBytes": ..., "queryFactBytes": ..., "seconds": ..., "grandUnits": ..., ...}
//
// factBytes is the size of all the fact columns in memory (keys at their
// stored width of 1, 2 or 4 bytes, values at theirs: 8 bytes, or 1, 2 or 4
// for a compact measure), queryFactBytes that of
// the columns the pivot reads; peakBytes the process's high-water mark of
// resident memory (VmHWM) after the pivot, before any other column is read;
// openBytes the resident memory once the cube is open, before any column is
// read (the program, and the cube's dimensions and members: the same at
// every fact count); resultBytes what the result's cells and headers take.
#include "benchcube.h"

#include "olap/cube/cubefile.h"
#include "olap/cube/facttable.h"
#include "olap/cube/measurecolumn.h"

#include <chrono>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <string>

namespace {

// A figure of /proc/self/status, such as "VmHWM:".
uint64_t statusBytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field, 0) == 0)
            return std::stoull(line.substr(field.size())) * 1024;  // reported in kB
    }
    return 0;
}

uint64_t resultBytes(const olap::QueryResult& result)
{
    uint64_t bytes = result.cells.size() * sizeof(result.cells[0]);
    for (const auto* tuples : {&result.rows, &result.columns}) {
        for (const olap::AxisTuple& tuple : *tuples) {
            const size_t members = tuple.members.size();
            bytes += sizeof(tuple) + (members > olap::TupleMembers::kInline ? members * sizeof(olap::TupleMember) : 0);
        }
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool distinct = argc == 3 && std::string(argv[2]) == "distinct";
    if (argc != 2 && !distinct) {
        std::cerr << "usage: querymemory FOLDER [distinct]\n";
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const auto file = olap::CubeFile::open(std::filesystem::path(argv[1]) / "bench.cub");
    const olap::CubeInfo& cube = file->catalog().cubes[0];
    const uint64_t openBytes = statusBytes("VmRSS:");
    const auto facts = file->facts(0);
    const olap::PivotQuery query = bench::benchPivot(cube, false, distinct);
    const olap::QueryResult result = olap::runQuery(cube, *facts, query);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const uint64_t peakBytes = statusBytes("VmHWM:");

    // Read after the peak is taken: the pivot's columns are in memory, the
    // others are read here only to be measured.
    auto keyBytes = [&](size_t d) {
        return std::visit([](const auto& keys) { return uint64_t(keys.size() * sizeof(keys[0])); }, facts->keys(d));
    };
    auto measureBytes = [&](uint32_t m) {
        if (cube.measures[m].aggregation != olap::Aggregation::DistinctCount)
            return facts->rowCount() * olap::valueWidth(facts->values(m));
        return std::visit([](const auto& ids) { return uint64_t(ids.size() * sizeof(ids[0])); }, facts->distinctIds(m));
    };
    uint64_t factBytes = 0;
    for (uint32_t m = 0; m < facts->measureCount(); ++m)
        factBytes += measureBytes(m);
    for (size_t d = 0; d < facts->dimensionCount(); ++d)
        factBytes += keyBytes(d);
    uint64_t queryFactBytes = 0;
    for (uint32_t m : query.measures)
        queryFactBytes += measureBytes(m);
    for (const olap::QueryAxis* axis : {&query.rows, &query.columns}) {
        for (const olap::AxisField& field : axis->fields)
            queryFactBytes += keyBytes(field.dimension);
    }
    const size_t lastRow = result.rows.size() - 1, lastColumn = result.columns.size() - 1;
    std::cout << std::setprecision(17) << "{\"peakBytes\": " << peakBytes << ", \"factBytes\": " << factBytes
              << ", \"queryFactBytes\": " << queryFactBytes << ", \"openBytes\": " << openBytes
              << ", \"resultBytes\": " << resultBytes(result) << ", \"seconds\": " << seconds
              << ", \"grandUnits\": " << result.cell(lastRow, lastColumn, 0).value_or(-1)
              << ", \"grandPrice\": " << result.cell(lastRow, lastColumn, 1).value_or(-1);
    if (distinct)
        std::cout << ", \"grandShoppers\": " << result.cell(lastRow, lastColumn, 2).value_or(-1);
    std::cout << "}\n";
    return 0;
}
