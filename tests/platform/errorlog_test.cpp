#include "platform/services/errorlog.h"

#include "platform/services/buildinfo.h"
#include "platform/core/failure.h"
#include "support/scratchfolder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <fstream>
#include <sstream>

using namespace platform;

namespace {

ErrorRecord sampleRecord()
{
    ErrorRecord record;
    record.dateTime = "05/03/2024 14:07:09";
    record.dateCompiled = "01/02/2024 09:08:07";
    record.build = "2.0.54";
    record.module = "NxPivotWizardCtrl";
    record.procedure = "bool NxPivotWizardCtrl::CreatePivot()";
    record.number = -2147467259;
    record.description = "Automation error";
    record.lastDllError = 87;
    record.source = "sheet";
    record.userDescription = "Building a report";
    return record;
}

const std::string kSampleText =
    "Date & Time    : 05/03/2024 14:07:09\r\n"
    "Date Compiled  : 01/02/2024 09:08:07\r\n"
    "Build          : 2.0.54\r\n"
    "Module         : NxPivotWizardCtrl\r\n"
    "Procedure      : bool NxPivotWizardCtrl::CreatePivot()\r\n"
    "Number         : -2147467259\r\n"
    "Description    : Automation error\r\n"
    "Last DLL Error : 87\r\n"
    "Source         : sheet\r\n"
    "Description    : Building a report\r\n"
    "------------------------------------------------\r\n";

std::string contentOf(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ErrorLogTest : public testing::Test {
protected:
    ScratchFolder mFolder;
    std::filesystem::path mLog = mFolder / "Error Logs" / "BWError.log";
};

}  // namespace

TEST(ErrorRecordText, IsElevenLinesWithTheLabelsColonInColumn16AndCrLf)
{
    EXPECT_EQ(errorRecordText(sampleRecord()), kSampleText);
}

TEST(ErrorRecordText, FieldLinesAreTheFirstNineLines)
{
    const std::string nine = kSampleText.substr(0, kSampleText.find("Description    : Building"));
    EXPECT_EQ(errorFieldLines(sampleRecord()), nine);
}

TEST(ErrorRecordText, NumbersArePlainDecimalsWithAMinusWhenNegative)
{
    ErrorRecord record = sampleRecord();
    record.number = 0;
    record.lastDllError = -5;
    const std::string text = errorFieldLines(record);
    EXPECT_NE(text.find("\r\nNumber         : 0\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nLast DLL Error : -5\r\n"), std::string::npos) << text;
}

TEST(ErrorRecordText, EveryKindOfLineBreakInADescriptionBecomesCrLf)
{
    ErrorRecord record = sampleRecord();
    for (const char* typed : {"first\nsecond\n\nthird", "first\rsecond\r\rthird", "first\r\nsecond\r\n\r\nthird"}) {
        record.userDescription = typed;
        const std::string text = errorRecordText(record);
        EXPECT_NE(text.find("\r\nDescription    : first\r\nsecond\r\n\r\nthird\r\n-----"), std::string::npos)
            << text;
    }
}

TEST(BuildInfo, VersionIsThreePlainNumbers)
{
    EXPECT_EQ(plainVersion("2.00.0054"), "2.0.54");
    EXPECT_EQ(plainVersion("1.0.1"), "1.0.1");
    EXPECT_EQ(plainVersion("3"), "3.0.0");
    EXPECT_EQ(plainVersion(""), "0.0.0");
    EXPECT_EQ(plainVersion("1.x.7"), "1.0.7");
}

TEST(BuildInfo, TheStampIsDayMonthYearAndTime)
{
    const std::string stamp = buildStamp();
    ASSERT_EQ(stamp.size(), 19u) << stamp;
    EXPECT_EQ(stamp[2], '/');
    EXPECT_EQ(stamp[5], '/');
    EXPECT_EQ(stamp[10], ' ');
    EXPECT_EQ(stamp.substr(13, 1) + stamp.substr(16, 1), "::");
    EXPECT_EQ(buildVersion(), plainVersion(buildVersion()));
}

TEST_F(ErrorLogTest, AMissingLogIsCreatedWithItsFolder)
{
    appendErrorRecord(mLog, sampleRecord());
    EXPECT_EQ(contentOf(mLog), kSampleText);
}

TEST_F(ErrorLogTest, ANewRecordFollowsTheLastOneAndNothingIsRemoved)
{
    std::filesystem::create_directories(mLog.parent_path());
    std::ofstream(mLog, std::ios::binary) << "an older record without an end";
    appendErrorRecord(mLog, sampleRecord());
    appendErrorRecord(mLog, sampleRecord());
    EXPECT_EQ(contentOf(mLog), "an older record without an end" + kSampleText + kSampleText);
}

TEST_F(ErrorLogTest, AMissingInstallDirectoryIsAFailureAndNothingIsCreated)
{
    const auto log = mFolder / "not installed" / "Error Logs" / "BWError.log";
    try {
        appendErrorRecord(log, sampleRecord());
        FAIL() << "the record was written";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), err::kFileNotFound);
        EXPECT_NE(failure.description().find("not installed"), std::string::npos) << failure.description();
    }
    EXPECT_FALSE(std::filesystem::exists(mFolder / "not installed"));
}

TEST_F(ErrorLogTest, AnInstallDirectoryThatIsAFileIsAFailure)
{
    std::ofstream(mFolder / "plain file") << "x";
    EXPECT_THROW(appendErrorRecord(mFolder / "plain file" / "Error Logs" / "BWError.log", sampleRecord()), Failure);
}

TEST_F(ErrorLogTest, AWriteThatTheFileSystemRefusesHalfwayLeavesTheLogAsItWas)
{
    std::filesystem::create_directories(mLog.parent_path());
    const std::string earlier(1000, 'x');
    std::ofstream(mLog, std::ios::binary) << earlier;
    // A file size limit makes the write stop partway, as a full disk would.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tight = old;
    tight.rlim_cur = 1100;
    setrlimit(RLIMIT_FSIZE, &tight);
    bool failed = false;
    try {
        appendErrorRecord(mLog, sampleRecord());
    } catch (const Failure&) {
        failed = true;
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(failed);
    EXPECT_EQ(contentOf(mLog), earlier);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(mLog.parent_path()), {}), 1)
        << "a temporary file was left behind";
}
