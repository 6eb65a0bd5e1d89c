// Thin decorators over the real spreadsheet host, for tests of the code that
// assigns drill and hidden tables and reads the host's version:
//
// - useRejectingPivotTables(host, log): the host's pivot tables come from
//   the real engine wrapped so that the next log.reject* assignments of
//   TreeviewControl.Drilled, TreeviewControl.Hidden and
//   PivotField.HiddenItemsList fail with 1004 (-1: every one), and every
//   assignment is recorded with its table. Accepted assignments reach the
//   real table.
// - VersionedHost: the real host answering another version text.
// - MisplacingChartsHost: the real host, except that moving a new chart onto
//   a worksheet embeds it in the first worksheet instead, as some hosts do.
#pragma once

#include "sheet/application.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pivottest {

struct GivenTable {
    std::string field;  // the cube or pivot field it was given to
    sheet::VariantArray table;
    bool rejected = false;
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

class VersionedHost : public sheet::Application {
public:
    VersionedHost(std::shared_ptr<sheet::Application> real, std::string version)
        : mReal(std::move(real)), mVersion(std::move(version))
    {
    }
    std::string Version() override { return mVersion; }
    bool ScreenUpdating() override { return mReal->ScreenUpdating(); }
    void ScreenUpdating(bool on) override { mReal->ScreenUpdating(on); }
    std::shared_ptr<sheet::Workbook> ActiveWorkbook() override { return mReal->ActiveWorkbook(); }
    std::shared_ptr<sheet::Workbooks> Workbooks() override { return mReal->Workbooks(); }
    std::shared_ptr<sheet::Charts> Charts() override { return mReal->Charts(); }
    std::shared_ptr<sheet::Chart> ActiveChart() override { return mReal->ActiveChart(); }

private:
    std::shared_ptr<sheet::Application> mReal;
    std::string mVersion;
};

// Only the application object is decorated; everything it hands out is the
// real host's, so objects compare as they do there.
class MisplacingChartsHost : public VersionedHost {
public:
    explicit MisplacingChartsHost(std::shared_ptr<sheet::Application> real);
    // The active chart, wrapped while it is still on a chart sheet.
    std::shared_ptr<sheet::Chart> ActiveChart() override;

private:
    std::shared_ptr<sheet::Application> mRealHost;
};

}  // namespace pivottest
