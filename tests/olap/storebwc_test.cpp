// Store cube files: every kind of damage is refused with the file's name and
// the right number. (What is written is read back whole by the store model's
// tests, storemodel_test.cpp, which load these files.)
#include "olap/store/bwcfile.h"
#include "olap/store/storeloader.h"
#include "olaptestsupport.h"

#include <functional>

using namespace olap;
using olaptest::failureOf;
using olaptest::HasSubstr;

namespace {

// A store cube file extracted from the sales cube.
class StoreCubeFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        olaptest::writeSalesCube(mFolder / "Sales.cub");
        writeStoreCompanion(mFolder / "Sales.bwf", {true, "Measure List"});
        ASSERT_TRUE(extractStoreCube((mFolder / "app").string(), "Sales", mFile, 1));
        mBytes = textOf(mFile);
    }

    platform::Failure readFailure(const std::string& bytes, bool verify = true)
    {
        writeText(mFile, bytes);
        return failureOf([&] { readBwcFile(mFile, verify); });
    }

    ScratchFolder mFolder;
    std::filesystem::path mFile = mFolder / "Sales.BWC";
    std::string mBytes;
};

// `bytes` with the version (the uint32 after the magic) replaced by `version`.
std::string withVersion(std::string bytes, char version)
{
    bytes[8] = version;
    return bytes;
}

}  // namespace

TEST_F(StoreCubeFileTest, ForeignNewerAndDamagedFilesAreRefusedByNumberAndName)
{
    std::string changed = mBytes;
    changed[changed.size() - 3] ^= 0x20;
    const struct { std::string bytes; int number; const char* message; } cases[] = {
        {textOf(mFolder / "Sales.cub"), platform::err::kBadFileName, ": is not a store cube file"},
        {withVersion(mBytes, 2), platform::err::kBadFileName,
         "written by a newer version (format 2; this program reads up to 1)"},
        {withVersion(mBytes, 2).substr(0, 12), platform::err::kBadFileName, "written by a newer version"},
        {withVersion(mBytes, 0), platform::err::kPathFileAccess, ""},
        {mBytes + "x", platform::err::kPathFileAccess, "it has bytes after its end"},
        {changed, platform::err::kPathFileAccess, "its checksum does not match its content"},
    };
    for (const auto& test : cases) {
        const platform::Failure failure = readFailure(test.bytes);
        EXPECT_EQ(failure.number(), test.number) << test.message;
        EXPECT_THAT(failure.description(), HasSubstr(mFile.string()));
        EXPECT_THAT(failure.description(), HasSubstr(test.message));
    }
    std::filesystem::remove(mFile);
    const platform::Failure missing = failureOf([&] { readBwcFile(mFile, true); });
    EXPECT_EQ(missing.number(), platform::err::kFileNotFound);
    EXPECT_THAT(missing.description(), HasSubstr(mFile.string()));
}

// Without the checksum, the structure checks keep a cut or a changed byte
// from doing harm: a cut file is damaged, a changed one loads or fails as
// damaged.
TEST_F(StoreCubeFileTest, WithoutVerifyingEveryCutIsDamagedAndAnyChangedByteLoadsOrFailsCleanly)
{
    for (size_t at = 12; at < mBytes.size(); ++at) {  // past the magic and the version
        const platform::Failure cut = readFailure(mBytes.substr(0, at), false);
        EXPECT_EQ(cut.number(), platform::err::kPathFileAccess) << at;
        EXPECT_THAT(cut.description(), HasSubstr("the store cube file is damaged (it ends early)"));
        for (const char mask : {'\x01', '\xFF'}) {
            std::string bytes = mBytes;
            bytes[at] ^= mask;
            writeText(mFile, bytes);
            try {
                readBwcFile(mFile, false);
            } catch (const platform::Failure& failure) {
                EXPECT_EQ(failure.number(), platform::err::kPathFileAccess) << at << ": " << failure.description();
            }
        }
    }
}

// Each case spoils what the file says, then writes it as the writer would,
// checksum included; reading it finds the damage.
TEST_F(StoreCubeFileTest, AnInconsistentCubeIsDamaged)
{
    const std::pair<std::function<void(CubeInfo&)>, const char*> cases[] = {
        {[](CubeInfo& cube) { cube.dimensions[0].hierarchies[0].members[4].parent = 4; }, "is not on the level above"},
        // Members 3 to 5 are Q1 and Q2 of 1997 and Q1 of 1998; the first becomes a child of 1998.
        {[](CubeInfo& cube) { cube.dimensions[0].hierarchies[0].members[3].parent = 2; }, "are not next to each other"},
        {[](CubeInfo& cube) { cube.dimensions[2].hierarchies[0].levels[1].memberCount = 5; },
         "do not follow the level above"},
        {[](CubeInfo& cube) { cube.dimensions[2].type = DimensionType(7); }, "unknown dimension type 7"},
        {[](CubeInfo& cube) { cube.dimensions[2].name = "Measures"; }, "named like the measures dimension"},
    };
    const StoreCubeData good = readBwcFile(mFile, true);
    for (const auto& [spoil, message] : cases) {
        StoreCubeData data = good;
        spoil(data.cube);
        writeBwcFile(mFile, data);
        EXPECT_THAT(failureOf([&] { readBwcFile(mFile, true); }).description(), HasSubstr(message));
    }
}
