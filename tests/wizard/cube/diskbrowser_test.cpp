// The disk browser of the cube selection step: the file types, following a
// folder, and changing drives.
#include "cubestep.h"
#include "support/controls.h"
#include "widgets/diskbrowser.h"
#include "widgets/smallcube.h"

#include <QComboBox>
#include <QDir>

namespace {

class DiskBrowser : public CubeStep {
protected:
    DriveListBox* drives() { return findControl<DriveListBox>(&wizard, "DriveCube"); }
    DirListBox* folders() { return findControl<DirListBox>(&wizard, "DirCube"); }
    FileListBox* files() { return findControl<FileListBox>(&wizard, "FileCube"); }
    QString storeFolder() const { return QString::fromStdString(store.path().string()); }
    // Offers `path` as one more drive and returns its index.
    int addDrive(const QString& path)
    {
        drives()->addItem(path);
        return drives()->count() - 1;
    }
};

TEST_F(DiskBrowser, FileTypesChooseWhichCubeFilesAreListed)
{
    writeSmallCube(storePath(QStringLiteral("Sales.cub")).toStdString());
    damage(QStringLiteral("Sales.BWC"));
    damage(QStringLiteral("notes.txt"));
    folders()->setPath(storeFolder());
    const QStringList expected[] = {{QStringLiteral("Sales.cub")},
                                    {QStringLiteral("Sales.BWC")},
                                    {QStringLiteral("Sales.BWC"), QStringLiteral("Sales.cub")}};
    auto* types = findControl<QComboBox>(&wizard, "cmbCubeFileTypes");
    for (int index = 0; index < 3; ++index) {
        types->setCurrentIndex(index);
        Q_EMIT types->activated(index);
        EXPECT_EQ(entries(files()), expected[index]) << "file type " << index;
    }
}

TEST_F(DiskBrowser, OpeningAFolderListsItsCubeFilesAndMakesItCurrent)
{
    writeSmallCube(storePath(QStringLiteral("B.cub")).toStdString());
    writeSmallCube(storePath(QStringLiteral("A.cub")).toStdString());
    folders()->setPath(storeFolder());
    EXPECT_EQ(QDir::currentPath(), QDir(storeFolder()).canonicalPath());
    EXPECT_EQ(entries(files()), (QStringList{QStringLiteral("A.cub"), QStringLiteral("B.cub")}));
    EXPECT_EQ(files()->selectedFile(), storePath(QStringLiteral("A.cub")));
}

TEST_F(DiskBrowser, UnavailableDeviceIsReportedAndTheLastDriveChosenAgain)
{
    const int usable = addDrive(storeFolder());
    drives()->setCurrentIndex(usable);
    damage(QStringLiteral("device"));  // a plain file where a file system should be
    drives()->setCurrentIndex(addDrive(storePath(QStringLiteral("device"))));
    const RecordedMessage shown = messages.single();
    EXPECT_EQ(shown.title, QStringLiteral("Device unavailable"));
    EXPECT_EQ(shown.icon, MessageIcon::Exclamation);
    EXPECT_TRUE(shown.text.contains(QStringLiteral("Device unavailable"))) << shown.text.toStdString();
    EXPECT_EQ(drives()->currentIndex(), usable);
    EXPECT_EQ(wizard.lastDriveIndex, usable);
    EXPECT_EQ(folders()->path(), storeFolder());
    EXPECT_FALSE(trapped());
}

TEST_F(DiskBrowser, DriveThatIsGoneIsPassedOverSilently)
{
    const int usable = addDrive(storeFolder());
    drives()->setCurrentIndex(usable);
    drives()->setCurrentIndex(addDrive(storePath(QStringLiteral("gone"))));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(wizard.lastDriveIndex, usable);
    EXPECT_EQ(folders()->path(), storeFolder());
    EXPECT_FALSE(trapped());
}

}  // namespace
