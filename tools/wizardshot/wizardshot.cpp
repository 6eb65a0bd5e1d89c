// wizardshot SCENE FILE: renders a scene of the wizard into the PNG file FILE,
// for the documentation; a scene is a step, 1 to 7 as the user counts, or a
// named scene of the table below. A scene that ends with the report built
// ("report") saves the workbook as FILE (.xlsx) instead, for LibreOffice to
// print. Run it under a real or virtual X server
// (xvfb-run; scripts/screenshots.sh makes every picture of docs/) so that
// fonts and styles are the desktop's own.
//
// The wizard gets there as a user would: it opens the sample store's Sales
// cube (from a copy, since loading a store cube writes beside it) and clicks
// Next with the default choices, on a new workbook of the spreadsheet host.
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
#include <functional>
#include <vector>

namespace {

bool copySalesStore(const std::filesystem::path& target)
{
    std::error_code error;
    for (const char* name : {"Sales.cub", "Sales.bwf"})
        std::filesystem::copy_file(std::filesystem::path(PIVOTWIZARD_SAMPLE_STORE) / name, target / name, error);
    return !error;
}

// The wizard's control `name` (of index `index` in a control array).
template <class T>
T* control(const NxPivotWizardCtrl& wizard, const char* name, int index = -1)
{
    for (T* found : wizard.findChildren<T*>(QString::fromLatin1(name))) {
        const QVariant at = found->property("index");
        if (index < 0 ? !at.isValid() : at.toInt() == index)
            return found;
    }
    return nullptr;
}

void clickNext(NxPivotWizardCtrl& wizard) { control<QPushButton>(wizard, "butCommand", 1)->click(); }

// On the layout step: "Alter Pivot Report Format" and two decimal places,
// and the chart when `chart`.
void chooseTheReportsLook(NxPivotWizardCtrl& wizard, bool chart)
{
    if (chart)
        control<QCheckBox>(wizard, "chkDisplay", 1)->click();
    control<QCheckBox>(wizard, "chkDisplay", 0)->click();
    control<QCheckBox>(wizard, "chkDps")->click();
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

// A picture: the step the wizard walks to, then what is done there before
// the window is taken (nothing for a plain step). The window taken is the
// one `prepare` returns, the wizard's own when none is.
struct Scene {
    const char* name;
    int step;  // 1 to 7
    std::function<QWidget*(NxPivotWizardCtrl&)> prepare;
};

std::vector<Scene> scenes()
{
    std::vector<Scene> all;
    for (int step = 1; step <= 7; ++step)
        all.push_back({nullptr, step, {}});
    // Named scenes, such as a window opened from a step, join here:
    // all.push_back({"name", step, [](NxPivotWizardCtrl& wizard) { ...; return window; }});
    all.push_back({"preview", 7, [](NxPivotWizardCtrl& wizard) -> QWidget* {
                       chooseTheReportsLook(wizard, false);
                       control<QPushButton>(wizard, "cmdPreview")->click();
                       auto* window = wizard.findChild<QWidget*>(QStringLiteral("frmPreview"));
                       if (window)
                           window->resize(900, 420);
                       return window;
                   }});
    all.push_back({"report", 7, [](NxPivotWizardCtrl& wizard) -> QWidget* {
                       chooseTheReportsLook(wizard, true);
                       control<QPushButton>(wizard, "butCommand", 2)->click();
                       return nullptr;
                   }});
    return all;
}

const Scene* findScene(const QString& name)
{
    static const std::vector<Scene> all = scenes();
    for (const Scene& scene : all) {
        if (scene.name ? name == QLatin1String(scene.name) : name == QString::number(scene.step))
            return &scene;
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const Scene* scene = args.size() == 3 ? findScene(args.at(1)) : nullptr;
    if (!scene) {
        std::fprintf(stderr, "usage: wizardshot STEP(1-7)|SCENE FILE.png\n");
        return 2;
    }
    const int step = scene->step;
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
    QWidget* shown = scene->prepare ? scene->prepare(wizard) : &wizard;
    QApplication::processEvents();
    if (output.endsWith(QLatin1String(".xlsx"))) {
        host->ActiveWorkbook()->SaveAs(output.toStdString());
        return 0;
    }
    if (!shown || !shown->grab().save(output)) {
        std::fprintf(stderr, "wizardshot: cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
