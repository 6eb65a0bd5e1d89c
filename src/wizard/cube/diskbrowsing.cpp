// The disk browser of the cube selection step: drives (file system roots
// and mount points), folders and cube files. The cube used is the one the
// cube selector holds; a file the user picks here becomes the selector's
// local cube file, and the file list shows the selector's local cube file
// whenever it lies in the folder shown.
#include "wizard/control/nxpivotwizardctrl.h"

#include "platform/core/diagnostics.h"
#include "platform/core/failure.h"
#include "widgets/diskbrowser.h"
#include "widgets/nxcubeselectorctrl.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QSignalBlocker>

void NxPivotWizardCtrl::connectDiskBrowser()
{
    connect(DriveCube, &QComboBox::currentIndexChanged, this, &NxPivotWizardCtrl::DriveCube_Change,
            Qt::UniqueConnection);
    connect(DirCube, &DirListBox::pathChanged, this, &NxPivotWizardCtrl::DirCube_Change, Qt::UniqueConnection);
    connect(FileCube, &FileListBox::fileChosen, this, &NxPivotWizardCtrl::FileCube_Click, Qt::UniqueConnection);
    connect(NxCubeSelectorCtrl1, &NxCubeSelectorCtrl::selectionChanged, this,
            &NxPivotWizardCtrl::showLocalCubeInBrowser, Qt::UniqueConnection);
}

void NxPivotWizardCtrl::FileCube_Click(const QString& aPath)
{
    trap([&] {
        NxCubeSelectorCtrl1->setSelectorSourceType(NxCubeSelectorCtrl::LocalCubeFile);
        NxCubeSelectorCtrl1->setSelectorCubeName(aPath);
    });
}

// Selects the selector's local cube file in the file list when the list
// shows its folder; leaves the list alone otherwise.
void NxPivotWizardCtrl::showLocalCubeInBrowser()
{
    trap([&] {
        if (NxCubeSelectorCtrl1->selectorSourceType() != NxCubeSelectorCtrl::LocalCubeFile)
            return;
        const QFileInfo chosen(NxCubeSelectorCtrl1->selectorCubeName());
        if (!FileCube->path().isEmpty() && chosen.absolutePath() == QDir(FileCube->path()).absolutePath())
            FileCube->showFile(chosen.fileName());
    });
}

void NxPivotWizardCtrl::showApplicationFolderInBrowser()
{
    connectDiskBrowser();
    // Every failure here is ignored: the browser then keeps the process's
    // current folder, which is what it shows before the host sets a path.
    const QString folder = applicationFolder(mApplicationPath);
    try {
        DirCube->setPath(folder.isEmpty() ? QDir::currentPath() : folder);
        // The drive follows the folder; changing it must not move the folder
        // to the drive's top.
        const QSignalBlocker quiet(DriveCube);
        DriveCube->setDriveOf(DirCube->path());
        lastDriveIndex = static_cast<qint16>(DriveCube->currentIndex());
    } catch (const platform::Failure& failure) {
        platform::noteIgnoredFailure("ApplicationPath", failure);
    }
}

void NxPivotWizardCtrl::cmbCubeFileTypes_Click()
{
    trap([&] {
        static const char* const patterns[] = {"*.cub", "*.BWC", "*.cub;*.BWC"};
        const int index = cmbCubeFileTypes->currentIndex();
        if (index >= 0 && index < 3)
            FileCube->setPattern(QString::fromLatin1(patterns[index]));
    });
}

void NxPivotWizardCtrl::DriveCube_Change()
{
    trap([&] {
        try {
            DirCube->setPath(DriveCube->drive(DriveCube->currentIndex()));
            lastDriveIndex = static_cast<qint16>(DriveCube->currentIndex());
        } catch (const platform::Failure& failure) {
            // A drive that cannot be opened is left; only an unavailable
            // device is worth telling the user about.
            if (failure.number() != platform::err::kDeviceUnavailable) {
                platform::noteIgnoredFailure("DriveCube_Change", failure);
                return;
            }
            messages().showMessage(QString::fromStdString(failure.description()),
                                   QStringLiteral("Device unavailable"), MessageIcon::Exclamation);
            const QSignalBlocker quiet(DriveCube);  // going back is not a new choice
            DriveCube->setCurrentIndex(lastDriveIndex);
        }
    });
}

// The file list shows the folder's cube files with the first one selected
// (or the selector's local cube file, when it is one of them); showing is
// not choosing. The folder becomes the process's current folder, where
// relative cube paths are looked for.
void NxPivotWizardCtrl::DirCube_Change()
{
    trap([&] {
        QDir::setCurrent(DirCube->path());
        FileCube->setPath(DirCube->path());
        FileCube->showFile();
        showLocalCubeInBrowser();
    });
}
