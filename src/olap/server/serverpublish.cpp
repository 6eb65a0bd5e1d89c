#include "olap/server/serverpublish.h"

#include "olap/cube/cubefile.h"
#include "olap/cube/facttable.h"
#include "olap/cube/measurecolumn.h"
#include "olap/query/querymembers.h"
#include "olap/server/serveranswer.h"
#include "olap/server/serversession.h"
#include "olap/server/serversql.h"
#include "platform/core/failure.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

namespace olap::server {

namespace {

constexpr uint64_t kBlockRows = 1'000'000;

// Rows in ClickHouse's RowBinary format: little-endian numbers, strings as
// a LEB128 length and their bytes.
class RowBinary {
public:
    template <class T>
    void number(T value)
    {
        char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        mBytes.append(bytes, sizeof(T));
    }
    void text(const std::string& value)
    {
        for (uint64_t length = value.size();; length >>= 7) {
            const auto low = static_cast<char>(length & 0x7f);
            if (length < 0x80) {
                mBytes += low;
                break;
            }
            mBytes += static_cast<char>(low | 0x80);
        }
        mBytes += value;
    }
    const std::string& bytes() const { return mBytes; }
    void clear() { mBytes.clear(); }
    void reserve(size_t bytes) { mBytes.reserve(bytes); }

private:
    std::string mBytes;
};

// The fact columns of one hierarchy: its levels that are not "all", and per
// dimension key its member on each of them.
struct HierarchyColumns {
    size_t dimension = 0;
    size_t hierarchy = 0;
    std::vector<size_t> levels;
    std::vector<uint32_t> ancestors;  // [key * levels.size() + j]
};

HierarchyColumns hierarchyColumns(const HierarchyInfo& info, size_t dimension, size_t hierarchy)
{
    HierarchyColumns columns{dimension, hierarchy, {}, {}};
    std::vector<int> slot(info.levels.size(), -1);
    for (size_t l = 0; l < info.levels.size(); ++l) {
        if (info.levels[l].type != LevelType::All) {
            slot[l] = int(columns.levels.size());
            columns.levels.push_back(l);
        }
    }
    const size_t width = columns.levels.size();
    columns.ancestors.resize(info.memberOfKey.size() * width);
    for (size_t key = 0; key < info.memberOfKey.size(); ++key) {
        for (int64_t m = info.memberOfKey[key]; m >= 0; m = info.members[size_t(m)].parent) {
            if (const int at = slot[info.members[size_t(m)].level]; at >= 0)
                columns.ancestors[key * width + size_t(at)] = uint32_t(m);
        }
    }
    return columns;
}

std::vector<HierarchyColumns> factColumns(const CubeInfo& cube)
{
    std::vector<HierarchyColumns> result;
    for (size_t d = 0; d < cube.dimensions.size(); ++d) {
        for (size_t h = 0; h < cube.dimensions[d].hierarchies.size(); ++h)
            result.push_back(hierarchyColumns(cube.dimensions[d].hierarchies[h], d, h));
    }
    return result;
}

bool isDistinct(const CubeInfo& cube, size_t measure)
{
    return cube.measures[measure].aggregation == Aggregation::DistinctCount;
}

// A distinct count's facts without a value have id 0, which its count leaves out.
std::vector<bool> measuresWithEmpty(const CubeInfo& cube, const FactTable& facts)
{
    std::vector<bool> result;
    for (size_t m = 0; m < facts.measureCount(); ++m) {
        if (isDistinct(cube, m)) {
            result.push_back(false);
            continue;
        }
        const MeasureColumn& column = facts.values(m);
        bool empty = false;
        for (uint64_t row = 0; row < facts.rowCount() && !empty; ++row)
            empty = std::isnan(valueAt(column, row));
        result.push_back(empty);
    }
    return result;
}

uint64_t microsecondsNow()
{
    using namespace std::chrono;
    return uint64_t(duration_cast<microseconds>(system_clock::now().time_since_epoch()).count());
}

}  // namespace

std::string factsTableName(uint64_t generation) { return "pw_facts_" + std::to_string(generation); }
std::string membersTableName(uint64_t generation) { return "pw_members_" + std::to_string(generation); }

std::string levelColumnName(size_t dimension, size_t hierarchy, size_t level)
{
    return "k" + std::to_string(dimension) + "_" + std::to_string(hierarchy) + "_" + std::to_string(level);
}

std::string measureColumnName(size_t measure) { return "m" + std::to_string(measure); }

std::string cubeMetadataJson(const CubeInfo& cube, uint64_t generation, const std::vector<bool>& measureHasEmpty)
{
    using nlohmann::json;
    json dimensions = json::array();
    for (size_t d = 0; d < cube.dimensions.size(); ++d) {
        const DimensionInfo& dimension = cube.dimensions[d];
        json hierarchies = json::array();
        for (size_t h = 0; h < dimension.hierarchies.size(); ++h) {
            const HierarchyInfo& hierarchy = dimension.hierarchies[h];
            json levels = json::array();
            for (size_t l = 0; l < hierarchy.levels.size(); ++l) {
                const LevelInfo& level = hierarchy.levels[l];
                const bool all = level.type == LevelType::All;
                levels.push_back({{"name", level.name}, {"type", int(level.type)}, {"namedByKey", level.namedByKey},
                                  {"firstMember", level.firstMember}, {"memberCount", level.memberCount},
                                  {"column", all ? std::string() : levelColumnName(d, h, l)}});
            }
            hierarchies.push_back(
                {{"name", hierarchy.name}, {"memberCount", hierarchy.members.size()}, {"levels", levels}});
        }
        dimensions.push_back({{"name", dimension.name}, {"type", int(dimension.type)}, {"hierarchies", hierarchies}});
    }
    json measures = json::array();
    for (size_t m = 0; m < cube.measures.size(); ++m) {
        const MeasureInfo& measure = cube.measures[m];
        if (measure.calculated()) {
            measures.push_back({{"name", measure.name}, {"format", measure.formatString}, {"formula", measure.formula}});
            continue;
        }
        measures.push_back({{"name", measure.name}, {"aggregation", int(measure.aggregation)},
                            {"format", measure.formatString}, {"column", measureColumnName(m)},
                            {"hasEmpty", m < measureHasEmpty.size() && measureHasEmpty[m]}});
    }
    const json metadata = {{"name", cube.name}, {"generation", generation}, {"factCount", cube.factCount},
                           {"factsTable", factsTableName(generation)}, {"membersTable", membersTableName(generation)},
                           {"dimensions", dimensions}, {"measures", measures}};
    return metadata.dump();
}

namespace {

class Publisher {
public:
    Publisher(const PublishOptions& options, std::string database) : mOptions(options), mDatabase(std::move(database))
    {
        if (options.servers.empty())
            badOptions("no server to publish to");
        if (options.servers.size() > 1 && options.cluster.empty())
            badOptions("several servers are given without the cluster they form (--cluster)");
        for (const ServerAddress& address : options.servers)
            mSessions.emplace_back(address, options.login);
    }

