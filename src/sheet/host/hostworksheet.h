// The host's Worksheet: one sheet of a HostWorkbook. Besides the members of
// the interface it gives the pivot and chart engines what they need to draw
// on the sheet: its pending cells, its pivot tables and chart objects.
#pragma once

#include "sheet/application.h"
#include "sheet/host/extensions.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sheet {

class CellStore;
class HostWorkbook;
class WorkbookDocument;
struct SheetModel;

class HostWorksheet final : public Worksheet, public std::enable_shared_from_this<HostWorksheet> {
public:
    HostWorksheet(std::weak_ptr<HostWorkbook> workbook, std::shared_ptr<SheetModel> model);

    std::string Name() override;
    void Name(const std::string& name) override;
    int32_t Visible() override;
    void Visible(int32_t state) override;
    bool ProtectContents() override;
    std::shared_ptr<sheet::Range> Range(const std::string& address) override;
    std::shared_ptr<sheet::PivotTables> PivotTables() override;
    std::shared_ptr<PivotTable> PivotTables(const std::string& name) override;
    void Select() override;
    void Activate() override;
    void Paste(const std::shared_ptr<sheet::Range>& destination) override;
    std::shared_ptr<sheet::Range> Columns() override;
    std::shared_ptr<sheet::ChartObjects> ChartObjects() override;
    std::shared_ptr<Workbook> Parent() override;

    // Throws 91 once the workbook is closed.
    std::shared_ptr<HostWorkbook> workbook();
    WorkbookDocument& document();
    SheetModel& model() { return *mModel; }

    // The cells the host will write into the sheet on the next save: write
    // values and formats here to draw on the sheet.
    CellStore& cells();
    // Fits the width of every column from `first` to `last` that holds cells
    // the host wrote to the widest of them.
    void autoFit(int32_t first, int32_t last);
    // The range a Select made current (A1 until then).
    const Area& selection() const { return mSelection; }
    void select(const Area& area);

    // The pivot tables on the sheet: those the file holds, then those made.
    std::vector<std::shared_ptr<PlacedPivotTable>> pivotTables();
    // Their number, known from opening without reading any pivot table part.
    int32_t pivotTableCount();
    void addPivotTable(std::shared_ptr<PlacedPivotTable> table);
    // Brings the cells of the tables made on this sheet up to date.
    void updatePivotTables();
    // Records the tables made on this sheet in the workbook, so that they are
    // known as pivot tables when the file is opened again.
    void markPivotReports();

    // The embedded charts placed on the sheet since it was opened.
    std::vector<std::shared_ptr<ChartObject>>& chartObjects() { return mChartObjects; }

private:
    std::weak_ptr<HostWorkbook> mWorkbook;
    std::shared_ptr<SheetModel> mModel;
    std::optional<std::vector<std::shared_ptr<PlacedPivotTable>>> mStoredTables;
    std::vector<std::shared_ptr<PlacedPivotTable>> mMadeTables;
    std::vector<std::shared_ptr<ChartObject>> mChartObjects;
    std::shared_ptr<sheet::PivotTables> mPivotTablesCollection;    // kept, so loops over them stay valid
    std::shared_ptr<sheet::ChartObjects> mChartObjectsCollection;
    Area mSelection;
};

}  // namespace sheet
