// The disk browser of the cube selection step: the file types and following
// a folder.
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
    const QStringList listed[] = {names({"A.cub", "Sales.cub"}), names({"Sales.BWC"}), names({"A.cub", "Sales.BWC", "Sales.cub"})};
    for (int type = 0; type < 3; ++type) {
        wizard.cmbCubeFileTypes->setCurrentIndex(type);
        Q_EMIT wizard.cmbCubeFileTypes->activated(type);
        EXPECT_EQ(entries(wizard.FileCube), listed[type]) << "file type " << type;
    }
}

}  // namespace
