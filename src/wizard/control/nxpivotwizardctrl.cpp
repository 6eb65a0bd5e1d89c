// The control's public interface, its initialization and termination.
#include "wizard/control/nxpivotwizardctrl.h"

#include "olap/store/storefiles.h"
#include "wizard/errors/messagecatalogue.h"
#include "widgets/diskbrowser.h"
#include "widgets/nxcubeselectorctrl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>

NxPivotWizardCtrl::NxPivotWizardCtrl(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("NxPivotWizardCtrl"));
    buildScreens();
    initialize();
}

NxPivotWizardCtrl::~NxPivotWizardCtrl() { terminate(); }

void NxPivotWizardCtrl::initialize()
{
    trap([&] {
        Provider(QStringLiteral("MSOLAP.2"));
        SourceDSN(QStringLiteral("Brennlow"));
        const QStringList headings{QStringLiteral("Welcome to the PivotTable wizard"),
                                   QStringLiteral("Select a cube"),
                                   QStringLiteral("Organise dimensions"),
                                   QStringLiteral("Choose your measure members"),
                                   QStringLiteral("Choose your row members"),
                                   QStringLiteral("Choose your column members"),
                                   QStringLiteral("Choose PivotTable layout")};
        for (int i = 1; i <= 7; ++i) {
            stepTitles[i] = QStringLiteral("PivotTable Wizard (Step %1 of 7)").arg(i);
            stepHeadings[i] = headings[i - 1];
        }
        // The frames already lie on top of one another in the frame stack.
        skipWelcome = SkipFirstPage();
        chkSkip->setChecked(skipWelcome);
        bringToFront(0);
        resize(sizeHint());
        fillStartColumns();
        fraText[1]->setText(QStringLiteral("1"));
        mCurrentStep = 0;
        lastDriveIndex = static_cast<qint16>(DriveCube->currentIndex());
        cmbCubeFileTypes->setCurrentIndex(0);
        cmbCubeFileTypes_Click();
        butCommand[0]->setEnabled(false);
        butCommand[2]->setEnabled(false);
        showDefaultButton();
        showApplicationFolderInBrowser();
        writeLabels();
        NxCubeSelectorCtrl1->setSelectorSourceType(NxCubeSelectorCtrl::StoreCube);
        NxCubeSelectorCtrl1->selectorOption(true);
    });
}

void NxPivotWizardCtrl::fillStartColumns()
{
    // "A" .. "Z", then two letters up to "IV": the 256 columns a start cell may name.
    QStringList columns;
    for (char c = 'A'; c <= 'Z'; ++c)
        columns << QString(QLatin1Char(c));
    for (char first = 'A'; first <= 'I'; ++first) {
        for (char second = 'A'; second <= (first == 'I' ? 'V' : 'Z'); ++second)
            columns << QString(QLatin1Char(first)) + QLatin1Char(second);
    }
    cboAZ->clear();
    cboAZ->addItems(columns);
    cboAZ->setCurrentIndex(0);
}

void NxPivotWizardCtrl::terminate()
{
    // The host window may be going away with the control, so a failure here
    // closes no window.
    runTrapped(kModule, nullptr, [&] {
        loadedKCube.reset();
        loadedCube.reset();
        mXlApp.reset();
    });
}

std::shared_ptr<sheet::Application> NxPivotWizardCtrl::xlApp() const
{
    std::shared_ptr<sheet::Application> result;
    const_cast<NxPivotWizardCtrl*>(this)->trap([&] { result = mXlApp; });
    return result;
}

void NxPivotWizardCtrl::xlApp(std::shared_ptr<sheet::Application> app)
{
    trap([&] { mXlApp = std::move(app); });
}

void NxPivotWizardCtrl::Begin()
{
    trap([&] {
        if (skipWelcome)
            ChangeWizardStep(1);
    });
}

QStringList NxPivotWizardCtrl::stepDescriptions() const
{
    QStringList result;
    const_cast<NxPivotWizardCtrl*>(this)->trap([&] {
        for (int i = 1; i <= 7; ++i)
            result << stepHeadings[i];
    });
    return result;
}

qint16 NxPivotWizardCtrl::currentStep() const { return mCurrentStep; }

void NxPivotWizardCtrl::ApplicationPath(const QString& value)
{
    trap([&] {
        mApplicationPath = value;
        // The disk browser starts in the folder where store cubes live.
        showApplicationFolderInBrowser();
    });
}

void NxPivotWizardCtrl::SourceDSN(const QString& value)
{
    trap([&] { mSourceDSN = value; });
}

void NxPivotWizardCtrl::Provider(const QString& value)
{
    trap([&] { mProvider = value; });
}

void NxPivotWizardCtrl::hotTipSet(qint16) {}
void NxPivotWizardCtrl::hotTipEnd(qint16) {}

QString NxPivotWizardCtrl::applicationFolder(const QString& applicationPath)
{
    return QString::fromStdString(olap::applicationFolder(applicationPath.toStdString()));
}

QVariant NxPivotWizardCtrl::General_Error_Trap(qint32 ErrCode, const QString& ErrData)
{
    QVariant result;
    trap([&] { result = catalogueText(ErrCode, ErrData, pendingFailureDescription()); });
    return result;
}

void NxPivotWizardCtrl::showCatalogueMessage(qint32 code, const QString& data, const QString& title,
                                             MessageIcon icon)
{
    trap([&] { messages().showMessage(General_Error_Trap(code, data).toString(), title, icon); });
}
