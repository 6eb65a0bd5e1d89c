#include "olap/store/bwcfile.h"

#include "olap/store/bwcformat.h"
#include "olap/store/storeloader.h"
#include "platform/core/failure.h"
#include "storetestcube.h"

#include <gtest/gtest.h>

#include <functional>

using namespace olap;

namespace {

// A store cube file written from the sales cube, and ways to spoil it.
class StoreCubeFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        storetest::writeSalesCube(mFolder / "Sales.cub");
        writeStoreCompanion(mFolder / "Sales.bwf", {true, "Measure List"});
        ASSERT_TRUE(extractStoreCube((mFolder / "app").string(), "Sales", mFile, 1));
        mBytes = storetest::readBytes(mFile);
    }

    platform::Failure readFailure(bool verify = true)
    {
        try {
            readBwcFile(mFile, verify);
        } catch (const platform::Failure& failure) {
            return failure;
        }
        ADD_FAILURE() << "reading " << mFile << " did not fail";
        return platform::Failure(0, "");
    }

    void writeBytes(const std::string& bytes) { storetest::writeText(mFile, bytes); }

    // `bytes` with the uint32 at `offset` replaced by `value`.
    static std::string withU32(std::string bytes, size_t offset, uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            bytes[offset + size_t(i)] = char((value >> (8 * i)) & 0xFF);
        return bytes;
    }

    // Writes `data` after `spoil` changed it, as the writer would, checksum included.
    void writeSpoiled(const std::function<void(StoreCubeData&)>& spoil)
    {
        StoreCubeData data = readBwcFile(mFile, true);
        spoil(data);
        writeBwcFile(mFile, data);
    }

    storetest::ScratchFolder mFolder;
    std::filesystem::path mFile = mFolder / "Sales.BWC";
    std::string mBytes;
};

bool mentions(const platform::Failure& failure, const std::string& text)
{
    return failure.description().find(text) != std::string::npos;
}

}  // namespace

