// wizardshot STEP FILE: renders the wizard window showing step STEP (1 to 7,
// as the user counts) into the PNG file FILE. Run it under a real or virtual
// X server (xvfb-run) so that fonts and styles are the desktop's own.
#include "control/nxpivotwizardctrl.h"

#include <QApplication>
#include <QPixmap>
#include <QStackedWidget>
#include <QTemporaryDir>

#include <cstdio>

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

    NxPivotWizardCtrl wizard;
    wizard.setWindowTitle(QStringLiteral("PivotTable Wizard (Step %1 of 7)").arg(step));
    wizard.findChild<QStackedWidget*>(QStringLiteral("frameStack"))->setCurrentIndex(step - 1);
    wizard.show();
    QApplication::processEvents();
    if (!wizard.grab().save(args.at(2))) {
        std::fprintf(stderr, "wizardshot: cannot write %s\n", qPrintable(args.at(2)));
        return 1;
    }
    return 0;
}
