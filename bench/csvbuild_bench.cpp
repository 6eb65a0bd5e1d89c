// How fast the cube builder makes the benchmark cube (benchcube.h: 10 million
// facts, 4 dimensions, 3 measures) from CSV files: a star with a snowflake,
// as a real export would come.
//
//   months.csv                  month_id -> Year > Quarter > Month
//   items.csv -> subcategories.csv -> categories.csv
//                               item_id -> Category > Subcategory > Item
//   customers.csv               customer_id -> City > Customer
//   facts.csv                   month_id, item_id, country, region, shop,
//                               customer_id, units, amount, price
//                               (Store: Country > Region > Shop straight
//                               from the fact table; about 550 MB)
//
// The CSV files are written once into a temporary folder (deterministic, a
// few seconds, not timed) and removed at the end; set CSVBUILD_BENCH_DIR to
// keep them in a folder of your choice and reuse them on the next run.
//
//     build/bench/csvbuild_bench --benchmark_filter=BuildCubeFile
//
// Measured on the 2-core development machine: BuildCubeFile 4.4 s,
// BuildCubes 7.5 s, ReadFactCsv 1.8 s (the target is under 30 s).
//
// BuildCubeFile is the whole command (definition, CSV, cube file written);
// BuildCubes stops before writing; ReadFactCsv only tokenizes the facts.
#include "benchcube.h"

#include "olap/build/csvreader.h"
#include "olap/build/cubedefinition.h"
#include "olap/build/cubesource.h"
#include "platform/services/tempfile.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace bench;

// Appends text to a large buffer and writes it out in big blocks: 10 million
// rows must not take longer to write than to read.
class FastWriter {
public:
    explicit FastWriter(const fs::path& file) : mFile(std::fopen(file.c_str(), "wb"))
    {
        if (!mFile)
            throw std::runtime_error("cannot write " + file.string());
        mBuffer.reserve(kBlock + 1024);
    }
    ~FastWriter()
    {
        flush();
        std::fclose(mFile);
    }
    FastWriter& text(std::string_view value)
    {
        mBuffer.append(value);
        return *this;
    }
    FastWriter& number(uint64_t value)
    {
        char digits[24];
        return text({digits, size_t(std::to_chars(digits, digits + sizeof digits, value).ptr - digits)});
    }
    // A non-negative amount with two decimals.
    FastWriter& money(double value)
    {
        const auto cents = uint64_t(std::llround(value * 100));
        number(cents / 100).text(".");
        return text(cents % 100 < 10 ? "0" : "").number(cents % 100);
    }
    void endRow()
    {
        mBuffer += '\n';
        if (mBuffer.size() >= kBlock)
            flush();
    }

private:
    static constexpr size_t kBlock = 1 << 20;
    void flush()
    {
        std::fwrite(mBuffer.data(), 1, mBuffer.size(), mFile);
        mBuffer.clear();
    }
    std::FILE* mFile;
    std::string mBuffer;
};

std::string code(const char* prefix, uint32_t value)
{
    return prefix + std::to_string(value);
}

void writeDimensionTables(const fs::path& folder)
{
    FastWriter months(folder / "months.csv");
    months.text("month_id,year,quarter,month").endRow();
    for (uint32_t m = 0; m < kMonths; ++m)
        months.text(code("T", m)).text(",").number(kFirstYear + m / 12).text(",").text(code("Q", m % 12 / 3 + 1))
            .text(",").text(code("M", m % 12 + 1)).endRow();
    FastWriter categories(folder / "categories.csv"), subcategories(folder / "subcategories.csv"),
        items(folder / "items.csv");
    categories.text("category_id,category").endRow();
    for (uint32_t c = 0; c < kCategories; ++c)
        categories.text(code("K", c)).text(",").text(code("Category ", c)).endRow();
    subcategories.text("subcategory_id,subcategory,category_id").endRow();
    for (uint32_t s = 0; s < kCategories * kSubcategoriesPer; ++s)
        subcategories.text(code("S", s)).text(",").text(code("Subcategory ", s)).text(",")
            .text(code("K", s / kSubcategoriesPer)).endRow();
    items.text("item_id,item,subcategory_id").endRow();
    for (uint32_t i = 0; i < kItems; ++i)
        items.text(code("I", i)).text(",").text(code("Item ", i)).text(",").text(code("S", i / kItemsPer)).endRow();
    FastWriter customers(folder / "customers.csv");
    customers.text("customer_id,city").endRow();
    for (uint32_t c = 0; c < kCustomers; ++c)
        customers.text(code("C", c)).text(",").text(code("City ", c / kCustomersPer)).endRow();
}

