#include "sheet/chart/hostchartobject.h"

#include "sheet/chart/hostchart.h"

#include "sheet/host/hostapplication.h"
#include "sheet/host/hostworkbook.h"
#include "sheet/host/hostworksheet.h"

#include <algorithm>

namespace sheet {

namespace {

bool nameTaken(HostWorksheet& sheet, const std::string& name)
{
    const auto& objects = sheet.chartObjects();
    return std::any_of(objects.begin(), objects.end(), [&](const auto& object) { return object->Name() == name; });
}

std::string freeName(HostWorksheet& sheet)
{
    for (int n = 1;; ++n) {
        std::string name = "Chart " + std::to_string(n);
        if (!nameTaken(sheet, name))
            return name;
    }
}

}  // namespace

std::shared_ptr<HostChartObject> HostChartObject::embed(const std::shared_ptr<HostChart>& chart, HostWorksheet& sheet,
                                                        std::optional<CellRef> topLeft)
{
    std::shared_ptr<HostChartObject> object(new HostChartObject(chart));
    object->place(sheet, topLeft);
    return object;
}

void HostChartObject::place(HostWorksheet& sheet, std::optional<CellRef> topLeft)
{
    if (mName.empty() || nameTaken(sheet, mName))
        mName = freeName(sheet);
    mTopLeft = topLeft;
    mSheet = sheet.weak_from_this();
    sheet.chartObjects().push_back(shared_from_this());
    mChart->setObject(shared_from_this());
}

void HostChartObject::takeOffSheet()
{
    if (const auto sheet = worksheet())
        std::erase_if(sheet->chartObjects(), [&](const auto& object) { return object.get() == this; });
    mSheet.reset();
}

std::string HostChartObject::Name()
{
    return mName;
}

std::shared_ptr<sheet::Chart> HostChartObject::Chart()
{
    return mChart;
}

void HostChartObject::Cut()
{
    const auto sheet = worksheet();
    if (!sheet)
        failApplication("Chart object '" + mName + "' was cut already");
    const auto application = sheet->workbook()->application();
    takeOffSheet();
    application->setClipboard(shared_from_this());
    if (application->ActiveChart() == mChart)
        application->setActiveChart(nullptr);
}

std::shared_ptr<Worksheet> HostChartObject::Parent()
{
    auto sheet = worksheet();
    if (!sheet)
        failObjectNotSet("chart object '" + mName + "' was cut and is on the clipboard");
    sheet->workbook();
    return sheet;
}

void HostChartObject::pasteOnto(HostWorksheet& sheet, CellRef destination)
{
    if (mChart->object().get() != this)
        failApplication("Paste: the chart that was cut has been moved since");
    if (sheet.workbook() != mChart->workbook())
        failApplication("Paste: a chart cannot be pasted into another workbook");
    place(sheet, destination);
    sheet.workbook()->application()->setActiveChart(mChart);
}

void HostChartObject::release()
{
    takeOffSheet();
    if (mChart->object().get() == this)
        mChart->setObject(nullptr);
}

}  // namespace sheet
