// The store loader: the store cubes of an application folder, and a cube
// selector it follows and leads. (Extraction is the store reader's, tested
// with it; the wizard's store cube step goes through the loader's.)
#include "widgets/nxstoreloader.h"

#include "widgets/nxcubeselectorctrl.h"

#include <QFile>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class StoreLoader : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mFolder.isValid());
        for (const char* name : {"Budget.cub", "Budget.bwf", "Sales.cub", "Sales.bwf", "Alone.cub"})
            ASSERT_TRUE(QFile(file(name)).open(QIODevice::WriteOnly)) << name;
    }

    QString file(const char* name) const { return mFolder.filePath(QString::fromLatin1(name)); }
    QListWidget* list() const { return loader.findChild<QListWidget*>(QStringLiteral("storeCubes")); }

    QTemporaryDir mFolder;
    NxStoreLoader loader;
};

// Choosing reports the cube; re-reading the folder keeps it and reports nothing.
TEST_F(StoreLoader, ListsTheStoreCubesAndReportsTheUsersChoice)
{
    loader.setApplicationPath(file("pivotwizard"));
    EXPECT_EQ(loader.listedCubes(), QStringList({QStringLiteral("Budget"), QStringLiteral("Sales")}));
    EXPECT_TRUE(loader.chosenCube().isEmpty());
    QSignalSpy chosen(&loader, &NxStoreLoader::storeCubeChosen);
    list()->setCurrentRow(1);
    loader.refresh();
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toString(), QStringLiteral("Sales"));
    EXPECT_EQ(loader.chosenCube(), QStringLiteral("Sales"));
}

// Linked, the loader lists the selector's store folder, shows the selector's
// store choice without reporting it, and makes the user's choice the selector's.
TEST_F(StoreLoader, ALinkedSelectorAndTheLoaderShareTheStoreChoice)
{
    NxCubeSelectorCtrl selector;
    loader.setCubeSelector(&selector);
    selector.setSelectorAppPath(file("pivotwizard"));
    EXPECT_EQ(loader.applicationPath(), file("pivotwizard"));
    EXPECT_EQ(loader.listedCubes(), QStringList({QStringLiteral("Budget"), QStringLiteral("Sales")}));
    QSignalSpy chosen(&loader, &NxStoreLoader::storeCubeChosen);
    selector.setSelectorCubeName(QStringLiteral("Sales"));
    EXPECT_EQ(loader.chosenCube(), QStringLiteral("Sales"));
    EXPECT_EQ(chosen.count(), 0);
    selector.setSelectorSourceType(NxCubeSelectorCtrl::LocalCubeFile);
    list()->setCurrentRow(0);
    EXPECT_EQ(selector.selectorSourceType(), NxCubeSelectorCtrl::StoreCube);
    EXPECT_EQ(selector.selectorCubeName(), QStringLiteral("Budget"));
    EXPECT_EQ(loader.chosenCube(), QStringLiteral("Budget"));
}

TEST_F(StoreLoader, ASelectorDestroyedFirstIsForgotten)
{
    {
        NxCubeSelectorCtrl selector;
        loader.setCubeSelector(&selector);
    }
    loader.setApplicationPath(file("pivotwizard"));
    EXPECT_EQ(loader.cubeSelector(), nullptr);
    list()->setCurrentRow(0);  // must not reach the destroyed selector
    EXPECT_EQ(loader.chosenCube(), QStringLiteral("Budget"));
}

}  // namespace
