#include "olap/store/storeloader.h"

#include "olap/store/bwcfile.h"
#include "olap/store/storecompanion.h"
#include "olap/store/storefiles.h"
#include "platform/core/failure.h"
#include "storetestcube.h"

#include <gtest/gtest.h>

using namespace olap;

namespace {

// An application folder holding store cube "Sales" (Sales.cub, Sales.bwf).
class StoreLoaderTest : public testing::Test {
protected:
    void SetUp() override
    {
        storetest::writeSalesCube(mFolder / "Sales.cub");
        writeStoreCompanion(mFolder / "Sales.bwf", {true, "Measure List"});
    }

    bool extract(const std::string& name = "Sales", int cubeNumber = 1)
    {
        mProblem.clear();
        return extractStoreCube(mApplicationPath, name, mTarget, cubeNumber, &mProblem);
    }

    storetest::ScratchFolder mFolder;
    std::string mApplicationPath = (mFolder / "pivotwizard").string();
    std::filesystem::path mTarget = mFolder / "Sales.BWC";
    std::string mProblem;
};

}  // namespace

TEST(ApplicationFolder, IsEveryComponentButTheLastEachFollowedBySlash)
{
    const struct {
        const char* path;
        const char* folder;
    } cases[] = {
        {"/opt/app/pivotwizard", "/opt/app/"},
        {"/opt/app/", "/opt/app/"},
        {"/pivotwizard", "/"},
        {"C:\\App\\Sales\\host.exe", "C:/App/Sales/"},
        {"/opt/app\\bin/host", "/opt/app/bin/"},
        {"pivotwizard", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(applicationFolder(c.path), c.folder) << c.path;
}

TEST(ApplicationFolder, StoreFilesLiveThere)
{
    EXPECT_EQ(storeFile("/opt/app/pivotwizard", "Sales", ".bwf"), std::filesystem::path("/opt/app/Sales.bwf"));
    EXPECT_EQ(storeFile("C:\\App\\host.exe", "Sales", ".BWC"), std::filesystem::path("C:/App/Sales.BWC"));
}

TEST_F(StoreLoaderTest, ExtractingWritesTheStoreCubeFileAndReturnsTrue)
{
    ASSERT_TRUE(extract()) << mProblem;
    const StoreCubeData data = readBwcFile(mTarget, true);
    EXPECT_EQ(data.storeName, "Sales");
    EXPECT_EQ(data.catalogName, "Sales Catalog");
    EXPECT_EQ(data.cube.name, "Sales");
    EXPECT_EQ(data.cube.factCount, 3u);
    EXPECT_TRUE(data.companion.measuresSpecial);
    EXPECT_EQ(data.companion.measureListDimension, "Measure List");
    ASSERT_EQ(data.cube.dimensions.size(), 4u);
    EXPECT_EQ(data.cube.dimensions[1].hierarchies.size(), 2u);
    ASSERT_EQ(data.cube.measures.size(), 2u);
    EXPECT_EQ(data.cube.measures[0].formatString, "#,##0.00");
}

TEST_F(StoreLoaderTest, TheStoreCubeFileKeepsNoFactKeys)
{
    ASSERT_TRUE(extract()) << mProblem;
    for (const DimensionInfo& dimension : readBwcFile(mTarget, true).cube.dimensions) {
        for (const HierarchyInfo& hierarchy : dimension.hierarchies)
            EXPECT_TRUE(hierarchy.memberOfKey.empty()) << dimension.name;
    }
}

TEST_F(StoreLoaderTest, BackslashesSeparateTheApplicationPathToo)
{
    mApplicationPath = mFolder.path().string() + "\\pivotwizard.exe";
    EXPECT_TRUE(extract()) << mProblem;
}

TEST_F(StoreLoaderTest, AnExistingTargetIsReplaced)
{
    storetest::writeText(mTarget, "old content");
    ASSERT_TRUE(extract()) << mProblem;
    EXPECT_EQ(readBwcFile(mTarget, true).storeName, "Sales");
}

TEST_F(StoreLoaderTest, TheStoreFilesAreNotChanged)
{
    const std::string cub = storetest::readBytes(mFolder / "Sales.cub");
    const std::string bwf = storetest::readBytes(mFolder / "Sales.bwf");
    ASSERT_TRUE(extract()) << mProblem;
    EXPECT_EQ(storetest::readBytes(mFolder / "Sales.cub"), cub);
    EXPECT_EQ(storetest::readBytes(mFolder / "Sales.bwf"), bwf);
}

TEST_F(StoreLoaderTest, AMissingCubeFileGivesFalseAndWritesNothing)
{
    std::filesystem::remove(mFolder / "Sales.cub");
    EXPECT_FALSE(extract());
    EXPECT_FALSE(std::filesystem::exists(mTarget));
    EXPECT_NE(mProblem.find((mFolder / "Sales.cub").string()), std::string::npos) << mProblem;
}

TEST_F(StoreLoaderTest, AMissingCompanionGivesFalse)
{
    std::filesystem::remove(mFolder / "Sales.bwf");
    EXPECT_FALSE(extract());
    EXPECT_FALSE(std::filesystem::exists(mTarget));
    EXPECT_NE(mProblem.find((mFolder / "Sales.bwf").string()), std::string::npos) << mProblem;
}

TEST_F(StoreLoaderTest, ACorruptCubeFileGivesFalse)
{
    storetest::writeText(mFolder / "Sales.cub", std::string(4096, 'x'));
    EXPECT_FALSE(extract());
    EXPECT_FALSE(std::filesystem::exists(mTarget));
}

TEST_F(StoreLoaderTest, ACubeFileOfANewerVersionGivesFalse)
{
    storetest::makeNewerCubeFile(mFolder / "Sales.cub");
    EXPECT_FALSE(extract());
    EXPECT_NE(mProblem.find("newer version"), std::string::npos) << mProblem;
    EXPECT_FALSE(std::filesystem::exists(mTarget));
}

TEST_F(StoreLoaderTest, ACorruptOrNewerCompanionGivesFalse)
{
    for (const char* text : {"garbage", "bwf 1\nmeasuresSpecial = maybe\n", "bwf 9\n"}) {
        storetest::writeText(mFolder / "Sales.bwf", text);
        EXPECT_FALSE(extract()) << text;
        EXPECT_FALSE(std::filesystem::exists(mTarget));
    }
}

TEST_F(StoreLoaderTest, ACubeNumberOutsideTheCatalogGivesFalse)
{
    EXPECT_FALSE(extract("Sales", 0));
    EXPECT_FALSE(extract("Sales", 2));
    EXPECT_NE(mProblem.find("there is no cube number 2"), std::string::npos) << mProblem;
    EXPECT_FALSE(std::filesystem::exists(mTarget));
}

TEST_F(StoreLoaderTest, AnEmptyOrFolderNameGivesFalse)
{
    EXPECT_FALSE(extract(""));
    EXPECT_FALSE(extract("../Sales"));
    EXPECT_FALSE(extract("sub\\Sales"));
    EXPECT_FALSE(std::filesystem::exists(mTarget));
}

TEST_F(StoreLoaderTest, AnUnknownStoreCubeGivesFalse)
{
    EXPECT_FALSE(extract("Stock"));
}

TEST_F(StoreLoaderTest, AnUnwritableTargetGivesFalse)
{
    mTarget = mFolder / "missing" / "Sales.BWC";
    EXPECT_FALSE(extract());
    EXPECT_NE(mProblem.find(mTarget.string()), std::string::npos) << mProblem;
}

TEST_F(StoreLoaderTest, AMeasureListNamedLikeADimensionDoesNotFitTheCube)
{
    writeStoreCompanion(mFolder / "Sales.bwf", {true, "Region"});
    EXPECT_FALSE(extract());
    EXPECT_NE(mProblem.find("has the name of a dimension"), std::string::npos) << mProblem;
}

TEST_F(StoreLoaderTest, AMeasureListNamedLikeTheMeasuresFits)
{
    writeStoreCompanion(mFolder / "Sales.bwf", {true, "Measures"});
    EXPECT_TRUE(extract()) << mProblem;
}

TEST_F(StoreLoaderTest, TheThrowingFormNamesTheProblem)
{
    std::filesystem::remove(mFolder / "Sales.bwf");
    try {
        writeStoreCube(mApplicationPath, "Sales", mTarget, 1);
        FAIL() << "no failure";
    } catch (const platform::Failure& failure) {
        EXPECT_EQ(failure.number(), platform::err::kFileNotFound);
        EXPECT_EQ(failure.source(), "olap");
    }
}
