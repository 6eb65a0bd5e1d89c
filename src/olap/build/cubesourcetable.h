// A dimension table of the cube builder, read whole into memory: its cells
// as text, and its rows found by key. Dimension tables are small next to the
// fact table (thousands of rows, not millions), so holding them is cheap and
// lets joins jump from row to row.
#pragma once

#include "olap/build/csvreader.h"
#include "olap/build/cubedefinition.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace olap {

class DimensionTable {
public:
    // Reads every record of `reader` (header already read). Throws what the
    // reader throws for malformed records.
    explicit DimensionTable(CsvReader reader);

    const std::filesystem::path& path() const { return mPath; }
    const std::vector<std::string>& header() const { return mHeader; }
    std::optional<size_t> findColumn(std::string_view name) const;
    size_t rowCount() const { return mRowCount; }

    // Requires: row < rowCount(), column < header().size(). Views stay valid
    // as long as the table.
    std::string_view cell(size_t row, size_t column) const;
    TextPosition cellPosition(size_t row, size_t column) const;

    // Makes `column` the key that findRow() searches. Throws Failure at the
    // second of two rows with the same key ("duplicate member key"), and at
    // an empty key.
    void indexBy(size_t column);
    // The row whose key is `key`. Requires: indexBy() was called.
    std::optional<size_t> findRow(std::string_view key) const;
    size_t keyColumn() const { return mKeyColumn; }

private:
    std::filesystem::path mPath;
    std::vector<std::string> mHeader;
    size_t mRowCount = 0;
    std::string mText;                      // all cells, one after the other
    std::vector<size_t> mCellEnd;           // row-major; a cell starts where the one before ends
    std::vector<TextPosition> mCellPosition;
    size_t mKeyColumn = 0;
    std::unordered_map<std::string_view, uint32_t> mRowOfKey;
};

// Opens the CSV file that `table` of `catalog` names. A file that cannot be
// opened is reported at the place in the definition that names it.
CsvReader openTable(const CatalogDefinition& catalog, const DefinitionText& table);

// Fails at `where` in the definition: `file` has no column `name`.
[[noreturn]] void throwUnknownColumn(const CatalogDefinition& catalog, const DefinitionText& name,
                                     const std::filesystem::path& file, const std::vector<std::string>& header);

}  // namespace olap
