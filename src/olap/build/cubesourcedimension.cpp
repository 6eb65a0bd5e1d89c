#include "olap/build/cubesourcedimension.h"

#include "olap/build/csvnumber.h"

#include <algorithm>

namespace olap {

DimensionSource::DimensionSource(const CatalogDefinition& catalog, const CubeDefinition& cube, size_t index,
                                 const CsvReader& facts, CubeBuilder& builder)
    : mBuilder(builder), mIndex(index)
{
    const DimensionDefinition& dimension = cube.dimensions[index];
    openJoins(catalog, dimension, facts);
    for (const HierarchyDefinition& hierarchy : dimension.hierarchies) {
        std::vector<LevelColumns> levels;
        for (const LevelDefinition& level : hierarchy.levels) {
            LevelColumns columns{resolve(catalog, dimension, level, level.column, facts, std::nullopt), std::nullopt,
                                 level.name};
            if (!level.captionColumn.empty())
                columns.caption = resolve(catalog, dimension, level, level.captionColumn, facts, columns.name.table);
            if (!level.orderColumn.empty())
                columns.ordinal = resolve(catalog, dimension, level, level.orderColumn, facts, columns.name.table);
            levels.push_back(std::move(columns));
        }
        mHierarchies.push_back(std::move(levels));
    }
    if (!mTables.empty()) {
        registerTableMembers();
        mFactColumns = {mForeignKeyColumn[0]};
    } else {
        for (const auto& levels : mHierarchies) {
            for (const LevelColumns& level : levels) {
                if (std::find(mFactColumns.begin(), mFactColumns.end(), level.name.column) == mFactColumns.end())
                    mFactColumns.push_back(level.name.column);
            }
        }
    }
    mCells.resize(mFactColumns.size());
}

DimensionSource::~DimensionSource() = default;
DimensionSource::DimensionSource(DimensionSource&&) noexcept = default;

void DimensionSource::openJoins(const CatalogDefinition& catalog, const DimensionDefinition& dimension,
                                const CsvReader& facts)
{
    for (const JoinDefinition& join : dimension.joins) {
        auto table = std::make_unique<DimensionTable>(openTable(catalog, join.table));
        const auto key = table->findColumn(join.key.value);
        if (!key)
            throwUnknownColumn(catalog, join.key, table->path(), table->header());
        const bool first = mTables.empty();
        const auto& before = first ? facts.header() : mTables.back()->header();
        const auto foreignKey = std::find(before.begin(), before.end(), join.foreignKey.value);
        if (foreignKey == before.end())
            throwUnknownColumn(catalog, join.foreignKey, first ? facts.path() : mTables.back()->path(), before);
        table->indexBy(*key);
        mForeignKeyColumn.push_back(static_cast<size_t>(foreignKey - before.begin()));
        mTables.push_back(std::move(table));
    }
}

// Finds `column` in the table the level names, else in the one of the
// dimension's tables that has it (`preferred` first: a caption beside its name).
DimensionSource::ColumnSource DimensionSource::resolve(const CatalogDefinition& catalog,
                                                       const DimensionDefinition& dimension,
                                                       const LevelDefinition& level, const DefinitionText& column,
                                                       const CsvReader& facts, std::optional<size_t> preferred) const
{
    if (mTables.empty()) {
        const auto found = facts.findColumn(column.value);
        if (!found)
            throwUnknownColumn(catalog, column, facts.path(), facts.header());
        return {ColumnSource::kFactTable, *found};
    }
    std::vector<size_t> candidates;
    for (size_t t = 0; t < mTables.size(); ++t) {
        if (level.table.empty() || dimension.joins[t].table.value == level.table.value)
            candidates.push_back(t);
    }
    std::vector<ColumnSource> found;
    for (const size_t t : candidates) {
        if (const auto c = mTables[t]->findColumn(column.value))
            found.push_back({t, *c});
    }
    if (preferred) {
        for (const ColumnSource& source : found) {
            if (source.table == *preferred)
                return source;
        }
    }
    if (found.size() == 1)
        return found.front();
    std::string tables;
    for (const size_t t : candidates)
        tables += (tables.empty() ? "" : ", ") + mTables[t]->path().string();
    if (found.empty() && candidates.size() == 1)
        throwUnknownColumn(catalog, column, mTables[candidates[0]]->path(), mTables[candidates[0]]->header());
    if (found.empty())
        throwBadInput(catalog.file, column.position, "unknown column " + inQuotes(column.value) + ": none of " + tables + " has it");
    throwBadInput(catalog.file, column.position,
                  "column " + inQuotes(column.value) + " is in more than one of " + tables
                      + "; say which with \"table\"");
}

// The row of each joined table that row `firstRow` of the first one leads to.
std::vector<size_t> DimensionSource::joinedRows(size_t firstRow) const
{
    std::vector<size_t> rows{firstRow};
    for (size_t step = 1; step < mTables.size(); ++step) {
        const DimensionTable& before = *mTables[step - 1];
        const DimensionTable& table = *mTables[step];
        const std::string_view key = before.cell(rows.back(), mForeignKeyColumn[step]);
        const auto row = table.findRow(key);
        if (!row) {
            throwBadInput(before.path(), before.cellPosition(rows.back(), mForeignKeyColumn[step]),
                          "missing join key " + inQuotes(key) + ": no row of " + table.path().string() + " has "
                              + table.header()[table.keyColumn()] + " " + inQuotes(key));
        }
        rows.push_back(*row);
    }
    return rows;
}

void DimensionSource::registerTableMembers()
{
    const DimensionTable& first = *mTables[0];
    mKeyOfRow.resize(first.rowCount());
    std::vector<std::vector<PathPart>> paths(mHierarchies.size());
    for (size_t row = 0; row < first.rowCount(); ++row) {
        const std::vector<size_t> rows = joinedRows(row);
        for (size_t h = 0; h < mHierarchies.size(); ++h) {
            paths[h].clear();
            for (const LevelColumns& level : mHierarchies[h]) {
                const DimensionTable& table = *mTables[level.name.table];
                const std::string_view name = table.cell(rows[level.name.table], level.name.column);
                if (name.empty()) {
                    throwBadInput(table.path(), table.cellPosition(rows[level.name.table], level.name.column),
                                  "empty member name for level " + inQuotes(level.levelName));
                }
                std::string caption;
                if (level.caption)
                    caption = mTables[level.caption->table]->cell(rows[level.caption->table], level.caption->column);
                double ordinal = 0;
                if (level.ordinal) {
                    const DimensionTable& own = *mTables[level.ordinal->table];
                    const size_t at = rows[level.ordinal->table];
                    ordinal = ordinalOf(level, own.cell(at, level.ordinal->column), own.path(),
                                        own.cellPosition(at, level.ordinal->column));
                }
                paths[h].push_back({std::string(name), std::move(caption), ordinal});
            }
        }
        mKeyOfRow[row] = addMember(paths, first.path(), first.cellPosition(row, first.keyColumn()));
    }
}

// The builder knows members only by path; a contradiction it finds (one key,
// two paths) is reported at the data that caused it.
uint32_t DimensionSource::addMember(const std::vector<std::vector<PathPart>>& paths,
                                    const std::filesystem::path& file, TextPosition position)
{
    try {
        return mBuilder.dimensionKey(mIndex, paths);
    } catch (const platform::Failure& failure) {
        throwBadInput(file, position, failure.description(), failure.number());
    }
}

uint32_t DimensionSource::keyOf(const CsvReader& facts)
{
    for (size_t i = 0; i < mFactColumns.size(); ++i)
        mCells[i] = facts.field(mFactColumns[i]);
    const uint64_t hash = MemberKeyCache::hashOf(mCells);
    uint32_t key = mKeyOfCells.find(mCells, hash);
    if (key == MemberKeyCache::kNone) {
        key = mTables.empty() ? addFactMember(facts) : joinedKey(facts);
        mKeyOfCells.insert(mCells, hash, key);
    }
    return key;
}

uint32_t DimensionSource::joinedKey(const CsvReader& facts) const
{
    const std::string_view text = facts.field(mForeignKeyColumn[0]);
    const DimensionTable& table = *mTables[0];
    const auto row = table.findRow(text);
    if (!row) {
        facts.failAt(mForeignKeyColumn[0], "missing join key " + inQuotes(text) + ": no row of " + table.path().string()
                                               + " has " + table.header()[table.keyColumn()] + " " + inQuotes(text));
    }
    return mKeyOfRow[*row];
}

// The member a fact names with the level columns of the fact table itself.
uint32_t DimensionSource::addFactMember(const CsvReader& facts)
{
    std::vector<std::vector<PathPart>> paths;
    for (const auto& levels : mHierarchies) {
        std::vector<PathPart>& path = paths.emplace_back();
        for (const LevelColumns& level : levels) {
            const std::string_view name = facts.field(level.name.column);
            if (name.empty())
                facts.failAt(level.name.column, "empty member name for level " + inQuotes(level.levelName));
            const double ordinal = level.ordinal ? ordinalOf(level, facts.field(level.ordinal->column), facts.path(),
                                                             facts.fieldPosition(level.ordinal->column))
                                                 : 0.0;
            path.push_back({std::string(name), level.caption ? std::string(facts.field(level.caption->column)) : "",
                            ordinal});
        }
    }
    return addMember(paths, facts.path(), facts.fieldPosition(mFactColumns[0]));
}

}  // namespace olap

namespace olap {

// A member's place must be a number: a blank or a word would leave its order
// to chance.
double DimensionSource::ordinalOf(const LevelColumns& level, std::string_view cell, const std::filesystem::path& file,
                                  TextPosition position) const
{
    double value = 0;
    if (cell.empty() || !parseCsvNumber(cell, value))
        throwBadInput(file, position, "the order value " + inQuotes(cell) + " of level " + inQuotes(level.levelName)
                                          + " is not a number", platform::err::kTypeMismatch);
    return value;
}

}  // namespace olap
