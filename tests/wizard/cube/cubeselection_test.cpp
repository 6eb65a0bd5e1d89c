// The cube selection step: the refusals when it is left, and the store
// cube's transient file. That the selector's choice is taken over shows in
// the cubes loaded, the tables connected and the keyboard walk.
#include "cubestep.h"

namespace {

using CubeSelection = CubeStep;

TEST_F(CubeSelection, ChoicesThatCannotBeOpenedAreRefusedWithTheirMessage)
{
    writeCube(path("Sales.txt").toStdString(), "Sales Catalog", "Sales", {shaped("City")});  // a cube file by another name
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

}  // namespace
