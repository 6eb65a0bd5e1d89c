#include "platform/services/tempfile.h"

#include "platform/core/failure.h"
#include "support/scratchfolder.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

using namespace platform;

// The folder is $TMPDIR; every file made there is new.
TEST(TempFile, EveryCallMakesANewEmptyFileNamedPrefixHexNumberTmpInTmpdir)
{
    ScratchFolder folder;
    ScopedEnvironment tmpdir("TMPDIR", folder.path().c_str());
    std::set<std::filesystem::path> made;
    for (int i = 0; i < 100; ++i) {
        const std::filesystem::path file = createTempFile("bwt");
        ASSERT_EQ(file.parent_path(), folder.path());
        EXPECT_TRUE(std::regex_match(file.filename().string(), std::regex("bwt[0-9A-F]+\\.tmp"))) << file;
        EXPECT_EQ(std::filesystem::file_size(file), 0u);
        made.insert(file);
    }
    EXPECT_EQ(made.size(), 100u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 100);
}

TEST(TempFile, AMissingTempFolderGivesAnEmptyPathAndTheSystemError)
{
    ScratchFolder folder;
    ScopedEnvironment missing("TMPDIR", (folder / "missing").c_str());
    EXPECT_TRUE(createTempFile("bwt").empty());
    EXPECT_EQ(lastPlatformError(), ENOENT);
}