void writeFacts(const fs::path& folder)
{
    FastWriter facts(folder / "facts.csv");
    facts.text("month_id,item_id,country,region,shop,customer_id,units,amount,price").endRow();
    Random random;
    for (uint64_t n = 0; n < kFactCount; ++n) {
        const Fact f = nextFact(random);
        facts.text("T").number(f.month).text(",I").number(f.item);
        facts.text(",Country ").number(f.shop / (kRegionsPer * kShopsPer)).text(",Region ").number(f.shop / kShopsPer);
        facts.text(",Shop ").number(f.shop).text(",C").number(f.customer).text(",");
        facts.number(uint64_t(f.units)).text(",").money(f.amount).text(",");
        if (!std::isnan(f.price))
            facts.money(f.price);
        facts.endRow();
    }
}

constexpr const char* kDefinition = R"({
  "catalog": "Bench",
  "cubes": [{
    "name": "Sales",
    "factTable": "facts.csv",
    "dimensions": [
      {"name": "Time", "type": "time", "joins": [{"table": "months.csv", "key": "month_id", "foreignKey": "month_id"}],
       "allLevel": true,
       "levels": [{"name": "Year", "column": "year"}, {"name": "Quarter", "column": "quarter"},
                  {"name": "Month", "column": "month", "namedByKey": true}]},
      {"name": "Product",
       "joins": [{"table": "items.csv", "key": "item_id", "foreignKey": "item_id"},
                 {"table": "subcategories.csv", "key": "subcategory_id", "foreignKey": "subcategory_id"},
                 {"table": "categories.csv", "key": "category_id", "foreignKey": "category_id"}],
       "allLevel": true,
       "levels": [{"name": "Category", "column": "category"}, {"name": "Subcategory", "column": "subcategory"},
                  {"name": "Item", "column": "item"}]},
      {"name": "Store", "allLevel": true,
       "levels": [{"name": "Country", "column": "country"}, {"name": "Region", "column": "region"},
                  {"name": "Shop", "column": "shop"}]},
      {"name": "Customer", "joins": [{"table": "customers.csv", "key": "customer_id", "foreignKey": "customer_id"}],
       "allLevel": true,
       "levels": [{"name": "City", "column": "city"}, {"name": "Customer", "column": "customer_id", "namedByKey": true}]}
    ],
    "measures": [
      {"name": "Units", "column": "units", "aggregation": "sum", "format": "#,##0"},
      {"name": "Amount", "column": "amount", "aggregation": "sum", "format": "#,##0.00"},
      {"name": "Price", "column": "price", "aggregation": "average", "format": "#,##0.00"}
    ]
  }]
})";

// The benchmark's data folder, made on first use and removed at exit unless
// the user named it.
class BenchData {
public:
    static const BenchData& get()
    {
        static const BenchData data;
        return data;
    }
    ~BenchData()
    {
        if (mRemove)
            fs::remove_all(mFolder);
    }
    fs::path definition() const { return mFolder / "bench.json"; }
    fs::path facts() const { return mFolder / "facts.csv"; }
    fs::path output() const { return mFolder / "bench-csv.cub"; }

private:
    BenchData()
    {
        const char* named = std::getenv("CSVBUILD_BENCH_DIR");
        mRemove = !named || !*named;
        mFolder = mRemove ? platform::tempFolder() / ("csvbuild-bench-" + std::to_string(::getpid())) : fs::path(named);
        fs::create_directories(mFolder);
        std::ofstream(definition()) << kDefinition;
        if (!fs::exists(facts())) {
            writeDimensionTables(mFolder);
            writeFacts(mFolder);
        }
    }
    fs::path mFolder;
    bool mRemove = true;
};

void reportFacts(benchmark::State& state, uint64_t facts)
{
    state.counters["facts"] = double(facts);
    state.counters["facts/s"] = benchmark::Counter(double(facts), benchmark::Counter::kIsRate);
}

void BM_BuildCubeFile(benchmark::State& state)
{
    const BenchData& data = BenchData::get();
    uint64_t facts = 0;
    for (auto _ : state) {
        const auto summary = olap::buildCubeFile(olap::readCubeDefinition(data.definition()), data.output());
        facts = summary.at(0).factCount;
    }
    reportFacts(state, facts);
    fs::remove(data.output());
}

void BM_BuildCubes(benchmark::State& state)
{
    const BenchData& data = BenchData::get();
    uint64_t facts = 0;
    for (auto _ : state) {
        const auto cubes = olap::buildCubes(olap::readCubeDefinition(data.definition()));
        facts = cubes.at(0).factCount();
    }
    reportFacts(state, facts);
}

void BM_ReadFactCsv(benchmark::State& state)
{
    const BenchData& data = BenchData::get();
    uint64_t rows = 0;
    for (auto _ : state) {
        olap::CsvReader reader(data.facts());
        size_t bytes = 0;
        for (rows = 0; reader.next(); ++rows) {
            for (size_t i = 0; i < reader.header().size(); ++i)
                bytes += reader.field(i).size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    reportFacts(state, rows);
}

BENCHMARK(BM_BuildCubeFile)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_BuildCubes)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_ReadFactCsv)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
