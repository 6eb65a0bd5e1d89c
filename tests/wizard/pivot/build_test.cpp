// CreatePivot as a whole: where the table goes, how the cache is connected,
// what stops the build, how each kind of failure ends it, and the fields of
// the table it builds.
#include "buildfixture.h"
#include "sheettestsupport.h"

#include <functional>
#include <map>

namespace {

using Build = BuildTest;
const char* const kTail = ";Client Cache Size=25;Auto Synch Period=10000";

TEST_F(Build, WhatTheUserMustFixStopsTheBuildAndLeavesTheWorkbooksAsTheyWere)
{
    const struct {
        const char* what;
        std::function<void()> setUp;
        QString title, text;  // empty text: the check's own
    } cases[] = {
        {"start row", [&] { chooseStartCell(QStringLiteral("C"), QStringLiteral("0")); }, QStringLiteral("Invalid row"), {}},
        {"store cube's companion gone", [&] { QFile::remove(path("Shop.bwf")); }, QStringLiteral("File Missing Error"), {}},
        {"protected sheet",
         [&] {
             sheettest::writeZip(folder / "book.xlsx", sheettest::fixtureParts());
             host->Workbooks()->Open((folder / "book.xlsx").string());
             chooseSheet({QStringLiteral("New Sheet"), QStringLiteral("Locked")}, QStringLiteral("Locked"));
         },
         QStringLiteral("Protected sheet"),
         QStringLiteral("The selected sheet is protected.\r\rTo build a PivotTable on this sheet you will first need to "
                        "unprotect it.")},
        {"sheet with a table",
         [&] {
             chooseSheet({QStringLiteral("New Sheet"), QStringLiteral("Report")}, QStringLiteral("Report"));
             ASSERT_TRUE(wizard.CreatePivot());
             chooseStartCell(QStringLiteral("K"), QStringLiteral("40"));
         },
         QStringLiteral("PivotTable exists"), QStringLiteral("PivotTable already exists on this worksheet")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        prepareBuild(kStoreCube);
        c.setUp();
        const auto book = host->ActiveWorkbook();
        const Sheets before = book ? sheets() : Sheets{};
        const int caches = book ? book->PivotCaches()->Count() : 0;
        messages.clear();
        EXPECT_FALSE(wizard.CreatePivot());
        EXPECT_EQ(messages.single().title, c.title);
        EXPECT_TRUE(c.text.isEmpty() || messages.single().text == c.text) << messages.single().text.toStdString();
        EXPECT_EQ(host->ActiveWorkbook(), book) << "no workbook is made before the checks pass";
        EXPECT_EQ(book ? sheets() : Sheets{}, before);
        EXPECT_EQ(book ? book->PivotCaches()->Count() : 0, caches);
        EXPECT_TRUE(screenRestored());
        click(0);  // back to the cube step, for the next case's cube
    }
}

// A server cube's connection is the server wizard's test (tests/server/wizard).
// Without a workbook the table goes on a new sheet of a new one, which is
// marked once. A local cube file names its cube as the catalog.
TEST_F(Build, ANewWorkbookIsMarkedOnceAndTheCacheConnectsToTheCubeOfEachKind)
{
    const std::string shop = (folder / "Shop.cub").string();
    for (const auto& [kind, catalog] : {std::pair{kStoreCube, "Shop Catalog"}, {kCubeFile, "Shop"}}) {
        SCOPED_TRACE(kind);
        host = sheet::createApplication();  // no workbook open
        wizard.xlApp(host);
        prepareBuild(kind);
        ASSERT_TRUE(wizard.CreatePivot());
        ASSERT_TRUE(wizard.CreatePivot());
        EXPECT_EQ(sheets(), (Sheets{{"Sheet1", sheet::kSheetVisible}, {"Sheet2", sheet::kSheetVisible},
                                    {"Brenn Pivot", sheet::kSheetVeryHidden}, {"Sheet3", sheet::kSheetVisible}}));
        EXPECT_TRUE(messages.shown().empty());
        const auto cache = host->ActiveWorkbook()->PivotCaches()->Item(1);
        EXPECT_EQ(cache->Connection(), "OLEDB;Provider=MSOLAP.2;Data Source=" + shop + ";Initial Catalog=" + catalog + kTail);
        EXPECT_EQ(cache->CommandType(), sheet::kCommandCube);
        EXPECT_EQ(cache->CommandText(), "Shop");
        EXPECT_TRUE(screenRestored());
        click(0);
    }
}

TEST_F(Build, EachStageEndsAFailureItsOwnWay)
{
    const struct {
        const char* what;
        std::function<void()> setUp;
        const char* message;  // the start of a "PivotTable error", or nullptr
        bool trapped;
    } cases[] = {
        {"after the wait form", [&] { arrange({QStringLiteral("Region")}, {QStringLiteral("Product")}, {QStringLiteral("Gone")}); },
         "91 : Object variable", false},
        // The measures' values field cannot be a page field: the host refuses, silently.
        {"a placement the host refuses",
         [&] { arrange({QStringLiteral("Measures")}, {QStringLiteral("Product")}, {QStringLiteral("Time")}); }, nullptr, false},
        // No column: "5" is no cell address.
        {"while the target is checked", [&] { chooseStartCell(QString(), QStringLiteral("5")); }, nullptr, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        prepareBuild(kCubeFile);
        c.setUp();
        messages.clear();
        EXPECT_FALSE(wizard.CreatePivot());
        EXPECT_EQ(trapped(), c.trapped);
        ASSERT_EQ(messages.shown().size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(messages.single().title, QStringLiteral("PivotTable error"));
            EXPECT_TRUE(messages.single().text.startsWith(QString::fromLatin1(c.message)));
        }
        for (const auto& [name, visible] : host->ActiveWorkbook() ? sheets() : Sheets{})
            EXPECT_NE(name, "Brenn Pivot") << "the build went on";
        EXPECT_TRUE(screenRestored());
        click(0);
    }
}

TEST_F(Build, DimensionsArePlacedInTheOrderOfTheirAreasAndSeveralHierarchiesOnlyFromAStoreCube)
{
    using Place = std::pair<int, int>;
    const struct {
        int kind;
        QStringList pages, columns;
        std::map<std::string, Place> places;
    } cases[] = {
        {kStoreCube, {QStringLiteral("Region"), QStringLiteral("Store")}, {QStringLiteral("Time")},
         {{"[Region]", {sheet::kPageField, 1}}, {"[Store]", {sheet::kPageField, 2}},
          {"[Time]", {sheet::kColumnField, 1}}, {"[Product]", {sheet::kRowField, 1}}}},
        // A local cube leaves a dimension of several hierarchies out; the next takes its position.
        {kCubeFile, {QStringLiteral("Store"), QStringLiteral("Region")}, {QStringLiteral("Store"), QStringLiteral("Time")},
         {{"[Store]", {sheet::kHidden, 0}}, {"[Region]", {sheet::kPageField, 1}},
          {"[Time]", {sheet::kColumnField, 1}}, {"[Product]", {sheet::kRowField, 1}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        prepareBuild(c.kind);
        arrange(c.pages, {QStringLiteral("Product")}, c.columns);
        ASSERT_TRUE(wizard.CreatePivot());
        for (const auto& [name, place] : c.places) {
            const auto field = builtTable()->CubeFields()->Item(name);
            const int orientation = field->Orientation();
            EXPECT_EQ(Place(orientation, orientation == sheet::kHidden ? 0 : field->Position()), place) << name;
        }
        click(0);
    }
}

}  // namespace
