// A small real cube for the store and connection model tests, built with the
// cube builder into a fresh folder that is removed afterwards.
//
// Catalog "Sales Catalog", cube "Sales". Dimensions in cube order:
//   Time       time,  "all" level "All Time", Year (named by key), Quarter:
//              1997 (Q1, Q2), 1998 (Q1)
//   Product    other, hierarchies Product (Category, Item) and Brand (Brand):
//              Drinks (Cola, Juice), Food (Bread); brands Acme, Fresh
//   Region     other, "all" level "Everywhere", City: Paris, Oslo
//   Ship Time  time,  Year: 1997
// Measures: Sales Amount (sum, "#,##0.00"), Units (count).
#pragma once

#include "olap/cube/cubebuilder.h"
#include "olap/cube/cubeformat.h"
#include "support/scratchfolder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace storetest {

using ::ScratchFolder;

// The dimensions both models show for the cube, in order: the measures
// dimension first, then the cube's own.
struct ExpectedDimension {
    const char* name;
    olap::DimensionType type;
};
inline constexpr ExpectedDimension kDimensionsInOrder[] = {{"Measures", olap::DimensionType::Measure},
                                                           {"Time", olap::DimensionType::Time},
                                                           {"Product", olap::DimensionType::Other},
                                                           {"Region", olap::DimensionType::Other},
                                                           {"Ship Time", olap::DimensionType::Time}};

inline olap::CubeSpec salesSpec()
{
    using olap::DimensionType;
    return olap::CubeSpec{
        "Sales",
        {{"Time", DimensionType::Time, {{"", true, "All Time", {{"Year", true}, {"Quarter", false}}}}},
         {"Product",
          DimensionType::Other,
          {{"", false, "", {{"Category", false}, {"Item", false}}}, {"Brand", false, "", {{"Brand", false}}}}},
         {"Region", DimensionType::Other, {{"", true, "Everywhere", {{"City", false}}}}},
         {"Ship Time", DimensionType::Time, {{"", false, "", {{"Year", false}}}}}},
        {{"Sales Amount", olap::Aggregation::Sum, "#,##0.00"}, {"Units", olap::Aggregation::Count, ""}}};
}

// Writes the sales cube to `file`.
inline olap::PathPart part(const char* name, const char* caption = "")
{
    return olap::PathPart{name, caption};
}

// Writes the sales cube to `file`.
inline void writeSalesCube(const std::filesystem::path& file)
{
    olap::CubeBuilder cube(salesSpec());
    const uint32_t q1 = cube.dimensionKey(0, {part("1997"), part("Q1", "Quarter 1")});
    const uint32_t q2 = cube.dimensionKey(0, {part("1997"), part("Q2", "Quarter 2")});
    const uint32_t q198 = cube.dimensionKey(0, {part("1998"), part("Q1", "Quarter 1")});
    auto product = [&](const char* category, const char* item, const char* brand) {
        const std::vector<olap::PathPart> paths[] = {{part(category), part(item)}, {part(brand)}};
        return cube.dimensionKey(1, paths);
    };
    const uint32_t cola = product("Drinks", "Cola", "Acme");
    const uint32_t juice = product("Drinks", "Juice", "Fresh");
    const uint32_t bread = product("Food", "Bread", "Acme");
    const uint32_t paris = cube.dimensionKey(2, {part("Paris")});
    const uint32_t oslo = cube.dimensionKey(2, {part("Oslo")});
    const uint32_t shipped = cube.dimensionKey(3, {part("1997")});
    auto fact = [&](uint32_t time, uint32_t item, uint32_t city, double amount) {
        const uint32_t keys[] = {time, item, city, shipped};
        const double values[] = {amount, 1.0};
        cube.addFact(keys, values);
    };
    fact(q1, cola, paris, 10.0);
    fact(q2, juice, oslo, 20.0);
    fact(q198, bread, paris, 30.0);
    olap::CubeBuilder* cubes[] = {&cube};
    olap::writeCubeFile(file, "Sales Catalog", cubes);
}

// Marks the cube file `file` as written by the next format version.
inline void makeNewerCubeFile(const std::filesystem::path& file)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    const std::string sql = "PRAGMA user_version = " + std::to_string(olap::cubeformat::kVersion + 1);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

inline void writeText(const std::filesystem::path& file, const std::string& text)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
}

inline std::string readBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace storetest
