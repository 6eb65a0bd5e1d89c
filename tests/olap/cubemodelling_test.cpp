// Cube modelling beyond plain sums, against sqlite3 over the CSV files the
// cube is built from (data/modelling): member order (ORDER BY), filtered
// measures (SUM over CASE), calculated measures (expressions over the
// group's SUMs), distinct counts (COUNT(DISTINCT)), with hidden members and
// a page filter; and the builder's
// refusal of every kind of bad formula, at its file, line and column.
#include "olap/query/query.h"
#include "olaptestsupport.h"
#include "support/requiredprograms.h"
#include "support/sqlitescript.h"

#include <cmath>
#include <map>
#include <sstream>

namespace olap {
namespace {

// What sqlite3 computes for each measure from a group's aggregates (kGroupSql).
const std::map<std::string, std::string> kMeasureSql = {
    {"Store Sales", "S"},
    {"Store Cost", "C"},
    {"Unit Sales", "U"},
    {"Promotion Sales", "P"},
    {"Offer Units", "O"},
    {"Big Sales", "B"},
    {"Store A Sales", "A"},
    {"Store A Facts", "N"},
    {"Profit", "(S - C)"},
    {"Margin", "(S - C) / NULLIF(S, 0)"},
    {"Average Price", "S / NULLIF(U, 0)"},
    {"Profit Flag", "CASE WHEN S - C >= 100 THEN 2 WHEN S - C < 100 THEN -2 END"},
    {"Promotion Share", "P / NULLIF(S, 0)"},
    {"Weighted", "-(15 + U) * 2 / 2.0 + CASE WHEN C <> 0 THEN 0.5 WHEN C = 0 THEN 1 END"},
    {"Customers", "D"},
    {"Named Customers", "DN"},
    {"Unit Sizes", "DU"},
    {"Promotion Customers", "DP"},
    {"Sales per Customer", "S / D"},
};

// The aggregates of a group of rows of view f: plain sums, and the sums
// that a filtered measure's condition selects.
const char* const kGroupSql =
    "SELECT SUM(ss) AS S, SUM(sc) AS C, SUM(us) AS U,"
    " SUM(CASE WHEN promotion_name <> 'No Promotion' THEN ss END) AS P,"
    " SUM(CASE WHEN promotion_id IN ('2', '3') THEN us END) AS O,"
    " SUM(CASE WHEN ss BETWEEN 50 AND 150 THEN ss END) AS B,"
    " SUM(CASE WHEN store_name = 'Store A' THEN ss END) AS A,"
    " NULLIF(COUNT(CASE WHEN store_name = 'Store A' THEN 1 END), 0) AS N,"
    " NULLIF(COUNT(DISTINCT NULLIF(customer_id, '')), 0) AS D,"
    " NULLIF(COUNT(DISTINCT NULLIF(customer_name, '')), 0) AS DN,"
    " NULLIF(COUNT(DISTINCT NULLIF(unit_sales, '')), 0) AS DU,"
    " NULLIF(COUNT(DISTINCT CASE WHEN promotion_name <> 'No Promotion' THEN NULLIF(customer_id, '') END), 0) AS DP"
    " FROM f WHERE ";

const char* const kPrelude = R"(.mode list
.import --csv sales.csv sales
.import --csv time.csv time
.import --csv product.csv product
.import --csv promotion.csv promotion
CREATE VIEW f AS SELECT s.*, t.year, t.month_name, p.product_name, p.category, r.promotion_name,
    CAST(NULLIF(store_sales, '') AS REAL) AS ss, CAST(NULLIF(store_cost, '') AS REAL) AS sc,
    CAST(unit_sales AS REAL) AS us
  FROM sales s JOIN time t USING (time_id) JOIN product p USING (product_id) JOIN promotion r USING (promotion_id);
)";

// The SQL column of each level of the placed dimensions.
const std::map<std::pair<std::string, size_t>, std::string> kLevelColumn = {
    {{"Time", 0}, "year"}, {{"Time", 1}, "month_name"}, {{"Product", 0}, "category"}, {{"Product", 1}, "product_name"},
    {{"Promotion", 0}, "promotion_name"}};

class CubeModelling : public olaptest::ModellingCube {
protected:
    uint32_t dimension(const std::string& name) const { return olaptest::indexNamed(cube().dimensions, name); }

    // The member captioned `caption` (under the member captioned `parent`, when given).
    uint32_t member(const std::string& dimensionName, const std::string& caption, const std::string& parent = {}) const
    {
        const HierarchyInfo& hierarchy = cube().dimensions[dimension(dimensionName)].hierarchies[0];
        for (uint32_t m = 0; m < hierarchy.members.size(); ++m) {
            const MemberInfo& info = hierarchy.members[m];
            if (info.caption == caption
                && (parent.empty() || (info.parent >= 0 && hierarchy.members[info.parent].caption == parent)))
                return m;
        }
        ADD_FAILURE() << "no member " << caption;
        return 0;
    }

