// Makes the benchmark data (benchcube.h) in a folder:
//   bench.cub   the cube file, through the cube builder
//   facts.csv   the same facts, one row each with every level's code, for
//               the general engines we compare with
//
//     makebenchcube /tmp/pivot-bench [FACTS]     (default 10,000,000 facts)
//
// Codes in the CSV: year 2021..2024, quarter and month numbered through all
// years (0..15, 0..47), category/subcategory/item 0..3/0..19/0..199,
// country/region/shop 0..1/0..5/0..29, city/customer 0..999/0..99999; an empty
// price field is a fact without a price; shopper 0..999999 (the distinct
// count's values, drawn from a sequence of their own).
#include "benchcube.h"

#include "olap/cube/cubebuilder.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <stdexcept>

namespace {

using namespace bench;
using olap::PathPart;

olap::CubeSpec benchSpec()
{
    using olap::DimensionType;
    auto hierarchy = [](std::vector<olap::LevelSpec> levels) {
        return olap::HierarchySpec{{}, true, {}, std::move(levels)};
    };
    return olap::CubeSpec{
        "Sales",
        {{"Time", DimensionType::Time, {hierarchy({{"Year"}, {"Quarter"}, {"Month", true}})}},
         {"Product", DimensionType::Other, {hierarchy({{"Category"}, {"Subcategory"}, {"Item"}})}},
         {"Store", DimensionType::Other, {hierarchy({{"Country"}, {"Region"}, {"Shop"}})}},
         {"Customer", DimensionType::Other, {hierarchy({{"City"}, {"Customer", true}})}}},
        {{"Units", olap::Aggregation::Sum, "#,##0"}, {"Amount", olap::Aggregation::Sum, "#,##0.00"},
         {"Price", olap::Aggregation::Average, "#,##0.00"}, {"Shoppers", olap::Aggregation::DistinctCount, "#,##0"}}};
}

PathPart part(std::string name)
{
    return PathPart{std::move(name), {}};
}

PathPart numbered(const char* prefix, uint32_t value)
{
    return part(prefix + std::to_string(value));
}

// Registers every key in the order the facts number them.
void addKeys(olap::CubeBuilder& cube)
{
    auto expect = [](uint32_t key, uint32_t wanted) {
        if (key != wanted)
            throw std::logic_error("the builder numbered a key unexpectedly");
    };
    for (uint32_t m = 0; m < kMonths; ++m)
        expect(cube.dimensionKey(kTime, {part(std::to_string(kFirstYear + m / 12)), numbered("Q", m % 12 / 3 + 1),
                                         numbered("M", m % 12 + 1)}), m);
    for (uint32_t i = 0; i < kItems; ++i)
        expect(cube.dimensionKey(kProduct, {numbered("Category ", i / 50), numbered("Subcategory ", i / 10),
                                            numbered("Item ", i)}), i);
    for (uint32_t s = 0; s < kShops; ++s)
        expect(cube.dimensionKey(kStore, {numbered("Country ", s / 15), numbered("Region ", s / 5),
                                          numbered("Shop ", s)}), s);
    for (uint32_t c = 0; c < kCustomers; ++c)
        expect(cube.dimensionKey(kCustomer, {numbered("City ", c / 100), numbered("C", c)}), c);
}

class CsvWriter {
public:
    explicit CsvWriter(const std::filesystem::path& file) : mFile(std::fopen(file.c_str(), "wb"))
    {
        if (!mFile)
            throw std::runtime_error("cannot write " + file.string());
        text("year,quarter,month,category,subcategory,item,country,region,shop,city,customer,units,amount,price,shopper\n");
    }
    ~CsvWriter()
    {
        flush();
        std::fclose(mFile);
    }

    void row(const Fact& f, uint32_t shopper)
    {
        const uint32_t codes[] = {kFirstYear + f.month / 12, f.month / 3, f.month, f.item / 50, f.item / 10, f.item,
                                  f.shop / 15, f.shop / 5, f.shop, f.customer / 100, f.customer};
        for (uint32_t code : codes)
            field(code, ',');
        field(f.units, ',');
        field(f.amount, ',');
        if (std::isnan(f.price))
            mBuffer[mUsed++] = ',';
        else
            field(f.price, ',');
        field(shopper, '\n');
        if (mUsed > sizeof mBuffer - 256)
            flush();
    }

private:
    // Shortest text that reads back as the same number.
    template <class T>
    void field(T value, char end)
    {
        mUsed = size_t(std::to_chars(mBuffer + mUsed, mBuffer + sizeof mBuffer, value).ptr - mBuffer);
        mBuffer[mUsed++] = end;
    }
    void text(const char* value)
    {
        std::fputs(value, mFile);
    }
    void flush()
    {
        std::fwrite(mBuffer, 1, mUsed, mFile);
        mUsed = 0;
    }

    std::FILE* mFile;
    char mBuffer[1 << 16];
    size_t mUsed = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::cerr << "usage: makebenchcube FOLDER [FACTS]\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const uint64_t factCount = argc == 3 ? std::stoull(argv[2]) : kFactCount;
    std::filesystem::create_directories(folder);
    olap::CubeBuilder cube(benchSpec());
    addKeys(cube);
    {
        CsvWriter csv(folder / "facts.csv");
        Random random, shoppers(1'000'003);
        for (uint64_t i = 0; i < factCount; ++i) {
            const Fact f = nextFact(random);
            const uint32_t shopper = shoppers.below(kShoppers);
            const uint32_t keys[] = {f.month, f.item, f.shop, f.customer};
            const double values[] = {f.units, f.amount, f.price,
                                     double(cube.distinctId(kShoppersMeasure, std::to_string(shopper)))};
            cube.addFact(keys, values);
            csv.row(f, shopper);
        }
    }
    olap::CubeBuilder* cubes[] = {&cube};
    olap::writeCubeFile(folder / "bench.cub", "Benchmark", cubes);
    std::cout << "wrote " << factCount << " facts to " << (folder / "bench.cub") << " and " << (folder / "facts.csv")
              << "\n";
    return 0;
}
