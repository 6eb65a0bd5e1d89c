#include "sheet/host/hostapplication.h"

#include "sheet/host/hostworkbook.h"
#include "sheet/chart/chartengine.h"
#include "sheet/pivot/cubepivotengine.h"
#include "sheet/xlsx/workbookdocument.h"

#include <algorithm>
#include <filesystem>
#include <utility>

namespace sheet {

namespace {

class HostWorkbooks final : public Workbooks {
public:
    explicit HostWorkbooks(std::weak_ptr<HostApplication> application) : mApplication(std::move(application)) {}

    int32_t Count() override { return static_cast<int32_t>(application()->workbooks().size()); }

    std::shared_ptr<Workbook> Item(int32_t index) override
    {
        const auto& all = application()->workbooks();
        if (index < 1 || index > static_cast<int32_t>(all.size()))
            failSubscript("workbook " + std::to_string(index) + " of " + std::to_string(all.size()));
        return all[static_cast<size_t>(index - 1)];
    }

    std::shared_ptr<Workbook> Add() override { return application()->addWorkbook(); }
    std::shared_ptr<Workbook> Open(const std::string& path) override { return application()->openWorkbook(path); }

private:
    std::shared_ptr<HostApplication> application()
    {
        auto application = mApplication.lock();
        if (!application)
            failObjectNotSet("the application was closed");
        return application;
    }

    std::weak_ptr<HostApplication> mApplication;
};

std::filesystem::path absolute(const std::string& path)
{
    std::error_code error;
    const auto full = std::filesystem::weakly_canonical(std::filesystem::absolute(path), error);
    return error ? std::filesystem::path(path) : full;
}

}  // namespace

std::shared_ptr<Application> createApplication()
{
    auto application = HostApplication::create();
    application->setEngines(pivot::makeCubePivotEngine(), makeChartEngine());
    return application;
}

std::shared_ptr<HostApplication> HostApplication::create()
{
    return std::shared_ptr<HostApplication>(new HostApplication);
}

std::string HostApplication::Version()
{
    return kHostVersion;
}

bool HostApplication::ScreenUpdating()
{
    return mScreenUpdating;
}

void HostApplication::ScreenUpdating(bool on)
{
    mScreenUpdating = on;
}

std::shared_ptr<Workbook> HostApplication::ActiveWorkbook()
{
    return mActive.lock();
}

std::shared_ptr<sheet::Workbooks> HostApplication::Workbooks()
{
    if (!mWorkbooksCollection)
        mWorkbooksCollection = std::make_shared<HostWorkbooks>(weak_from_this());
    return mWorkbooksCollection;
}

std::shared_ptr<sheet::Charts> HostApplication::Charts()
{
    const auto active = mActive.lock();
    if (!active)
        failObjectNotSet("no workbook is open, so there are no charts");
    return active->Charts();
}

std::shared_ptr<Chart> HostApplication::ActiveChart()
{
    return mActiveChart;
}

std::shared_ptr<HostWorkbook> HostApplication::addWorkbook()
{
    auto workbook = std::make_shared<HostWorkbook>(weak_from_this(), WorkbookDocument::create(),
                                                   "Book" + std::to_string(++mBooksAdded));
    mWorkbooks.push_back(workbook);
    mActive = workbook;
    return workbook;
}

std::shared_ptr<HostWorkbook> HostApplication::openWorkbook(const std::string& path)
{
    const auto file = absolute(path);
    for (const auto& open : mWorkbooks) {
        std::error_code error;
        if (!open->FullName().empty() && std::filesystem::equivalent(open->FullName(), file, error)) {
            mActive = open;
            return open;
        }
    }
    auto workbook = std::make_shared<HostWorkbook>(weak_from_this(), WorkbookDocument::open(file),
                                                   file.filename().string());
    mWorkbooks.push_back(workbook);
    mActive = workbook;
    return workbook;
}

void HostApplication::activate(const std::shared_ptr<HostWorkbook>& workbook)
{
    mActive = workbook;
}

void HostApplication::remove(const HostWorkbook& workbook)
{
    std::erase_if(mWorkbooks, [&](const auto& open) { return open.get() == &workbook; });
    if (mActive.expired() || mActive.lock().get() == &workbook)
        mActive = mWorkbooks.empty() ? std::weak_ptr<HostWorkbook>() : mWorkbooks.back();
}

std::shared_ptr<ClipboardContent> HostApplication::takeClipboard()
{
    return std::exchange(mClipboard, nullptr);
}

void HostApplication::setEngines(std::shared_ptr<PivotEngine> pivots, std::shared_ptr<ChartEngine> charts)
{
    mPivotEngine = std::move(pivots);
    mChartEngine = std::move(charts);
}

}  // namespace sheet
