// How the cube builder finds the member of a fact in one dimension: which
// columns of which tables hold each level, how a fact reaches them through
// joins, and a cache from the fact's text to the member key, so that each of
// the tens of millions of facts of a big cube costs one hash lookup.
#pragma once

#include "olap/cube/cubebuilder.h"
#include "olap/build/cubedefinition.h"
#include "olap/build/cubesourcekeys.h"
#include "olap/build/cubesourcetable.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace olap {

class DimensionSource {
public:
    // Resolves the columns of dimension `index` of `cube` against the header
    // of the fact table (`facts`) and the tables it joins, which it reads.
    // A joined dimension registers the members of every row of its first
    // joined table with `builder` at once, in table order, so members keep
    // the order of the table and exist even when no fact names them; the
    // members of a dimension in the fact table appear in fact order.
    // Throws Failure for an unknown or ambiguous column (at the definition),
    // a duplicate member key, a missing join key between dimension tables or
    // an empty member name (at the CSV cell). `builder` must outlive this.
    DimensionSource(const CatalogDefinition& catalog, const CubeDefinition& cube, size_t index,
                    const CsvReader& facts, CubeBuilder& builder);
    ~DimensionSource();
    DimensionSource(DimensionSource&&) noexcept;
    DimensionSource& operator=(DimensionSource&&) = delete;

    // The member key of the current record of `facts`. Throws Failure at the
    // fact's cell for a foreign key its table does not have ("missing join
    // key"), an empty member name, or paths that contradict earlier ones.
    uint32_t keyOf(const CsvReader& facts);

private:
    // Where a level's text comes from: a column of the fact table or of a joined table.
    struct ColumnSource {
        static constexpr size_t kFactTable = static_cast<size_t>(-1);
        size_t table = kFactTable;  // index into mTables
        size_t column = 0;
    };
    struct LevelColumns {
        ColumnSource name;
        std::optional<ColumnSource> caption;
        std::string levelName;
        std::optional<ColumnSource> ordinal = {};  // the member's place, for an order by ordinal
    };

    void openJoins(const CatalogDefinition& catalog, const DimensionDefinition& dimension, const CsvReader& facts);
    ColumnSource resolve(const CatalogDefinition& catalog, const DimensionDefinition& dimension,
                         const LevelDefinition& level, const DefinitionText& column, const CsvReader& facts,
                         std::optional<size_t> preferred) const;
    void registerTableMembers();
    std::vector<size_t> joinedRows(size_t firstRow) const;
    uint32_t addMember(const std::vector<std::vector<PathPart>>& paths, const std::filesystem::path& file,
                       TextPosition position);
    uint32_t joinedKey(const CsvReader& facts) const;
    uint32_t addFactMember(const CsvReader& facts);
    double ordinalOf(const LevelColumns& level, std::string_view cell, const std::filesystem::path& file,
                     TextPosition position) const;

    CubeBuilder& mBuilder;
    size_t mIndex;
    std::vector<std::unique_ptr<DimensionTable>> mTables;   // one per join step
    std::vector<size_t> mForeignKeyColumn;                  // per step: in the table before (the fact table for 0)
    std::vector<std::vector<LevelColumns>> mHierarchies;
    std::vector<uint32_t> mKeyOfRow;                        // joined: the key of each row of mTables[0]
    // The fact-table columns that tell the member: the foreign key of a
    // joined dimension, else every level's name column.
    std::vector<size_t> mFactColumns;
    std::vector<std::string_view> mCells;                   // their cells in the current fact
    MemberKeyCache mKeyOfCells;
};

}  // namespace olap
