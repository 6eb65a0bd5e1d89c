// The working state of one PivotTable build (CreatePivot) and of one field
// whose drilled and hidden members are being carried over. Both live on the
// stack of the build; nothing here outlives it.
#pragma once

#include "wizard/control/nxpivotwizardctrl.h"
#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "platform/core/diagnostics.h"
#include "platform/core/failure.h"
#include "sheet/application.h"

#include <QString>

#include <exception>
#include <memory>
#include <string>

// Thrown by a step whose failure ends the build without a message: the
// build leaves through its exit with the result false.
struct SilentBuildExit : std::exception {
    const char* what() const noexcept override { return "the PivotTable build ended silently"; }
};

// Runs `step`; a failure of the host ends the build silently (noted for
// diagnostics under `where`). Anything else is no answer of the host and
// goes on to the error trap.
template <class Step>
void silentlyOnFailure(const char* where, Step&& step)
{
    try {
        step();
    } catch (const platform::Failure& failure) {
        platform::noteIgnoredFailure(where, failure);
        throw SilentBuildExit();
    }
}

struct NxPivotWizardCtrl::PivotBuild {
    std::shared_ptr<sheet::Workbook> aWb;
    std::shared_ptr<sheet::Worksheet> aWs;
    std::shared_ptr<sheet::Range> startCell;
    std::shared_ptr<sheet::PivotCache> cache;
    std::shared_ptr<sheet::PivotTable> pt;
    // The local cube file of kinds 1 and 2; empty for a server cube.
    QString cubePath;
    std::string tableName;
    // 2 while column fields are placed, 1 while row fields are placed.
    quint8 orientationKind = 0;
};

// One placed row or column dimension: its editor, its dimension in the
// loaded cube's model, the two tables and the retry state of the stage
// being applied.
struct NxPivotWizardCtrl::FieldMembers {
    NxDimEditCtrl* editor = nullptr;
    std::shared_ptr<olap::Dimension> dimension;    // store cube (kind 1)
    std::shared_ptr<olap::KDimension> kDimension;  // local file or server (kinds 2, 4)
    sheet::VariantArray drilledArray;
    sheet::VariantArray hiddenArray;
    bool addDrills = false;
    bool addHidden = false;
    // The stage being applied: the drill state, else the hidden state.
    bool drillStage = true;
    qint16 drillRetryCount = 0;
    // Shared by both stages: the tables were rebuilt from captions already.
    bool triedCaptions = false;
    // Set when the stage gave up: its remaining failures are ignored.
    bool ignoringFailures = false;

    void startStage(bool drill)
    {
        drillStage = drill;
        drillRetryCount = 0;
        ignoringFailures = false;
    }
    const std::string& dimensionName() const { return dimension ? dimension->name() : kDimension->name(); }
};