    uint32_t measure(const std::string& name) const { return olaptest::indexNamed(cube().measures, name); }

    // The SQL condition that selects the facts of one field's tuple member.
    std::string memberCondition(uint32_t dimensionIndex, int32_t memberIndex) const
    {
        const DimensionInfo& info = cube().dimensions[dimensionIndex];
        std::string condition;
        for (int32_t m = memberIndex; m >= 0; m = info.hierarchies[0].members[m].parent) {
            const MemberInfo& member = info.hierarchies[0].members[m];
            condition += " AND " + kLevelColumn.at({info.name, member.level}) + " = '" + member.caption + "'";
        }
        return condition;
    }

    std::vector<std::string> sqlite(const std::string& script) const
    {
        return sqliteScriptLines(kPrelude + script, mFolder.path(), mFolder.path());
    }
};

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

TEST_F(CubeModelling, MembersAreStoredInTheOrderTheirLevelsName)
{
    REQUIRE_PROGRAMS("sqlite3");
    const struct { const char* dimension; uint16_t level; const char* orderedSql; } cases[] = {
        {"Time", 0, "SELECT DISTINCT year FROM time ORDER BY CAST(year AS INTEGER)"},
        {"Time", 1, "SELECT month_name FROM time ORDER BY CAST(year AS INTEGER), CAST(month_of_year AS INTEGER)"},
        {"Product", 0, "SELECT DISTINCT category FROM product ORDER BY category DESC"},
        {"Product", 1, "SELECT product_name FROM product ORDER BY category DESC, product_name"},
        {"Promotion", 0, "SELECT promotion_name FROM promotion ORDER BY rowid"},  // no order: the table's
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.dimension) + " level " + std::to_string(c.level));
        const HierarchyInfo& hierarchy = cube().dimensions[dimension(c.dimension)].hierarchies[0];
        const LevelInfo& level = hierarchy.levels.at(c.level);
        std::vector<std::string> captions;
        for (uint32_t m = level.firstMember; m < level.firstMember + level.memberCount; ++m)
            captions.push_back(hierarchy.members[m].caption);
        EXPECT_EQ(joined(captions), joined(sqlite(std::string(c.orderedSql) + ";\n")));
    }
}

// Rows: both years drilled, March 2024 hidden; columns: categories with
// Novelty drilled and Bolt (in Hardware) hidden; page: two promotions.
// Every cell of every tuple, subtotals and grand totals included.
TEST_F(CubeModelling, FilteredCalculatedAndDistinctCellsEqualSqliteWithHiddenMembersAndPages)
{
    REQUIRE_PROGRAMS("sqlite3");
    PivotQuery query;
    query.rows.fields.push_back({dimension("Time"), 0, {member("Time", "2024"), member("Time", "2025")},
                                 {member("Time", "March", "2024")}});
    query.columns.fields.push_back({dimension("Product"), 0, {member("Product", "Novelty")}, {member("Product", "Bolt")}});
    query.pages.push_back({dimension("Promotion"), 0, {member("Promotion", "Summer Sale"), member("Promotion", "No Promotion")}});
    const std::string filter = " AND promotion_name IN ('Summer Sale', 'No Promotion') AND product_name <> 'Bolt'"
                               " AND NOT (year = '2024' AND month_name = 'March')";
    // Calculated measures without their inputs, then with them.
    const std::vector<std::vector<std::string>> measureLists = {
        {"Margin", "Profit Flag", "Promotion Share", "Weighted", "Average Price", "Offer Units", "Big Sales",
         "Store A Facts"},
        {"Store Sales", "Store Cost", "Unit Sales", "Promotion Sales", "Store A Sales", "Profit", "Margin"},
        // Distinct counts: every cell, subtotal and total counts its own facts.
        {"Customers", "Named Customers", "Unit Sizes", "Promotion Customers", "Sales per Customer"},
        {"Sales per Customer", "Customers", "Store Sales"}};
    for (const auto& names : measureLists) {
        query.measures.clear();
        std::string select;
        for (const std::string& name : names) {
            query.measures.push_back(measure(name));
            const std::string& sql = kMeasureSql.at(name);
            select += std::string(select.empty() ? "" : " || '|' || ") + "CASE WHEN " + sql + " IS NULL THEN '' ELSE printf('%.17g', "
                      + sql + ") END";
        }
        const QueryResult result = runQuery(cube(), *mFile->facts(0), query);
        ASSERT_GT(result.rows.size(), 10u);
        std::string script;
        for (const AxisTuple& row : result.rows) {
            for (const AxisTuple& column : result.columns) {
                const std::string where = "1" + filter + memberCondition(dimension("Time"), row.members.empty() ? -1 : row.members[0].member)
                                          + memberCondition(dimension("Product"), column.members.empty() ? -1 : column.members[0].member);
                script += "SELECT " + select + " FROM (" + kGroupSql + where + ");\n";
            }
        }
        const std::vector<std::string> lines = sqlite(script);
        ASSERT_EQ(lines.size(), result.rows.size() * result.columns.size());
        for (size_t r = 0; r < result.rows.size(); ++r) {
            for (size_t c = 0; c < result.columns.size(); ++c) {
                std::vector<std::string> expected;
                std::stringstream line(lines[r * result.columns.size() + c]);
                for (std::string part; std::getline(line, part, '|');)
                    expected.push_back(part);
                expected.resize(names.size());
                for (size_t m = 0; m < names.size(); ++m) {
                    SCOPED_TRACE(names[m] + " at row " + std::to_string(r) + ", column " + std::to_string(c));
                    const std::optional<double> cell = result.cell(r, c, m);
                    ASSERT_EQ(cell.has_value(), !expected[m].empty()) << expected[m];
                    if (cell) {
                        EXPECT_NEAR(*cell, std::stod(expected[m]), 1e-9 * std::max(1.0, std::abs(*cell)));
                    }
                }
            }
        }
    }
}

