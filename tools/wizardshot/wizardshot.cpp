// wizardshot STEP FILE: renders the wizard window on step STEP (1 to 7, as the
// user counts) into the PNG file FILE, for the documentation. Run it under a
// real or virtual X server (xvfb-run) so that fonts and styles are the
// desktop's own.
//
// The wizard gets there through its own step machine. The procedures that
// read a cube and a workbook are stood in for with a small fixed design
// (dimensions Product, Store, Customer and Time), so the pictures do not
// depend on the sample store or a workbook being present.
#include "control/nxpivotwizardctrl.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>

namespace {

class ShowcaseWizard : public NxPivotWizardCtrl {
public:
    void goToStep(int step)
    {
        while (currentStep() < step) {
            const qint16 before = currentStep();
            butCommand[1]->click();
            if (currentStep() == before)
                return;
        }
    }

protected:
    bool CheckValidFileSelected() override { return true; }
    bool LoadKCubeDetails() override
    {
        lstCubeDetails[1]->addItems({QStringLiteral("Store"), QStringLiteral("Customer")});
        lstCubeDetails[2]->addItem(QStringLiteral("Product"));
        lstCubeDetails[3]->addItem(QStringLiteral("Time"));
        return true;
    }
    bool LoadCubeDetails() override { return LoadKCubeDetails(); }
    void LoadMeasureDetails() override
    {
        lstCubeOptions[0]->addItem(QStringLiteral("Measures"));
        lstCubeOptions[0]->setCurrentRow(0);
    }
    void LoadDimensionDetails(quint8 dimType) override
    {
        lstCubeOptions[dimType]->addItem(lstCubeDetails[dimType == 1 ? 2 : 3]->item(0)->text());
        lstCubeOptions[dimType]->setCurrentRow(0);
    }
    bool checkMembersAreSelected(const QString&) override { return true; }
    int chosenMeasureCount() override { return 1; }
    void GetActiveWorkbookDetails() override
    {
        cboInsertSheet->addItems({QStringLiteral("New Sheet"), QStringLiteral("Sheet1"), QStringLiteral("Sheet2"),
                                  QStringLiteral("Sheet3")});
    }
};

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
    // Keep the user's own settings out of the picture.
    QTemporaryDir settings;
    qputenv("PIVOTWIZARD_SETTINGS", settings.filePath(QStringLiteral("settings.db")).toLocal8Bit());

    ShowcaseWizard wizard;
    wizard.setWindowTitle(QStringLiteral("PivotTable Wizard (Step %1 of 7)").arg(step));
    wizard.goToStep(step - 1);
    wizard.show();
    QApplication::processEvents();
    if (!wizard.grab().save(args.at(2))) {
        std::fprintf(stderr, "wizardshot: cannot write %s\n", qPrintable(args.at(2)));
        return 1;
    }
    return 0;
}
