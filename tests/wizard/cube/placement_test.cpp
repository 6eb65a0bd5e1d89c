// The initial placement of a loaded cube's dimensions in the areas of the
// dimension layout step, for store cubes and for cubes of the connection
// model, through the wizard's Next button.
#include "cubestep.h"
#include "testcubes.h"

#include <QStringList>

namespace {

using olap::DimensionType;

struct Areas {
    QStringList rows, columns, background;
};

class Placement : public CubeStep {
protected:
    // Leaves the cube step; the areas it filled.
    Areas loadThroughNext()
    {
        EXPECT_TRUE(next());
        EXPECT_EQ(wizard.currentStep(), 2);
        EXPECT_TRUE(area(0).isEmpty()) << "nothing starts Unselected";
        return {area(2), area(3), area(1)};
    }
    Areas loadStoreCube(const std::vector<DimensionShape>& dimensions, const olap::StoreCompanion& companion = {})
    {
        writeShapedStoreCube(store.path(), "Shaped", dimensions, companion);
        chooseStoreCube(QStringLiteral("Shaped"));
        return loadThroughNext();
    }
    Areas loadCubeFile(const std::vector<DimensionShape>& dimensions)
    {
        writeShapedCube(store / "Shaped.cub", "Shaped Catalog", "Shaped", dimensions);
        chooseCubeFile(storePath(QStringLiteral("Shaped.cub")));
        return loadThroughNext();
    }
};

QStringList names(std::initializer_list<const char*> texts)
{
    QStringList out;
    for (const char* text : texts)
        out << QString::fromUtf8(text);
    return out;
}

void expectAreas(const Areas& actual, const Areas& expected)
{
    EXPECT_EQ(actual.rows, expected.rows);
    EXPECT_EQ(actual.columns, expected.columns);
    EXPECT_EQ(actual.background, expected.background);
}

const olap::StoreCompanion kMeasuresInRows{true, "Measure List"};

TEST_F(Placement, StoreCubeWithMeasuresInRowsPutsTheOthersInTheBackground)
{
    const Areas areas = loadStoreCube({{"A"}, {"Time", DimensionType::Time}, {"B"}}, kMeasuresInRows);
    expectAreas(areas, {names({"Measures"}), names({"Time"}), names({"A", "B"})});
    EXPECT_TRUE(wizard.measuresInLayout);
    EXPECT_EQ(wizard.measuresDimensionName, QStringLiteral("Measures"));
}

TEST_F(Placement, StoreCubeWhoseOwnMeasureDimensionListsTheMeasuresKeepsItOutOfTheLayout)
{
    const Areas areas = loadStoreCube(
        {{"Time", DimensionType::Time}, {"A"}, {"Measure List", DimensionType::Measure}, {"B"}}, kMeasuresInRows);
    expectAreas(areas, {names({"Measures"}), names({"Time"}), names({"A", "B"})});
}

TEST_F(Placement, SampleStoreCubeWithMeasuresInRows)
{
    copySample(QStringLiteral("SalesByMeasure.cub"));
    copySample(QStringLiteral("SalesByMeasure.bwf"));
    chooseStoreCube(QStringLiteral("SalesByMeasure"));
    expectAreas(loadThroughNext(), {names({"Measures"}), names({"Time"}), names({"Product", "Store", "Customer"})});
    EXPECT_TRUE(wizard.measuresInLayout);
}

TEST_F(Placement, SampleStoreCubeWithoutTheFlagStartsRowsWithTheFirstOtherDimension)
{
    copySample(QStringLiteral("Sales.cub"));
    copySample(QStringLiteral("Sales.bwf"));
    chooseStoreCube(QStringLiteral("Sales"));
    expectAreas(loadThroughNext(), {names({"Product"}), names({"Time"}), names({"Store", "Customer"})});
    EXPECT_FALSE(wizard.measuresInLayout);
    EXPECT_EQ(wizard.loadedKind, 1);
}

TEST_F(Placement, StoreCubeWithTwoTimeDimensionsPlacesTheSecondLikeAnyOther)
{
    const Areas areas =
        loadStoreCube({{"A"}, {"T1", DimensionType::Time}, {"B"}, {"T2", DimensionType::Time}, {"C"}});
    expectAreas(areas, {names({"A"}), names({"T1"}), names({"B", "T2", "C"})});
}

TEST_F(Placement, StoreCubeNeverOffersADimensionOfUnknownType)
{
    const Areas areas = loadStoreCube({{"U", DimensionType::Unknown}, {"A"}, {"B"}});
    expectAreas(areas, {names({"A"}), names({"B"}), {}});
}

TEST_F(Placement, CubeFileWithoutTimeFillsRowsColumnsThenBackground)
{
    expectAreas(loadCubeFile({{"A"}, {"B"}, {"C"}}), {names({"A"}), names({"B"}), names({"C"})});
    EXPECT_FALSE(wizard.measuresInLayout);
    EXPECT_EQ(wizard.loadedKind, 2);
}

TEST_F(Placement, SampleCubeFileWithoutTime)
{
    copySample(QStringLiteral("NoTime.cub"));
    chooseCubeFile(storePath(QStringLiteral("NoTime.cub")));
    expectAreas(loadThroughNext(), {names({"Product"}), names({"Warehouse"}), {}});
}

TEST_F(Placement, CubeFileWithTwoTimeDimensionsPlacesTheFirstInColumns)
{
    const Areas areas = loadCubeFile({{"A"}, {"T1", DimensionType::Time}, {"T2", DimensionType::Time}});
    expectAreas(areas, {names({"A"}), names({"T1"}), names({"T2"})});
}

TEST_F(Placement, CubeFileOffersADimensionOfUnknownType)
{
    expectAreas(loadCubeFile({{"U", DimensionType::Unknown}, {"A"}}), {names({"U"}), names({"A"}), {}});
}

TEST_F(Placement, LoneTimeDimensionLeavesRowsEmptyAndTheLayoutStepRefuses)
{
    expectAreas(loadCubeFile({{"Time", DimensionType::Time}}), {{}, names({"Time"}), {}});
    EXPECT_FALSE(next());
    EXPECT_EQ(messages.single().text, QStringLiteral("The row and column areas must contain at least one dimension."));
}

TEST_F(Placement, ServerCubeIsPlacedLikeACubeFile)
{
    writeShapedCube(store / "Server.cub", "Budget Catalog", "Budget", {{"Dept"}, {"Year", DimensionType::Time}});
    chooseServerCube(storePath(QStringLiteral("Server.cub")), QStringLiteral("Budget Catalog"), QStringLiteral("Budget"));
    expectAreas(loadThroughNext(), {names({"Dept"}), names({"Year"}), {}});
    EXPECT_EQ(wizard.loadedKind, 4);
}

}  // namespace
