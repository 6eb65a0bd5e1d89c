// The dimension lists of the member steps, filled from the layout, and the
// clearing of everything a loaded cube filled.
#include "cubestep.h"
#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "testcubes.h"
#include "widgets/nxdimeditctrl.h"

#include <QListWidget>
#include <QPointer>

namespace {

using olap::DimensionType;

class MemberLists : public CubeStep {
protected:
    void loadCubeFile(const std::vector<DimensionShape>& dimensions)
    {
        writeShapedCube(store / "Shop.cub", "Shop Catalog", "Shop", dimensions);
        chooseCubeFile(storePath(QStringLiteral("Shop.cub")));
        ASSERT_TRUE(next());
    }
    static int selectedRow(const QListWidget* list)
    {
        const QListWidgetItem* item = list->currentItem();
        return item && item->isSelected() ? list->row(item) : -1;
    }
};

TEST_F(MemberLists, MeasuresStepListsTheMeasuresDimensionSelected)
{
    loadCubeFile({{"A"}, {"B"}});
    wizard.LoadMeasureDetails();
    EXPECT_EQ(entries(options(0)), QStringList{QStringLiteral("Measures")});
    EXPECT_EQ(selectedRow(options(0)), 0);
}

TEST_F(MemberLists, MeasuresInRowsAreListedThroughTheMeasureListDimension)
{
    writeShapedStoreCube(store.path(), "Shop", {{"A"}, {"B"}}, {true, "Measure List"});
    chooseStoreCube(QStringLiteral("Shop"));
    ASSERT_TRUE(next());
    wizard.LoadMeasureDetails();
    EXPECT_EQ(entries(options(0)), QStringList{QStringLiteral("Measure List")});
    EXPECT_EQ(selectedRow(options(0)), 0);
}

TEST_F(MemberLists, MeasuresListThatHasItsEntryIsLeftAsItIs)
{
    loadCubeFile({{"A"}, {"B"}});
    wizard.LoadMeasureDetails();
    options(0)->clearSelection();
    wizard.measuresDimensionName = QStringLiteral("Other");
    wizard.LoadMeasureDetails();
    EXPECT_EQ(entries(options(0)), QStringList{QStringLiteral("Measures")});
    EXPECT_EQ(selectedRow(options(0)), -1);
}

TEST_F(MemberLists, ADifferentCubeRefillsTheMeasuresList)
{
    loadCubeFile({{"A"}, {"B"}});
    wizard.LoadMeasureDetails();
    ASSERT_TRUE(click(0));
    writeShapedStoreCube(store.path(), "Ranked", {{"A"}, {"B"}}, {true, "Measure List"});
    chooseStoreCube(QStringLiteral("Ranked"));
    ASSERT_TRUE(next());
    EXPECT_EQ(options(0)->count(), 0);
    wizard.LoadMeasureDetails();
    EXPECT_EQ(entries(options(0)), QStringList{QStringLiteral("Measure List")});
}

TEST_F(MemberLists, RowDimensionsAreCopiedAndTheCurrentOneSelectedAgain)
{
    struct Case {
        const char* current;
        int selected;
    };
    const Case cases[] = {{"B", 1}, {"", 0}, {"Nowhere", 0}, {"A", 0}};
    loadCubeFile({{"A"}, {"Time", DimensionType::Time}});
    details(2)->addItem(QStringLiteral("B"));
    for (const Case& c : cases) {
        wizard.currentDimensionName = QString::fromLatin1(c.current);
        wizard.LoadDimensionDetails(1);
        EXPECT_EQ(entries(options(1)), (QStringList{QStringLiteral("A"), QStringLiteral("B")})) << c.current;
        EXPECT_EQ(selectedRow(options(1)), c.selected) << c.current;
    }
}

TEST_F(MemberLists, ColumnDimensionsReplaceWhatTheListHeld)
{
    loadCubeFile({{"A"}, {"B"}, {"C"}});
    options(2)->addItem(QStringLiteral("Stale"));
    details(3)->addItem(QStringLiteral("C"));
    wizard.LoadDimensionDetails(2);
    EXPECT_EQ(entries(options(2)), (QStringList{QStringLiteral("B"), QStringLiteral("C")}));
    EXPECT_EQ(selectedRow(options(2)), 0);
}

TEST_F(MemberLists, EmptyAreaSelectsNothing)
{
    loadCubeFile({{"Time", DimensionType::Time}});
    wizard.currentDimensionName.clear();
    wizard.LoadDimensionDetails(1);
    EXPECT_EQ(options(1)->count(), 0);
    EXPECT_EQ(selectedRow(options(1)), -1);
    EXPECT_FALSE(trapped());
}

TEST_F(MemberLists, ClearingEmptiesTheListsAndUnloadsTheEditorsMadeForTheCube)
{
    loadCubeFile({{"A"}, {"B"}, {"C"}});
    const olap::KDimensions dimensions = wizard.loadedKCube->dimensions();
    wizard.LoadMeasureDetails();
    wizard.LoadDimensionDetails(1);
    wizard.LoadDimensionDetails(2);
    wizard.NxDimEditMembers->setKDimension(dimensions.item(0));
    wizard.NxDimEditRows[0]->setKDimension(dimensions.item(1));
    wizard.NxDimEditCols[0]->setKDimension(dimensions.item(2));
    QPointer<NxDimEditCtrl> extraRow = new NxDimEditCtrl(&wizard);
    QPointer<NxDimEditCtrl> extraColumn = new NxDimEditCtrl(&wizard);
    wizard.NxDimEditRows.push_back(extraRow);
    wizard.NxDimEditCols.push_back(extraColumn);
    wizard.currentDimensionName = QStringLiteral("A");

    wizard.ClearInputBoxes();

    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(details(i)->count(), 0) << "lstCubeDetails(" << i << ")";
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(options(i)->count(), 0) << "lstCubeOptions(" << i << ")";
    EXPECT_TRUE(extraRow.isNull());
    EXPECT_TRUE(extraColumn.isNull());
    EXPECT_EQ(wizard.NxDimEditRows.size(), 1u);
    EXPECT_EQ(wizard.NxDimEditCols.size(), 1u);
    EXPECT_FALSE(wizard.NxDimEditRows[0]->hasDimension());
    EXPECT_FALSE(wizard.NxDimEditCols[0]->hasDimension());
    EXPECT_FALSE(wizard.NxDimEditMembers->hasDimension());
    EXPECT_TRUE(wizard.currentDimensionName.isEmpty());
}

TEST_F(MemberLists, ClearingDetachesStoreDimensions)
{
    writeShapedStoreCube(store.path(), "Shop", {{"A"}, {"B"}});
    chooseStoreCube(QStringLiteral("Shop"));
    ASSERT_TRUE(next());
    wizard.NxDimEditMembers->setDimension(wizard.loadedCube->measuresDimension());
    wizard.NxDimEditRows[0]->setDimension(wizard.loadedCube->dimension(2));
    wizard.ClearInputBoxes();
    EXPECT_FALSE(wizard.NxDimEditMembers->hasDimension());
    EXPECT_FALSE(wizard.NxDimEditRows[0]->hasDimension());
}

}  // namespace
