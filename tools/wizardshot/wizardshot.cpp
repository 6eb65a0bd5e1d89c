// wizardshot STEP FILE: renders the wizard window on step STEP (1 to 7, as the
// user counts) into the PNG file FILE, for the documentation. Run it under a
// real or virtual X server (xvfb-run) so that fonts and styles are the
// desktop's own.
//
// The wizard gets there as a user would: it opens the sample store's Sales
// cube (from a copy, since loading a store cube writes beside it) and clicks
// Next with the default choices, on a new workbook of the spreadsheet host.
#include "wizard/control/nxpivotwizardctrl.h"
#include "sheet/host/hostapplication.h"
#include "widgets/nxcubeselectorctrl.h"

#include <QApplication>
#include <QFileInfo>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>
#include <filesystem>

namespace {

bool copySalesStore(const std::filesystem::path& target)
{
    std::error_code error;
    for (const char* name : {"Sales.cub", "Sales.bwf"})
        std::filesystem::copy_file(std::filesystem::path(PIVOTWIZARD_SAMPLE_STORE) / name, target / name, error);
    return !error;
}

void clickNext(NxPivotWizardCtrl& wizard)
{
    for (auto* button : wizard.findChildren<QPushButton*>(QStringLiteral("butCommand"))) {
        if (button->property("index").toInt() == 1)
            button->click();
    }
}

// Walks to `step` (0-based), opening the Sales store cube on the way.
bool goToStep(NxPivotWizardCtrl& wizard, int step)
{
    while (wizard.currentStep() < step) {
        if (wizard.currentStep() == 1) {
            auto* selector = wizard.findChild<NxCubeSelectorCtrl*>(QStringLiteral("NxCubeSelectorCtrl1"));
            selector->setSelectorSourceType(NxCubeSelectorCtrl::StoreCube);
            selector->setSelectorCubeName(QStringLiteral("Sales"));
        }
        const qint16 before = wizard.currentStep();
        clickNext(wizard);
        if (wizard.currentStep() == before)
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    bool ok = false;
    const int step = args.size() == 3 ? args.at(1).toInt(&ok) : 0;
    if (!ok || step < 1 || step > 7) {
        std::fprintf(stderr, "usage: wizardshot STEP(1-7) FILE.png\n");
        return 2;
    }
    // The disk browser makes the folder it shows current.
    const QString output = QFileInfo(args.at(2)).absoluteFilePath();
    // Keep the user's own settings out of the picture.
    QTemporaryDir scratch;
    qputenv("PIVOTWIZARD_SETTINGS", scratch.filePath(QStringLiteral("settings.db")).toLocal8Bit());
    const std::filesystem::path store = scratch.path().toStdString();
    if (!copySalesStore(store)) {
        std::fprintf(stderr, "wizardshot: the sample store is missing (%s)\n", PIVOTWIZARD_SAMPLE_STORE);
        return 1;
    }

    auto host = sheet::createApplication();
    host->Workbooks()->Add();
    NxPivotWizardCtrl wizard;
    wizard.xlApp(host);
    wizard.ApplicationPath(QString::fromStdString((store / "pivotwizard").string()));
    wizard.setWindowTitle(QStringLiteral("PivotTable Wizard (Step %1 of 7)").arg(step));
    wizard.show();
    wizard.Begin();
    if (!goToStep(wizard, step - 1)) {
        std::fprintf(stderr, "wizardshot: the wizard stopped on step %d\n", wizard.currentStep() + 1);
        return 1;
    }
    QApplication::processEvents();
    if (!wizard.grab().save(output)) {
        std::fprintf(stderr, "wizardshot: cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
