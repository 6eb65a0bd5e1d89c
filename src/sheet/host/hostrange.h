// The host's Range: an area of one HostWorksheet. The range keeps its
// worksheet object alive; the worksheet's workbook may still be closed, after
// which the range's members throw 91.
#pragma once

#include "sheet/xlsx/a1address.h"
#include "sheet/application.h"

#include <memory>

namespace sheet {

class HostWorksheet;

class HostRange final : public Range {
public:
    HostRange(std::shared_ptr<HostWorksheet> worksheet, Area area);

    void Select() override;
    std::shared_ptr<Range> Offset(int32_t rowOffset, int32_t columnOffset) override;
    void AutoFit() override;
    std::string Address() override;
    int32_t Row() override;
    int32_t Column() override;
    std::shared_ptr<Worksheet> Parent() override;

    const Area& area() const { return mArea; }
    const std::shared_ptr<HostWorksheet>& worksheet() const { return mWorksheet; }

private:
    std::shared_ptr<HostWorksheet> mWorksheet;
    Area mArea;
};

}  // namespace sheet
