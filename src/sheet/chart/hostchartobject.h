// A chart embedded in a worksheet: the object that holds a HostChart on the
// sheet, with its name and where its top-left corner goes. Cut takes it off
// the sheet onto the application's clipboard, from which a worksheet's Paste
// puts it back at a cell.
#pragma once

#include "sheet/application.h"
#include "sheet/host/extensions.h"

#include <memory>
#include <optional>
#include <string>

namespace sheet {

class HostChart;
class HostWorksheet;

class HostChartObject final : public ChartObject,
                              public ClipboardContent,
                              public std::enable_shared_from_this<HostChartObject> {
public:
    // Embeds `chart` in `sheet` as a new object named "Chart <n>" (the first
    // n no other object of the sheet uses), with its top-left at `topLeft`,
    // or beside its table when nullopt. The sheet lists the object; the
    // chart knows it.
    static std::shared_ptr<HostChartObject> embed(const std::shared_ptr<HostChart>& chart, HostWorksheet& sheet,
                                                  std::optional<CellRef> topLeft);

    std::string Name() override;
    std::shared_ptr<sheet::Chart> Chart() override;
    // Throws 1004 when the object was cut already.
    void Cut() override;
    // Throws 91 while the object is cut.
    std::shared_ptr<Worksheet> Parent() override;
    // Throws 1004 when the chart was moved elsewhere since it was cut.
    void pasteOnto(HostWorksheet& sheet, CellRef destination) override;

    // Takes the object off its sheet for good: its chart moved elsewhere.
    void release();

    const std::shared_ptr<HostChart>& chart() const { return mChart; }
    // The sheet holding the object; null while it is cut.
    std::shared_ptr<HostWorksheet> worksheet() const { return mSheet.lock(); }
    // Where its top-left corner goes; nullopt: beside its chart's table.
    std::optional<CellRef> topLeft() const { return mTopLeft; }

private:
    explicit HostChartObject(std::shared_ptr<HostChart> chart) : mChart(std::move(chart)) {}
    void place(HostWorksheet& sheet, std::optional<CellRef> topLeft);
    void takeOffSheet();

    std::shared_ptr<HostChart> mChart;
    std::weak_ptr<HostWorksheet> mSheet;  // the sheet lists the object
    std::string mName;
    std::optional<CellRef> mTopLeft;
};

}  // namespace sheet
