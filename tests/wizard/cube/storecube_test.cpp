// Opening a store cube: the transient N.BWC file, the names the PivotTable
// connects with, and the read and load failures.
#include "cubestep.h"
#include "olap/store/storecompanion.h"
#include "olap/store/storeloader.h"
#include "olap/store/storemodel.h"
#include "testcubes.h"
#include "widgets/smallcube.h"

namespace {

class StoreCube : public CubeStep {
protected:
    StoreCube()
    {
        writeSmallCube(storePath(QStringLiteral("Sales.cub")).toStdString());
        olap::writeStoreCompanion(storePath(QStringLiteral("Sales.bwf")).toStdString(), {});
        chooseStoreCube(QStringLiteral("Sales"));
        wizard.CheckValidFileSelected();
    }
    QString bwcPath() { return storePath(QStringLiteral("Sales.BWC")); }
};

TEST_F(StoreCube, OpensTheCubeWithTheCubeFilesNamesAndLeavesNoStoreCubeFile)
{
    const std::shared_ptr<olap::Cube> cube = wizard.GetCube();
    ASSERT_TRUE(cube);
    EXPECT_EQ(cube->name(), "Sales");
    EXPECT_TRUE(bwcFiles().isEmpty());
    EXPECT_EQ(wizard.loadedPath, bwcPath());
    EXPECT_EQ(wizard.storeCatalogName, QStringLiteral("Sales Catalog"));
    EXPECT_EQ(wizard.storeCubeName, QStringLiteral("Sales"));
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(StoreCube, AStoreCubeFileAlreadyThereIsLoadedAsItIsAndRemoved)
{
    writeShapedStoreCube(store.path(), "Other", {{"Region"}});
    olap::writeStoreCube(storePath(QStringLiteral("pivotwizard")).toStdString(), "Other", bwcPath().toStdString(), 1);
    const std::shared_ptr<olap::Cube> cube = wizard.GetCube();
    ASSERT_TRUE(cube);
    EXPECT_EQ(cube->name(), "Other");
    EXPECT_TRUE(bwcFiles().isEmpty());
}

TEST_F(StoreCube, DamagedStoreCubeFileIsReportedAndRemoved)
{
    damage(QStringLiteral("Sales.BWC"));
    wizard.loadedPath = QStringLiteral("earlier");
    EXPECT_FALSE(wizard.GetCube());
    const RecordedMessage shown = messages.single();
    EXPECT_EQ(shown.text, QStringLiteral("Unable to load '") + bwcPath() + QStringLiteral("' to the cube object"));
    EXPECT_EQ(shown.title, QStringLiteral("Cube load"));
    EXPECT_EQ(shown.icon, MessageIcon::Stop);
    EXPECT_TRUE(bwcFiles().isEmpty());
    EXPECT_EQ(wizard.loadedPath, QStringLiteral("earlier"));
    EXPECT_FALSE(trapped());
}

TEST_F(StoreCube, UnreadableCompanionIsAReadError)
{
    damage(QStringLiteral("Sales.bwf"));
    EXPECT_FALSE(wizard.GetCube());
    const RecordedMessage shown = messages.single();
    EXPECT_EQ(shown.text, QStringLiteral("Unable to read the file 'Sales' from the store"));
    EXPECT_EQ(shown.title, QStringLiteral("Read Error"));
    EXPECT_EQ(shown.icon, MessageIcon::Stop);
    EXPECT_TRUE(bwcFiles().isEmpty());
}

TEST_F(StoreCube, FailedReadKeepsTheWizardOnTheCubeStepWithNothingLoaded)
{
    damage(QStringLiteral("Sales.cub"));
    EXPECT_FALSE(next());
    EXPECT_EQ(wizard.loadedKind, 0);
    EXPECT_FALSE(wizard.loadedCube);
    EXPECT_EQ(messages.single().title, QStringLiteral("Read Error"));
}

TEST_F(StoreCube, SampleStoreCubesOpenWithoutLeavingAFileBehind)
{
    for (const QString& name : {QStringLiteral("Sales"), QStringLiteral("SalesByMeasure")}) {
        copySample(name + QStringLiteral(".cub"));
        copySample(name + QStringLiteral(".bwf"));
        chooseStoreCube(name);
        ASSERT_TRUE(wizard.CheckValidFileSelected()) << name.toStdString();
        ASSERT_TRUE(wizard.GetCube()) << name.toStdString();
        EXPECT_TRUE(bwcFiles().isEmpty()) << name.toStdString();
    }
    EXPECT_EQ(wizard.storeCatalogName, QStringLiteral("Sales By Measure"));
    EXPECT_EQ(wizard.storeCubeName, QStringLiteral("Sales By Measure"));
}

}  // namespace
