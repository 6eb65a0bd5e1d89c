// A thin decorator over the real spreadsheet host's pivot tables, for tests
// of the code that assigns drill and hidden tables: the next log.reject*
// assignments of TreeviewControl.Drilled, TreeviewControl.Hidden and
// PivotField.HiddenItemsList fail with 1004 (-1: every one), and every
// assignment is recorded with its table. Accepted assignments reach the real
// table.
#pragma once

#include "sheet/application.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct GivenTable {
    std::string field;  // the cube or pivot field it was given to
    sheet::VariantArray table;
};

struct HostLog {
    int rejectDrilled = 0;
    int rejectHidden = 0;
    int rejectHiddenItems = 0;
    std::vector<GivenTable> drilled;
    std::vector<GivenTable> hidden;
    std::vector<GivenTable> hiddenItems;
    // Called at every assignment, before it is accepted or rejected.
    std::function<void()> onAssignment;
};

// Requires: `host` was made by sheet::createApplication(). Charts are then
// refused (no chart engine); `log` must outlive the host's pivot tables.
void useRejectingPivotTables(const std::shared_ptr<sheet::Application>& host, HostLog& log);