    void prepare()
    {
        if (!mOptions.cluster.empty())
            checkCluster();
        for (const ServerSession& session : mSessions) {
            session.execute("CREATE DATABASE IF NOT EXISTS " + quoteName(mDatabase));
            session.execute("CREATE TABLE IF NOT EXISTS " + table("pw_cubes")
                            + " (cube String, generation UInt64, published DateTime, metadata String)"
                              " ENGINE = MergeTree ORDER BY (cube, generation)");
        }
    }

    void publish(const CubeInfo& cube, const FactTable& facts, uint64_t& sent, uint64_t total)
    {
        const std::vector<uint64_t> before = generations(cube.name);
        const uint64_t generation = std::max(microsecondsNow(), before.empty() ? 0 : before.back() + 1);
        try {
            const std::vector<HierarchyColumns> columns = factColumns(cube);
            createTables(cube, columns, generation);
            loadMembers(cube, generation);
            loadFacts(cube, facts, columns, generation, sent, total);
            const std::string row = "INSERT INTO " + table("pw_cubes") + " VALUES (" + quoteText(cube.name) + ", "
                + std::to_string(generation) + ", now(), "
                + quoteText(cubeMetadataJson(cube, generation, measuresWithEmpty(cube, facts))) + ")";
            for (const ServerSession& session : mSessions)
                session.execute(row);
        } catch (const platform::Failure& failure) {
            dropGeneration(generation);
            throw platform::Failure(failure.number(),
                                    failure.description() + " (publishing \"" + cube.name
                                        + "\" stopped; the cube is as it was before)",
                                    failure.source());
        }
        // Readers may still hold a replaced generation: its tables go only
        // when it was replaced (by the next generation, whose number is the
        // time it was published) longer ago than keepReplaced, and never the
        // one just replaced.
        const auto keep = uint64_t(std::chrono::duration_cast<std::chrono::microseconds>(mOptions.keepReplaced).count());
        for (size_t g = 0; g + 1 < before.size(); ++g) {
            if (before[g + 1] + keep <= microsecondsNow())
                dropGeneration(before[g]);
        }
    }

private:
    [[noreturn]] static void badOptions(const std::string& why)
    {
        throw platform::Failure(platform::err::kInvalidCall, "Cannot publish: " + why, "olap");
    }

