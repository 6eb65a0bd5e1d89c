// Leaving the cube selection step: the refusals and the store cube's
// transient file. That the selector's choice is taken over shows in the cubes
// loaded and the tables connected; that a cube file gone before the build is
// told, in the build's refusals.
#include "cubestep.h"
#include "widgets/smallcube.h"

#include <functional>

namespace {

using CubeSelection = CubeStep;
const QString kCr = QStringLiteral("\r");

TEST_F(CubeSelection, ChoicesThatCannotBeOpenedAreRefusedWithTheirMessage)
{
    const struct {
        const char* what;
        std::function<void()> choose;
        QString text, title;
    } cases[] = {
        {"store, no cube", [&] { chooseCube(kStoreCube, QString()); }, QStringLiteral("No cube file selected"),
         QStringLiteral("File required")},
        {"store, companion gone",
         [&] {
             writeStoreCube(folder.path(), "Sales", {shaped("Region")});
             chooseCube(kStoreCube, QStringLiteral("Sales"));  // listed while both files are there
             QFile::remove(path("Sales.bwf"));
         },
         QStringLiteral("Could not find the 'bwf' file for this cube : ") + kCr + kCr + path("Sales.bwf"),
         QStringLiteral("File Missing Error")},
        {"store, both gone",
         [&] {
             writeStoreCube(folder.path(), "Sales", {shaped("Region")});
             chooseCube(kStoreCube, QStringLiteral("Sales"));
             QFile::remove(path("Sales.bwf"));
             QFile::remove(path("Sales.cub"));
         },
         QStringLiteral("Could not find the 'cub' file for this cube : ") + kCr + kCr + path("Sales.cub"),
         QStringLiteral("File Missing Error")},
        {"file missing, whatever its extension", [&] { chooseCube(kCubeFile, path("Gone.txt")); },
         QStringLiteral("The cub file : ") + kCr + kCr + QLatin1Char('\'') + path("Gone.txt") + QLatin1Char('\'') + kCr
             + kCr + QStringLiteral("does not exist"),
         QStringLiteral("File required")},
        {"server, none", [&] { chooseCube(kServerCube, QString(), QString(), QString()); },
         QStringLiteral("You are not connected to any server"), QStringLiteral("Server Error")},
        {"server, no cube", [&] { chooseCube(kServerCube, QString(), QStringLiteral("olap.example"), QStringLiteral("Sales Catalog")); },
         QStringLiteral("No cube has been selected"), QStringLiteral("Server Error")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        messages.clear();
        c.choose();
        EXPECT_FALSE(next());
        EXPECT_EQ(messages.single(), (RecordedMessage{c.text, c.title, MessageIcon::Exclamation}));
    }
}

TEST_F(CubeSelection, CubeFilesAreRecognisedByTheirExtensionInAnyCase)
{
    const std::pair<const char*, bool> cases[] = {{"Sales.cub", true},  {"Sales.CUB", true},  {"a.Cub", true},
                                                  {".cub", false},      {"Sales.txt", false}, {"Salescub", false}};
    QDir::setCurrent(path(""));  // short relative paths
    for (const auto& [name, accepted] : cases) {
        SCOPED_TRACE(name);
        writeSmallCube(path(name).toStdString());
        chooseCube(kCubeFile, QString::fromLatin1(name));
        messages.clear();
        EXPECT_EQ(wizard.CheckValidFileSelected(), accepted);
        EXPECT_EQ(wizard.cubeFilePath, accepted ? QString::fromLatin1(name) : wizard.cubeFilePath);
        EXPECT_EQ(messages.shown().size(), accepted ? 0u : 1u);
        if (!accepted) {
            EXPECT_EQ(messages.single().text, QStringLiteral("Please select a 'cub' file"));
        }
    }
}

// --- The store cube: N.BWC lives only while it is loaded ---------------------

TEST_F(CubeSelection, AStoreCubeOpensUnderTheNamesOfItsCubeFileAndLeavesNoStoreCubeFile)
{
    writeStoreCube(folder.path(), "Sales", {shaped("Region")});
    copySample(QStringLiteral("SalesByMeasure.cub"));
    copySample(QStringLiteral("SalesByMeasure.bwf"));
    for (const auto& [name, catalog, cube] : {std::tuple{"Sales", "Sales Catalog", "Sales"},
                                              {"SalesByMeasure", "Sales By Measure", "Sales By Measure"}}) {
        SCOPED_TRACE(name);
        openCube(kStoreCube, QString::fromLatin1(name));
        EXPECT_TRUE(bwcFiles().isEmpty());
        EXPECT_EQ(wizard.loadedPath, path(name + std::string(".BWC")));
        EXPECT_EQ(wizard.storeCatalogName, QString::fromLatin1(catalog));
        EXPECT_EQ(wizard.storeCubeName, QString::fromLatin1(cube));
        click(0);
    }
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(CubeSelection, AStoreCubeThatCannotBeReadOrLoadedIsReportedAndLeavesNothingBehind)
{
    const struct {
        const char* damaged;
        QString text, title;
    } cases[] = {{"Sales.bwf", QStringLiteral("Unable to read the file 'Sales' from the store"), QStringLiteral("Read Error")},
                 {"Sales.cub", QStringLiteral("Unable to read the file 'Sales' from the store"), QStringLiteral("Read Error")},
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
