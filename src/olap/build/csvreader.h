// Reading CSV files (RFC 4180) record by record, fast enough for fact tables
// of tens of millions of rows: the file is mapped into memory and fields are
// views into it, so reading a record allocates nothing.
//
// The format: a header row naming the columns, then one record per line.
// Fields are separated by ','; a field in double quotes may hold ',', line
// breaks and doubled quotes ("" for one "). Lines end in "\n" or "\r\n".
// Empty lines are skipped. A UTF-8 byte order mark before the header is
// ignored; text is otherwise passed through as it is (UTF-8 expected).
#pragma once

#include "olap/build/cubesourceerror.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace olap {

class CsvReader {
public:
    // Opens `file` and reads its header row. Throws Failure naming the file
    // when it cannot be opened (53 when missing), is empty, or its header is
    // malformed or names a column twice.
    explicit CsvReader(std::filesystem::path file);
    ~CsvReader();
    CsvReader(CsvReader&&) noexcept;
    CsvReader& operator=(CsvReader&&) noexcept;

    const std::filesystem::path& path() const { return mPath; }
    const std::vector<std::string>& header() const { return mHeader; }
    // The index of the column named exactly `name`, if the header has it.
    std::optional<size_t> findColumn(std::string_view name) const;

    // Reads the next record; false at the end of the file. Throws Failure
    // naming file, line and column for an unterminated quoted field, text
    // after a closing quote, or a record whose field count is not the header's.
    bool next();

    // Field `index` of the current record (index < header().size()). The view
    // stays valid until the next call of next().
    std::string_view field(size_t index) const;
    // Where field `index` of the current record starts in the file.
    TextPosition fieldPosition(size_t index) const;
    // The line on which the current record starts.
    uint64_t recordLine() const { return mRecordLine; }

    // Throws Failure naming the place of field `index` of the current record.
    [[noreturn]] void failAt(size_t index, std::string_view message,
                             int32_t number = platform::err::kInvalidCall) const;

private:
    struct FieldSpan {
        uint64_t start;     // file offset of the field's first character (its quote, if quoted)
        uint64_t offset;    // where its text begins: in the file, or in mScratch when unescaped
        uint32_t size;
        bool unescaped;     // doubled quotes were removed into mScratch
    };

    void readHeader();
    void skipEmptyLines();
    void readRecord();
    bool readPlainField();
    bool readQuotedField();
    bool endField(uint64_t at);
    void addField(const FieldSpan& span)
    {
        if (mFieldCount == mFields.size()) [[unlikely]]
            mFields.resize(mFieldCount + 8);
        mFields[mFieldCount++] = span;
    }
    TextPosition positionAt(uint64_t offset) const;

    std::filesystem::path mPath;
    class Mapping;
    std::unique_ptr<Mapping> mMapping;
    const char* mData = nullptr;
    uint64_t mSize = 0;
    uint64_t mPos = 0;
    uint64_t mLine = 1;           // line of mPos
    uint64_t mRecordStart = 0;
    uint64_t mRecordEnd = 0;      // offset of the current record's line break (or end of file)
    uint64_t mRecordLine = 1;
    std::vector<std::string> mHeader;
    std::unordered_map<std::string, size_t> mColumns;   // the header's names and their indexes
    std::vector<FieldSpan> mFields;  // the current record's fields are [0, mFieldCount)
    size_t mFieldCount = 0;
    std::string mScratch;
};

}  // namespace olap
