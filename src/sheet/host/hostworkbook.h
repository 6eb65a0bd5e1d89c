// The host's Workbook: one WorkbookDocument, the worksheet objects made for
// its sheets (one per sheet, so the same sheet always gives the same object),
// and its pivot caches.
#pragma once

#include "sheet/application.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sheet {

class HostApplication;
class HostWorksheet;
class WorkbookDocument;
struct SheetModel;
namespace report {
class ReportBook;
}

class HostWorkbook final : public Workbook, public std::enable_shared_from_this<HostWorkbook> {
public:
    // `name` is the name shown until the workbook has a file ("Book1").
    HostWorkbook(std::weak_ptr<HostApplication> application, std::unique_ptr<WorkbookDocument> document,
                 std::string name);
    ~HostWorkbook() override;

    std::shared_ptr<sheet::Worksheets> Worksheets() override;
    std::shared_ptr<sheet::Charts> Charts() override;
    std::shared_ptr<sheet::PivotCaches> PivotCaches() override;
    std::string Name() override;
    std::string FullName() override;
    void Activate() override;
    void Save() override;
    void SaveAs(const std::string& path) override;
    void Close() override;

    // The workbook's document. Throws 91 once the workbook is closed.
    WorkbookDocument& document();
    // Throws 91 when the application is gone.
    std::shared_ptr<HostApplication> application();

    // The object for worksheet `sheet` of this workbook, made on first request.
    std::shared_ptr<HostWorksheet> worksheet(const std::shared_ptr<SheetModel>& sheet);
    // The worksheets (not chart or other sheets), in tab order.
    std::vector<std::shared_ptr<SheetModel>> worksheetModels();

    std::vector<std::shared_ptr<PivotCache>>& pivotCaches() { return mPivotCaches; }

    // The definitions of the reports drawn in the workbook (sheet/report),
    // written into it at each save. Throws 91 once the workbook is closed.
    report::ReportBook& reports();

private:
    // Draws the pivot tables and charts into the document before it is saved.
    void prepareSave();

    std::weak_ptr<HostApplication> mApplication;
    std::unique_ptr<WorkbookDocument> mDocument;  // null once closed
    std::string mName;
    std::map<const SheetModel*, std::shared_ptr<HostWorksheet>> mWorksheets;
    std::vector<std::shared_ptr<PivotCache>> mPivotCaches;
    std::unique_ptr<report::ReportBook> mReports;
    // The collections, made once and kept, so that a loop over a collection
    // returned by a call stays valid while the workbook lives.
    std::shared_ptr<sheet::Worksheets> mWorksheetsCollection;
    std::shared_ptr<sheet::Charts> mChartsCollection;
    std::shared_ptr<sheet::PivotCaches> mPivotCachesCollection;
};

}  // namespace sheet
