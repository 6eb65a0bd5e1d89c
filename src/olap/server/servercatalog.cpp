#include "olap/server/servercatalog.h"

#include "olap/cube/calculatedmeasures.h"
#include "olap/model/metadata.h"
#include "olap/server/serveranswer.h"
#include "olap/server/servermembers.h"
#include "olap/server/serversql.h"

#include <nlohmann/json.hpp>

namespace olap::server {

namespace {

using nlohmann::json;

// Limits on what metadata may hold, checked before anything is sized by it.
constexpr size_t kMaxDimensions = 4096;
constexpr size_t kMaxHierarchies = 256;
constexpr size_t kMaxLevels = 256;
constexpr size_t kMaxMeasures = 4096;
constexpr uint64_t kMaxMembers = uint64_t(1) << 31;

[[noreturn]] void bad(const std::string& what) { throw MalformedAnswer{"cube metadata: " + what}; }

const json& field(const json& object, const char* name)
{
    if (!object.is_object() || !object.contains(name))
        bad(std::string("\"") + name + "\" is missing");
    return object[name];
}

std::string text(const json& object, const char* name)
{
    const json& value = field(object, name);
    if (!value.is_string())
        bad(std::string("\"") + name + "\" is not a text");
    return value.get<std::string>();
}

uint64_t number(const json& object, const char* name, uint64_t max)
{
    const json& value = field(object, name);
    if (!value.is_number_unsigned() && !(value.is_number_integer() && value.get<int64_t>() >= 0))
        bad(std::string("\"") + name + "\" is not a whole number from 0");
    const uint64_t result = value.get<uint64_t>();
    if (result > max)
        bad(std::string("\"") + name + "\" is too large");
    return result;
}

const json& list(const json& object, const char* name, size_t max)
{
    const json& value = field(object, name);
    if (!value.is_array() || value.size() > max)
        bad(std::string("\"") + name + "\" is not a list of at most " + std::to_string(max) + " entries");
    return value;
}

HierarchyInfo parseHierarchy(const json& source, std::vector<std::string>& columns)
{
    HierarchyInfo hierarchy;
    hierarchy.name = text(source, "name");
    const uint64_t total = number(source, "memberCount", kMaxMembers);
    uint64_t next = 0;
    for (const json& level : list(source, "levels", kMaxLevels)) {
        LevelInfo info;
        info.name = text(level, "name");
        info.type = LevelType(number(level, "type", 1));
        const json& key = field(level, "namedByKey");
        info.namedByKey = key.is_boolean() && key.get<bool>();
        info.firstMember = uint32_t(number(level, "firstMember", kMaxMembers));
        info.memberCount = uint32_t(number(level, "memberCount", kMaxMembers));
        if (info.firstMember != next || (info.type == LevelType::All && (!hierarchy.levels.empty() || info.memberCount != 1)))
            bad("the levels of \"" + hierarchy.name + "\" do not follow each other");
        next += info.memberCount;
        columns.push_back(text(level, "column"));
        if (columns.back().empty() != (info.type == LevelType::All))
            bad("a level of \"" + hierarchy.name + "\" has no fact column");
        hierarchy.levels.push_back(std::move(info));
    }
    if (hierarchy.levels.empty() || next != total)
        bad("the levels of \"" + hierarchy.name + "\" do not hold its members");
    return hierarchy;
}

}  // namespace

std::pair<CubeInfo, ServerCubeTables> parseCubeMetadata(const std::string& text)
{
    const json root = json::parse(text, nullptr, false);
    if (root.is_discarded() || !root.is_object())
        bad("not a JSON object");
    CubeInfo cube;
    ServerCubeTables tables;
    cube.name = server::text(root, "name");
    cube.factCount = number(root, "factCount", UINT64_MAX);
    tables.factsTable = server::text(root, "factsTable");
    tables.membersTable = server::text(root, "membersTable");
    for (const json& source : list(root, "dimensions", kMaxDimensions)) {
        DimensionInfo dimension;
        dimension.name = server::text(source, "name");
        dimension.fieldName = bracketed(dimension.name);
        dimension.type = DimensionType(number(source, "type", 3));
        auto& columns = tables.levelColumns.emplace_back();
        for (const json& hierarchy : list(source, "hierarchies", kMaxHierarchies))
            dimension.hierarchies.push_back(parseHierarchy(hierarchy, columns.emplace_back()));
        if (dimension.hierarchies.empty())
            bad("the dimension \"" + dimension.name + "\" has no hierarchy");
        cube.dimensions.push_back(std::move(dimension));
    }
    for (const json& source : list(root, "measures", kMaxMeasures)) {
        MeasureInfo measure;
        measure.name = server::text(source, "name");
        if (source.contains("formula")) {
            // Calculated: computed from the aggregated cells, no fact column.
            measure.formula = server::text(source, "formula");
            measure.formatString = server::text(source, "format");
            if (measure.formula.empty())
                bad("the calculated measure \"" + measure.name + "\" has no formula");
            cube.measures.push_back(std::move(measure));
            continue;
        }
        measure.aggregation = Aggregation(number(source, "aggregation", uint64_t(Aggregation::DistinctCount)));
        measure.formatString = server::text(source, "format");
        tables.measureColumns.push_back(server::text(source, "column"));
        const json& empty = field(source, "hasEmpty");
        tables.measureHasEmpty.push_back(!empty.is_boolean() || empty.get<bool>());
        cube.measures.push_back(std::move(measure));
    }
    if (const auto problem = findCalculatedProblem(cube.measures))
        bad(problem->message);
    return {std::move(cube), std::move(tables)};
}

namespace {

std::vector<std::string> singleColumn(const ServerSession& session, const std::string& sql)
{
    std::vector<std::string> values;
    try {
        for (auto& row : parseRows(session.query(sql), 1, 100000))
            values.push_back(std::move(row[0]));
    } catch (const MalformedAnswer& problem) {
        session.malformed(problem.what);
    }
    return values;
}

std::shared_ptr<const ServerCatalog> readCatalog(const ServerAddress& address, const ServerLogin& login,
                                                 const std::string& database)
{
    auto catalog = std::make_shared<ServerCatalog>(ServerCatalog{ServerSession(address, login, database), {}, {}});
    catalog->info.name = database;
    const std::string sql = "SELECT `cube`, argMax(metadata, generation) FROM pw_cubes GROUP BY `cube` ORDER BY `cube`"
                            " FORMAT TabSeparated";
    try {
        for (const auto& row : parseRows(catalog->session.query(sql), 2, 100000)) {
            auto [cube, tables] = parseCubeMetadata(row[1]);
            for (size_t d = 0; d < cube.dimensions.size(); ++d) {
                for (size_t h = 0; h < cube.dimensions[d].hierarchies.size(); ++h) {
                    HierarchyInfo& hierarchy = cube.dimensions[d].hierarchies[h];
                    hierarchy.memberSource = std::make_shared<ServerMemberSource>(
                        catalog->session, tables.membersTable, uint32_t(d), uint32_t(h), hierarchy.levels);
                }
            }
            catalog->info.cubes.push_back(std::move(cube));
            catalog->tables.push_back(std::move(tables));
        }
    } catch (const MalformedAnswer& problem) {
        catalog->session.malformed(problem.what);
    }
    return catalog;
}

}  // namespace

std::vector<std::shared_ptr<const ServerCatalog>> readCatalogs(const ServerAddress& address, const ServerLogin& login)
{
    const ServerSession session(address, login);
    std::vector<std::shared_ptr<const ServerCatalog>> catalogs;
    for (const std::string& database : singleColumn(session, "SELECT database FROM system.tables WHERE name = 'pw_cubes'"
                                                             " ORDER BY database FORMAT TabSeparated"))
        catalogs.push_back(readCatalog(address, login, database));
    return catalogs;
}

}  // namespace olap::server
