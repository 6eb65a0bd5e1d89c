// CreatePivot as a whole: where the table goes, how the cache is connected,
// what stops the build, and how each kind of failure ends it.
#include "buildfixture.h"
#include "wizard/forms/fmwait.h"
#include "hostdecorators.h"
#include "sheettestsupport.h"

#include <QProgressBar>

#include <gtest/gtest.h>

#include <ostream>

using namespace pivottest;

namespace {

const char* const kTail = ";Client Cache Size=25;Auto Synch Period=10000";

class Build : public BuildFixture {};

TEST_F(Build, PutsTheTableNamedAfterTheCubeOnANewSheetOfANewWorkbookAndMarksTheWorkbook)
{
    prepareStoreBuild();
    EXPECT_TRUE(wizard().CreatePivot());
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(sheetsOfActiveWorkbook(), (std::vector<std::pair<std::string, int>>{
                                            {"Sheet1", sheet::kSheetVisible},
                                            {"Sheet2", sheet::kSheetVisible},
                                            {"Brenn Pivot", sheet::kSheetVeryHidden}}));
    const auto table = host()->ActiveWorkbook()->Worksheets()->Item(2)->PivotTables("Table Shop");
    EXPECT_EQ(table->Name(), "Table Shop");
    EXPECT_TRUE(screenRestored());
}

TEST_F(Build, ASecondBuildIntoTheWorkbookAddsNoSecondMarkerSheet)
{
    prepareStoreBuild();
    ASSERT_TRUE(wizard().CreatePivot());
    ASSERT_TRUE(wizard().CreatePivot());
    EXPECT_EQ(sheetsOfActiveWorkbook(), (std::vector<std::pair<std::string, int>>{
                                            {"Sheet1", sheet::kSheetVisible},
                                            {"Sheet2", sheet::kSheetVisible},
                                            {"Brenn Pivot", sheet::kSheetVeryHidden},
                                            {"Sheet3", sheet::kSheetVisible}}));
}

TEST_F(Build, ASheetNameNoWorksheetHasAnyMoreGetsANewSheetOfThatNameAfterTheLast)
{
    writeWorkbook(folder / "book.xlsx", {"Data", "Notes"});
    host()->Workbooks()->Open((folder / "book.xlsx").string());
    wizard().chooseSheet({"New Sheet", "Data", "Report"}, "Report");
    std::shared_ptr<sheet::Workbook> book;
    std::shared_ptr<sheet::Worksheet> target;
    wizard().SetUpExcel(book, target);
    EXPECT_EQ(book, host()->ActiveWorkbook());
    EXPECT_EQ(target->Name(), "Report");
    EXPECT_EQ(book->Worksheets()->Item(3), target);
}

TEST_F(Build, AChosenSheetThatExistsIsUsedAsItIs)
{
    writeWorkbook(folder / "book.xlsx", {"Data", "Notes"});
    host()->Workbooks()->Open((folder / "book.xlsx").string());
    wizard().chooseSheet({"New Sheet", "Data", "Notes"}, "Data");
    std::shared_ptr<sheet::Workbook> book;
    std::shared_ptr<sheet::Worksheet> target;
    wizard().SetUpExcel(book, target);
    EXPECT_EQ(target, book->Worksheets()->Item(1));
    EXPECT_EQ(book->Worksheets()->Count(), 2);
}

TEST_F(Build, ASheetThatHoldsAPivotTableIsRefusedAndTheWorkbookLeftAsItWas)
{
    prepareStoreBuild();
    writeWorkbook(folder / "book.xlsx", {"Data", "Report"});
    host()->Workbooks()->Open((folder / "book.xlsx").string());
    wizard().chooseSheet({"New Sheet", "Data", "Report"}, "Report");
    ASSERT_TRUE(wizard().CreatePivot());
    const auto before = sheetsOfActiveWorkbook();
    const int caches = host()->ActiveWorkbook()->PivotCaches()->Count();
    wizard().chooseStartCell(QStringLiteral("K"), QStringLiteral("40"));
    EXPECT_FALSE(wizard().CreatePivot());
    EXPECT_EQ(messages.single().title, QStringLiteral("PivotTable exists"));
    EXPECT_EQ(messages.single().text, QStringLiteral("PivotTable already exists on this worksheet"));
    EXPECT_EQ(messages.single().icon, MessageIcon::Exclamation);
    EXPECT_EQ(sheetsOfActiveWorkbook(), before);
    EXPECT_EQ(host()->ActiveWorkbook()->PivotCaches()->Count(), caches);
    EXPECT_TRUE(screenRestored());
}

TEST_F(Build, AProtectedSheetIsRefused)
{
    prepareStoreBuild();
    // A workbook as another program saved it, with a sheet whose contents are protected.
    sheettest::writeZip(folder / "book.xlsx", sheettest::fixtureParts());
    host()->Workbooks()->Open((folder / "book.xlsx").string());
    wizard().chooseSheet({"New Sheet", "Data", "Locked"}, "Locked");
    EXPECT_FALSE(wizard().CreatePivot());
    EXPECT_EQ(messages.single().title, QStringLiteral("Protected sheet"));
    EXPECT_EQ(messages.single().text, QStringLiteral("The selected sheet is protected.\r\rTo build a PivotTable on this "
                                                     "sheet you will first need to unprotect it."));
    EXPECT_EQ(host()->ActiveWorkbook()->PivotCaches()->Count(), 0);
    EXPECT_TRUE(screenRestored());
}

TEST_F(Build, AnInvalidStartRowStopsTheBuildBeforeAnyWorkbookIsMade)
{
    prepareStoreBuild();
    wizard().chooseStartCell(QStringLiteral("C"), QStringLiteral("0"));
    EXPECT_FALSE(wizard().CreatePivot());
    EXPECT_FALSE(host()->ActiveWorkbook());
    EXPECT_TRUE(screenRestored());
}

TEST_F(Build, AMissingLocalCubeFileStopsTheBuildBeforeAnyWorkbookIsMade)
{
    prepareLocalBuild();
    std::filesystem::remove(folder / "Shop.cub");
    EXPECT_FALSE(wizard().CreatePivot());
    EXPECT_FALSE(host()->ActiveWorkbook());
    EXPECT_TRUE(screenRestored());
}

// The connection each cube kind gives the pivot cache.
class Connection : public BuildFixture {
protected:
    std::shared_ptr<sheet::PivotCache> cache() { return host()->ActiveWorkbook()->PivotCaches()->Item(1); }
};

TEST_F(Connection, AStoreCubeConnectsToItsCubeFileAndCatalog)
{
    prepareStoreBuild();
    ASSERT_TRUE(wizard().CreatePivot());
    EXPECT_EQ(cache()->Connection(), "OLEDB;Provider=MSOLAP.2;Data Source=" + (folder / "Shop.cub").string()
                                         + ";Initial Catalog=Shop Catalog" + kTail);
    EXPECT_EQ(cache()->CommandType(), sheet::kCommandCube);
    EXPECT_EQ(cache()->CommandText(), "Shop");
}

TEST_F(Connection, ALocalCubeFileNamesItsCubeAsTheCatalog)
{
    prepareLocalBuild();
    ASSERT_TRUE(wizard().CreatePivot());
    EXPECT_EQ(cache()->Connection(),
              "OLEDB;Provider=MSOLAP.2;Data Source=" + (folder / "Shop.cub").string() + ";Initial Catalog=Shop" + kTail);
    EXPECT_EQ(cache()->CommandText(), "Shop");
}

TEST_F(Connection, AServerCubeNamesProviderLocationDataSourceAndCatalogInThatOrder)
{
    prepareLocalBuild();
    wizard().useServerCube(folder / "Shop.cub", QStringLiteral("MSOLAP.3"), QStringLiteral("olap.example.com"),
                           QStringLiteral("Shop Catalog"));
    // No server answers: the table cannot be made and the build ends without a word.
    EXPECT_FALSE(wizard().CreatePivot());
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(cache()->Connection(), std::string("OLEDB;Provider=MSOLAP.3;Location=Shop;Data Source=olap.example.com;"
                                                 "Initial Catalog=Shop Catalog")
                                         + kTail);
    EXPECT_EQ(cache()->CommandText(), "Shop");
    EXPECT_TRUE(screenRestored());
}

TEST_F(Build, AFailureAfterTheWaitFormIsShownAsPivotTableError)
{
    prepareLocalBuild();
    wizard().arrange({"Region"}, {"Product"}, {"Gone"});
    EXPECT_FALSE(wizard().CreatePivot());
    EXPECT_EQ(messages.single().title, QStringLiteral("PivotTable error"));
    EXPECT_TRUE(messages.single().text.startsWith(QStringLiteral("91 : Object variable")));
    EXPECT_FALSE(trapped());
    EXPECT_TRUE(screenRestored());
}

TEST_F(Build, AFieldPlacementTheHostRefusesEndsTheBuildWithoutAMessage)
{
    prepareLocalBuild();
    // The measures' values field cannot be a page field.
    wizard().arrange({"Measures"}, {"Product"}, {"Time"});
    EXPECT_FALSE(wizard().CreatePivot());
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(trapped());
    EXPECT_EQ(sheetsOfActiveWorkbook().size(), 2u);  // no marker sheet: the build stopped
    EXPECT_TRUE(screenRestored());
}

TEST_F(Build, AFailureWhileTheTargetIsCheckedGoesToTheTrap)
{
    prepareStoreBuild();
    // No column: "5" is no cell address.
    wizard().chooseStartCell(QString(), QStringLiteral("5"));
    EXPECT_FALSE(wizard().CreatePivot());
    EXPECT_TRUE(trapped());
    EXPECT_TRUE(screenRestored());
}

TEST_F(Build, TheWaitFormCountsDimensionsAndMeasuresAndIsShownWhileTheBuildWorks)
{
    HostLog log;
    useRejectingPivotTables(host(), log);
    prepareStoreBuild();
    int maximum = -1, value = -1;
    log.onAssignment = [&] {
        ASSERT_TRUE(FmWait::isLoaded());
        EXPECT_TRUE(FmWait::instance().isVisible());
        maximum = FmWait::instance().PrgWait->maximum();
        value = FmWait::instance().PrgWait->value();
    };
    ASSERT_TRUE(wizard().CreatePivot()) << (messages.shown().empty() ? QString() : messages.shown()[0].text).toStdString();
    // Five dimensions (the measures among them) and two measures, plus one.
    EXPECT_EQ(maximum, 8);
    // The table, its format and the page field were done when Time's members were.
    EXPECT_EQ(value, 3);
    EXPECT_TRUE(screenRestored());
}

struct VersionCase {
    const char* text;
    qint16 generation;
};

void PrintTo(const VersionCase& version, std::ostream* out) { *out << "version \"" << version.text << "\""; }

class HostVersion : public BuildFixture, public testing::WithParamInterface<VersionCase> {};

TEST_P(HostVersion, AVersionTextHoldingANineMeansTheOlderGeneration)
{
    wizard(std::make_shared<VersionedHost>(host(), GetParam().text)).getXlVer();
    EXPECT_EQ(wizard().hostGeneration(), GetParam().generation);
}

INSTANTIATE_TEST_SUITE_P(Texts, HostVersion,
                         testing::Values(VersionCase{"9.0", 9}, VersionCase{"10.0", 10}, VersionCase{"11.0", 10},
                                         VersionCase{"19.0", 9}, VersionCase{"", 10}));

}  // namespace
