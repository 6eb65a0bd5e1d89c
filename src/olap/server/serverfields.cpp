#include "olap/server/serverfields.h"

#include "olap/model/membersource.h"
#include "olap/server/serversql.h"

#include <map>

namespace olap::server {

namespace {

std::string numberList(const std::vector<uint32_t>& members)
{
    std::string text;
    for (uint32_t member : members)
        text += (text.empty() ? "" : ", ") + std::to_string(member);
    return text;
}

// Members grouped by their level.
std::map<uint16_t, std::vector<uint32_t>> byLevel(const HierarchyInfo& hierarchy, const std::vector<uint32_t>& members)
{
    std::map<uint16_t, std::vector<uint32_t>> levels;
    for (uint32_t member : members)
        levels[memberOf(hierarchy, member).level].push_back(member);
    return levels;
}

// Leaves out the facts beneath hidden members.
void hiddenFilter(const HierarchyInfo& hierarchy, const std::vector<std::string>& columns,
                  const std::vector<uint32_t>& hidden, std::string& where)
{
    for (const auto& [level, members] : byLevel(hierarchy, hidden)) {
        if (columns[level].empty())
            where += " AND 0";  // the "all" member hidden: nothing is left
        else
            where += " AND " + quoteName(columns[level]) + " NOT IN (" + numberList(members) + ")";
    }
}

// Keeps the facts beneath a selected member.
void pageFilter(const HierarchyInfo& hierarchy, const std::vector<std::string>& columns,
                const std::vector<uint32_t>& selected, std::string& where)
{
    if (selected.empty())
        return;
    std::string any;
    for (const auto& [level, members] : byLevel(hierarchy, selected)) {
        if (columns[level].empty())
            return;  // the "all" member selected: every fact
        any += (any.empty() ? "" : " OR ") + quoteName(columns[level]) + " IN (" + numberList(members) + ")";
    }
    where += " AND (" + any + ")";
}

}  // namespace

FieldGrouping fieldGrouping(const HierarchyInfo& hierarchy, const std::vector<std::string>& columns,
                            const query::FieldLayout& layout)
{
    FieldGrouping grouping;
    std::vector<uint32_t> open;
    for (const query::FieldLayout::Node& node : layout.nodes()) {
        if (node.open)
            open.push_back(node.member);
        else
            grouping.leafOfMember.emplace(node.member, node.firstLeaf);
    }
    const auto openByLevel = byLevel(hierarchy, open);
    size_t level = hierarchy.levels[0].type == LevelType::All ? 1 : 0;
    if (level >= hierarchy.levels.size()) {
        grouping.expression = "toUInt32(0)";  // only the "all" member: nothing is shown
        return grouping;
    }
    std::string conditions;
    for (; level + 1 < hierarchy.levels.size(); ++level) {
        const auto found = openByLevel.find(uint16_t(level));
        if (found == openByLevel.end())
            break;
        // Every member of the level open: no fact stops here, so the test
        // would only cost time (a fully drilled field groups by one column).
        if (found->second.size() == hierarchy.levels[level].memberCount)
            continue;
        const std::string column = quoteName(columns[level]);
        conditions += column + " NOT IN (" + numberList(found->second) + "), " + column + ", ";
    }
    const std::string last = quoteName(columns[level]);
    grouping.expression = conditions.empty() ? last : "multiIf(" + conditions + last + ")";
    return grouping;
}

std::string factConditions(const CubeInfo& cube, const ServerCubeTables& tables, const PivotQuery& query)
{
    std::string where;
    for (const QueryAxis* axis : {&query.rows, &query.columns}) {
        for (const AxisField& field : axis->fields) {
            hiddenFilter(cube.dimensions[field.dimension].hierarchies[field.hierarchy],
                         tables.levelColumns[field.dimension][field.hierarchy], field.hidden, where);
        }
    }
    for (const PageField& page : query.pages)
        pageFilter(cube.dimensions[page.dimension].hierarchies[page.hierarchy],
                   tables.levelColumns[page.dimension][page.hierarchy], page.selected, where);
    return where;
}

}  // namespace olap::server
