#include "sheet/host/hostworkbook.h"

#include "sheet/host/hostapplication.h"
#include "sheet/host/hostpivotcache.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/report/reportbook.h"
#include "sheet/xlsx/sheetnames.h"
#include "sheet/xlsx/workbookdocument.h"

namespace sheet {

namespace {

// A collection over a workbook that fails with 91 once the workbook is gone.
class WorkbookView {
public:
    explicit WorkbookView(std::weak_ptr<HostWorkbook> workbook) : mWorkbook(std::move(workbook)) {}

protected:
    std::shared_ptr<HostWorkbook> workbook()
    {
        auto workbook = mWorkbook.lock();
        if (!workbook)
            failObjectNotSet("the workbook was closed");
        return workbook;
    }

private:
    std::weak_ptr<HostWorkbook> mWorkbook;
};

class HostWorksheets final : public Worksheets, WorkbookView {
public:
    using WorkbookView::WorkbookView;

    int32_t Count() override { return static_cast<int32_t>(workbook()->worksheetModels().size()); }

    std::shared_ptr<Worksheet> Item(int32_t index) override
    {
        auto book = workbook();
        const auto sheets = book->worksheetModels();
        if (index < 1 || index > static_cast<int32_t>(sheets.size()))
            failSubscript("worksheet " + std::to_string(index) + " of " + std::to_string(sheets.size()));
        return book->worksheet(sheets[static_cast<size_t>(index - 1)]);
    }

    std::shared_ptr<Worksheet> Item(const std::string& name) override
    {
        auto book = workbook();
        for (const auto& sheet : book->worksheetModels()) {
            if (sameSheetName(book->document().name(*sheet), name))
                return book->worksheet(sheet);
        }
        failSubscript("no worksheet is named '" + name + "'");
    }

    std::shared_ptr<Worksheet> Add(const std::shared_ptr<Worksheet>& after) override
    {
        auto book = workbook();
        auto& document = book->document();
        size_t position = document.activeSheet();
        if (after) {
            const auto host = std::dynamic_pointer_cast<HostWorksheet>(after);
            if (!host || host->workbook() != book)
                failApplication("Worksheets.Add: the sheet to add after belongs to another workbook");
            position = document.indexOf(host->model()) + 1;
        }
        auto sheet = document.addWorksheet(position, document.nextWorksheetName());
        document.activate(*sheet);
        return book->worksheet(sheet);
    }
};

// A chart sheet of the file: the host lists it and knows its name; moving
// it is for the chart engine.
class StoredChart final : public Chart {
public:
    explicit StoredChart(std::string name) : mName(std::move(name)) {}
    std::string Name() override { return mName; }
    std::shared_ptr<Chart> Location(int32_t, const std::string&) override
    {
        failNotSupported("chart sheet '" + mName + "' was made by another program and cannot be moved");
    }
    std::shared_ptr<ChartObject> Parent() override { return nullptr; }

private:
    std::string mName;
};

class HostCharts final : public Charts, WorkbookView {
public:
    using WorkbookView::WorkbookView;

    int32_t Count() override { return static_cast<int32_t>(chartSheets().size()); }

    std::shared_ptr<Chart> Item(int32_t index) override
    {
        auto book = workbook();
        const auto sheets = chartSheets();
        if (index < 1 || index > static_cast<int32_t>(sheets.size()))
            failSubscript("chart " + std::to_string(index) + " of " + std::to_string(sheets.size()));
        const auto& sheet = sheets[static_cast<size_t>(index - 1)];
        // A chart sheet the host made is its chart engine's object, the same each time.
        return sheet->chart ? sheet->chart : std::make_shared<StoredChart>(book->document().name(*sheet));
    }

    std::shared_ptr<Chart> Add() override
    {
        auto book = workbook();
        auto application = book->application();
        if (!application->chartEngine())
            failApplication("Charts.Add: this host has no chart engine");
        auto chart = application->chartEngine()->addChart(*book);
        application->setActiveChart(chart);
        return chart;
    }

private:
    std::vector<std::shared_ptr<SheetModel>> chartSheets()
    {
        std::vector<std::shared_ptr<SheetModel>> sheets;
        for (const auto& sheet : workbook()->document().sheets()) {
            if (sheet->kind == SheetKind::Chartsheet)
                sheets.push_back(sheet);
        }
        return sheets;
    }
};

class HostPivotCaches final : public PivotCaches, WorkbookView {
public:
    using WorkbookView::WorkbookView;

