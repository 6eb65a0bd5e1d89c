// A pivot table the host computes from a cube: its fields and options
// (pivotdesign.h), drawn into its sheet's cells through the cube engine's
// query (pivotgrid.h) whenever it is brought up to date.
#pragma once

#include "sheet/host/extensions.h"
#include "sheet/pivot/pivotconnection.h"
#include "sheet/pivot/pivotdesign.h"
#include "sheet/pivot/pivotgrid.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sheet {

class HostWorksheet;

namespace pivot {

class CubePivotTable final : public PlacedPivotTable, public std::enable_shared_from_this<CubePivotTable> {
public:
    // A table named `name` on `sheet` with its top-left at `topLeft`, showing
    // nothing until fields are placed. Requires: `cube` is open.
    CubePivotTable(std::weak_ptr<HostWorksheet> sheet, std::string name, CellRef topLeft, OpenCube cube);

    std::string Name() override { return mName; }
    bool RowGrand() override { return mDesign.rowGrand; }
    void RowGrand(bool on) override;
    bool ColumnGrand() override { return mDesign.columnGrand; }
    void ColumnGrand(bool on) override;
    bool ManualUpdate() override { return mManualUpdate; }
    void ManualUpdate(bool on) override;
    void Format(int32_t format) override;
    std::shared_ptr<sheet::CubeFields> CubeFields() override;
    std::shared_ptr<sheet::PivotFields> PivotFields() override;
    std::shared_ptr<sheet::PivotFields> DataFields() override;
    std::shared_ptr<Worksheet> Parent() override;

    Area area() override { return mArea; }
    void update() override;
    std::optional<ChartData> chartData() override;
    std::optional<DrawnRows> firstRows(int32_t rows) override;

    // For the field objects: the design, and the note that it changed. Every
    // change draws the table again when it is next brought up to date.
    PivotDesign& design() { return mDesign; }
    void changed() { mStale = true; }

    // Where the table stands and the cube it was made from, for its
    // definition (sheet/report).
    CellRef topLeft() const { return mTopLeft; }
    const PivotSource& source() const { return mSource; }
    void setSource(PivotSource source) { mSource = std::move(source); }

private:
    void draw();
    // The grid of the design, its first `rows` rows laid out (all by default).
    PivotGrid grid(const GridLimits& limits = {});
    void clearDrawnCells(HostWorksheet& sheet);

    std::weak_ptr<HostWorksheet> mSheet;
    std::string mName;
    CellRef mTopLeft;
    OpenCube mCube;
    PivotSource mSource;
    PivotDesign mDesign;
    bool mManualUpdate = false;
    bool mStale = true;
    Area mArea;
    std::vector<CellRef> mDrawnCells;
    ChartData mChart;
    std::shared_ptr<sheet::CubeFields> mCubeFields;
    std::shared_ptr<sheet::PivotFields> mPivotFields;
    std::shared_ptr<sheet::PivotFields> mDataFields;
};

// The collections of a table (fieldobjects.cpp).
std::shared_ptr<sheet::CubeFields> makeCubeFields(std::weak_ptr<CubePivotTable> table);
// All pivot fields, or (`dataOnly`) the data fields in position order.
std::shared_ptr<sheet::PivotFields> makePivotFields(std::weak_ptr<CubePivotTable> table, bool dataOnly);

}  // namespace pivot
}  // namespace sheet
