// Loading a cube when the cube selection step is left: which cube object is
// held, when a held cube is reused, the multiple-hierarchies warning, and
// the failures that keep the wizard on the cube step.
#include "cubestep.h"
#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "testcubes.h"

#include <QListWidget>

namespace {

using olap::DimensionType;

class CubeLoading : public CubeStep {
protected:
    QString cubeFile(const char* name) { return storePath(QString::fromLatin1(name)); }
    void writeCubeFile(const char* name, const std::vector<DimensionShape>& dimensions)
    {
        writeShapedCube(store / name, "Catalog", "Cube", dimensions);
    }
    // Leaves the cube step with the store cube "Shop" of three dimensions.
    void leaveWithStoreShop()
    {
        writeShapedStoreCube(store.path(), "Shop", {{"A"}, {"B"}, {"C"}});
        chooseStoreCube(QStringLiteral("Shop"));
        ASSERT_TRUE(next());
    }
    // The user's own arrangement: the Background's entry moved to Unselected.
    void rearrange() { details(0)->addItem(details(1)->takeItem(0)); }
    // Back to the cube step after the user arranged the dimensions, and on again.
    void rearrangeAndLeaveAgain()
    {
        rearrange();
        ASSERT_TRUE(click(0));
        ASSERT_TRUE(next());
    }
};

const QString kMultipleHierarchies =
    QStringLiteral("The cube you have selected contains multiple hierarchies.\r\rYou may have to drag the "
                   "dimensions which contain multiple hierarchies on to the PivotTable yourself.");

TEST_F(CubeLoading, LocalCubeFileLoadedAgainIsReusedWithTheUsersArrangement)
{
    writeCubeFile("Local.cub", {{"A"}, {"B"}, {"C"}});
    chooseCubeFile(cubeFile("Local.cub"));
    ASSERT_TRUE(next());
    const std::shared_ptr<olap::KCube> first = wizard.loadedKCube;
    rearrangeAndLeaveAgain();
    EXPECT_EQ(wizard.loadedKCube, first);
    EXPECT_EQ(area(0), QStringList{QStringLiteral("C")});
    EXPECT_TRUE(area(1).isEmpty());
}

TEST_F(CubeLoading, AnotherCubeFileIsLoadedAfresh)
{
    writeCubeFile("One.cub", {{"A"}, {"B"}, {"C"}});
    writeCubeFile("Two.cub", {{"X"}, {"Y"}});
    chooseCubeFile(cubeFile("One.cub"));
    ASSERT_TRUE(next());
    rearrange();
    ASSERT_TRUE(click(0));
    chooseCubeFile(cubeFile("Two.cub"));
    ASSERT_TRUE(next());
    EXPECT_EQ(area(2), QStringList{QStringLiteral("X")});
    EXPECT_EQ(area(3), QStringList{QStringLiteral("Y")});
    EXPECT_TRUE(area(0).isEmpty());
    EXPECT_EQ(wizard.loadedPath, cubeFile("Two.cub"));
}

TEST_F(CubeLoading, StoreCubeIsReloadedEachTimeTheCubeStepIsLeft)
{
    leaveWithStoreShop();
    const std::shared_ptr<olap::Cube> first = wizard.loadedCube;
    rearrangeAndLeaveAgain();
    EXPECT_NE(wizard.loadedCube, first);
    EXPECT_TRUE(area(0).isEmpty());
    EXPECT_EQ(area(1), QStringList{QStringLiteral("C")});
}

TEST_F(CubeLoading, HeldStoreCubeOfTheSamePathIsReusedByTheLoader)
{
    leaveWithStoreShop();
    const std::shared_ptr<olap::Cube> first = wizard.loadedCube;
    rearrange();
    EXPECT_TRUE(wizard.LoadCubeDetails());
    EXPECT_EQ(wizard.loadedCube, first);
    EXPECT_EQ(area(0), QStringList{QStringLiteral("C")});
}

TEST_F(CubeLoading, OnlyOneCubeModelIsHeldAtATime)
{
    writeCubeFile("Local.cub", {{"A"}});
    leaveWithStoreShop();
    ASSERT_TRUE(click(0));
    chooseCubeFile(cubeFile("Local.cub"));
    ASSERT_TRUE(next());
    EXPECT_FALSE(wizard.loadedCube);
    EXPECT_TRUE(wizard.loadedKCube);
    ASSERT_TRUE(click(0));
    chooseStoreCube(QStringLiteral("Shop"));
    ASSERT_TRUE(next());
    EXPECT_TRUE(wizard.loadedCube);
    EXPECT_FALSE(wizard.loadedKCube);
    EXPECT_EQ(wizard.loadedKind, 1);
}

TEST_F(CubeLoading, ServerCubeIsFoundByCatalogAndCubeThroughTheNamedProvider)
{
    writeCubeFile("Server.cub", {{"A"}});
    chooseServerCube(cubeFile("Server.cub"), QStringLiteral("Catalog"), QStringLiteral("Cube"));
    ASSERT_TRUE(next());
    EXPECT_EQ(wizard.providerConnectionName, QStringLiteral("MSOLAP.2"));
    EXPECT_EQ(wizard.loadedServerKey, (QStringLiteral("CubeCatalogMSOLAP.2") + cubeFile("Server.cub")).toUpper());
    EXPECT_TRUE(wizard.loadedPath.isEmpty());
}

TEST_F(CubeLoading, ServerWithoutTheCatalogOrCubeLeavesNothingLoadedAndSaysNothing)
{
    writeCubeFile("Server.cub", {{"A"}});
    const QString wrong[][2] = {{QStringLiteral("Other Catalog"), QStringLiteral("Cube")},
                                {QStringLiteral("Catalog"), QStringLiteral("cube")}};
    for (const auto& choice : wrong) {
        chooseServerCube(cubeFile("Server.cub"), choice[0], choice[1]);
        EXPECT_FALSE(next());
        EXPECT_EQ(wizard.loadedKind, 0);
        EXPECT_FALSE(wizard.loadedKCube);
        EXPECT_TRUE(wizard.loadedServerKey.isEmpty());
    }
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(trapped());
}

TEST_F(CubeLoading, DamagedCubeFileFailsIntoTheTrapAndNothingIsLoaded)
{
    writeCubeFile("Good.cub", {{"A"}});
    chooseCubeFile(cubeFile("Good.cub"));
    ASSERT_TRUE(next());
    ASSERT_TRUE(click(0));
    damage(QStringLiteral("Bad.cub"));
    chooseCubeFile(cubeFile("Bad.cub"));
    EXPECT_FALSE(next());
    EXPECT_TRUE(trapped());
    EXPECT_EQ(wizard.loadedKind, 0);
    EXPECT_FALSE(wizard.loadedKCube);
    EXPECT_TRUE(wizard.loadedPath.isEmpty());
}

TEST_F(CubeLoading, CubeWithMultipleHierarchiesIsLoadedAfterAWarning)
{
    copySample(QStringLiteral("TwoHierarchies.cub"));
    chooseCubeFile(storePath(QStringLiteral("TwoHierarchies.cub")));
    ASSERT_TRUE(next());
    const RecordedMessage shown = messages.single();
    EXPECT_EQ(shown.text, kMultipleHierarchies);
    EXPECT_EQ(shown.title, QStringLiteral("Warning"));
    EXPECT_EQ(shown.icon, MessageIcon::Information);
    EXPECT_EQ(area(3), QStringList{QStringLiteral("Time")});
}

TEST_F(CubeLoading, WarningIsShownOnceHoweverManyDimensionsHaveHierarchies)
{
    writeCubeFile("Many.cub", {{"A", DimensionType::Other, 2}, {"B", DimensionType::Other, 3}});
    chooseCubeFile(cubeFile("Many.cub"));
    ASSERT_TRUE(next());
    EXPECT_EQ(messages.single().text, kMultipleHierarchies);
}

TEST_F(CubeLoading, CubeWithSingleHierarchiesLoadsWithoutAWarning)
{
    writeCubeFile("Plain.cub", {{"A"}, {"Time", DimensionType::Time}});
    chooseCubeFile(cubeFile("Plain.cub"));
    ASSERT_TRUE(next());
    EXPECT_TRUE(messages.shown().empty());
}

}  // namespace
