// The cube selection step: its disk browser, the refusals when it is left,
// and the store cube's transient file. That the selector's choice is taken over shows in the cubes
// loaded and the tables connected; that a cube file gone before the build is
// told, in the build's refusals.
#include "cubestep.h"
#include "widgets/smallcube.h"

#include "widgets/diskbrowser.h"
#include "widgets/nxcubeselectorctrl.h"
#include "widgets/nxstoreloader.h"

#include <QComboBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace {

using CubeSelection = CubeStep;

TEST_F(CubeSelection, ChoicesThatCannotBeOpenedAreRefusedWithTheirMessage)
{
    writeSmallCube(path("Sales.txt").toStdString());
    const struct {
        const char* what;
        int kind;
        QString cube, server, catalog;
        std::vector<const char*> gone;  // store files removed once the cube is listed
        QString text, title;
    } cases[] = {
        {"store, no cube", kStoreCube, {}, {}, {}, {}, text("No cube file selected"), text("File required")},
        {"store, companion gone", kStoreCube, text("Sales"), {}, {}, {"Sales.bwf"},
         text("Could not find the 'bwf' file for this cube : \r\r") + path("Sales.bwf"), text("File Missing Error")},
        {"store, both gone", kStoreCube, text("Sales"), {}, {}, {"Sales.bwf", "Sales.cub"},
         text("Could not find the 'cub' file for this cube : \r\r") + path("Sales.cub"), text("File Missing Error")},
        {"file missing, whatever its extension", kCubeFile, path("Gone.txt"), {}, {}, {},
         text("The cub file : \r\r'") + path("Gone.txt") + text("'\r\rdoes not exist"), text("File required")},
        {"file of another type", kCubeFile, path("Sales.txt"), {}, {}, {}, text("Please select a 'cub' file"),
         text("File required")},
        {"server, none", kServerCube, {}, {}, {}, {}, text("You are not connected to any server"), text("Server Error")},
        {"server, no cube", kServerCube, {}, text("olap.example"), text("Sales Catalog"), {},
         text("No cube has been selected"), text("Server Error")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeStoreCube(folder.path(), "Sales", {shaped("Region")});
        chooseCube(c.kind, c.cube, c.server, c.catalog);
        for (const char* file : c.gone)
            QFile::remove(path(file));
        messages.clear();
        EXPECT_FALSE(next());
        EXPECT_EQ(messages.single(), (RecordedMessage{c.text, c.title, MessageIcon::Exclamation}));
    }
}

TEST_F(CubeSelection, AStoreCubeThatCannotBeReadOrLoadedIsReportedAndLeavesNothingBehind)
{
    const struct {
        const char* damaged;
        QString text, title;
    } cases[] = {{"Sales.bwf", QStringLiteral("Unable to read the file 'Sales' from the store"), QStringLiteral("Read Error")},
                 // A store cube file already there is used as it is.
                 {"Sales.BWC", QStringLiteral("Unable to load '") + path("Sales.BWC") + QStringLiteral("' to the cube object"),
                  QStringLiteral("Cube load")}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.damaged);
        writeStoreCube(folder.path(), "Sales", {shaped("Region")});
        damage(c.damaged);
        chooseCube(kStoreCube, QStringLiteral("Sales"));
        messages.clear();
        EXPECT_FALSE(next());
        EXPECT_EQ(messages.single(), (RecordedMessage{c.text, c.title, MessageIcon::Stop}));
        EXPECT_TRUE(bwcFiles().isEmpty());
        EXPECT_EQ(wizard.loadedKind, 0);
        EXPECT_FALSE(wizard.loadedCube);
    }
}

// The disk browser and the store tab shown, with a store cube Sales and a
// cube file Local.cub in the folder "cubes" below the store folder.
class BrowsingForCubes : public CubeStep {
protected:
    void SetUp() override
    {
        writeStoreCube(folder.path(), "Sales", {shaped("Region")});
        std::filesystem::create_directory(folder / "cubes");
        writeCube(folder / "cubes" / "Local.cub", "Local Catalog", "Local", {shaped("Region")});
        wizard.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&wizard));
        wizard.NxCubeSelectorCtrl1->setSelectorAppPath(path("pivotwizard"));  // the store as it is now
        tabs = wizard.findChild<QTabWidget*>(QStringLiteral("tabCube"));
        storeCubes = wizard.findChild<NxStoreLoader*>(QStringLiteral("NxStoreLoader"))->findChild<QListWidget*>();
    }
    // Clicks (or double-clicks) the entry `name` of `list`.
    static void clickEntry(QListWidget* list, const QString& name, bool twice = false)
    {
        QListWidgetItem* item = list->findItems(name, Qt::MatchExactly).value(0);
        ASSERT_NE(item, nullptr) << name.toStdString();
        const QPoint at = list->visualItemRect(item).center();
        // A double click is a click, then the second press that the platform
        // reports as a double click.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        if (twice)
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    void clickTab(int index) const { QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(index).center()); }
    // The selector's choice: its kind and cube.
    std::pair<int, QString> choice() const
    {
        return {wizard.NxCubeSelectorCtrl1->selectorSourceType(), wizard.NxCubeSelectorCtrl1->selectorCubeName()};
    }

    QTabWidget* tabs = nullptr;
    QListWidget* storeCubes = nullptr;
};

// Whatever tab the user looks at, the choice made on either stays the
// selector's, the tab that made it shows it again, and Next opens it.
TEST_F(BrowsingForCubes, AChoiceOnEitherTabStaysAcrossTabSwitchesAndNextOpensIt)
{
    tabs->setCurrentIndex(0);
    wizard.DirCube->setPath(path(""));
    clickEntry(wizard.DirCube, QStringLiteral("cubes"), true);
    ASSERT_EQ(wizard.FileCube->path(), path("cubes"));
    clickEntry(wizard.FileCube, QStringLiteral("Local.cub"));
    const auto local = std::pair(kCubeFile, path("cubes/Local.cub"));
    clickTab(1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);  // on into the store's list, and out again
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(choice(), local);
    clickTab(0);
    EXPECT_EQ(choice(), local);
    EXPECT_EQ(wizard.FileCube->selectedFile(), path("cubes/Local.cub"));
    EXPECT_TRUE(next());
    EXPECT_TRUE(messages.shown().empty()) << messages.shown().front().text.toStdString();
    ASSERT_TRUE(wizard.loadedKCube);
    EXPECT_EQ(wizard.sourceCube, path("cubes/Local.cub"));
    ASSERT_TRUE(click(0));

    clickTab(1);
    clickEntry(storeCubes, QStringLiteral("Sales"));
    clickTab(0);
    clickTab(1);
    EXPECT_EQ(choice(), std::pair(kStoreCube, QStringLiteral("Sales")));
    EXPECT_EQ(selected(storeCubes), QStringLiteral("Sales"));
    EXPECT_TRUE(next());
    EXPECT_TRUE(messages.shown().empty());
}

}  // namespace
