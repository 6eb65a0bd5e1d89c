// Cube files: opened, every cube's facts read, and a query over the first
// two dimensions with every member drilled, as a pivot would ask.
#include "fuzzinput.h"

#include "olap/cube/cubefile.h"
#include "olap/cube/facttable.h"
#include "olap/query/query.h"
#include "platform/core/failure.h"

namespace {

olap::AxisField everyMemberOf(const olap::CubeInfo& cube, uint32_t dimension)
{
    olap::AxisField field{dimension, 0, {}, {}};
    const size_t members = cube.dimensions[dimension].hierarchies[0].members.size();
    for (uint32_t m = 0; m < members; ++m)
        field.drilled.push_back(m);
    return field;
}

void queryEverything(const olap::CubeInfo& cube, const olap::FactTable& facts)
{
    olap::PivotQuery query;
    if (!cube.dimensions.empty())
        query.rows.fields.push_back(everyMemberOf(cube, 0));
    if (cube.dimensions.size() > 1)
        query.columns.fields.push_back(everyMemberOf(cube, 1));
    for (uint32_t m = 0; m < cube.measures.size(); ++m)
        query.measures.push_back(m);
    olap::runQuery(cube, facts, query, {1});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto file = fuzz::inputFile("input.cub", data, size);
    try {
        const auto cube = olap::CubeFile::open(file);
        for (size_t c = 0; c < cube->catalog().cubes.size(); ++c)
            queryEverything(cube->catalog().cubes[c], *cube->facts(c));
    } catch (const platform::Failure&) {
    }
    return 0;
}
