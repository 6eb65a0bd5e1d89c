// The host's own implementation of the object model: createApplication()
// makes the Application a host program hands to the wizard. HostApplication
// is also what the host's other objects and the pivot and chart engines talk
// to: the open workbooks, the active chart, the clipboard.
#pragma once

#include "sheet/application.h"
#include "sheet/host/extensions.h"

#include <memory>
#include <string>
#include <vector>

namespace sheet {

class HostWorkbook;

// A new spreadsheet host with no workbook open.
std::shared_ptr<Application> createApplication();

class HostApplication final : public Application, public std::enable_shared_from_this<HostApplication> {
public:
    static std::shared_ptr<HostApplication> create();

    std::string Version() override;
    bool ScreenUpdating() override;
    void ScreenUpdating(bool on) override;
    std::shared_ptr<Workbook> ActiveWorkbook() override;
    std::shared_ptr<sheet::Workbooks> Workbooks() override;
    std::shared_ptr<sheet::Charts> Charts() override;
    std::shared_ptr<Chart> ActiveChart() override;

    // The open workbooks in the order they were opened or added.
    const std::vector<std::shared_ptr<HostWorkbook>>& workbooks() const { return mWorkbooks; }
    // Workbooks.Add and Workbooks.Open; both make the workbook active.
    std::shared_ptr<HostWorkbook> addWorkbook();
    std::shared_ptr<HostWorkbook> openWorkbook(const std::string& path);
    void activate(const std::shared_ptr<HostWorkbook>& workbook);
    // Forgets a workbook being closed; the next open one becomes active.
    void remove(const HostWorkbook& workbook);

    void setActiveChart(std::shared_ptr<Chart> chart) { mActiveChart = std::move(chart); }

    // The clipboard holds at most one thing; pasting takes it off.
    void setClipboard(std::shared_ptr<ClipboardContent> content) { mClipboard = std::move(content); }
    std::shared_ptr<ClipboardContent> takeClipboard();

    // The engines that make pivot tables and charts; either may be null.
    void setEngines(std::shared_ptr<PivotEngine> pivots, std::shared_ptr<ChartEngine> charts);
    PivotEngine* pivotEngine() const { return mPivotEngine.get(); }
    ChartEngine* chartEngine() const { return mChartEngine.get(); }

private:
    HostApplication() = default;

    std::vector<std::shared_ptr<HostWorkbook>> mWorkbooks;
    std::shared_ptr<sheet::Workbooks> mWorkbooksCollection;  // kept, so loops over it stay valid
    std::weak_ptr<HostWorkbook> mActive;
    std::shared_ptr<Chart> mActiveChart;
    std::shared_ptr<ClipboardContent> mClipboard;
    std::shared_ptr<PivotEngine> mPivotEngine;
    std::shared_ptr<ChartEngine> mChartEngine;
    bool mScreenUpdating = true;
    int mBooksAdded = 0;
};

}  // namespace sheet
