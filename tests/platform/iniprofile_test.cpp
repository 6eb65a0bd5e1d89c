#include "platform/services/iniprofile.h"

#include "platform/core/failure.h"
#include "support/scratchfolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <ostream>
#include <sstream>
#include <string>

using namespace platform;

namespace {

class IniProfileTest : public testing::Test {
protected:
    std::filesystem::path file() const { return mFolder / "wizard.ini"; }
    void write(const std::string& content) const { std::ofstream(file(), std::ios::binary) << content; }
    std::string content() const
    {
        std::ifstream in(file(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string read(std::string_view section, std::string_view key, std::string_view fallback = "none",
                     size_t bufferSize = 255) const
    {
        return readProfileString(file(), section, key, fallback, bufferSize);
    }

    ScratchFolder mFolder;
};

}  // namespace

TEST_F(IniProfileTest, ReadingFindsSectionAndKeyWithoutRegardToCase)
{
    write("[Defaults]\nInstalled=/opt/bw\n");
    EXPECT_EQ(read("DEFAULTS", "installed"), "/opt/bw");
}

TEST_F(IniProfileTest, ReadingTrimsNamesAndValues)
{
    write("  [ Defaults ]  \n\t Installed  =   /opt/bw  \t\n");
    EXPECT_EQ(read("Defaults", "Installed"), "/opt/bw");
}

TEST_F(IniProfileTest, ReadingDropsOnePairOfEnclosingQuotes)
{
    write("[S]\nA=\"quoted value\"\nB='single'\nC=\"unbalanced\nD=\"\"inner\"\"\n");
    EXPECT_EQ(read("S", "A"), "quoted value");
    EXPECT_EQ(read("S", "B"), "single");
    EXPECT_EQ(read("S", "C"), "\"unbalanced");
    EXPECT_EQ(read("S", "D"), "\"inner\"");
}

TEST_F(IniProfileTest, ReadingAcceptsCrLfLineEnds)
{
    write("[One]\r\nA=1\r\n[Two]\r\nA=2\r\n");
    EXPECT_EQ(read("Two", "A"), "2");
}

TEST_F(IniProfileTest, TheFirstOfTwoEqualSectionsOrKeysCounts)
{
    write("[S]\nA=first\nA=second\n[S]\nA=third\nB=later\n");
    EXPECT_EQ(read("S", "A"), "first");
    EXPECT_EQ(read("S", "B"), "none");
}

TEST_F(IniProfileTest, CommentsAndKeysOfOtherSectionsAreNotEntries)
{
    write("A=before any section\n[S]\n;A=commented\n[T]\nA=other section\n");
    EXPECT_EQ(read("S", "A"), "none");
}

TEST_F(IniProfileTest, AMissingFileSectionOrKeyGivesTheDefaultWithoutTrailingBlanks)
{
    EXPECT_EQ(read("S", "A", "  fallback  "), "  fallback");
    write("[S]\nB=1\n");
    EXPECT_EQ(read("S", "A", "fallback \t"), "fallback");
    EXPECT_EQ(read("Other", "B", "fallback"), "fallback");
}

TEST_F(IniProfileTest, AnEmptyValueIsFoundAndEmpty)
{
    write("[S]\nA=\n");
    EXPECT_EQ(read("S", "A"), "");
}

TEST_F(IniProfileTest, ReadingCutsTheValueToOneLessThanTheBufferSize)
{
    write("[S]\nA=abcdef\n");
    EXPECT_EQ(read("S", "A", "", 4), "abc");
    EXPECT_EQ(read("S", "A", "", 1), "");
    EXPECT_EQ(read("S", "A", "", 0), "");
    EXPECT_EQ(read("S", "Missing", "xyz", 3), "xy");
}

struct IntegerCase {
    const char* value;
    int32_t expected;
};

static void PrintTo(const IntegerCase& c, std::ostream* out) { *out << '"' << c.value << "\" -> " << c.expected; }

class IniProfileInteger : public IniProfileTest, public testing::WithParamInterface<IntegerCase> {};

TEST_P(IniProfileInteger, ReadsTheLeadingNumberOfTheValue)
{
    write(std::string("[S]\nN=") + GetParam().value + "\n");
    EXPECT_EQ(readProfileInt(file(), "S", "N", -99), GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, IniProfileInteger,
                         testing::Values(IntegerCase{"42", 42}, IntegerCase{"-7", -7}, IntegerCase{"+5", 5},
                                         IntegerCase{"12abc", 12}, IntegerCase{"abc", 0}, IntegerCase{"-", 0},
                                         IntegerCase{"0x1F", 31}, IntegerCase{"0xzz", 0}, IntegerCase{"3.9", 3},
                                         IntegerCase{"4294967295", -1}, IntegerCase{"", -99}));

TEST_F(IniProfileTest, AMissingIntegerGivesTheDefault)
{
    write("[S]\nN=1\n");
    EXPECT_EQ(readProfileInt(file(), "S", "Missing", 17), 17);
    EXPECT_EQ(readProfileInt(mFolder / "absent.ini", "S", "N", 18), 18);
}

TEST_F(IniProfileTest, WritingCreatesTheFileAndTheSection)
{
    ASSERT_TRUE(writeProfileString(file(), "Defaults", "Installed", "/opt/bw"));
    EXPECT_EQ(content(), "[Defaults]\nInstalled=/opt/bw\n");
}

TEST_F(IniProfileTest, WritingReplacesTheEntryInPlaceAndKeepsEveryOtherLine)
{
    write("; settings\n[S]\nfirst = 1\n  Name = old  \n\nlast=3\n[T]\nName=other\n");
    ASSERT_TRUE(writeProfileString(file(), "s", "NAME", "new"));
    EXPECT_EQ(content(), "; settings\n[S]\nfirst = 1\nName=new\n\nlast=3\n[T]\nName=other\n");
}

TEST_F(IniProfileTest, ANewKeyGoesAfterTheLastLineOfItsSection)
{
    write("[S]\nA=1\n\n[T]\nB=2\n");
    ASSERT_TRUE(writeProfileString(file(), "S", "C", "3"));
    EXPECT_EQ(content(), "[S]\nA=1\nC=3\n\n[T]\nB=2\n");
}

TEST_F(IniProfileTest, ANewSectionGoesAtTheEnd)
{
    write("[S]\nA=1");
    ASSERT_TRUE(writeProfileString(file(), "T", "B", "2"));
    EXPECT_EQ(content(), "[S]\nA=1\n[T]\nB=2\n");
}

TEST_F(IniProfileTest, WritingKeepsCrLfLineEnds)
{
    write("[S]\r\nA=1\r\n");
    ASSERT_TRUE(writeProfileString(file(), "S", "B", "2"));
    EXPECT_EQ(content(), "[S]\r\nA=1\r\nB=2\r\n");
}

TEST_F(IniProfileTest, WritingAnEmptyValueKeepsTheEntryLine)
{
    write("[S]\nA=1\n");
    ASSERT_TRUE(writeProfileString(file(), "S", "A", ""));
    EXPECT_EQ(content(), "[S]\nA=\n");
}

TEST_F(IniProfileTest, WritingReplacesTheFileAsAWholeAndLeavesNoTemporaryFile)
{
    write("[S]\nA=1\n");
    struct stat before {};
    ASSERT_EQ(::stat(file().c_str(), &before), 0);
    ASSERT_TRUE(writeProfileString(file(), "S", "A", "2"));
    struct stat after {};
    ASSERT_EQ(::stat(file().c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino) << "the file was rewritten in place";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(mFolder.path()), {}), 1);
}

TEST_F(IniProfileTest, WritingKeepsTheFilePermissions)
{
    write("[S]\nA=1\n");
    std::filesystem::permissions(file(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write
                                             | std::filesystem::perms::group_read);
    ASSERT_TRUE(writeProfileString(file(), "S", "A", "2"));
    EXPECT_EQ(std::filesystem::status(file()).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write
                  | std::filesystem::perms::group_read);
}

TEST_F(IniProfileTest, WritingThroughASymbolicLinkChangesTheTarget)
{
    write("[S]\nA=1\n");
    const std::filesystem::path link = mFolder / "link.ini";
    std::filesystem::create_symlink(file(), link);
    ASSERT_TRUE(writeProfileString(link, "S", "A", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(content(), "[S]\nA=2\n");
}

TEST_F(IniProfileTest, WritingIntoAMissingFolderFailsWithTheSystemError)
{
    setLastPlatformError(0);
    EXPECT_FALSE(writeProfileString(mFolder / "missing/wizard.ini", "S", "A", "1"));
    EXPECT_EQ(lastPlatformError(), ENOENT);
}

TEST_F(IniProfileTest, ASectionIsListedAsNulSeparatedEntriesEndedByTwoNuls)
{
    write("[S]\n a = 1 \n; comment\n\nflag\nb=\n[T]\nc=3\n");
    std::string buffer(32, ' ');
    const size_t copied = readProfileSection(file(), "s", buffer);
    EXPECT_EQ(copied, 12u);
    EXPECT_EQ(buffer, std::string("a=1\0flag\0b=\0\0", 13) + std::string(19, ' '));
}

TEST_F(IniProfileTest, AListThatDoesNotFitIsCutAndEndsWithTwoNuls)
{
    write("[S]\nalpha=1\nbeta=2\n");
    std::string buffer(10, ' ');
    EXPECT_EQ(readProfileSection(file(), "S", buffer), 8u);
    EXPECT_EQ(buffer, std::string("alpha=1\0\0\0", 10));
}

TEST_F(IniProfileTest, AMissingOrEmptySectionIsListedAsTwoNuls)
{
    write("[Empty]\n[S]\nA=1\n");
    for (const char* section : {"Empty", "Missing"}) {
        std::string buffer(8, ' ');
        EXPECT_EQ(readProfileSection(file(), section, buffer), 0u) << section;
        EXPECT_EQ(buffer, std::string("\0\0      ", 8)) << section;
    }
}
