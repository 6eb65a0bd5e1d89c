#include "olap/build/cubesourcefilter.h"

#include "olap/build/csvnumber.h"

#include <algorithm>

namespace olap {

FilterSource::FilterSource(const CatalogDefinition& catalog, const CubeDefinition& cube, const MeasureFilter& filter,
                           const CsvReader& facts)
    : mFilter(filter)
{
    if (filter.table.empty() || filter.table.value == cube.factTable.value) {
        mFactColumn = facts.findColumn(filter.column.value);
        if (!mFactColumn)
            throwUnknownColumn(catalog, filter.column, facts.path(), facts.header());
        return;
    }
    openChain(catalog, cube, facts);
    testRows();
}

FilterSource::~FilterSource() = default;
FilterSource::FilterSource(FilterSource&&) noexcept = default;

// The joins of the first dimension that reaches the condition's table, up
// to that table.
void FilterSource::openChain(const CatalogDefinition& catalog, const CubeDefinition& cube, const CsvReader& facts)
{
    const DimensionDefinition* owner = nullptr;
    size_t steps = 0;
    for (const DimensionDefinition& dimension : cube.dimensions) {
        const auto found = std::find_if(dimension.joins.begin(), dimension.joins.end(),
                                        [&](const JoinDefinition& j) { return j.table.value == mFilter.table.value; });
        if (found != dimension.joins.end()) {
            owner = &dimension;
            steps = size_t(found - dimension.joins.begin()) + 1;
            break;
        }
    }
    if (!owner)
        throwBadInput(catalog.file, mFilter.table.position,
                      "no dimension joins table " + inQuotes(mFilter.table.value) + "; a filter's table is the fact "
                          "table or a table of a dimension's \"joins\"");
    for (size_t step = 0; step < steps; ++step) {
        const JoinDefinition& join = owner->joins[step];
        auto table = std::make_unique<DimensionTable>(openTable(catalog, join.table));
        const auto key = table->findColumn(join.key.value);
        if (!key)
            throwUnknownColumn(catalog, join.key, table->path(), table->header());
        const auto& before = step == 0 ? facts.header() : mChain.back()->header();
        const auto foreignKey = std::find(before.begin(), before.end(), join.foreignKey.value);
        if (foreignKey == before.end())
            throwUnknownColumn(catalog, join.foreignKey, step == 0 ? facts.path() : mChain.back()->path(), before);
        table->indexBy(*key);
        mForeignKeyColumn.push_back(size_t(foreignKey - before.begin()));
        mChain.push_back(std::move(table));
    }
    mFactForeignKey = mForeignKeyColumn[0];
    const auto column = mChain.back()->findColumn(mFilter.column.value);
    if (!column)
        throwUnknownColumn(catalog, mFilter.column, mChain.back()->path(), mChain.back()->header());
    mColumn = *column;
}

// Follows each row of the first table to the condition's table; a row that
// leads nowhere fails (the dimension reports the missing key itself).
void FilterSource::testRows()
{
    const DimensionTable& first = *mChain[0];
    mMeetsOfRow.resize(first.rowCount());
    for (size_t row = 0; row < first.rowCount(); ++row) {
        std::optional<size_t> at = row;
        for (size_t step = 1; step < mChain.size() && at; ++step)
            at = mChain[step]->findRow(mChain[step - 1]->cell(*at, mForeignKeyColumn[step]));
        mMeetsOfRow[row] = at && test(mChain.back()->cell(*at, mColumn));
    }
}

bool FilterSource::test(std::string_view cell) const
{
    switch (mFilter.test) {
    case MeasureFilter::Test::Equals:
        return cell == mFilter.values[0];
    case MeasureFilter::Test::NotEquals:
        return cell != mFilter.values[0];
    case MeasureFilter::Test::OneOf:
        return std::find(mFilter.values.begin(), mFilter.values.end(), cell) != mFilter.values.end();
    case MeasureFilter::Test::Range: {
        double value = 0;
        return !cell.empty() && parseCsvNumber(cell, value) && value == value
               && (!mFilter.from || value >= *mFilter.from) && (!mFilter.to || value <= *mFilter.to);
    }
    }
    return false;
}

bool FilterSource::meets(const CsvReader& facts) const
{
    if (mFactColumn)
        return test(facts.field(*mFactColumn));
    const auto row = mChain[0]->findRow(facts.field(mFactForeignKey));
    return row && mMeetsOfRow[*row];
}

}  // namespace olap
