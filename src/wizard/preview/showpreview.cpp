// The layout step's "Preview": the report built with the steps' choices
// exactly as Finish builds it (fillTable), but on a workbook of a host of its
// own that is never saved, and its first rows shown in FrmPreview. The
// user's workbook is not touched.
#include "wizard/control/nxpivotwizardctrl.h"

#include "widgets/nxcubeselectorctrl.h"
#include "wizard/control/waitcursor.h"
#include "wizard/pivot/pivotbuild.h"
#include "wizard/preview/frmpreview.h"
#include "sheet/host/hostapplication.h"
#include "sheet/host/tablepreview.h"

void NxPivotWizardCtrl::showPreview()
{
    trap([&] {
        sheet::TablePreview preview;
        {
            const WaitCursor wait;
            if (!previewReport(preview))
                return;
        }
        auto* window = new FrmPreview(std::move(preview), this);
        window->show();
    });
}

// False when the cube file is missing (the user was told) or the host
// cannot make the table (as the build ends silently then).
bool NxPivotWizardCtrl::previewReport(sheet::TablePreview& preview)
{
    PivotBuild build;
    if (cubeSourceKind != NxCubeSelectorCtrl::ServerCube) {
        build.cubePath = CheckForCubFile();
        if (build.cubePath.isEmpty())
            return false;
    }
    const std::shared_ptr<sheet::Application> host = sheet::createApplication();
    build.aWb = host->Workbooks()->Add();
    build.aWs = build.aWb->Worksheets()->Item(1);
    build.startCell = build.aWs->Range("A1");
    try {
        build.cache = build.aWb->PivotCaches()->Add(sheet::kExternalSource);
        build.tableName = "Table " + pivotCubeName().toStdString();
        connectPivotCache(build);
        silentlyOnFailure("CreatePivotTable", [&] { build.cache->CreatePivotTable(build.startCell, build.tableName); });
        build.pt = build.aWs->PivotTables(build.tableName);
        fillTable(build);
        preview = sheet::previewTable(*build.pt, FrmPreview::kRows);
        return true;
    } catch (const SilentBuildExit&) {
        return false;
    }
}