TEST(Crc32, MatchesTheIeeeCheckValue)
{
    EXPECT_EQ(bwcformat::crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(bwcformat::crc32(""), 0u);
}

TEST_F(StoreCubeFileTest, WhatIsWrittenIsReadBackWholly)
{
    const StoreCubeData data = readBwcFile(mFile, true);
    const HierarchyInfo& time = data.cube.dimensions[0].hierarchies[0];
    ASSERT_EQ(time.levels.size(), 3u);
    EXPECT_EQ(time.levels[0].type, LevelType::All);
    EXPECT_TRUE(time.levels[1].namedByKey);
    EXPECT_EQ(time.levels[2].firstMember, 3u);
    EXPECT_EQ(time.levels[2].memberCount, 3u);
    ASSERT_EQ(time.members.size(), 6u);
    EXPECT_EQ(time.members[0].childCount, 2u);
    EXPECT_EQ(time.members[1].firstChild, 3u);
    EXPECT_EQ(time.members[4].caption, "Quarter 2");
    EXPECT_EQ(time.members[4].uniqueName, "[Time].[All Time].&[1997].[Q2]");
    EXPECT_EQ(data.cube.measures[1].aggregation, Aggregation::Count);
    EXPECT_EQ(data.cube.dimensions[3].type, DimensionType::Time);
}

TEST_F(StoreCubeFileTest, TheFileStartsWithMagicAndVersion)
{
    ASSERT_GE(mBytes.size(), bwcformat::kHeaderSize);
    EXPECT_EQ(mBytes.substr(0, 8), std::string(bwcformat::kMagic, 8));
    EXPECT_EQ(mBytes.substr(8, 4), std::string("\x01\x00\x00\x00", 4));
}

TEST_F(StoreCubeFileTest, AMissingFileFailsWithFileNotFound)
{
    std::filesystem::remove(mFile);
    const platform::Failure failure = readFailure();
    EXPECT_EQ(failure.number(), platform::err::kFileNotFound);
    EXPECT_TRUE(mentions(failure, mFile.string())) << failure.description();
}

TEST_F(StoreCubeFileTest, OtherFilesAreNotStoreCubeFiles)
{
    const std::string others[] = {"", "BWC", "just some text that is long enough",
                                  storetest::readBytes(mFolder / "Sales.cub")};
    for (const std::string& other : others) {
        writeBytes(other);
        const platform::Failure failure = readFailure();
        EXPECT_EQ(failure.number(), platform::err::kBadFileName);
        EXPECT_TRUE(mentions(failure, mFile.string() + ": is not a store cube file")) << failure.description();
    }
}

TEST_F(StoreCubeFileTest, ANewerVersionIsRefusedAsNewerWhateverFollows)
{
    for (const std::string& bytes : {withU32(mBytes, 8, 2), withU32(mBytes, 8, 2).substr(0, 12)}) {
        writeBytes(bytes);
        const platform::Failure failure = readFailure();
        EXPECT_EQ(failure.number(), platform::err::kBadFileName);
        EXPECT_TRUE(mentions(failure, "written by a newer version (format 2; this program reads up to 1)"))
            << failure.description();
    }
}

TEST_F(StoreCubeFileTest, VersionZeroIsDamaged)
{
    writeBytes(withU32(mBytes, 8, 0));
    EXPECT_EQ(readFailure().number(), platform::err::kPathFileAccess);
}

TEST_F(StoreCubeFileTest, EveryTruncationIsDamaged)
{
    for (size_t length = 12; length < mBytes.size(); ++length) {
        writeBytes(mBytes.substr(0, length));
        const platform::Failure failure = readFailure(false);
        EXPECT_EQ(failure.number(), platform::err::kPathFileAccess) << length;
        EXPECT_TRUE(mentions(failure, "the store cube file is damaged (it ends early)")) << failure.description();
    }
}

TEST_F(StoreCubeFileTest, BytesAfterTheEndAreDamaged)
{
    writeBytes(mBytes + "x");
    EXPECT_TRUE(mentions(readFailure(), "it has bytes after its end"));
}

TEST_F(StoreCubeFileTest, AChangedByteFailsTheChecksum)
{
    std::string bytes = mBytes;
    bytes[bytes.size() - 3] ^= 0x20;
    writeBytes(bytes);
    const platform::Failure failure = readFailure(true);
    EXPECT_EQ(failure.number(), platform::err::kPathFileAccess);
    EXPECT_TRUE(mentions(failure, "its checksum does not match its content")) << failure.description();
}

TEST_F(StoreCubeFileTest, WithoutVerifyingAnyChangedByteLoadsOrFailsCleanly)
{
    for (size_t at = bwcformat::kHeaderSize; at < mBytes.size(); ++at) {
        for (const char mask : {'\x01', '\x80', '\xFF'}) {
            std::string bytes = mBytes;
            bytes[at] ^= mask;
            writeBytes(bytes);
            try {
                readBwcFile(mFile, false);
            } catch (const platform::Failure& failure) {
                EXPECT_EQ(failure.number(), platform::err::kPathFileAccess) << at << ": " << failure.description();
            }
        }
    }
}

TEST_F(StoreCubeFileTest, AParentOffTheLevelAboveIsDamaged)
{
    writeSpoiled([](StoreCubeData& data) { data.cube.dimensions[0].hierarchies[0].members[4].parent = 4; });
    EXPECT_TRUE(mentions(readFailure(), "is not on the level above")) << readFailure().description();
}

TEST_F(StoreCubeFileTest, ChildrenApartAreDamaged)
{
    writeSpoiled([](StoreCubeData& data) {
        // Members 3 to 5 are Q1 and Q2 of 1997 and Q1 of 1998; make the first a child of 1998.
        data.cube.dimensions[0].hierarchies[0].members[3].parent = 2;
    });
    EXPECT_TRUE(mentions(readFailure(), "are not next to each other")) << readFailure().description();
}

TEST_F(StoreCubeFileTest, LevelCountsThatDoNotAddUpAreDamaged)
{
    writeSpoiled([](StoreCubeData& data) { data.cube.dimensions[2].hierarchies[0].levels[1].memberCount = 5; });
    EXPECT_TRUE(mentions(readFailure(), "do not follow the level above")) << readFailure().description();
}

TEST_F(StoreCubeFileTest, UnknownTypesAreDamaged)
{
    writeSpoiled([](StoreCubeData& data) { data.cube.dimensions[2].type = DimensionType(7); });
    EXPECT_TRUE(mentions(readFailure(), "unknown dimension type 7")) << readFailure().description();
}

TEST_F(StoreCubeFileTest, ADimensionNamedLikeTheMeasuresIsDamaged)
{
    writeSpoiled([](StoreCubeData& data) { data.cube.dimensions[2].name = "Measures"; });
    EXPECT_TRUE(mentions(readFailure(), "named like the measures dimension")) << readFailure().description();
}
