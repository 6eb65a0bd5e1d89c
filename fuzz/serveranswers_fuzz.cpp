// Fuzzes how the provider reads what a server answers: TabSeparated rows
// (shape and escapes), the number fields in them, and a published cube's
// metadata JSON. Whatever the bytes, a reader either returns what it promises
// or refuses with MalformedAnswer; anything else (a crash, another
// exception, an oversized allocation, a broken promise) is a finding.
//
// The first byte chooses the reader; for rows, the second byte gives the
// column count and the third the row limit.
#include "olap/server/serveranswer.h"
#include "olap/server/servercatalog.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using olap::server::MalformedAnswer;

void check(bool promise)
{
    if (!promise)
        __builtin_trap();
}

void fuzzRows(std::string_view answer, size_t columns, size_t maxRows)
{
    try {
        const auto rows = olap::server::parseRows(answer, columns, maxRows);
        check(rows.size() <= maxRows);
        size_t bytes = 0;
        for (const auto& row : rows) {
            check(row.size() == columns);
            for (const std::string& field : row)
                bytes += field.size();
        }
        // Unescaping only ever shortens a field; tabs and newlines separate.
        check(bytes + rows.size() * columns <= answer.size());
    } catch (const MalformedAnswer&) {
    }
}

void fuzzNumbers(std::string_view field)
{
    for (int reader = 0; reader < 3; ++reader) {
        try {
            if (reader == 0)
                olap::server::readInteger(field, "a number");
            else if (reader == 1)
                olap::server::readUnsigned(field, "a number");
            else
                olap::server::readDouble(field, "a number");
        } catch (const MalformedAnswer&) {
        }
    }
}

// Metadata that is read must describe a cube the rest of the provider may
// trust: a fact column per level that is not "all", levels that follow each
// other, a column and an empty flag per measure.
void fuzzMetadata(const std::string& json)
{
    try {
        const auto [cube, tables] = olap::server::parseCubeMetadata(json);
        check(tables.levelColumns.size() == cube.dimensions.size());
        for (size_t d = 0; d < cube.dimensions.size(); ++d) {
            const auto& hierarchies = cube.dimensions[d].hierarchies;
            check(!hierarchies.empty() && tables.levelColumns[d].size() == hierarchies.size());
            for (size_t h = 0; h < hierarchies.size(); ++h) {
                const auto& levels = hierarchies[h].levels;
                check(!levels.empty() && tables.levelColumns[d][h].size() == levels.size());
                uint64_t next = 0;
                for (size_t l = 0; l < levels.size(); ++l) {
                    check(levels[l].firstMember == next);
                    check(tables.levelColumns[d][h][l].empty() == (levels[l].type == olap::LevelType::All));
                    next += levels[l].memberCount;
                }
            }
        }
        check(tables.measureColumns.size() == cube.measures.size());
        check(tables.measureHasEmpty.size() == cube.measures.size());
    } catch (const MalformedAnswer&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data) + 3, size - 3);
    switch (data[0] % 3) {
    case 0: fuzzRows(rest, data[1] % 16, data[2]); break;
    case 1: fuzzNumbers(rest); break;
    default: fuzzMetadata(std::string(rest)); break;
    }
    return 0;
}
