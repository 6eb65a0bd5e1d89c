#include "sheet/pivot/cubepivotengine.h"

#include "sheet/host/hostworksheet.h"
#include "sheet/pivot/cubepivottable.h"

namespace sheet::pivot {

namespace {

class CubePivotEngine final : public PivotEngine {
public:
    std::shared_ptr<PlacedPivotTable> create(const PivotSource& source, HostWorksheet& sheet, CellRef topLeft,
                                             const std::string& name) override
    {
        // Opening the cube first: a source that cannot be reached fails here,
        // before the sheet has a table.
        OpenCube cube = openCube(source);
        auto table = std::make_shared<CubePivotTable>(sheet.weak_from_this(), name, topLeft, std::move(cube));
        table->setSource(source);
        table->update();
        return table;
    }
};

}  // namespace

std::shared_ptr<PivotEngine> makeCubePivotEngine()
{
    return std::make_shared<CubePivotEngine>();
}

}  // namespace sheet::pivot