    std::string table(const std::string& name) const { return quoteName(mDatabase) + "." + quoteName(name); }

    void checkCluster() const
    {
        const ServerSession& first = mSessions.front();
        const auto rows = parseRows(first.query("SELECT count(DISTINCT shard_num) FROM system.clusters WHERE cluster = "
                                                + quoteText(mOptions.cluster) + " FORMAT TabSeparated"),
                                    1, 1);
        const uint64_t shards = rows.empty() ? 0 : readUnsigned(rows[0][0], "the shard count");
        if (shards == 0)
            badOptions("the server " + first.address().display() + " knows no cluster " + quoteText(mOptions.cluster));
        if (shards != mSessions.size())
            badOptions("the cluster " + quoteText(mOptions.cluster) + " has " + std::to_string(shards)
                       + " shards, and " + std::to_string(mSessions.size())
                       + " servers were given; give one server of each shard");
    }

    std::vector<uint64_t> generations(const std::string& cube) const
    {
        std::vector<uint64_t> result;
        const std::string answer = mSessions.front().query("SELECT DISTINCT generation FROM " + table("pw_cubes")
                                                           + " WHERE cube = " + quoteText(cube)
                                                           + " ORDER BY generation FORMAT TabSeparated");
        try {
            for (const auto& row : parseRows(answer, 1, 1'000'000))
                result.push_back(readUnsigned(row[0], "a generation"));
        } catch (const MalformedAnswer& problem) {
            mSessions.front().malformed(problem.what);
        }
        return result;
    }

    void createTables(const CubeInfo& cube, const std::vector<HierarchyColumns>& columns, uint64_t generation) const
    {
        std::string factColumnsSql;
        for (const HierarchyColumns& hierarchy : columns) {
            for (size_t l : hierarchy.levels)
                factColumnsSql += quoteName(levelColumnName(hierarchy.dimension, hierarchy.hierarchy, l)) + " UInt32, ";
        }
        for (size_t m = 0; m < storedMeasureCount(cube); ++m)
            factColumnsSql += quoteName(measureColumnName(m)) + (isDistinct(cube, m) ? " UInt32, " : " Float64, ");
        factColumnsSql += "_pw UInt8 DEFAULT 0";  // keeps the list valid for a cube without dimensions or measures
        const std::string facts = factsTableName(generation);
        const bool cluster = !mOptions.cluster.empty();
        for (const ServerSession& session : mSessions) {
            session.execute("CREATE TABLE " + table(cluster ? facts + "_shard" : facts) + " (" + factColumnsSql
                            + ") ENGINE = MergeTree ORDER BY tuple()");
            if (cluster) {
                session.execute("CREATE TABLE " + table(facts) + " AS " + table(facts + "_shard")
                                + " ENGINE = Distributed(" + quoteText(mOptions.cluster) + ", "
                                + quoteText(mDatabase) + ", " + quoteText(facts + "_shard") + ", rand())");
            }
            session.execute("CREATE TABLE " + table(membersTableName(generation))
                            + " (dimension UInt16, hierarchy UInt16, member UInt32, parent Int64, level UInt16,"
                              " name String, caption String, unique_name String, canonical_name String,"
                              " first_child UInt32, child_count UInt32) ENGINE = MergeTree ORDER BY (dimension, hierarchy, member)");
        }
    }

    void loadMembers(const CubeInfo& cube, uint64_t generation) const
    {
        RowBinary rows;
        const std::string insert = "INSERT INTO " + table(membersTableName(generation)) + " FORMAT RowBinary";
        const auto flush = [&] {
            for (const ServerSession& session : mSessions)
                session.insert(insert, rows.bytes());
            rows.clear();
        };
        for (size_t d = 0; d < cube.dimensions.size(); ++d) {
            for (size_t h = 0; h < cube.dimensions[d].hierarchies.size(); ++h) {
                const HierarchyInfo& hierarchy = cube.dimensions[d].hierarchies[h];
                const std::string allMember = allMemberName(hierarchy);
                for (size_t m = 0; m < hierarchy.members.size(); ++m) {
                    const MemberInfo& member = hierarchy.members[m];
                    rows.number(uint16_t(d));
                    rows.number(uint16_t(h));
                    rows.number(uint32_t(m));
                    rows.number(int64_t(member.parent));
                    rows.number(uint16_t(member.level));
                    rows.text(member.name);
                    rows.text(member.caption);
                    rows.text(member.uniqueName);
                    rows.text(canonicalMemberName(member.uniqueName, allMember).value_or(std::string()));
                    rows.number(uint32_t(member.firstChild));
                    rows.number(uint32_t(member.childCount));
                    if (rows.bytes().size() > (size_t(64) << 20))
                        flush();
                }
            }
        }
        if (!rows.bytes().empty())
            flush();
    }

