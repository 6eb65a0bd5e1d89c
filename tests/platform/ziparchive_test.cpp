#include "platform/services/ziparchive.h"

#include "platform/core/failure.h"
#include "platform/zipcontents.h"
#include "support/failureof.h"
#include "support/scratchfolder.h"
#include "support/textfile.h"

#include <gtest/gtest.h>

using namespace platform;
using Entries = std::map<std::string, std::string>;

namespace {

class ZipArchiveTest : public testing::Test {
protected:
    std::filesystem::path make(const std::string& name, const std::string& content)
    {
        const std::filesystem::path path = mFolder / name;
        std::filesystem::create_directories(path.parent_path());
        writeText(path, content);
        return path;
    }

    ScratchFolder mFolder;
    std::filesystem::path mArchive = mFolder / "report.zip";
};

// Names are looked up on disk and compared among entries without regard to
// letter case; the content is read when a file is added.
TEST_F(ZipArchiveTest, EntriesAreTheFilesNamesWithTheContentTheyHadWhenAdded)
{
    make("report.zip", "not an archive");
    make("Error Logs/screenShot.bmp", "BM");
    ZipArchive archive(mArchive);
    archive.addFile(make("Error Logs/BWError.log", "record\r\n"));
    archive.addFile(make("Brennlow.bws", std::string("\0\1binary", 8)));
    archive.addFile(mFolder / "Error Logs/screenshot.bmp");
    archive.addFile(make("a/Vanishing.txt", "first"));
    archive.addFile(make("b/VANISHING.TXT", "second"));
    std::filesystem::remove_all(mFolder / "b");
    EXPECT_EQ(archive.entryNames(), (std::vector<std::string>{"BWError.log", "Brennlow.bws", "screenshot.bmp", "VANISHING.TXT"}));
    archive.write();
    EXPECT_EQ(zipContents(mArchive), (Entries{{"BWError.log", "record\r\n"}, {"Brennlow.bws", std::string("\0\1binary", 8)},
                                              {"screenshot.bmp", "BM"}, {"VANISHING.TXT", "second"}}));
}

TEST_F(ZipArchiveTest, AnArchiveWithoutEntriesIsStillAValidArchive)
{
    ZipArchive(mArchive).write();
    EXPECT_EQ(zipContents(mArchive), Entries{});
}

TEST_F(ZipArchiveTest, AMissingFileIsFileNotFoundAndLeavesTheArchiveAsItWas)
{
    ZipArchive archive(mArchive);
    archive.addFile(make("kept.txt", "kept"));
    const Failure failure = testsupport::failureOf([&] { archive.addFile(mFolder / "gone.bws"); });
    EXPECT_EQ(failure.number(), err::kFileNotFound);
    EXPECT_NE(failure.description().find("gone.bws"), std::string::npos) << failure.description();
    archive.write();
    EXPECT_EQ(zipContents(mArchive), (Entries{{"kept.txt", "kept"}}));
}

}  // namespace
