// Writes what CubeBuilders collected as a cube file (layout: cubeformat.h).
#include "olap/cube/builderdata.h"
#include "olap/cube/cubebuilder.h"
#include "olap/cube/cubeformat.h"
#include "olap/cube/measurecolumn.h"
#include "olap/cube/memberorder.h"
#include "platform/core/failure.h"
#include "platform/core/safewrite.h"
#include "platform/core/sqlitedb.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numeric>
#include <optional>

namespace olap {

namespace {

static_assert(std::endian::native == std::endian::little, "cube files store little-endian numbers");

using platform::SqliteDb;
using platform::SqliteStatement;

constexpr const char* kSchema = R"sql(
CREATE TABLE catalog (name TEXT NOT NULL);
CREATE TABLE cubes (id INTEGER PRIMARY KEY, name TEXT NOT NULL, fact_count INTEGER NOT NULL,
                    chunk_rows INTEGER NOT NULL);
CREATE TABLE dimensions (cube INTEGER NOT NULL, position INTEGER NOT NULL, name TEXT NOT NULL,
                         type INTEGER NOT NULL, key_count INTEGER NOT NULL, key_width INTEGER NOT NULL,
                         PRIMARY KEY (cube, position));
CREATE TABLE hierarchies (cube INTEGER NOT NULL, dimension INTEGER NOT NULL, position INTEGER NOT NULL,
                          name TEXT NOT NULL, members BLOB NOT NULL, member_of_key BLOB NOT NULL,
                          PRIMARY KEY (cube, dimension, position));
CREATE TABLE levels (cube INTEGER NOT NULL, dimension INTEGER NOT NULL, hierarchy INTEGER NOT NULL,
                     position INTEGER NOT NULL, name TEXT NOT NULL, type INTEGER NOT NULL,
                     named_by_key INTEGER NOT NULL, PRIMARY KEY (cube, dimension, hierarchy, position));
CREATE TABLE measures (cube INTEGER NOT NULL, position INTEGER NOT NULL, name TEXT NOT NULL,
                       aggregation INTEGER NOT NULL, format TEXT NOT NULL, PRIMARY KEY (cube, position));
CREATE TABLE calculated_measures (cube INTEGER NOT NULL, position INTEGER NOT NULL, name TEXT NOT NULL,
                                  formula TEXT NOT NULL, format TEXT NOT NULL, PRIMARY KEY (cube, position));
CREATE TABLE distinct_measures (cube INTEGER NOT NULL, measure INTEGER NOT NULL, value_count INTEGER NOT NULL,
                                key_width INTEGER NOT NULL, PRIMARY KEY (cube, measure));
CREATE TABLE compact_measures (cube INTEGER NOT NULL, measure INTEGER NOT NULL, width INTEGER NOT NULL,
                               decimals INTEGER NOT NULL, PRIMARY KEY (cube, measure));
CREATE TABLE facts (cube INTEGER NOT NULL, chunk INTEGER NOT NULL, column INTEGER NOT NULL,
                    bytes INTEGER NOT NULL, data BLOB NOT NULL);
)sql";

template <class T>
void append(std::vector<uint8_t>& out, T value)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
    out.insert(out.end(), bytes, bytes + sizeof(T));
}

