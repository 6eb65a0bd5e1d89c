#include "platform/services/iniprofile.h"

#include "platform/core/failure.h"
#include "support/scratchfolder.h"
#include "support/textfile.h"

#include <gtest/gtest.h>

#include <string>

using namespace platform;

namespace {

class IniProfileTest : public testing::Test {
protected:
    std::filesystem::path file() const { return mFolder / "wizard.ini"; }
    // Writes `content` as the file; null removes the file.
    void write(const char* content) const
    {
        std::filesystem::remove(file());
        if (content)
            writeText(file(), content);
    }

    ScratchFolder mFolder;
};

TEST_F(IniProfileTest, ReadingAString)
{
    // the file (null: none), section, key, default, buffer size, what is read
    const std::tuple<const char*, const char*, const char*, const char*, size_t, const char*> cases[] = {
        {"[Defaults]\nInstalled=/opt/bw\n", "DEFAULTS", "installed", "none", 255, "/opt/bw"},
        {"  [ Defaults ]  \n\t Installed  =   /opt/bw  \t\n", "Defaults", "Installed", "none", 255, "/opt/bw"},
        {"[S]\nA=\"quoted value\"\n", "S", "A", "none", 255, "quoted value"},
        {"[S]\nA=\"unbalanced\n", "S", "A", "none", 255, "\"unbalanced"},
        {"[S]\nA=\"\"inner\"\"\n", "S", "A", "none", 255, "\"inner\""},
        {"[One]\r\nA=1\r\n[Two]\r\nA=2\r\n", "Two", "A", "none", 255, "2"},
        {"[S]\nA=first\nA=second\n[S]\nA=third\nB=later\n", "S", "A", "none", 255, "first"},
        {"[S]\nA=first\n[S]\nB=later\n", "S", "B", "none", 255, "none"},
        {"A=before any section\n[S]\n;A=commented\n[T]\nA=other section\n", "S", "A", "none", 255, "none"},
        {nullptr, "S", "A", "  fallback  ", 255, "  fallback"},
        {"[S]\nB=1\n", "S", "A", "fallback \t", 255, "fallback"},
        {"[S]\nA=\n", "S", "A", "none", 255, ""},
        {"[S]\nA=abcdef\n", "S", "A", "", 4, "abc"},
        {"[S]\nA=abcdef\n", "S", "A", "", 0, ""},
        {"[S]\nA=abcdef\n", "S", "Missing", "xyz", 3, "xy"},
    };
    for (const auto& [text, section, key, fallback, bufferSize, expected] : cases) {
        write(text);
        EXPECT_EQ(readProfileString(file(), section, key, fallback, bufferSize), expected) << (text ? text : "-") << key;
    }
}

TEST_F(IniProfileTest, ReadingTheLeadingNumberOfAValue)
{
    const std::pair<const char*, int32_t> cases[] = {
        {"N=42", 42}, {"N=-7", -7}, {"N=+5", 5},  {"N=12abc", 12}, {"N=abc", 0},
        {"N=0x1F", 31}, {"N=0xzz", 0}, {"N=3.9", 3}, {"N=4294967295", -1}, {"N=", -99}, {"Other=1", -99},
    };
    for (const auto& [line, expected] : cases) {
        write(("[S]\n" + std::string(line) + "\n").c_str());
        EXPECT_EQ(readProfileInt(file(), "S", "N", -99), expected) << line;
    }
    EXPECT_EQ(readProfileInt(mFolder / "absent.ini", "S", "N", 18), 18);
}

TEST_F(IniProfileTest, WritingChangesOnlyTheLineItConcerns)
{
    // the file before (null: none), section, key, value, the file after
    const std::tuple<const char*, const char*, const char*, const char*, const char*> cases[] = {
        {nullptr, "Defaults", "Installed", "/opt/bw", "[Defaults]\nInstalled=/opt/bw\n"},
        {"; settings\n[S]\nfirst = 1\n  Name = old  \n\nlast=3\n[T]\nName=other\n", "s", "NAME", "new",
         "; settings\n[S]\nfirst = 1\nName=new\n\nlast=3\n[T]\nName=other\n"},
        {"[S]\nA=1\n\n[T]\nB=2\n", "S", "C", "3", "[S]\nA=1\nC=3\n\n[T]\nB=2\n"},
        {"[S]\nA=1", "T", "B", "2", "[S]\nA=1\n[T]\nB=2\n"},
        {"[S]\r\nA=1\r\n", "S", "B", "2", "[S]\r\nA=1\r\nB=2\r\n"},
        {"[S]\nA=1\n", "S", "A", "", "[S]\nA=\n"},
    };
    for (const auto& [before, section, key, value, after] : cases) {
        write(before);
        ASSERT_TRUE(writeProfileString(file(), section, key, value));
        EXPECT_EQ(textOf(file()), after) << (before ? before : "-");
    }
}

TEST_F(IniProfileTest, WritingIntoAMissingFolderFailsWithTheSystemError)
{
    setLastPlatformError(0);
    EXPECT_FALSE(writeProfileString(mFolder / "missing/wizard.ini", "S", "A", "1"));
    EXPECT_EQ(lastPlatformError(), ENOENT);
}

TEST_F(IniProfileTest, ASectionIsListedAsNulSeparatedEntriesEndedByTwoNuls)
{
    // the file, section, the buffer after the call (its size is the buffer's), the count returned
    const std::string listed("a=1\0flag\0b=\0\0", 13);
    const std::tuple<const char*, const char*, std::string, size_t> cases[] = {
        {"[S]\n a = 1 \n; comment\n\nflag\nb=\n[T]\nc=3\n", "s", listed + std::string(19, ' '), 12},
        {"[S]\nalpha=1\nbeta=2\n", "S", std::string("alpha=1\0\0\0", 10), 8},
        {"[Empty]\n[S]\nA=1\n", "Empty", std::string("\0\0      ", 8), 0},
        {"[Empty]\n[S]\nA=1\n", "Missing", std::string("\0\0      ", 8), 0},
    };
    for (const auto& [text, section, after, copied] : cases) {
        write(text);
        std::string buffer(after.size(), ' ');
        EXPECT_EQ(readProfileSection(file(), section, buffer), copied) << text;
        EXPECT_EQ(buffer, after) << text;
    }
}

}  // namespace
