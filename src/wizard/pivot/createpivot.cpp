// The PivotTable build: CreatePivot turns the choices of the wizard's steps
// into a pivot table on a worksheet of the host spreadsheet.
//
// Failures are handled in three ways, by stage: while the target is checked
// (up to the "PivotTable exists" check) the error trap handles them; from
// the wait form on, a failure is shown as "PivotTable error" and the build
// ends with false; a few steps whose failure only means the host cannot do
// what was asked (making the table, its autoformat, placing a field) end the
// build without a message. Whatever way the build ends, the pointer, the
// host's screen updating and the wait form are put back.
#include "wizard/control/nxpivotwizardctrl.h"

#include "widgets/nxcubeselectorctrl.h"

#include "wizard/errors/messagecatalogue.h"
#include "wizard/forms/fmwait.h"
#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "wizard/pivot/pivotbuild.h"
#include "platform/core/diagnostics.h"
#include "platform/core/failure.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>

namespace {

const char* const kLocalCubeProvider = "MSOLAP.2";
const char* const kConnectionTail = ";Client Cache Size=25;Auto Synch Period=10000";

template <class T>
T& need(const std::shared_ptr<T>& object, const char* what)
{
    return platform::requireObject(object.get(), what);
}

// The hourglass and the host's screen updating switched off for the build's
// duration. restore() puts both back and unloads the wait form; when the
// build leaves under the error trap, the destructor does it instead.
class BuildScreen {
public:
    explicit BuildScreen(sheet::Application& host) : mHost(host)
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        try {
            host.ScreenUpdating(false);
        } catch (...) {
            QApplication::restoreOverrideCursor();  // and the failure goes on
            throw;
        }
    }
    ~BuildScreen()
    {
        try {
            restore();
        } catch (const platform::Failure& failure) {
            // The trap is already reporting the failure that brought us here.
            platform::noteIgnoredFailure("CreatePivot", failure);
        }
    }
    BuildScreen(const BuildScreen&) = delete;
    BuildScreen& operator=(const BuildScreen&) = delete;

    void restore()
    {
        if (mRestored)
            return;
        mRestored = true;
        if (FmWait::isLoaded())
            FmWait::instance().close();
        QApplication::restoreOverrideCursor();
        mHost.ScreenUpdating(true);
    }

private:
    sheet::Application& mHost;
    bool mRestored = false;
};

}  // namespace

bool NxPivotWizardCtrl::CreatePivot()
{
    bool result = false;
    trap([&] {
        getXlVer();
        BuildScreen screen(need(mXlApp, "xlApp"));
        PivotBuild build;
        if (checkBuildTarget(build))
            result = buildReport(build);
        screen.restore();
    });
    return result;
}

void NxPivotWizardCtrl::getXlVer()
{
    trap([&] { excelVersion = need(mXlApp, "xlApp").Version().find('9') != std::string::npos ? 9 : 10; });
}

void NxPivotWizardCtrl::SetUpExcel(std::shared_ptr<sheet::Workbook>& aWb, std::shared_ptr<sheet::Worksheet>& aWs)
{
    trap([&] {
        sheet::Application& host = need(mXlApp, "xlApp");
        aWb = host.ActiveWorkbook();
        if (!aWb)
            aWb = host.Workbooks()->Add();
        const QString kNewSheet = QStringLiteral("New Sheet");
        const QString chosen = cboInsertSheet->itemText(cboInsertSheet->currentIndex());
        const std::shared_ptr<sheet::Worksheets> sheets = aWb->Worksheets();
        if (chosen != kNewSheet) {
            for (const auto& sheet : *sheets) {
                if (QString::fromStdString(sheet->Name()) == chosen) {
                    aWs = sheet;
                    break;
                }
            }
        }
        if (aWs)
            return;
        aWs = sheets->Add(sheets->Item(sheets->Count()));
        if (chosen != kNewSheet)
            aWs->Name(chosen.toStdString());
    });
}

// Until the wait form is up, failures belong to the error trap; refusals the
// user can fix are messages.
bool NxPivotWizardCtrl::checkBuildTarget(PivotBuild& build)
{
    if (!StartCellIsValid())
        return false;
    if (cubeSourceKind != NxCubeSelectorCtrl::ServerCube) {
        build.cubePath = CheckForCubFile();
        if (build.cubePath.isEmpty())
            return false;
    }
    SetUpExcel(build.aWb, build.aWs);
    need(build.aWs, "worksheet");
    if (isSheetProtected(build.aWs).toBool()) {
        showCatalogueMessage(50024, QString(), QStringLiteral("Protected sheet"), MessageIcon::Exclamation);
        return false;
    }
    const QString address = cboAZ->currentText() + fraText[1]->text();
    build.startCell = build.aWs->Range(address.toStdString());
    // A sheet that holds any pivot table is never built on.
    if (build.aWs->PivotTables()->Count() > 0) {
        showCatalogueMessage(50015, QString(), QStringLiteral("PivotTable exists"), MessageIcon::Exclamation);
        return false;
    }
    return true;
}

