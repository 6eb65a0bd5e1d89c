// Loading a cube when the cube selection step is left: where its dimensions
// are placed, when a held cube is reused, the multiple-hierarchies warning,
// and the failures that keep the wizard on the step.
#include "cubestep.h"
#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "widgets/nxdimeditctrl.h"

namespace {

using olap::DimensionType;
using CubeLoading = CubeStep;

TEST_F(CubeLoading, PlacesTheDimensionsByKindAndType)
{
    const olap::StoreCompanion inRows{true, "Measure List"};
    const struct {
        const char* what;
        int kind;
        std::vector<TestDimension> dimensions;
        olap::StoreCompanion companion;
        QStringList rows, columns, background;
    } cases[] = {
        {"store, own measure list kept out", kStoreCube,
         {shaped("Time", DimensionType::Time), shaped("A"), shaped("Measure List", DimensionType::Measure), shaped("B")},
         inRows, names({"Measures"}), names({"Time"}), names({"A", "B"})},
        {"store, second time dimension", kStoreCube,
         {shaped("A"), shaped("T1", DimensionType::Time), shaped("B"), shaped("T2", DimensionType::Time), shaped("C")},
         {}, names({"A"}), names({"T1"}), names({"B", "T2", "C"})},
        {"store, unknown type never offered", kStoreCube,
         {shaped("U", DimensionType::Unknown), shaped("A"), shaped("B")}, {}, names({"A"}), names({"B"}), {}},
        {"file without time", kCubeFile, {shaped("A"), shaped("B"), shaped("C")}, {}, names({"A"}), names({"B"}),
         names({"C"})},
        {"file, unknown type offered", kCubeFile, {shaped("U", DimensionType::Unknown), shaped("A")}, {}, names({"U"}),
         names({"A"}), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = "Shaped" + std::to_string(&c - cases);
        if (c.kind == kStoreCube)
            writeStoreCube(folder.path(), name, c.dimensions, c.companion);
        else
            writeCube(folder / (name + ".cub"), "Catalog", "Cube", c.dimensions);
        chooseCube(c.kind, c.kind == kStoreCube ? QString::fromStdString(name) : path(name + ".cub"));
        ASSERT_TRUE(next());
        EXPECT_EQ(area(kRows), c.rows);
        EXPECT_EQ(area(kColumns), c.columns);
        EXPECT_EQ(area(kBackground), c.background);
        EXPECT_TRUE(area(kUnselected).isEmpty());
        EXPECT_EQ(wizard.measuresInLayout, c.rows.contains(QStringLiteral("Measures")));
        EXPECT_EQ(wizard.loadedKind, c.kind);
        ASSERT_TRUE(click(0));
    }
}

// A held cube is reused, keeping the user's arrangement, only when it is the
// same cube file; a store cube is extracted again whenever the step is left.
TEST_F(CubeLoading, AHeldCubeIsReusedOnlyForTheSameCubeFileAndOneModelIsHeldAtATime)
{
    writeCube(folder / "One.cub", "Catalog", "Cube", {shaped("A"), shaped("B"), shaped("C")});
    writeCube(folder / "Two.cub", "Catalog", "Cube", {shaped("X"), shaped("Y")});
    writeStoreCube(folder.path(), "Shop", {shaped("A"), shaped("B"), shaped("C")});
    const struct {
        int kind;
        const char* cube;
        bool reused;
        QStringList rows, unselected;
    } steps[] = {{kCubeFile, "One.cub", false, names({"A"}), {}}, {kCubeFile, "One.cub", true, names({"A"}), names({"C"})},
                 {kCubeFile, "Two.cub", false, names({"X"}), {}},  {kStoreCube, "Shop", false, names({"A"}), {}},
                 {kStoreCube, "Shop", false, names({"A"}), {}},    {kCubeFile, "Two.cub", false, names({"X"}), {}}};
    std::shared_ptr<const void> held;  // kept alive, so that a new cube cannot take its address
    for (const auto& c : steps) {
        SCOPED_TRACE(c.cube);
        openCube(c.kind, c.kind == kStoreCube ? QString::fromLatin1(c.cube) : path(c.cube));
        const std::shared_ptr<const void> loaded =
            c.kind == kStoreCube ? std::shared_ptr<const void>(wizard.loadedCube) : wizard.loadedKCube;
        EXPECT_EQ(loaded == held, c.reused);
        EXPECT_TRUE(bwcFiles().isEmpty()) << "a store cube's extracted file outlived its load";
        EXPECT_FALSE(c.kind == kStoreCube ? bool(wizard.loadedKCube) : bool(wizard.loadedCube)) << "two models held";
        EXPECT_EQ(area(kRows), c.rows);
        EXPECT_EQ(area(kUnselected), c.unselected);
        held = loaded;
        // The user's own arrangement: the Background's entry moved to Unselected.
        wizard.lstCubeDetails[kUnselected]->addItem(wizard.lstCubeDetails[kBackground]->takeItem(0));
        ASSERT_TRUE(click(0));
    }
}

TEST_F(CubeLoading, ADamagedCubeFileFailsIntoTheTrapAndNothingIsLoaded)
{
    writeCube(folder / "Good.cub", "Catalog", "Cube", {shaped("A")});
    openCube(kCubeFile, path("Good.cub"));
    ASSERT_TRUE(click(0));
    damage("Bad.cub");
    chooseCube(kCubeFile, path("Bad.cub"));
    EXPECT_FALSE(next());
    EXPECT_TRUE(trapped());
    EXPECT_EQ(wizard.loadedKind, 0);
    EXPECT_FALSE(wizard.loadedKCube);
}

TEST_F(CubeLoading, MultipleHierarchiesAreWarnedOfOnce)
{
    writeCube(folder / "Many.cub", "Catalog", "Cube",
              {shaped("A", DimensionType::Other, 2), shaped("B", DimensionType::Other, 3)});
    // A cube file's extension counts in any letter case.
    writeCube(folder / "Plain.CUB", "Catalog", "Cube", {shaped("A"), shaped("Time", DimensionType::Time)});
    openCube(kCubeFile, path("Plain.CUB"));
    EXPECT_TRUE(messages.shown().empty());
    ASSERT_TRUE(click(0));
    openCube(kCubeFile, path("Many.cub"));
    EXPECT_EQ(messages.single(), (RecordedMessage{text("The cube you have selected contains multiple hierarchies.\r\rYou "
                                                       "may have to drag the dimensions which contain multiple "
                                                       "hierarchies on to the PivotTable yourself."),
                                                  text("Warning"), MessageIcon::Information}));
}

}  // namespace
