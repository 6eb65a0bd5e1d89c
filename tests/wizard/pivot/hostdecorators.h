// A thin decorator over a real pivot table of the spreadsheet host, for tests
// of the code that assigns drill and hidden tables: every assignment of
// TreeviewControl.Drilled and TreeviewControl.Hidden is recorded with its
// field, and the next reject[kind] of each kind fail with 1004 (-1: every
// one). Accepted assignments reach the real table. Hidden-item lists go to
// the real pivot fields unrecorded.
#pragma once

#include "sheet/application.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

enum Assignment { kDrilled, kHidden };

struct GivenTable {
    Assignment kind;
    std::string field;  // the cube field it was given to
    sheet::VariantArray table;
};

struct HostLog {
    std::array<int, 2> reject{};  // by Assignment
    std::vector<GivenTable> given;

    std::vector<GivenTable> of(Assignment kind) const
    {
        std::vector<GivenTable> found;
        for (const GivenTable& table : given)
            if (table.kind == kind)
                found.push_back(table);
        return found;
    }
};

// `log` must outlive the returned table.
std::shared_ptr<sheet::PivotTable> rejectingTable(std::shared_ptr<sheet::PivotTable> real, HostLog& log);
