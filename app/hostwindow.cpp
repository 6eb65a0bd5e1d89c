#include "hostwindow.h"

#include "busywork.h"
#include "hostdialogs.h"
#include "rememberedchoices.h"
#include "reportsbar.h"
#include "wizard/control/nxpivotwizardctrl.h"
#include "wizard/errors/messageservice.h"
#include "platform/core/failure.h"
#include "sheet/application.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

namespace {

const QString kNotSaved = QStringLiteral("The PivotTable report was not saved.");

}  // namespace

HostWindow::HostWindow(const QString& storeFolder, std::shared_ptr<sheet::Application> spreadsheet,
                       QWidget* parent)
    : QWidget(parent), mSpreadsheet(spreadsheet)
{
    setObjectName(QStringLiteral("HostWindow"));
    setWindowTitle(QStringLiteral("PivotTable Wizard"));
    mWizard = new NxPivotWizardCtrl(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    mReportsBar = new ReportsBar(spreadsheet, this);
    layout->addWidget(mReportsBar);
    layout->addWidget(mWizard);
    layout->addWidget(buildUnsavedBar());
    mReportsBar->offer();

    connect(mWizard, &NxPivotWizardCtrl::wizardStep, this,
            [this](const QString& title, qint16) { setWindowTitle(title); });
    connect(mWizard, &NxPivotWizardCtrl::PivotResult, this, &HostWindow::onPivotResult);
    mWizard->xlApp(std::move(spreadsheet));
    // The application path's folder part is the store folder.
    mWizard->ApplicationPath(QDir(storeFolder).absoluteFilePath(QStringLiteral("pivotwizard")));
}

QFrame* HostWindow::buildUnsavedBar()
{
    mUnsavedBar = new QFrame(this);
    mUnsavedBar->setObjectName(QStringLiteral("unsavedBar"));
    mUnsavedBar->setFrameShape(QFrame::StyledPanel);
    auto* save = new QPushButton(QStringLiteral("&Save the report..."), mUnsavedBar);
    save->setObjectName(QStringLiteral("saveReport"));
    auto* discard = new QPushButton(QStringLiteral("&Discard the report"), mUnsavedBar);
    discard->setObjectName(QStringLiteral("discardReport"));
    auto* layout = new QHBoxLayout(mUnsavedBar);
    layout->addWidget(new QLabel(QStringLiteral("The PivotTable report is built but not saved."), mUnsavedBar), 1);
    layout->addWidget(save);
    layout->addWidget(discard);
    connect(save, &QPushButton::clicked, this, [this] {
        if (saveToChosenFile())
            close();
    });
    connect(discard, &QPushButton::clicked, this, &HostWindow::discardReport);
    mUnsavedBar->hide();
    return mUnsavedBar;
}

void HostWindow::begin()
{
    const RememberedChoices remembered = RememberedChoices::read();
    // A cube file that has gone since is not offered.
    const bool fileGone = remembered.cube.kind == 2 && !QFileInfo(remembered.cube.cube).isFile();
    if (remembered.cube.kind != 0 && !fileGone)
        mWizard->offerCubeChoice(remembered.cube);
    mWizard->Begin();
}

void HostWindow::onPivotResult(bool result)
{
    mResult = result;
    // Cancel leaves every file as it was.
    if (!result) {
        close();
        return;
    }
    RememberedChoices::rememberCube(mWizard->cubeChoice());
    // The wizard's work is done: a second Finish would build a second report.
    mWizard->setEnabled(false);
    if (settleReport(true))
        close();
    else
        mUnsavedBar->show();
}

void HostWindow::closeEvent(QCloseEvent* event)
{
    if (hasUnsavedReport() && !settleReport(false)) {
        mUnsavedBar->show();
        event->ignore();
        return;
    }
    event->accept();
}

bool HostWindow::settleReport(bool saveFirst)
{
    if (!mOutputFile.isEmpty()) {
        // Scripted: the terminal says what happened; nobody is there to ask.
        if (const std::shared_ptr<sheet::Workbook> workbook = mSpreadsheet->ActiveWorkbook())
            saveAs(*workbook, mOutputFile);
        mSettled = true;
        return true;
    }
    bool saved = saveFirst && saveReport();
    while (!saved) {
        switch (hostDialogs().askUnsaved(this, kNotSaved)) {
        case UnsavedAnswer::Save: saved = saveToChosenFile(); break;
        case UnsavedAnswer::Discard: mSettled = true; return true;
        case UnsavedAnswer::Keep: return false;
        }
    }
    return true;
}

// The workbook the report went into is the active one.
bool HostWindow::saveReport()
{
    const std::shared_ptr<sheet::Workbook> workbook = mSpreadsheet->ActiveWorkbook();
    if (!workbook) {
        mSettled = true;  // nothing to save
        return true;
    }
    const QString own = QString::fromStdString(workbook->FullName());
    if (!own.isEmpty() && saveAs(*workbook, own))
        return true;
    return saveToChosenFile();
}

// Asks for files until one takes the report or the user cancels.
bool HostWindow::saveToChosenFile()
{
    const std::shared_ptr<sheet::Workbook> workbook = mSpreadsheet->ActiveWorkbook();
    if (!workbook)
        return false;
    for (;;) {
        const QString target = hostDialogs().chooseSaveFile(this, suggestedFile());
        if (target.isEmpty())
            return false;
        if (saveAs(*workbook, target))
            return true;
    }
}

bool HostWindow::saveAs(sheet::Workbook& workbook, const QString& target)
{
    const bool scripted = !mOutputFile.isEmpty();
    try {
        const bool inPlace = target == QString::fromStdString(workbook.FullName());
        const std::string file = QFileInfo(target).absoluteFilePath().toStdString();
        runShowingProgress(this,
                           QStringLiteral("Saving the PivotTable report to %1 ...").arg(QDir::toNativeSeparators(target)),
                           [&] {
                               if (inPlace)
                                   workbook.Save();
                               else
                                   workbook.SaveAs(file);
                           });
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
    mSettled = true;
    mUnsavedBar->hide();
    RememberedChoices::rememberSaveFolder(QFileInfo(mSavedFile).absolutePath());
    const QString text =
        QStringLiteral("The PivotTable report was saved to %1.").arg(QDir::toNativeSeparators(mSavedFile));
    if (scripted)
        std::fprintf(stdout, "%s\n", qPrintable(text));
    else
        messages().showMessage(text, QStringLiteral("Report saved"), MessageIcon::Information);
    return true;
}

QString HostWindow::suggestedFile() const
{
    QString folder = RememberedChoices::read().saveFolder;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return suggestedReportFile(folder, mWizard->cubeChoice().cubeName, QDate::currentDate());
}

void HostWindow::discardReport()
{
    mSettled = true;
    close();
}
