// The disk browser of the cube selection step: the file types, following a
// folder, and drives that cannot be opened.
#include "cubestep.h"
#include "widgets/diskbrowser.h"
#include "widgets/smallcube.h"

#include <QComboBox>

namespace {

using DiskBrowser = CubeStep;

TEST_F(DiskBrowser, AFolderListsTheCubeFilesOfTheChosenTypeAndBecomesCurrent)
{
    writeSmallCube(path("Sales.cub").toStdString());
    writeSmallCube(path("A.cub").toStdString());
    damage("Sales.BWC");
    damage("notes.txt");
    wizard.DirCube->setPath(path(""));
    EXPECT_EQ(QDir::currentPath(), QDir(path("")).canonicalPath());
    EXPECT_EQ(wizard.FileCube->selectedFile(), path("A.cub"));
    const QStringList listed[] = {{QStringLiteral("A.cub"), QStringLiteral("Sales.cub")},
                                  {QStringLiteral("Sales.BWC")},
                                  {QStringLiteral("A.cub"), QStringLiteral("Sales.BWC"), QStringLiteral("Sales.cub")}};
    for (int type = 0; type < 3; ++type) {
        wizard.cmbCubeFileTypes->setCurrentIndex(type);
        Q_EMIT wizard.cmbCubeFileTypes->activated(type);
        EXPECT_EQ(entries(wizard.FileCube), listed[type]) << "file type " << type;
    }
}

TEST_F(DiskBrowser, AnUnavailableDeviceIsToldAndAGoneDriveIsPassedOver)
{
    wizard.DriveCube->addItem(path(""));
    const int usable = wizard.DriveCube->count() - 1;
    wizard.DriveCube->setCurrentIndex(usable);
    damage("device");  // a plain file where a file system should be
    for (const char* drive : {"gone", "device"}) {
        SCOPED_TRACE(drive);
        wizard.DriveCube->addItem(path(drive));
        wizard.DriveCube->setCurrentIndex(wizard.DriveCube->count() - 1);
        EXPECT_EQ(wizard.lastDriveIndex, usable);
        EXPECT_EQ(wizard.DirCube->path(), path(""));
    }
    EXPECT_EQ(wizard.DriveCube->currentIndex(), usable);
    EXPECT_EQ(std::pair(messages.single().title, messages.single().icon),
              std::pair(QStringLiteral("Device unavailable"), MessageIcon::Exclamation));
}

}  // namespace
