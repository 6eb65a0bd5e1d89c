// Makes the wide-dimension cube for serverbench in a folder:
//   wide.cub   "Customer": an "all" level, 1,000 Groups of 1,000 Customers
//              each (1,000,000 members), "Year": 4 years; Amount (Sum);
//              2,000,000 facts
//
//     makewidecube /tmp/pivot-bench
#include "benchcube.h"

#include "olap/cube/cubebuilder.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makewidecube FOLDER\n");
        return 2;
    }
    using olap::DimensionType;
    olap::CubeBuilder cube(olap::CubeSpec{
        "Wide",
        {{"Customer", DimensionType::Other, {{{}, true, "All Customers", {{"Group"}, {"Customer"}}}}},
         {"Year", DimensionType::Time, {{{}, false, {}, {{"Year"}}}}}},
        {{"Amount", olap::Aggregation::Sum, "#,##0.00"}}});
    constexpr uint32_t kGroups = 1000, kPerGroup = 1000;
    for (uint32_t g = 0; g < kGroups; ++g) {
        const std::string group = "Group " + std::to_string(g);
        for (uint32_t c = 0; c < kPerGroup; ++c) {
            const uint32_t customer = g * kPerGroup + c;
            cube.dimensionKey(0, std::vector<olap::PathPart>{{group, {}}, {"C" + std::to_string(customer),
                                                                           "Customer " + std::to_string(customer)}});
        }
    }
    for (uint32_t y = 0; y < 4; ++y)
        cube.dimensionKey(1, std::vector<olap::PathPart>{{std::to_string(2021 + y), {}}});
    bench::Random random;
    for (uint32_t i = 0; i < 2'000'000; ++i) {
        const uint32_t keys[] = {random.below(kGroups * kPerGroup), random.below(4)};
        const double values[] = {double(random.below(10000)) / 100};
        cube.addFact(keys, values);
    }
    olap::CubeBuilder* cubes[] = {&cube};
    const auto file = std::filesystem::path(argv[1]) / "wide.cub";
    olap::writeCubeFile(file, "Wide", cubes);
    std::printf("wrote %s\n", file.c_str());
    return 0;
}
