#include "platform/services/tempfile.h"

#include "support/scratchfolder.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

using namespace platform;

namespace {

// Points TMPDIR at a scratch folder so that the tests see every file they make.
class TempFileTest : public testing::Test {
protected:
    ScratchFolder mFolder;
    ScopedEnvironment mTmpdir{"TMPDIR", mFolder.path().c_str()};
};

}  // namespace

TEST_F(TempFileTest, TheTempFolderIsTmpdir)
{
    EXPECT_EQ(tempFolder(), mFolder.path());
}

TEST_F(TempFileTest, WithoutTmpdirTheTempFolderIsSlashTmp)
{
    for (const char* value : {static_cast<const char*>(nullptr), ""}) {
        ScopedEnvironment unset("TMPDIR", value);
        EXPECT_EQ(tempFolder(), "/tmp");
    }
}

TEST_F(TempFileTest, ANewFileIsEmptyAndNamedPrefixHexNumberTmp)
{
    const std::filesystem::path made = createTempFile("bwt");
    ASSERT_FALSE(made.empty());
    EXPECT_EQ(made.parent_path(), mFolder.path());
    EXPECT_TRUE(std::regex_match(made.filename().string(), std::regex("bwt[0-9A-F]+\\.tmp")))
        << made.filename();
    EXPECT_TRUE(std::filesystem::is_regular_file(made));
    EXPECT_EQ(std::filesystem::file_size(made), 0u);
}

TEST_F(TempFileTest, ManyCallsNeverReturnTheSameFile)
{
    constexpr size_t kCalls = 500;
    std::set<std::filesystem::path> made;
    for (size_t i = 0; i < kCalls; ++i)
        made.insert(createTempFile("bwt"));
    EXPECT_EQ(made.size(), kCalls);
    EXPECT_EQ(made.count({}), 0u);
    EXPECT_EQ(size_t(std::distance(std::filesystem::directory_iterator(mFolder.path()), {})), kCalls);
}

TEST_F(TempFileTest, AMissingTempFolderGivesAnEmptyPath)
{
    ScopedEnvironment missing("TMPDIR", (mFolder / "missing").c_str());
    EXPECT_TRUE(createTempFile("bwt").empty());
}