bool NxPivotWizardCtrl::buildReport(PivotBuild& build)
{
    try {
        showWaitForm();
        build.aWs->Select();
        build.cache = need(build.aWb, "workbook").PivotCaches()->Add(sheet::kExternalSource);
        build.tableName = "Table " + pivotCubeName().toStdString();
        connectPivotCache(build);
        silentlyOnFailure("CreatePivotTable", [&] { build.cache->CreatePivotTable(build.startCell, build.tableName); });
        advanceProgress();
        if (chkDisplay[1]->isChecked())
            addChart(build);
        build.pt = build.aWs->PivotTables(build.tableName);
        build.pt->RowGrand(chkRowGrand->isChecked());
        build.pt->ColumnGrand(chkColumnsGrand->isChecked());
        silentlyOnFailure("Format", [&] { build.aWs->PivotTables(build.tableName)->Format(sheet::kTableFormat13); });
        advanceProgress();
        // Pages first, then columns, then rows: each area in list order.
        placeDimensions(build, kBackgroundList, sheet::kPageField);
        placeDimensions(build, kColumnsList, sheet::kColumnField);
        placeDimensions(build, kRowsList, sheet::kRowField);
        removeSubtotals(build);
        addDataFields(build);
        setNumberFormat(build);
        build.aWs->Columns()->AutoFit();
        addMarkerSheet(build);
        if (FmWait::isLoaded())
            FmWait::instance().complete();
        return true;
    } catch (const SilentBuildExit&) {
        return false;
    } catch (const platform::Failure& failure) {
        // Only the host's failures are a "PivotTable error"; anything else is
        // a bug and goes on to the error trap.
        messages().showMessage(QString::number(failure.number()) + QStringLiteral(" : ")
                                   + General_Error_Trap(0, QString()).toString(),
                               QStringLiteral("PivotTable error"), MessageIcon::Exclamation);
        return false;
    }
}

// The progress counts two steps of the table itself, one per listed
// dimension and one per measure member. Its maximum counts every dimension
// of the cube instead, so it may be reached early; the value stops there.
void NxPivotWizardCtrl::showWaitForm()
{
    const int dimensions = cubeSourceKind == NxCubeSelectorCtrl::StoreCube ? need(loadedCube, "loaded cube").dimensionCount()
                                                        : need(loadedKCube, "loaded cube").dimensions().count();
    FmWait& wait = FmWait::instance();
    wait.PrgWait->setMaximum(dimensions + int(measureFieldNames().size()) + 1);
    wait.PrgWait->setValue(0);
    wait.showOver(this);
}

void NxPivotWizardCtrl::advanceProgress()
{
    if (FmWait::isLoaded())
        FmWait::instance().advance();
}

QString NxPivotWizardCtrl::pivotCubeName() const
{
    if (cubeSourceKind == NxCubeSelectorCtrl::StoreCube)
        return QString::fromStdString(need(loadedCube, "loaded cube").name());
    return QString::fromStdString(need(loadedKCube, "loaded cube").cubeEntry()->name());
}

void NxPivotWizardCtrl::connectPivotCache(PivotBuild& build)
{
    const QString tail = QString::fromLatin1(kConnectionTail);
    const QString localProvider = QString::fromLatin1(kLocalCubeProvider);
    QString connection;
    if (cubeSourceKind == NxCubeSelectorCtrl::ServerCube) {
        connection = QStringLiteral("OLEDB;Provider=") + providerConnectionName + QStringLiteral(";Location=")
                     + sourceCube + QStringLiteral(";Data Source=") + sourceLocation
                     + QStringLiteral(";Initial Catalog=") + sourceCatalog + tail;
    } else {
        const QString catalog = cubeSourceKind == NxCubeSelectorCtrl::StoreCube ? storeCatalogName : pivotCubeName();
        connection = QStringLiteral("OLEDB;Provider=") + localProvider + QStringLiteral(";Data Source=")
                     + build.cubePath + QStringLiteral(";Initial Catalog=") + catalog + tail;
    }
    build.cache->Connection(sheet::VariantArray{connection.toStdString()});
    build.cache->CommandType(sheet::kCommandCube);
    const QString cube = cubeSourceKind == NxCubeSelectorCtrl::StoreCube ? storeCubeName : pivotCubeName();
    build.cache->CommandText(sheet::VariantArray{cube.toStdString()});
}

// The host adds the chart as a chart sheet; it is then moved onto the
// report's sheet. A host that embeds it elsewhere (on the first worksheet)
// gets it cut and pasted below and right of the table's first cell.
void NxPivotWizardCtrl::addChart(PivotBuild& build)
{
    sheet::Application& host = need(mXlApp, "xlApp");
    build.startCell->Select();
    host.Charts()->Add();
    need(host.ActiveChart(), "active chart").Location(sheet::kLocationAsObject, build.aWs->Name());
    const std::shared_ptr<sheet::Chart> active = host.ActiveChart();
    if (need(need(active, "active chart").Parent(), "chart object").Parent() == build.aWs)
        return;
    for (const auto& object : *build.aWb->Worksheets()->Item(1)->ChartObjects()) {
        if (object->Chart() == active) {
            object->Cut();
            build.aWs->Select();
            build.aWs->Paste(build.startCell->Offset(2, 2));
            return;
        }
    }
}
