// CreatePivot as a whole: where the table goes, how the cache is connected,
// what stops the build, and how each kind of failure ends it.
#include "buildfixture.h"
#include "hostdecorators.h"
#include "sheettestsupport.h"
#include "wizard/forms/fmwait.h"

#include <QProgressBar>

#include <functional>

namespace {

using Build = BuildTest;
using Sheets = std::vector<std::pair<std::string, int>>;
const char* const kTail = ";Client Cache Size=25;Auto Synch Period=10000";

TEST_F(Build, PutsTheTableOnANewSheetOfANewWorkbookAndMarksTheWorkbookOnce)
{
    prepareBuild(kStoreCube);
    ASSERT_TRUE(wizard.CreatePivot());
    EXPECT_EQ(host->ActiveWorkbook()->Worksheets()->Item(2)->PivotTables("Table Shop")->Name(), "Table Shop");
    ASSERT_TRUE(wizard.CreatePivot());
    EXPECT_EQ(sheets(), (Sheets{{"Sheet1", sheet::kSheetVisible}, {"Sheet2", sheet::kSheetVisible},
                                {"Brenn Pivot", sheet::kSheetVeryHidden}, {"Sheet3", sheet::kSheetVisible}}));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_TRUE(screenRestored());
}

TEST_F(Build, AChosenSheetIsUsedAndOneNoWorksheetHasAnyMoreIsAddedAfterTheLast)
{
    const auto book = host->Workbooks()->Add();
    book->Worksheets()->Item(1)->Name("Data");
    book->Worksheets()->Add(book->Worksheets()->Item(1))->Name("Notes");
    for (const auto& [chosen, position, count] : {std::tuple{"Data", 1, 2}, std::tuple{"Report", 3, 3}}) {
        chooseSheet({QStringLiteral("New Sheet"), QStringLiteral("Data"), QStringLiteral("Report")},
                    QString::fromLatin1(chosen));
        std::shared_ptr<sheet::Workbook> target;
        std::shared_ptr<sheet::Worksheet> worksheet;
        wizard.SetUpExcel(target, worksheet);
        EXPECT_EQ(target, book);
        EXPECT_EQ(worksheet, book->Worksheets()->Item(position)) << chosen;
        EXPECT_EQ(worksheet->Name(), chosen);
        EXPECT_EQ(book->Worksheets()->Count(), count);
    }
}

TEST_F(Build, WhatTheUserMustFixStopsTheBuildAndLeavesTheWorkbooksAsTheyWere)
{
    const QString protectedText = QStringLiteral(
        "The selected sheet is protected.\r\rTo build a PivotTable on this sheet you will first need to unprotect it.");
    const struct {
        const char* what;
        std::function<void()> setUp;
        QString title, text;  // empty: the check's own message
    } cases[] = {
        {"start row", [&] { chooseStartCell(QStringLiteral("C"), QStringLiteral("0")); }, QStringLiteral("Invalid row"), {}},
        {"cube file gone", [&] {
             wizard.cubeSourceKind = kCubeFile;
             wizard.cubeFilePath = path("Gone.cub");
         },
         QStringLiteral("Invalid row"), {}},
        {"protected sheet",
         [&] {
             sheettest::writeZip(folder / "book.xlsx", sheettest::fixtureParts());
             host->Workbooks()->Open((folder / "book.xlsx").string());
             chooseSheet({QStringLiteral("New Sheet"), QStringLiteral("Locked")}, QStringLiteral("Locked"));
         },
         QStringLiteral("Protected sheet"), protectedText},
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
        if (!c.text.isEmpty())
            EXPECT_EQ(messages.single().text, c.text);
        EXPECT_EQ(host->ActiveWorkbook(), book) << "no workbook is made before the checks pass";
        if (book) {
            EXPECT_EQ(sheets(), before);
            EXPECT_EQ(book->PivotCaches()->Count(), caches);
        }
        EXPECT_TRUE(screenRestored());
        click(0);  // back to the cube step, for the next case's cube
    }
}

TEST_F(Build, TheCacheConnectsToTheCubeOfEachKind)
{
    const std::string shop = (folder / "Shop.cub").string();
    const struct {
        int kind;
        std::string connection;
    } cases[] = {
        {kStoreCube, "OLEDB;Provider=MSOLAP.2;Data Source=" + shop + ";Initial Catalog=Shop Catalog" + kTail},
        // A local cube file names its cube as the catalog.
        {kCubeFile, "OLEDB;Provider=MSOLAP.2;Data Source=" + shop + ";Initial Catalog=Shop" + kTail},
        {kServerCube, std::string("OLEDB;Provider=MSOLAP.3;Location=Shop;Data Source=olap.example.com;"
                                  "Initial Catalog=Shop Catalog") + kTail},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        prepareBuild(c.kind == kStoreCube ? kStoreCube : kCubeFile);
        if (c.kind == kServerCube) {
            wizard.cubeSourceKind = wizard.loadedKind = kServerCube;
            wizard.sourceCube = QStringLiteral("Shop");
            wizard.sourceCatalog = QStringLiteral("Shop Catalog");
            wizard.sourceLocation = QStringLiteral("olap.example.com");
            wizard.providerConnectionName = QStringLiteral("MSOLAP.3");
        }
        host->Workbooks()->Add();
        // No server answers: that table cannot be made, and the build ends without a word.
        EXPECT_EQ(wizard.CreatePivot(), c.kind != kServerCube);
        EXPECT_TRUE(messages.shown().empty());
        const auto cache = host->ActiveWorkbook()->PivotCaches()->Item(1);
        EXPECT_EQ(cache->Connection(), c.connection);
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
        EXPECT_EQ(messages.shown().size(), c.message ? 1u : 0u);
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

TEST_F(Build, TheWaitFormCountsDimensionsAndMeasuresAndIsShownWhileTheBuildWorks)
{
    HostLog log;
    useRejectingPivotTables(host, log);
    prepareBuild(kStoreCube);
    int maximum = -1, value = -1;
    log.onAssignment = [&] {
        ASSERT_TRUE(FmWait::isLoaded());
        EXPECT_TRUE(FmWait::instance().isVisible());
        maximum = FmWait::instance().PrgWait->maximum();
        value = FmWait::instance().PrgWait->value();
    };
    ASSERT_TRUE(wizard.CreatePivot());
    // Five dimensions (the measures among them) and two measures, plus one.
    EXPECT_EQ(maximum, 8);
    // The table, its format and the page field were done when Time's members were.
    EXPECT_EQ(value, 3);
    EXPECT_TRUE(screenRestored());
}

}  // namespace