    int32_t Count() override { return static_cast<int32_t>(workbook()->pivotCaches().size()); }

    std::shared_ptr<PivotCache> Item(int32_t index) override
    {
        const auto& caches = workbook()->pivotCaches();
        if (index < 1 || index > static_cast<int32_t>(caches.size()))
            failSubscript("pivot cache " + std::to_string(index) + " of " + std::to_string(caches.size()));
        return caches[static_cast<size_t>(index - 1)];
    }

    std::shared_ptr<PivotCache> Add(int32_t sourceType) override
    {
        if (sourceType != kExternalSource) {
            failApplication("PivotCaches.Add: source type " + std::to_string(sourceType)
                            + " is not served; only an external source (2) is");
        }
        auto book = workbook();
        auto cache = std::make_shared<HostPivotCache>(book);
        book->pivotCaches().push_back(cache);
        return cache;
    }
};

}  // namespace

HostWorkbook::HostWorkbook(std::weak_ptr<HostApplication> application, std::unique_ptr<WorkbookDocument> document,
                           std::string name)
    : mApplication(std::move(application)), mDocument(std::move(document)), mName(std::move(name))
{
}

HostWorkbook::~HostWorkbook() = default;

std::shared_ptr<sheet::Worksheets> HostWorkbook::Worksheets()
{
    document();
    if (!mWorksheetsCollection)
        mWorksheetsCollection = std::make_shared<HostWorksheets>(weak_from_this());
    return mWorksheetsCollection;
}

std::shared_ptr<sheet::Charts> HostWorkbook::Charts()
{
    document();
    if (!mChartsCollection)
        mChartsCollection = std::make_shared<HostCharts>(weak_from_this());
    return mChartsCollection;
}

std::shared_ptr<sheet::PivotCaches> HostWorkbook::PivotCaches()
{
    document();
    if (!mPivotCachesCollection)
        mPivotCachesCollection = std::make_shared<HostPivotCaches>(weak_from_this());
    return mPivotCachesCollection;
}

std::string HostWorkbook::Name()
{
    const auto& file = document().file();
    return file.empty() ? mName : file.filename().string();
}

std::string HostWorkbook::FullName()
{
    return document().file().string();
}

void HostWorkbook::Activate()
{
    document();
    application()->activate(shared_from_this());
}

void HostWorkbook::Save()
{
    if (document().file().empty())
        failApplication("Workbook '" + mName + "' has no file yet; save it with SaveAs first");
    prepareSave();
    document().save(document().file());
}

void HostWorkbook::SaveAs(const std::string& path)
{
    if (path.empty())
        failApplication("SaveAs needs a file name");
    prepareSave();
    document().save(std::filesystem::absolute(path));
}

void HostWorkbook::prepareSave()
{
    for (const auto& [model, sheet] : mWorksheets) {
        sheet->updatePivotTables();
        sheet->markPivotReports();
    }
    if (auto* charts = application()->chartEngine())
        charts->prepareSave(*this);
    reports().prepareSave(*this);
}

report::ReportBook& HostWorkbook::reports()
{
    document();
    if (!mReports)
        mReports = std::make_unique<report::ReportBook>();
    return *mReports;
}

void HostWorkbook::Close()
{
    document();
    if (auto app = mApplication.lock())
        app->remove(*this);
    mWorksheets.clear();
    mPivotCaches.clear();
    mReports.reset();
    mDocument.reset();
}

WorkbookDocument& HostWorkbook::document()
{
    if (!mDocument)
        failObjectNotSet("workbook '" + mName + "' was closed");
    return *mDocument;
}

std::shared_ptr<HostApplication> HostWorkbook::application()
{
    auto application = mApplication.lock();
    if (!application)
        failObjectNotSet("the application was closed");
    return application;
}

std::shared_ptr<HostWorksheet> HostWorkbook::worksheet(const std::shared_ptr<SheetModel>& sheet)
{
    auto& object = mWorksheets[sheet.get()];
    if (!object)
        object = std::make_shared<HostWorksheet>(weak_from_this(), sheet);
    return object;
}

std::vector<std::shared_ptr<SheetModel>> HostWorkbook::worksheetModels()
{
    std::vector<std::shared_ptr<SheetModel>> sheets;
    for (const auto& sheet : document().sheets()) {
        if (sheet->kind == SheetKind::Worksheet)
            sheets.push_back(sheet);
    }
    return sheets;
}

}  // namespace sheet
