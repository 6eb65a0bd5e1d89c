// The member steps over the Design cube, opened as a local cube file or as
// the store cube (whose measures stay in the Rows area). City and Channel
// join Product in the Rows area; Time stays in Columns.
#pragma once

#include "designwizard.h"
#include "membertree.h"

#include <ostream>

class NxDimEditCtrl;

enum class CubeModel { LocalFile, Store };
void PrintTo(CubeModel model, std::ostream* out);

class MemberSteps : public DesignSteps, public testing::WithParamInterface<CubeModel> {
protected:
    void SetUp() override;

    // Picks `name` in the row (area 1) or column (area 2) members list.
    void open(int area, const QString& name);
    // The row (area 1) or column (area 2) editor attached to `name`; null when none is.
    NxDimEditCtrl* editorOf(int area, const QString& name) const;
    // The editor in front in the row or column step.
    NxDimEditCtrl* frontEditor(int area) const;
};

std::string modelName(const testing::TestParamInfo<CubeModel>& info);