// One row per kind of bad formula: the message, at the character of the
// formula it concerns.
TEST_F(CubeModelling, BadFormulasAreRefusedAtFileLineAndColumn)
{
    const std::string original = textOf(mFolder / "sales.json");
    const struct {
        const char* measure;       // whose formula is replaced
        const char* formula;
        const char* reportedIn;    // whose formula the problem is placed in
        size_t offset;             // where in that formula
        const char* message;
    } cases[] = {
        {"Margin", "[Profit] / [Store Salez]", "Margin", 11, "the formula of \"Margin\" names the unknown measure \"Store Salez\""},
        {"Margin", "[Margin] * 2", "Margin", 0, "\"Margin\" refers to itself"},
        {"Profit", "[Store Sales] - [Margin]", "Margin", 0, "\"Margin\" refers to itself through \"Profit\""},
        {"Profit", "[Store Sales] - [Profit Flag]", "Profit", 16, "\"Profit\" refers to itself through \"Profit Flag\""},
        {"Margin", "([Profit] / [Store Sales]", "Margin", 25, "the formula of \"Margin\" does not parse: expected \")\""},
        {"Margin", "[Profit] / ", "Margin", 11, "does not parse: expected a number, a [measure], \"(\" or IIF"},
        {"Margin", "[Profit] [Store Sales]", "Margin", 9, "does not parse: unexpected \"[\""},
        {"Margin", "IIF([Profit] > 0, 1)", "Margin", 19, "does not parse: expected \",\" after the second argument of IIF"},
        {"Margin", "[Profit] % 2", "Margin", 9, "does not parse: unexpected \"%\""},
        {"Margin", "[Profit / 2", "Margin", 0, "does not parse: \"[\" without the \"]\""},
        {"Margin", "[] + 1", "Margin", 0, "does not parse: a measure reference \"[]\" names no measure"},
        {"Margin", "", "Margin", 0, "\"formula\" must not be empty"},
        {"Margin", "1..2", "Margin", 0, "does not parse: malformed number \"1..2\""},
        {"Margin", "IIF [Profit]", "Margin", 4, "does not parse: expected \"(\" after IIF"},
        {"Margin", "[Measures].Profit", "Margin", 11, "does not parse: expected \"[\" after \"[Measures].\""},
        {"Margin", "[Profit] = = 1", "Margin", 11, "does not parse: expected a number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.formula);
        std::string text = original;
        const auto formulaOf = [&](const std::string& name) {
            const size_t entry = text.find("{\"name\": \"" + name + "\", \"formula\": \"");
            return text.find("\"formula\": \"", entry) + 11;  // the opening quote of the formula
        };
        const size_t replaced = formulaOf(c.measure) + 1;
        text.replace(replaced, text.find('"', replaced) - replaced, c.formula);
        const size_t quote = formulaOf(c.reportedIn);
        const size_t at = std::string_view(c.formula).empty() ? quote : quote + 1 + c.offset;
        const platform::Failure failure = olaptest::failureOf([&] { parseCubeDefinition(text, "sales.json"); });
        const std::string place = describePlace("sales.json", positionOfOffset(text, at)) + ": ";
        EXPECT_EQ(failure.description().substr(0, place.size()), place) << failure.description();
        EXPECT_THAT(failure.description(), ::testing::HasSubstr(c.message));
    }
}

}  // namespace
}  // namespace olap
