// The store reader: store cube files from the application folder's N.cub and
// N.bwf, and false with the reason, nothing written, when it cannot.
#include "olap/store/storeloader.h"

#include "olap/store/bwcfile.h"
#include "olap/store/storecompanion.h"
#include "olap/store/storefiles.h"
#include "olaptestsupport.h"

#include <functional>

using namespace olap;

namespace {

// An application folder holding store cube "Sales" (Sales.cub, Sales.bwf).
class StoreLoaderTest : public testing::Test {
protected:
    void SetUp() override
    {
        olaptest::writeSalesCube(mFolder / "Sales.cub");
        writeStoreCompanion(mFolder / "Sales.bwf", {true, "Measure List"});
    }

    bool extract(const std::string& name = "Sales", int cubeNumber = 1)
    {
        mProblem.clear();
        return extractStoreCube(mApplicationPath, name, mTarget, cubeNumber, &mProblem);
    }

    ScratchFolder mFolder;
    std::string mApplicationPath = (mFolder / "pivotwizard").string();
    std::filesystem::path mTarget = mFolder / "Sales.BWC";
    std::string mProblem;
};

}  // namespace

TEST(ApplicationFolder, IsEveryComponentButTheLastEachFollowedBySlash)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/app/pivotwizard", "/opt/app/"}, {"/opt/app/", "/opt/"}, {"C:\\Apps\\Cubes\\", "C:/Apps/"},
        {"/pivotwizard", "/"},
        {"/opt/app\\bin/host", "/opt/app/bin/"}, {"pivotwizard", ""},
    };
    for (const auto& [path, folder] : cases)
        EXPECT_EQ(applicationFolder(path), folder) << path;
    EXPECT_EQ(storeFile("C:\\App\\host.exe", "Sales", ".BWC"), std::filesystem::path("C:/App/Sales.BWC"));
}

// The application path may use backslashes; an old target is replaced, and
// the store's own files stay as they were.
TEST_F(StoreLoaderTest, ExtractingWritesTheStoreCubeWithoutFactKeys)
{
    mApplicationPath = mFolder.path().string() + "\\pivotwizard.exe";
    writeText(mTarget, "old content");
    const std::string cub = textOf(mFolder / "Sales.cub");
    const std::string bwf = textOf(mFolder / "Sales.bwf");
    ASSERT_TRUE(extract()) << mProblem;
    // What the store cube holds is checked through the store model (storemodel_test.cpp).
    const StoreCubeData data = readBwcFile(mTarget, true);
    EXPECT_EQ(data.storeName, "Sales");
    EXPECT_EQ(data.cube.factCount, 3u);
    for (const DimensionInfo& dimension : data.cube.dimensions) {
        for (const HierarchyInfo& hierarchy : dimension.hierarchies)
            EXPECT_TRUE(hierarchy.memberOfKey.empty()) << dimension.name;
    }
    EXPECT_EQ(textOf(mFolder / "Sales.cub"), cub);
    EXPECT_EQ(textOf(mFolder / "Sales.bwf"), bwf);
    writeStoreCompanion(mFolder / "Sales.bwf", {true, "Measures"});
    EXPECT_TRUE(extract()) << mProblem;  // a list named like the measures fits
}

// Each case spoils the store or asks for what is not there; the reason names
// the file or the problem.
TEST_F(StoreLoaderTest, WhatCannotBeExtractedGivesFalseWithTheReasonAndWritesNothing)
{
    const std::filesystem::path cub = mFolder / "Sales.cub", bwf = mFolder / "Sales.bwf";
    const struct { std::function<bool()> extract; std::string problem; } cases[] = {
        {[&] { std::filesystem::remove(cub); return extract(); }, cub.string()},
        {[&] { std::filesystem::remove(bwf); return extract(); }, bwf.string()},
        {[&] { olaptest::execSql(cub, "PRAGMA user_version = 99"); return extract(); }, "newer version"},
        {[&] { writeText(bwf, "bwf 9\n"); return extract(); }, bwf.string()},
        {[&] { writeStoreCompanion(bwf, {true, "Region"}); return extract(); }, "has the name of a dimension"},
        {[&] { return extract("Sales", 0); }, ""},
        {[&] { return extract("Sales", 2); }, "there is no cube number 2"},
        {[&] { return extract("../Sales"); }, ""},
        {[&] { return extract("Stock"); }, ""},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.problem);
        SetUp();
        EXPECT_FALSE(test.extract());
        EXPECT_THAT(mProblem, olaptest::HasSubstr(test.problem));
        EXPECT_FALSE(std::filesystem::exists(mTarget));
    }
    mTarget = mFolder / "missing" / "Sales.BWC";
    EXPECT_FALSE(extract());
    EXPECT_THAT(mProblem, olaptest::HasSubstr(mTarget.string()));
}
