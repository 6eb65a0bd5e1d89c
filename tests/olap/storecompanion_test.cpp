#include "olap/store/storecompanion.h"

#include "platform/core/failure.h"
#include "storetestcube.h"

#include <gtest/gtest.h>

using namespace olap;
using storetest::writeText;

namespace {

class StoreCompanionTest : public testing::Test {
protected:
    storetest::ScratchFolder mFolder;
    std::filesystem::path mFile = mFolder / "Sales.bwf";

    platform::Failure readFailure()
    {
        try {
            readStoreCompanion(mFile);
        } catch (const platform::Failure& failure) {
            return failure;
        }
        ADD_FAILURE() << "reading " << mFile << " did not fail";
        return platform::Failure(0, "");
    }
};

}  // namespace

TEST_F(StoreCompanionTest, WhatIsWrittenIsReadBack)
{
    writeStoreCompanion(mFile, {true, "Measure List"});
    const StoreCompanion read = readStoreCompanion(mFile);
    EXPECT_TRUE(read.measuresSpecial);
    EXPECT_EQ(read.measureListDimension, "Measure List");
}

TEST_F(StoreCompanionTest, ADefaultCompanionIsReadBackAsDefault)
{
    writeStoreCompanion(mFile, {});
    const StoreCompanion read = readStoreCompanion(mFile);
    EXPECT_FALSE(read.measuresSpecial);
    EXPECT_EQ(read.measureListDimension, "");
}

TEST_F(StoreCompanionTest, TheFileIsTextStartingWithItsVersion)
{
    writeStoreCompanion(mFile, {true, "Measure List"});
    const std::string text = storetest::readBytes(mFile);
    EXPECT_TRUE(text.starts_with("bwf 1\n")) << text;
    EXPECT_NE(text.find("measuresSpecial = true\n"), std::string::npos) << text;
    EXPECT_NE(text.find("measureListDimension = Measure List\n"), std::string::npos) << text;
}

TEST_F(StoreCompanionTest, CommentsBlankLinesCrlfAndMissingKeysAreAccepted)
{
    writeText(mFile, "bwf 1\r\n# made by hand\r\n\r\n  measureListDimension   =  Measures  \r\n");
    const StoreCompanion read = readStoreCompanion(mFile);
    EXPECT_FALSE(read.measuresSpecial);
    EXPECT_EQ(read.measureListDimension, "Measures");
}

TEST_F(StoreCompanionTest, AMissingFileFailsWithFileNotFoundNamingTheFile)
{
    const platform::Failure failure = readFailure();
    EXPECT_EQ(failure.number(), platform::err::kFileNotFound);
    EXPECT_EQ(failure.source(), "olap");
    EXPECT_NE(failure.description().find(mFile.string()), std::string::npos) << failure.description();
}

TEST_F(StoreCompanionTest, ANewerVersionIsRefusedAsNewer)
{
    writeText(mFile, "bwf 2\nmeasuresSpecial = false\nsomethingNew = 1\n");
    const platform::Failure failure = readFailure();
    EXPECT_EQ(failure.number(), platform::err::kBadFileName);
    EXPECT_NE(failure.description().find("newer version (format 2"), std::string::npos) << failure.description();
    EXPECT_NE(failure.description().find(mFile.string()), std::string::npos);
}

TEST_F(StoreCompanionTest, FilesThatAreNotCompanionsAreRefused)
{
    for (const char* text : {"", "measuresSpecial = true\n", "bwf\n", "bwf x\n", "bwf 0\n", "\x89PNG\r\n"}) {
        writeText(mFile, text);
        const platform::Failure failure = readFailure();
        EXPECT_EQ(failure.number(), platform::err::kBadFileName) << text;
        EXPECT_NE(failure.description().find("is not a store companion file"), std::string::npos)
            << failure.description();
    }
}

TEST_F(StoreCompanionTest, DamagedContentIsRefusedNamingTheProblem)
{
    const struct {
        const char* text;
        const char* problem;
    } cases[] = {
        {"bwf 1\nmeasuresSpecial\n", "line 2 is not \"key = value\""},
        {"bwf 1\nmeasuresSpecial = yes\n", "measuresSpecial must be true or false"},
        {"bwf 1\ncolour = blue\n", "unknown entry \"colour\""},
        {"bwf 1\nmeasuresSpecial = true\nmeasuresSpecial = false\n", "\"measuresSpecial\" is given twice"},
        {"bwf 1\nmeasuresSpecial = true\n", "no measure-list dimension is named"},
    };
    for (const auto& c : cases) {
        writeText(mFile, c.text);
        const platform::Failure failure = readFailure();
        EXPECT_EQ(failure.number(), platform::err::kPathFileAccess) << c.text;
        EXPECT_NE(failure.description().find("is damaged"), std::string::npos) << failure.description();
        EXPECT_NE(failure.description().find(c.problem), std::string::npos) << failure.description();
    }
}

TEST_F(StoreCompanionTest, SpecialMeasuresWithoutAListDimensionAreNotWritten)
{
    EXPECT_THROW(writeStoreCompanion(mFile, {true, ""}), platform::Failure);
    EXPECT_THROW(writeStoreCompanion(mFile, {false, " padded"}), platform::Failure);
    EXPECT_FALSE(std::filesystem::exists(mFile));
}

TEST_F(StoreCompanionTest, AFailedWriteLeavesTheOldFile)
{
    writeStoreCompanion(mFile, {true, "Measure List"});
    EXPECT_THROW(writeStoreCompanion(mFolder / "missing" / "Sales.bwf", {}), platform::Failure);
    EXPECT_THROW(writeStoreCompanion(mFile, {true, ""}), platform::Failure);
    EXPECT_EQ(readStoreCompanion(mFile).measureListDimension, "Measure List");
}