void appendText(std::vector<uint8_t>& out, const std::string& text)
{
    append<uint32_t>(out, uint32_t(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

// The hierarchy's members in file order (level by level; within a level
// grouped by parent in the parent's order, then in the level's order, ties
// as first seen), packed, and each key's deepest member as a file index.
struct OrderedMembers {
    std::vector<uint8_t> packed;
    std::vector<uint8_t> memberOfKey;
};

OrderedMembers orderMembers(const HierarchyBuild& hierarchy, const HierarchySpec& spec)
{
    const LevelSpec kAllLevel;
    OrderedMembers result;
    std::vector<uint32_t> previousIndex;  // file index of each member of the level above, by build index
    uint32_t offset = 0;
    for (const std::vector<MemberBuild>& level : hierarchy.levels) {
        std::vector<uint32_t> order(level.size());
        std::iota(order.begin(), order.end(), 0u);
        const size_t depth = size_t(&level - hierarchy.levels.data());
        const LevelSpec& levelSpec = hierarchy.hasAll && depth == 0 ? kAllLevel : spec.levels[depth - (hierarchy.hasAll ? 1 : 0)];
        std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
            const uint32_t parentA = level[a].parent >= 0 ? previousIndex[level[a].parent] : 0;
            const uint32_t parentB = level[b].parent >= 0 ? previousIndex[level[b].parent] : 0;
            if (parentA != parentB)
                return parentA < parentB;
            return memberBefore(levelSpec, level[a], level[b]);
        });
        std::vector<uint32_t> fileIndex(level.size());
        for (uint32_t position = 0; position < order.size(); ++position) {
            const MemberBuild& member = level[order[position]];
            fileIndex[order[position]] = offset + position;
            append<int32_t>(result.packed, member.parent < 0 ? -1 : int32_t(previousIndex[member.parent]));
            append<uint16_t>(result.packed, uint16_t(&level - hierarchy.levels.data()));
            appendText(result.packed, member.name);
            appendText(result.packed, member.caption == member.name ? std::string() : member.caption);
        }
        offset += uint32_t(level.size());
        previousIndex = std::move(fileIndex);
    }
    for (uint32_t leaf : hierarchy.memberOfKey)
        append<uint32_t>(result.memberOfKey, previousIndex[leaf]);
    return result;
}

int keyWidth(size_t keyCount) { return keyCount <= 0x100 ? 1 : keyCount <= 0x10000 ? 2 : 4; }

// A distinct count's ids and the 0 of "no value" in the fewest bytes.
int distinctWidth(size_t values) { return keyWidth(values + 1); }

// The facts in the order they are written: by the first distinct count's
// ids (stably; "no value" first), so that a query finds each id's facts side
// by side; as added where the cube has no distinct count. Empty: as added.
std::vector<uint32_t> factOrder(const CubeBuilder::Data& data)
{
    std::vector<uint32_t> order;
    const auto distinct = std::find_if(data.spec.measures.begin(), data.spec.measures.end(),
                                       [](const MeasureSpec& m) { return m.aggregation == Aggregation::DistinctCount; });
    // Past 2^32 facts the order would need wider indices than it is worth.
    if (distinct == data.spec.measures.end() || data.factCount > UINT32_MAX)
        return order;
    const std::vector<double>& ids = data.values[size_t(distinct - data.spec.measures.begin())];
    const auto idOf = [&](uint64_t fact) { return std::isnan(ids[fact]) ? size_t(0) : size_t(ids[fact]); };
    std::vector<uint32_t> start(data.distinctIds[size_t(distinct - data.spec.measures.begin())].size() + 2);
    for (uint64_t fact = 0; fact < data.factCount; ++fact)
        ++start[idOf(fact) + 1];
    std::partial_sum(start.begin(), start.end(), start.begin());
    order.resize(data.factCount);
    for (uint64_t fact = 0; fact < data.factCount; ++fact)
        order[start[idOf(fact)]++] = uint32_t(fact);
    return order;
}

// Facts [first, first + count) of the written order.
struct FactRange {
    const std::vector<uint32_t>& order;
    uint64_t first = 0;
    uint64_t count = 0;
    uint64_t operator[](uint64_t i) const { return order.empty() ? first + i : order[first + i]; }
};

// A distinct count's ids, held as numbers while building (NaN: no value).
std::vector<uint8_t> idChunk(const std::vector<double>& ids, const FactRange& facts, int width)
{
    std::vector<uint8_t> bytes(facts.count * width);
    for (uint64_t i = 0; i < facts.count; ++i) {
        const double id = ids[facts[i]];
        const uint32_t value = std::isnan(id) ? 0 : uint32_t(id);
        std::memcpy(&bytes[i * width], &value, width);
    }
    return bytes;
}

std::vector<uint8_t> keyChunk(const std::vector<uint32_t>& keys, const FactRange& facts, int width)
{
    std::vector<uint8_t> bytes(facts.count * width);
    for (uint64_t i = 0; i < facts.count; ++i)
        std::memcpy(&bytes[i * width], &keys[facts[i]], width);  // little-endian: the low bytes first
    return bytes;
}

// A compact measure's values as integers of its width (little-endian: the
// low bytes of each).
std::vector<uint8_t> compactChunk(const std::vector<double>& values, const FactRange& facts, CompactForm form)
{
    std::vector<uint8_t> bytes(facts.count * form.width);
    for (uint64_t i = 0; i < facts.count; ++i) {
        const int32_t value = encodeValue(values[facts[i]], form);
        std::memcpy(&bytes[i * form.width], &value, form.width);
    }
    return bytes;
}

std::vector<uint8_t> valueChunk(const std::vector<double>& values, const FactRange& facts)
{
    std::vector<uint8_t> bytes(facts.count * sizeof(double));
    for (uint64_t i = 0; i < facts.count; ++i)
        std::memcpy(&bytes[i * sizeof(double)], &values[facts[i]], sizeof(double));
    return bytes;
}

class CatalogWriter {
public:
    explicit CatalogWriter(const SqliteDb& db) : mDb(db) {}

    void writeCube(int64_t id, const CubeBuilder::Data& cube)
    {
        SqliteStatement(mDb, "INSERT INTO cubes VALUES (?, ?, ?, ?)")
            .bind(id).bind(cube.spec.name).bind(int64_t(cube.factCount)).bind(int64_t(cubeformat::kChunkRows))
            .step();
        for (size_t d = 0; d < cube.dimensions.size(); ++d)
            writeDimension(id, int64_t(d), cube.spec.dimensions[d], cube.dimensions[d]);
        SqliteStatement measure(mDb, "INSERT INTO measures VALUES (?, ?, ?, ?, ?)");
        for (size_t m = 0; m < cube.spec.measures.size(); ++m) {
            const MeasureSpec& spec = cube.spec.measures[m];
            measure.bind(id).bind(int64_t(m)).bind(spec.name).bind(int64_t(spec.aggregation)).bind(spec.formatString).step();
            measure.reset();
        }
        SqliteStatement distinct(mDb, "INSERT INTO distinct_measures VALUES (?, ?, ?, ?)");
        for (size_t m = 0; m < cube.spec.measures.size(); ++m) {
            if (cube.spec.measures[m].aggregation != Aggregation::DistinctCount)
                continue;
            const size_t values = cube.distinctIds[m].size();
            distinct.bind(id).bind(int64_t(m)).bind(int64_t(values)).bind(int64_t(distinctWidth(values))).step();
            distinct.reset();
        }
        // Measures whose every value is a whole number of units, tenths,
        // hundredths, ... are stored as such: a query reads and holds 1, 2
        // or 4 bytes a fact instead of 8.
        mCompact.assign(cube.spec.measures.size(), std::nullopt);
        SqliteStatement compact(mDb, "INSERT INTO compact_measures VALUES (?, ?, ?, ?)");
        for (size_t m = 0; m < cube.spec.measures.size(); ++m) {
            if (cube.spec.measures[m].aggregation == Aggregation::DistinctCount)
                continue;
            mCompact[m] = compactForm(cube.values[m]);
            if (mCompact[m]) {
                compact.bind(id).bind(int64_t(m)).bind(int64_t(mCompact[m]->width)).bind(int64_t(mCompact[m]->decimals))
                    .step();
                compact.reset();
            }
        }
        SqliteStatement calculated(mDb, "INSERT INTO calculated_measures VALUES (?, ?, ?, ?, ?)");
        for (size_t m = 0; m < cube.spec.calculatedMeasures.size(); ++m) {
            const CalculatedMeasureSpec& spec = cube.spec.calculatedMeasures[m];
            calculated.bind(id).bind(int64_t(m)).bind(spec.name).bind(spec.formula).bind(spec.formatString).step();
            calculated.reset();
        }
        writeFacts(id, cube);
    }

private:
    void writeDimension(int64_t cube, int64_t position, const DimensionSpec& spec, const DimensionBuild& build)
    {
        const size_t keys = build.keyOfPath.size();
        SqliteStatement(mDb, "INSERT INTO dimensions VALUES (?, ?, ?, ?, ?, ?)")
            .bind(cube).bind(position).bind(spec.name).bind(int64_t(spec.type)).bind(int64_t(keys))
            .bind(int64_t(keyWidth(keys))).step();
        SqliteStatement level(mDb, "INSERT INTO levels VALUES (?, ?, ?, ?, ?, ?, ?)");
        for (size_t h = 0; h < spec.hierarchies.size(); ++h) {
            const HierarchySpec& hierarchy = spec.hierarchies[h];
            const OrderedMembers members = orderMembers(build.hierarchies[h], hierarchy);
            SqliteStatement(mDb, "INSERT INTO hierarchies VALUES (?, ?, ?, ?, ?, ?)")
                .bind(cube).bind(position).bind(int64_t(h)).bind(hierarchy.name.empty() ? spec.name : hierarchy.name)
                .bindBlob(members.packed).bindBlob(members.memberOfKey).step();
            int64_t at = 0;
            if (hierarchy.hasAllLevel) {
                level.bind(cube).bind(position).bind(int64_t(h)).bind(at++).bind(std::string_view("(All)"))
                    .bind(int64_t(LevelType::All)).bind(int64_t(0)).step();
                level.reset();
            }
            for (const LevelSpec& spec : hierarchy.levels) {
                level.bind(cube).bind(position).bind(int64_t(h)).bind(at++).bind(spec.name)
                    .bind(int64_t(LevelType::Regular)).bind(int64_t(spec.namedByKey)).step();
                level.reset();
            }
        }
    }

    void writeFacts(int64_t cube, const CubeBuilder::Data& data)
    {
        SqliteStatement fact(mDb, "INSERT INTO facts VALUES (?, ?, ?, ?, ?)");
        const auto write = [&](uint64_t chunk, size_t column, const std::vector<uint8_t>& bytes) {
            fact.bind(cube).bind(int64_t(chunk)).bind(int64_t(column)).bind(int64_t(bytes.size())).bindBlob(bytes).step();
            fact.reset();
        };
        const std::vector<uint32_t> order = factOrder(data);
        for (uint64_t first = 0, chunk = 0; first < data.factCount; first += cubeformat::kChunkRows, ++chunk) {
            const FactRange facts{order, first, std::min<uint64_t>(cubeformat::kChunkRows, data.factCount - first)};
            for (size_t d = 0; d < data.keys.size(); ++d)
                write(chunk, d, keyChunk(data.keys[d], facts, keyWidth(data.dimensions[d].keyOfPath.size())));
            for (size_t m = 0; m < data.values.size(); ++m) {
                const bool distinct = data.spec.measures[m].aggregation == Aggregation::DistinctCount;
                write(chunk, data.keys.size() + m,
                      distinct        ? idChunk(data.values[m], facts, distinctWidth(data.distinctIds[m].size()))
                      : mCompact[m] ? compactChunk(data.values[m], facts, *mCompact[m])
                                      : valueChunk(data.values[m], facts));
            }
        }
    }

    const SqliteDb& mDb;
    std::vector<std::optional<CompactForm>> mCompact;  // per stored measure of the cube being written
};

void writeCatalog(const std::filesystem::path& file, const std::string& catalogName,
                  std::span<CubeBuilder* const> cubes)
{
    SqliteDb db(file, SqliteDb::Mode::ReadWriteCreate, "olap");
    db.exec(("PRAGMA page_size = " + std::to_string(cubeformat::kPageSize)).c_str());
    // The file is new and renamed into place only when complete, so it needs
    // no journal, and SafeWrite flushes it to disk once before the rename.
    db.exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF");
    db.exec(("PRAGMA application_id = " + std::to_string(cubeformat::kApplicationId)).c_str());
    db.exec(("PRAGMA user_version = " + std::to_string(cubeformat::kVersion)).c_str());
    db.exec("BEGIN");
    db.exec(kSchema);
    SqliteStatement(db, "INSERT INTO catalog VALUES (?)").bind(catalogName).step();
    CatalogWriter writer(db);
    for (size_t i = 0; i < cubes.size(); ++i)
        writer.writeCube(int64_t(i), cubes[i]->data());
    db.exec("COMMIT");
}

}  // namespace

void writeCubeFile(const std::filesystem::path& file, const std::string& catalogName,
                   std::span<CubeBuilder* const> cubes)
{
    try {
        platform::SafeWrite write(file);
        writeCatalog(write.temporary(), catalogName, cubes);
        write.commit();
    } catch (const platform::Failure& cause) {
        // What stopped the write (SQLite, the file system) is reported as
        // this file's failure; the safe write has removed its temporary file.
        throw platform::Failure(cause.number(), file.string() + ": the cube file cannot be written: " + cause.description(),
                                "olap", cause.lastDllError());
    }
}

}  // namespace olap
