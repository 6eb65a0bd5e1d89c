// The condition of a filtered measure, as the cube builder tests it on each
// fact: the fact's own cell, or the cell of a joined table that the fact
// reaches through a dimension's joins. A joined table's rows are tested once
// each when the build starts, so a fact costs one lookup of its foreign key.
#pragma once

#include "olap/build/cubedefinition.h"
#include "olap/build/cubesourcetable.h"

#include <memory>
#include <optional>
#include <vector>

namespace olap {

class FilterSource {
public:
    // Resolves `filter` against the fact table (`facts`, header read) or the
    // joined table it names, which it reads. Throws Failure at the definition
    // for a table no dimension of `cube` joins or a column its table lacks.
    FilterSource(const CatalogDefinition& catalog, const CubeDefinition& cube, const MeasureFilter& filter,
                 const CsvReader& facts);
    ~FilterSource();
    FilterSource(FilterSource&&) noexcept;
    FilterSource& operator=(FilterSource&&) = delete;

    // Whether the current record of `facts` meets the condition.
    bool meets(const CsvReader& facts) const;

private:
    bool test(std::string_view cell) const;
    void openChain(const CatalogDefinition& catalog, const CubeDefinition& cube, const CsvReader& facts);
    void testRows();

    const MeasureFilter& mFilter;
    std::optional<size_t> mFactColumn;                    // the condition's column in the fact table
    std::vector<std::unique_ptr<DimensionTable>> mChain;  // joined: the join steps up to the condition's table
    std::vector<size_t> mForeignKeyColumn;                // per step: in the table before
    size_t mFactForeignKey = 0;                           // joined: the first step's column of the fact table
    size_t mColumn = 0;                                   // joined: the condition's column in the last table
    std::vector<uint8_t> mMeetsOfRow;                     // joined: per row of the first table
};

}  // namespace olap
