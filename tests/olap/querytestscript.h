// Query test scripts: small text files with a cube, its facts, queries and
// the tables they must give. One script per behaviour group, empty and edge
// cases first. The language, one statement a line ("#" starts a comment):
//
//   cube Sales                      starts a new cube
//   dimension Time all              a dimension; "all" gives it an "all" level
//   level Year                      a level of the last dimension, top first;
//   level Quarter key               "key": its members are named by key ("&")
//   measure Units sum               sum, count, min, max or average
//   member Time 1999.Q1             a member without facts (a dotted path)
//   fact 1997.Q1 Apple 10 .         a path per dimension, a value per measure ("." none)
//   query <title>                   starts a query on the last cube
//   rows Time Product               fields, outermost first (also: columns)
//   drill Time 1997 [Time].&[1998]  members as dotted paths or unique names
//   hide Time 1997.Q2
//   page Product Apple Pear         selected members; none: all
//   measures Units Price            (an unknown name is measure number 99: for error cases)
//   option rows subtotalsfirst      or nosubtotals, nogrand, keepempty
//   ----                            then the expected table up to a blank line:
//
//   columns: Apple | Pear | total
//   1997.Q1 : 10 | . | 10           row label : cells (measures joined by ",", "." empty)
//   1997 total : 10 | 5 | 15        a subtotal; "total" alone is the grand total
//   1997/* total : ...              fields joined by "/", "*" where a tuple totals a field
//
// Instead of a table, "error: <text>" expects a failure whose description
// contains <text>.
#pragma once

#include "olap/query/query.h"
#include "olaptestsupport.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace olap::testing {

struct ScriptCase {
    std::string title;
    int line = 0;  // of the "query" statement
    std::shared_ptr<const olaptest::TestCube> cube;
    PivotQuery query;
    std::vector<std::string> expected;  // the table's lines, or one "error: ..." line
};

// Throws std::runtime_error naming the file and line of a statement it cannot read.
std::vector<ScriptCase> readScript(const std::filesystem::path& file);

// The result as the script language writes tables.
std::vector<std::string> renderResult(const CubeInfo& cube, const PivotQuery& query, const QueryResult& result);

}  // namespace olap::testing
