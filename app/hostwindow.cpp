#include "hostwindow.h"

#include "control/nxpivotwizardctrl.h"
#include "sheet/application.h"

#include <QDir>
#include <QVBoxLayout>

HostWindow::HostWindow(const QString& storeFolder, std::shared_ptr<sheet::Application> spreadsheet,
                       QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("HostWindow"));
    setWindowTitle(QStringLiteral("PivotTable Wizard"));
    mWizard = new NxPivotWizardCtrl(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mWizard);

    connect(mWizard, &NxPivotWizardCtrl::wizardStep, this,
            [this](const QString& title, qint16) { setWindowTitle(title); });
    connect(mWizard, &NxPivotWizardCtrl::PivotResult, this, &HostWindow::onPivotResult);
    mWizard->xlApp(std::move(spreadsheet));
    // The application path's folder part is the store folder.
    mWizard->ApplicationPath(QDir(storeFolder).absoluteFilePath(QStringLiteral("pivotwizard")));
}

void HostWindow::begin() { mWizard->Begin(); }

void HostWindow::onPivotResult(bool result)
{
    mResult = result;
    close();
}