    void loadFacts(const CubeInfo& cube, const FactTable& facts, const std::vector<HierarchyColumns>& columns,
                   uint64_t generation, uint64_t& sent, uint64_t total) const
    {
        const bool cluster = !mOptions.cluster.empty();
        const std::string insert =
            "INSERT INTO " + table(factsTableName(generation) + (cluster ? "_shard" : "")) + " FORMAT RowBinary";
        // Rows go to the servers in turn, so every shard gets its share of
        // every cube, however small.
        std::vector<RowBinary> rows(mSessions.size());
        std::vector<const KeyColumn*> keys;
        for (const HierarchyColumns& hierarchy : columns)
            keys.push_back(&facts.keys(hierarchy.dimension));
        // Per stored measure, in column order: its values, or a distinct count's ids.
        std::vector<const MeasureColumn*> values;
        std::vector<const KeyColumn*> ids;
        for (size_t m = 0; m < facts.measureCount(); ++m) {
            values.push_back(isDistinct(cube, m) ? nullptr : &facts.values(m));
            ids.push_back(isDistinct(cube, m) ? &facts.distinctIds(m) : nullptr);
        }
        for (uint64_t first = 0; first < facts.rowCount(); first += kBlockRows) {
            const uint64_t end = std::min(facts.rowCount(), first + kBlockRows);
            for (RowBinary& part : rows) {
                part.clear();
                part.reserve((end - first) / rows.size() * (columns.size() * 12 + cube.measures.size() * 8 + 1));
            }
            for (uint64_t row = first; row < end; ++row) {
                RowBinary& part = rows[row % rows.size()];
                for (size_t h = 0; h < columns.size(); ++h) {
                    const size_t width = columns[h].levels.size();
                    const uint32_t* ancestors = columns[h].ancestors.data() + keyAt(*keys[h], row) * width;
                    for (size_t j = 0; j < width; ++j)
                        part.number(ancestors[j]);
                }
                for (size_t m = 0; m < values.size(); ++m) {
                    if (ids[m])
                        part.number(keyAt(*ids[m], row));
                    else
                        part.number(valueAt(*values[m], row));
                }
                part.number(uint8_t(0));
            }
            for (size_t s = 0; s < mSessions.size(); ++s) {
                if (!rows[s].bytes().empty())
                    mSessions[s].insert(insert, rows[s].bytes());
            }
            sent += end - first;
            if (mOptions.progress)
                mOptions.progress(sent, total);
        }
    }

    void dropGeneration(uint64_t generation) const noexcept
    {
        for (const ServerSession& session : mSessions) {
            for (const std::string& name : {factsTableName(generation), factsTableName(generation) + "_shard",
                                            membersTableName(generation)}) {
                try {
                    session.execute("DROP TABLE IF EXISTS " + table(name));
                } catch (const platform::Failure&) {
                    // Best effort: a server that is gone keeps its tables, which no reader names.
                }
            }
        }
    }

    const PublishOptions& mOptions;
    std::string mDatabase;
    std::vector<ServerSession> mSessions;
};

}  // namespace

PublishSummary publishCubeFile(const std::filesystem::path& cubeFile, const PublishOptions& options)
{
    const auto file = CubeFile::open(cubeFile);
    const CatalogInfo& catalog = file->catalog();
    PublishSummary summary;
    summary.database = options.database.empty() ? catalog.name : options.database;
    Publisher publisher(options, summary.database);
    publisher.prepare();
    uint64_t total = 0;
    for (const CubeInfo& cube : catalog.cubes)
        total += cube.factCount;
    for (size_t c = 0; c < catalog.cubes.size(); ++c) {
        publisher.publish(catalog.cubes[c], *file->facts(c), summary.facts, total);
        ++summary.cubes;
    }
    return summary;
}

}  // namespace olap::server
