#include "workbookwalk.h"

#include "platform/core/failure.h"
#include "sheet/application.h"
#include "sheet/chart.h"
#include "sheet/host/hostapplication.h"
#include "sheet/pivotcache.h"
#include "sheet/pivottable.h"
#include "sheet/workbook.h"
#include "sheet/worksheet.h"

namespace fuzz {

void walkWorkbook(const std::filesystem::path& file, const std::filesystem::path& saveAs)
{
    static const std::shared_ptr<sheet::Application> app = sheet::createApplication();
    std::shared_ptr<sheet::Workbook> book;
    try {
        book = app->Workbooks()->Open(file.string());
        for (const auto& sheet : *book->Worksheets()) {
            static_cast<void>(sheet->Name());
            static_cast<void>(sheet->Visible());
            static_cast<void>(sheet->ProtectContents());
            for (const auto& pivot : *sheet->PivotTables())
                static_cast<void>(pivot->Name());
            static_cast<void>(sheet->ChartObjects()->Count());
        }
        static_cast<void>(book->Charts()->Count());
        static_cast<void>(book->PivotCaches()->Count());
        book->SaveAs(saveAs.string());
    } catch (const platform::Failure&) {
    }
    if (book)
        book->Close();
}

}  // namespace fuzz
