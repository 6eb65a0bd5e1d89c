#include "widgets/nxstoreloader.h"

#include "olap/cube/cubebuilder.h"
#include "olap/store/storecompanion.h"
#include "olap/store/storemodel.h"
#include "widgets/nxcubeselectorctrl.h"

#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QSignalSpy>
#include "smallcube.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {


class StoreLoader : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mFolder.isValid());
        for (const char* name : {"Budget.cub", "Budget.bwf", "Sales.cub", "Sales.bwf", "Alone.cub"}) {
            QFile out(file(QString::fromLatin1(name)));
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        }
    }

    QString file(const QString& name) const { return mFolder.filePath(name); }
    QString appPath() const { return file(QStringLiteral("pivotwizard")); }
    QListWidget* list() const { return loader.findChild<QListWidget*>(QStringLiteral("storeCubes")); }

    QTemporaryDir mFolder;
    NxStoreLoader loader;
};

TEST_F(StoreLoader, ListsTheStoreCubesOfTheApplicationFolder)
{
    loader.setApplicationPath(appPath());

    EXPECT_EQ(loader.listedCubes(), QStringList({QStringLiteral("Budget"), QStringLiteral("Sales")}));
    EXPECT_TRUE(loader.chosenCube().isEmpty());
}

TEST_F(StoreLoader, TheStoreFolderIsThePathWithoutItsLastComponent)
{
    EXPECT_EQ(NxStoreLoader::storeFolder(QStringLiteral("/opt/app/pivotwizard")), QStringLiteral("/opt/app/"));
    EXPECT_EQ(NxStoreLoader::storeFolder(QStringLiteral("C:\\App\\x.exe")), QStringLiteral("C:/App/"));
}

TEST_F(StoreLoader, ChoosingACubeReportsIt)
{
    loader.setApplicationPath(appPath());
    QSignalSpy chosen(&loader, &NxStoreLoader::storeCubeChosen);

    list()->setCurrentRow(1);

    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toString(), QStringLiteral("Sales"));
    EXPECT_EQ(loader.chosenCube(), QStringLiteral("Sales"));
}

TEST_F(StoreLoader, RereadingTheFolderKeepsTheChoiceAndReportsNothing)
{
    loader.setApplicationPath(appPath());
    list()->setCurrentRow(1);
    QSignalSpy chosen(&loader, &NxStoreLoader::storeCubeChosen);

    loader.refresh();

    EXPECT_EQ(loader.chosenCube(), QStringLiteral("Sales"));
    EXPECT_EQ(chosen.count(), 0);
}

TEST_F(StoreLoader, ExtractingWritesAStoreCubeFileTheStoreModelLoads)
{
    writeSmallCube(file(QStringLiteral("Sales.cub")).toStdString());
    olap::writeStoreCompanion(file(QStringLiteral("Sales.bwf")).toStdString(), {});
    const QString target = file(QStringLiteral("Sales.BWC"));

    ASSERT_TRUE(NxStoreLoader::extractStoreCube(appPath(), QStringLiteral("Sales"), target, 1));

    olap::Cube cube;
    cube.loadFromFile(target.toStdString(), true);
    EXPECT_EQ(cube.name(), "Sales");
    EXPECT_NE(cube.dimensionByName("City"), nullptr);
}

TEST_F(StoreLoader, ExtractingACubeWithoutItsCompanionFailsWithTheReason)
{
    writeSmallCube(file(QStringLiteral("Alone.cub")).toStdString());
    QString problem;

    EXPECT_FALSE(NxStoreLoader::extractStoreCube(appPath(), QStringLiteral("Alone"), file(QStringLiteral("Alone.BWC")),
                                                 1, &problem));
    EXPECT_TRUE(problem.contains(QStringLiteral("Alone.bwf"))) << problem.toStdString();
    EXPECT_FALSE(QFileInfo::exists(file(QStringLiteral("Alone.BWC"))));
}

TEST_F(StoreLoader, LinkedToASelectorItListsTheSelectorsStoreFolder)
{
    NxCubeSelectorCtrl selector;
    loader.setCubeSelector(&selector);

    selector.setSelectorAppPath(appPath());

    EXPECT_EQ(loader.applicationPath(), appPath());
    EXPECT_EQ(loader.listedCubes(), QStringList({QStringLiteral("Budget"), QStringLiteral("Sales")}));
}

TEST_F(StoreLoader, ChoosingACubeMakesItTheLinkedSelectorsChoice)
{
    NxCubeSelectorCtrl selector;
    selector.setSelectorAppPath(appPath());
    selector.setSelectorSourceType(NxCubeSelectorCtrl::LocalCubeFile);
    loader.setCubeSelector(&selector);

    list()->setCurrentRow(0);

    EXPECT_EQ(selector.selectorSourceType(), NxCubeSelectorCtrl::StoreCube);
    EXPECT_EQ(selector.selectorCubeName(), QStringLiteral("Budget"));
    EXPECT_EQ(loader.chosenCube(), QStringLiteral("Budget"));
}

TEST_F(StoreLoader, TheLoaderShowsTheLinkedSelectorsStoreChoiceWithoutReportingIt)
{
    NxCubeSelectorCtrl selector;
    selector.setSelectorAppPath(appPath());
    loader.setCubeSelector(&selector);
    QSignalSpy chosen(&loader, &NxStoreLoader::storeCubeChosen);

    selector.setSelectorCubeName(QStringLiteral("Sales"));

    EXPECT_EQ(loader.chosenCube(), QStringLiteral("Sales"));
    EXPECT_EQ(chosen.count(), 0);
}

TEST_F(StoreLoader, ASelectorDestroyedFirstIsForgotten)
{
    {
        NxCubeSelectorCtrl selector;
        loader.setCubeSelector(&selector);
    }
    loader.setApplicationPath(appPath());

    EXPECT_EQ(loader.cubeSelector(), nullptr);
    list()->setCurrentRow(0);  // must not reach the destroyed selector
    EXPECT_EQ(loader.chosenCube(), QStringLiteral("Budget"));
}

}  // namespace
