#include "platform/services/ziparchive.h"

#include "platform/core/failure.h"
#include "platform/zipcontents.h"
#include "support/scratchfolder.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace platform;
using Entries = std::map<std::string, std::string>;

namespace {

class ZipArchiveTest : public testing::Test {
protected:
    ScratchFolder mFolder;
    std::filesystem::path mArchive = mFolder / "report.zip";

    std::filesystem::path make(const std::string& name, const std::string& content)
    {
        const std::filesystem::path path = mFolder / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
};

}  // namespace

TEST_F(ZipArchiveTest, EntriesAreTheFilesNamesWithTheirContent)
{
    ZipArchive archive(mArchive);
    archive.addFile(make("Error Logs/BWError.log", "record\r\n"));
    archive.addFile(make("Brennlow.bws", std::string("\0\1binary", 8)));
    archive.write();
    EXPECT_EQ(zipContents(mArchive), (Entries{{"BWError.log", "record\r\n"}, {"Brennlow.bws", std::string("\0\1binary", 8)}}));
}

TEST_F(ZipArchiveTest, AFileIsFoundWhateverTheLetterCaseOfItsName)
{
    make("Error Logs/screenShot.bmp", "BM");
    ZipArchive archive(mArchive);
    archive.addFile(mFolder / "Error Logs/screenshot.bmp");
    archive.write();
    EXPECT_EQ(zipContents(mArchive), (Entries{{"screenshot.bmp", "BM"}}));
}

TEST_F(ZipArchiveTest, ANameThatDiffersOnlyInLetterCaseReplacesTheEntry)
{
    ZipArchive archive(mArchive);
    archive.addFile(make("a/screenShot.bmp", "first"));
    archive.addFile(make("b/SCREENSHOT.BMP", "second"));
    EXPECT_EQ(archive.entryNames(), std::vector<std::string>{"SCREENSHOT.BMP"});
    archive.write();
    EXPECT_EQ(zipContents(mArchive), (Entries{{"SCREENSHOT.BMP", "second"}}));
}

TEST_F(ZipArchiveTest, AnArchiveWithoutEntriesIsStillAValidArchive)
{
    ZipArchive(mArchive).write();
    ASSERT_TRUE(std::filesystem::exists(mArchive));
    EXPECT_EQ(zipContents(mArchive), Entries{});
}

TEST_F(ZipArchiveTest, AMissingFileIsFileNotFoundAndLeavesTheArchiveAsItWas)
{
    ZipArchive archive(mArchive);
    archive.addFile(make("kept.txt", "kept"));
    try {
        archive.addFile(mFolder / "gone.bws");
        FAIL() << "a missing file was added";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), err::kFileNotFound);
        EXPECT_NE(failure.description().find("gone.bws"), std::string::npos) << failure.description();
    }
    archive.write();
    EXPECT_EQ(zipContents(mArchive), (Entries{{"kept.txt", "kept"}}));
}

TEST_F(ZipArchiveTest, AFileThatVanishesAfterItWasAddedIsStillWritten)
{
    ZipArchive archive(mArchive);
    const auto file = make("screenShot.bmp", "picture");
    archive.addFile(file);
    std::filesystem::remove(file);
    archive.write();
    EXPECT_EQ(zipContents(mArchive), (Entries{{"screenShot.bmp", "picture"}}));
}

TEST_F(ZipArchiveTest, WritingReplacesAnExistingFile)
{
    make("report.zip", "not an archive");
    ZipArchive archive(mArchive);
    archive.addFile(make("one.txt", "1"));
    archive.write();
    EXPECT_EQ(zipContents(mArchive), (Entries{{"one.txt", "1"}}));
}

TEST_F(ZipArchiveTest, AnArchiveThatCannotBeWrittenIsAFailureAndLeavesNothing)
{
    for (const bool empty : {true, false}) {
        ZipArchive archive(mFolder / "no such folder" / "report.zip");
        if (!empty)
            archive.addFile(make("one.txt", "1"));
        EXPECT_THROW(archive.write(), Failure) << (empty ? "empty" : "with an entry");
    }
    EXPECT_FALSE(std::filesystem::exists(mFolder / "no such folder"));
}
