// reportshot PREVIEW.png REPORT.xlsx: the pictures of the report for the
// documentation. Walks the wizard over the sample store's Sales cube with
// the default layout (from a copy, since loading a store cube writes beside
// it), ticks "Include Chart", "Alter Pivot Report Format" and "Set decimal
// places" on the layout step, clicks "Preview" and renders the preview
// window into PREVIEW.png, then clicks Finish and saves the workbook as
// REPORT.xlsx (scripts/reportshots.sh turns it into a picture through
// LibreOffice). Run it under a real or virtual X server (xvfb-run) so that
// fonts and styles are the desktop's own.
#include "wizard/control/nxpivotwizardctrl.h"
#include "sheet/host/hostapplication.h"
#include "widgets/nxcubeselectorctrl.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>
#include <filesystem>

namespace {

template <class T>
T* control(const QWidget& root, const char* name, int index = -1)
{
    for (T* found : root.findChildren<T*>(QString::fromLatin1(name))) {
        const QVariant at = found->property("index");
        if (index < 0 ? !at.isValid() : at.toInt() == index)
            return found;
    }
    return nullptr;
}

// Clicks Next until the layout step, choosing the Sales store cube on the
// cube step; false when the wizard stops on the way.
bool walkToLayout(NxPivotWizardCtrl& wizard)
{
    while (wizard.currentStep() < 6) {
        if (wizard.currentStep() == 1) {
            auto* selector = wizard.findChild<NxCubeSelectorCtrl*>(QStringLiteral("NxCubeSelectorCtrl1"));
            selector->setSelectorSourceType(NxCubeSelectorCtrl::StoreCube);
            selector->setSelectorCubeName(QStringLiteral("Sales"));
        }
        const qint16 before = wizard.currentStep();
        control<QPushButton>(wizard, "butCommand", 1)->click();
        if (wizard.currentStep() == before)
            return false;
    }
    return true;
}

int fail(const char* what)
{
    std::fprintf(stderr, "reportshot: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: reportshot PREVIEW.png REPORT.xlsx\n");
        return 2;
    }
    const QString preview = QFileInfo(args.at(1)).absoluteFilePath();
    const QString report = QFileInfo(args.at(2)).absoluteFilePath();
    // Keep the user's own settings out of the picture.
    QTemporaryDir scratch;
    qputenv("PIVOTWIZARD_SETTINGS", scratch.filePath(QStringLiteral("settings.db")).toLocal8Bit());
    const std::filesystem::path store = scratch.path().toStdString();
    std::error_code error;
    for (const char* name : {"Sales.cub", "Sales.bwf"})
        std::filesystem::copy_file(std::filesystem::path(PIVOTWIZARD_SAMPLE_STORE) / name, store / name, error);
    if (error)
        return fail("the sample store is missing");

    auto host = sheet::createApplication();
    host->Workbooks()->Add();
    NxPivotWizardCtrl wizard;
    wizard.xlApp(host);
    wizard.ApplicationPath(QString::fromStdString((store / "pivotwizard").string()));
    wizard.show();
    wizard.Begin();
    if (!walkToLayout(wizard))
        return fail("the wizard stopped before the layout step");
    control<QCheckBox>(wizard, "chkDisplay", 1)->click();
    control<QCheckBox>(wizard, "chkDisplay", 0)->click();
    control<QCheckBox>(wizard, "chkDps")->click();
    control<QPushButton>(wizard, "cmdPreview")->click();
    auto* window = wizard.findChild<QWidget*>(QStringLiteral("frmPreview"));
    if (!window)
        return fail("no preview window");
    window->resize(900, 420);
    QApplication::processEvents();
    if (!window->grab().save(preview))
        return fail("cannot write the preview picture");
    window->close();
    control<QPushButton>(wizard, "butCommand", 2)->click();
    host->ActiveWorkbook()->SaveAs(report.toStdString());
    return 0;
}
