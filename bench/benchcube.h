// The benchmark cube and the benchmark pivot, shared by the generator
// (makebenchcube), the timings (querybench) and the memory probe
// (querymemory). Header-only: every .cpp in bench/ is a program of its own.
//
// The cube: sales facts (10 million unless makebenchcube is told another
// count) over four dimensions, each with an "all" level, and three measures.
//   Time      Year > Quarter > Month          4 x 4 x 3  = 48 keys
//   Product   Category > Subcategory > Item   4 x 5 x 10 = 200 keys
//   Store     Country > Region > Shop         2 x 3 x 5  = 30 keys
//   Customer  City > Customer                 1,000 x 100 = 100,000 keys
//   Units (Sum), Amount (Sum), Price (Average; one fact in 20 has no price),
//   Shoppers (distinct count of a shopper id, 1,000,000 values drawn
//   uniformly: about ten facts each)
//
// The pivot: Product and Store on the rows, every member drilled down to the
// deepest level, Time on the columns (years), Units and Price, with subtotals
// and grand totals; the "distinct" variant adds Shoppers. Its deepest cells are 200 x 30 x 4 = 24,000, the size of
// the two-key GROUP BY that general engines were measured with; the "months"
// variant opens Time down to months (288,000 deepest cells). The customers
// pivot is the large one: every customer under its city on the rows, the
// twelve months of 2024 under its quarters on the columns (the other years
// hidden): 1,200,000 deepest cells.
//
// Facts are drawn from a fixed pseudo-random sequence, so every run makes the
// same cube and the same CSV.
#pragma once

#include "olap/query/query.h"
#include "olap/cube/schema.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace bench {

inline constexpr uint64_t kFactCount = 10'000'000;
inline constexpr uint32_t kYears = 4, kFirstYear = 2021, kMonths = kYears * 12;
inline constexpr uint32_t kCategories = 4, kSubcategoriesPer = 5, kItemsPer = 10;
inline constexpr uint32_t kItems = kCategories * kSubcategoriesPer * kItemsPer;
inline constexpr uint32_t kCountries = 2, kRegionsPer = 3, kShopsPer = 5;
inline constexpr uint32_t kShops = kCountries * kRegionsPer * kShopsPer;
inline constexpr uint32_t kCities = 1000, kCustomersPer = 100, kCustomers = kCities * kCustomersPer;
inline constexpr uint32_t kShoppers = 1'000'000;

enum Dimension : uint32_t { kTime = 0, kProduct = 1, kStore = 2, kCustomer = 3 };
enum Measure : uint32_t { kUnits = 0, kAmount = 1, kPrice = 2, kShoppersMeasure = 3 };

// A small, fast generator with a fixed seed (splitmix64).
class Random {
public:
    explicit Random(uint64_t seed = 20240611) : mState(seed) {}
    uint64_t next()
    {
        uint64_t z = (mState += 0x9e3779b97f4a7c15u);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
        return z ^ (z >> 31);
    }
    uint32_t below(uint32_t bound) { return uint32_t((next() >> 32) * bound >> 32); }

private:
    uint64_t mState;
};

// One fact: a key per dimension (keys are numbered as the generator adds
// them: Time by month, Product by item, and so on) and its three values.
struct Fact {
    uint32_t month, item, shop, customer;
    double units, amount, price;  // price NaN: none
};

inline double listPrice(uint32_t item) { return 5.0 + double(item % 37) * 1.25; }

inline Fact nextFact(Random& random)
{
    Fact fact;
    fact.month = random.below(kMonths);
    fact.item = random.below(kItems);
    fact.shop = random.below(kShops);
    fact.customer = random.below(kCustomers);
    fact.units = double(1 + random.below(10));
    const double cents = double(90 + random.below(21)) * listPrice(fact.item);  // 90% .. 110% of list, in cents
    fact.price = random.below(20) == 0 ? std::numeric_limits<double>::quiet_NaN() : double(int64_t(cents)) / 100;
    fact.amount = fact.units * listPrice(fact.item);
    return fact;
}

// Every member with children, of the given dimension's first hierarchy.
inline std::vector<uint32_t> everyParent(const olap::CubeInfo& cube, uint32_t dimension)
{
    std::vector<uint32_t> parents;
    const auto& members = cube.dimensions[dimension].hierarchies[0].members;
    for (uint32_t m = 0; m < members.size(); ++m) {
        if (members[m].childCount > 0)
            parents.push_back(m);
    }
    return parents;
}

inline olap::PivotQuery benchPivot(const olap::CubeInfo& cube, bool months, bool distinct = false)
{
    olap::PivotQuery query;
    query.rows.fields = {{kProduct, 0, everyParent(cube, kProduct), {}}, {kStore, 0, everyParent(cube, kStore), {}}};
    query.columns.fields = {{kTime, 0, months ? everyParent(cube, kTime) : std::vector<uint32_t>{}, {}}};
    query.measures = {kUnits, kPrice};
    if (distinct)
        query.measures.push_back(kShoppersMeasure);
    return query;
}

inline olap::PivotQuery customersPivot(const olap::CubeInfo& cube)
{
    olap::PivotQuery query;
    query.rows.fields = {{kCustomer, 0, everyParent(cube, kCustomer), {}}};
    const auto& time = cube.dimensions[kTime].hierarchies[0].members;
    olap::AxisField months{kTime, 0, {0}, {}};
    for (uint32_t m = 0; m < time.size(); ++m) {
        const bool lastYear = time[m].level == 1 && time[m].name == std::to_string(kFirstYear + kYears - 1);
        if (time[m].level == 1 && !lastYear)
            months.hidden.push_back(m);
        if (lastYear || (time[m].level == 2 && time[time[m].parent].name == std::to_string(kFirstYear + kYears - 1)))
            months.drilled.push_back(m);
    }
    query.columns.fields = {months};
    query.measures = {kUnits, kPrice};
    return query;
}

}  // namespace bench
