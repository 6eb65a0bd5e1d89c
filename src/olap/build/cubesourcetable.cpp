#include "olap/build/cubesourcetable.h"

#include <algorithm>

namespace olap {

DimensionTable::DimensionTable(CsvReader reader) : mPath(reader.path()), mHeader(reader.header())
{
    const size_t columns = mHeader.size();
    while (reader.next()) {
        for (size_t column = 0; column < columns; ++column) {
            mText += reader.field(column);
            mCellEnd.push_back(mText.size());
            mCellPosition.push_back(reader.fieldPosition(column));
        }
        ++mRowCount;
    }
}

std::optional<size_t> DimensionTable::findColumn(std::string_view name) const
{
    const auto found = std::find(mHeader.begin(), mHeader.end(), name);
    if (found == mHeader.end())
        return std::nullopt;
    return static_cast<size_t>(found - mHeader.begin());
}

std::string_view DimensionTable::cell(size_t row, size_t column) const
{
    const size_t index = row * mHeader.size() + column;
    const size_t begin = index == 0 ? 0 : mCellEnd[index - 1];
    return std::string_view(mText).substr(begin, mCellEnd[index] - begin);
}

TextPosition DimensionTable::cellPosition(size_t row, size_t column) const
{
    return mCellPosition[row * mHeader.size() + column];
}

void DimensionTable::indexBy(size_t column)
{
    mKeyColumn = column;
    mRowOfKey.clear();
    mRowOfKey.reserve(mRowCount);
    for (size_t row = 0; row < mRowCount; ++row) {
        const std::string_view key = cell(row, column);
        if (key.empty())
            throwBadInput(mPath, cellPosition(row, column), "empty key in column " + inQuotes(mHeader[column]));
        const auto [found, added] = mRowOfKey.emplace(key, static_cast<uint32_t>(row));
        if (!added) {
            throwBadInput(mPath, cellPosition(row, column),
                          "duplicate member key " + inQuotes(key) + " in column " + inQuotes(mHeader[column])
                              + " (first on line " + std::to_string(cellPosition(found->second, column).line) + ")");
        }
    }
}

CsvReader openTable(const CatalogDefinition& catalog, const DefinitionText& table)
{
    try {
        return CsvReader(catalog.tablePath(table.value));
    } catch (const platform::Failure& failure) {
        if (failure.number() == platform::err::kInvalidCall)
            throw;  // the file opened; its own place is the right one
        throw platform::Failure(failure.number(),
                                describePlace(catalog.file, table.position) + ": " + failure.description(),
                                kCubeBuilderSource, failure.lastDllError());
    }
}

void throwUnknownColumn(const CatalogDefinition& catalog, const DefinitionText& name,
                        const std::filesystem::path& file, const std::vector<std::string>& header)
{
    std::string columns;
    for (const std::string& column : header)
        columns += (columns.empty() ? "" : ", ") + column;
    throwBadInput(catalog.file, name.position,
                  "unknown column " + inQuotes(name.value) + " in " + file.string() + "; its columns: " + columns);
}

std::optional<size_t> DimensionTable::findRow(std::string_view key) const
{
    const auto found = mRowOfKey.find(key);
    if (found == mRowOfKey.end())
        return std::nullopt;
    return found->second;
}

}  // namespace olap
