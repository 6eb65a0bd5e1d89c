#include "hostwindow.h"

#include "wizard/control/nxpivotwizardctrl.h"
#include "wizard/errors/messageservice.h"
#include "platform/core/failure.h"
#include "sheet/application.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QVBoxLayout>

#include <cstdio>

HostWindow::HostWindow(const QString& storeFolder, std::shared_ptr<sheet::Application> spreadsheet,
                       QWidget* parent)
    : QWidget(parent), mSpreadsheet(spreadsheet)
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
    // Cancel leaves every file as it was.
    if (result)
        saveReport();
    close();
}

// The workbook the report went into is the active one. A file named on the
// command line gets the report and the messages go to the terminal; else the
// user is told in a message box, and asked for another file when a save fails.
void HostWindow::saveReport()
{
    const std::shared_ptr<sheet::Workbook> workbook = mSpreadsheet->ActiveWorkbook();
    if (!workbook)
        return;
    if (!mOutputFile.isEmpty()) {
        saveAs(*workbook, mOutputFile);
        return;
    }
    QString target = QString::fromStdString(workbook->FullName());
    if (target.isEmpty())
        target = chooseFile();
    while (!target.isEmpty() && !saveAs(*workbook, target))
        target = chooseFile();
    if (target.isEmpty())
        messages().showMessage(QStringLiteral("The PivotTable report was not saved."),
                               QStringLiteral("Report not saved"), MessageIcon::Exclamation);
}

bool HostWindow::saveAs(sheet::Workbook& workbook, const QString& target)
{
    const bool scripted = !mOutputFile.isEmpty();
    try {
        if (target == QString::fromStdString(workbook.FullName()))
            workbook.Save();
        else
            workbook.SaveAs(QFileInfo(target).absoluteFilePath().toStdString());
    } catch (const platform::Failure& failure) {
        const QString text = QStringLiteral("The PivotTable report could not be saved to %1:\r%2")
                                 .arg(QDir::toNativeSeparators(target), QString::fromStdString(failure.description()));
        if (scripted)
            std::fprintf(stderr, "%s\n", qPrintable(toDisplayText(text)));
        else
            messages().showMessage(text, QStringLiteral("Report not saved"), MessageIcon::Exclamation);
        return false;
    }
    mSavedFile = QString::fromStdString(workbook.FullName());
    const QString text =
        QStringLiteral("The PivotTable report was saved to %1.").arg(QDir::toNativeSeparators(mSavedFile));
    if (scripted)
        std::fprintf(stdout, "%s\n", qPrintable(text));
    else
        messages().showMessage(text, QStringLiteral("Report saved"), MessageIcon::Information);
    return true;
}

QString HostWindow::chooseFile()
{
    if (mChooseFile)
        return mChooseFile();
    QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Save the PivotTable report"), QDir::homePath(),
                                                QStringLiteral("Workbooks (*.xlsx)"));
    if (!file.isEmpty() && QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".xlsx");
    return file;
}
