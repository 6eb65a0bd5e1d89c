// The one safe-write path, judged by what the file system shows afterwards:
// content, inode, mode, links and leftovers. A failing flush is a real
// failing call: this program stands in for the C library's fsync.
#include "platform/core/safewrite.h"

#include "platform/core/failure.h"
#include "support/children.h"
#include "support/failureof.h"
#include "support/scratchfolder.h"
#include "support/textfile.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>

#include <csignal>
#include <regex>
#include <set>

using namespace platform;
namespace fs = std::filesystem;

namespace {
int gFailingSync = 0;   // which coming call of fsync fails with EIO (1: the next); 0: none
}

extern "C" int fsync(int fd)
{
    static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
    if (gFailingSync > 0 && --gFailingSync == 0) {
        errno = EIO;
        return -1;
    }
    return real(fd);
}

namespace {

class SafeWriteTest : public testing::Test {
protected:
    void SetUp() override { writeText(mFile, "old"); }
    void TearDown() override { gFailingSync = 0; }
    std::set<std::string> names() const
    {
        std::set<std::string> found;
        for (const auto& entry : fs::directory_iterator(mFolder.path()))
            found.insert(entry.path().filename().string());
        return found;
    }

    ScratchFolder mFolder;
    fs::path mFile = mFolder / "book.xlsx";
    const std::set<std::string> kJustTheFile{"book.xlsx"};
};

TEST_F(SafeWriteTest, AnExistingFileKeepsItsModeAndANewOneGetsTheCreationMask)
{
    // the file's mode before (0: no file), the creation mask, the mode after
    for (const auto& [existing, mask, expected] : {std::tuple<mode_t, mode_t, mode_t>{0640, 022, 0640},
                                                   {0604, 077, 0604}, {0, 027, 0640}, {0, 002, 0664}}) {
        SCOPED_TRACE(testing::Message() << std::oct << existing << " umask " << mask);
        fs::remove(mFile);
        struct stat before {};
        if (existing) {
            writeText(mFile, "old");
            ::chmod(mFile.c_str(), existing);
            ::stat(mFile.c_str(), &before);
        }
        const mode_t previous = ::umask(mask);
        replaceFile(mFile, "new");
        ::umask(previous);
        struct stat after {};
        ASSERT_EQ(::stat(mFile.c_str(), &after), 0);
        EXPECT_EQ(textOf(mFile), "new");
        EXPECT_EQ(after.st_mode & 07777, expected);
        EXPECT_NE(after.st_ino, before.st_ino) << "written in place, not renamed into place";
        EXPECT_EQ(names(), kJustTheFile);
    }
}

TEST_F(SafeWriteTest, ALinkIsFollowedAndStaysALink)
{
    fs::create_directory(mFolder / "real");
    writeText(mFolder / "real/one.xlsx", "old");
    // link, where it points (from the link's folder), the file at the end of the chain
    for (const auto& [link, pointsTo, file] : {std::tuple{"one.xlsx", "real/one.xlsx", "real/one.xlsx"},
                                               std::tuple{"missing.xlsx", "real/new.xlsx", "real/new.xlsx"},
                                               std::tuple{"chain.xlsx", "one.xlsx", "real/one.xlsx"}}) {
        SCOPED_TRACE(link);
        fs::create_symlink(pointsTo, mFolder / link);
        replaceFile(mFolder / link, link);
        EXPECT_TRUE(fs::is_symlink(mFolder / link));
        EXPECT_EQ(textOf(mFolder / file), link);
    }
}

TEST_F(SafeWriteTest, AFailedFlushOrAnImpossibleTargetFailsAndLeavesTheOriginal)
{
    fs::create_symlink("loop.xlsx", mFolder / "loop.xlsx");
    // the target, which call of fsync fails (0: none), the system's error
    for (const auto& [target, failingSync, error] : {std::tuple{mFile, 1, EIO},
                                                     {mFolder / "missing/book.xlsx", 0, ENOENT},
                                                     {mFolder / "loop.xlsx", 0, ELOOP}}) {
        SCOPED_TRACE(target);
        gFailingSync = failingSync;
        const Failure failure = testsupport::failureOf([&, &target = target] { replaceFile(target, "new"); });
        EXPECT_EQ(failure.lastDllError(), error);
        EXPECT_NE(failure.description().find(target.string()), std::string::npos) << failure.description();
    }
    EXPECT_EQ(textOf(mFile), "old");
    EXPECT_EQ(names(), (std::set<std::string>{"book.xlsx", "loop.xlsx"}));
}

TEST_F(SafeWriteTest, AFailedFlushOfTheFolderIsReportedAfterTheRename)
{
    SafeWrite save(mFile);
    writeText(save.temporary(), "new");
    gFailingSync = 2;
    EXPECT_THROW(save.commit(), Failure);
    EXPECT_TRUE(save.replaced());
    EXPECT_EQ(textOf(mFile), "new");
}

// libzip writes its own file beside ours and renames it over ours.
TEST_F(SafeWriteTest, AFileALibraryRenamedOverTheTemporaryIsCommittedWithTheTargetsMode)
{
    ::chmod(mFile.c_str(), 0640);
    SafeWrite save(mFile);
    const fs::path own = save.temporary().string() + ".Ab3dE9";
    writeText(own, "from the library");
    ::chmod(own.c_str(), 0600);
    fs::rename(own, save.temporary());
    save.commit();
    EXPECT_EQ(textOf(mFile), "from the library");
    EXPECT_EQ(fs::status(mFile).permissions(), fs::perms(0640));
    EXPECT_EQ(names(), kJustTheFile);
}

// Destroyed unfinished (the filler threw), the write removes its temporary
// file; killed, it leaves one that its name shows to be ours.
TEST_F(SafeWriteTest, AnUnfinishedWriteLeavesTheOriginal)
{
    writeText(SafeWrite(mFile).temporary(), "half");   // the write is destroyed at the end of the line
    EXPECT_EQ(names(), kJustTheFile);
    const std::vector<int> killed = runChildren(1, [&](int) {
        SafeWrite save(mFile);
        writeText(save.temporary(), "half");
        return ::raise(SIGKILL);
    });
    ASSERT_TRUE(WIFSIGNALED(killed[0]));
    EXPECT_EQ(textOf(mFile), "old");
    const std::set<std::string> left = names();
    ASSERT_EQ(left.size(), 2u);
    EXPECT_TRUE(std::regex_match(*left.begin(), std::regex("\\.book\\.xlsx\\.[A-Za-z0-9]{6}\\.tmp"))) << *left.begin();
    // The next save of the file removes what the killed one left.
    replaceFile(mFile, "new");
    EXPECT_EQ(names(), kJustTheFile);
}

// Only temporaries of the target itself go, both ours and the ones libzip
// writes in their place; files of other targets or of other names stay, and
// so does everything while another save is still open in the folder.
TEST_F(SafeWriteTest, StaleTemporariesOfTheTargetAloneAreRemovedWhenNoSaveIsRunning)
{
    const std::set<std::string> stale{".book.xlsx.Ab3dE9.tmp", ".book.xlsx.Ab3dE9.tmp.x1Y2z3"};
    const std::set<std::string> strangers{".other.xlsx.Ab3dE9.tmp", ".book.xlsx.Ab3d.tmp", "book.xlsx.Ab3dE9.tmp",
                                          ".book.xlsx.Ab3dE9.tmp.bak", ".book.xlsx.Ab-dE9.tmp", ".book.xlsx.Ab3dE9.tmpx"};
    for (const std::string& name : stale)
        writeText(mFolder / name, "left by a killed save");
    for (const std::string& name : strangers)
        writeText(mFolder / name, "someone else's");
    fs::create_directory(mFolder / ".book.xlsx.Folder.tmp");
    fs::create_symlink(mFile, mFolder / ".book.xlsx.LinkTo.tmp");

    // A save still open, in this process or another, keeps the folder from being cleaned.
    {
        SafeWrite running(mFolder / "running.xlsx");
        replaceFile(mFile, "while another saves");
        for (const std::string& name : stale)
            EXPECT_TRUE(fs::exists(mFolder / name)) << name;
    }
    replaceFile(mFile, "alone");
    for (const std::string& name : stale)
        EXPECT_FALSE(fs::exists(mFolder / name)) << name;
    for (const std::string& name : strangers)
        EXPECT_EQ(textOf(mFolder / name), "someone else's") << name;
    EXPECT_TRUE(fs::is_directory(mFolder / ".book.xlsx.Folder.tmp"));
    EXPECT_TRUE(fs::is_symlink(mFolder / ".book.xlsx.LinkTo.tmp"));
    EXPECT_EQ(textOf(mFile), "alone");
}

}  // namespace
