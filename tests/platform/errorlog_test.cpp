#include "platform/services/errorlog.h"

#include "platform/core/failure.h"
#include "platform/services/buildinfo.h"
#include "support/children.h"
#include "support/failureof.h"
#include "support/scratchfolder.h"
#include "support/textfile.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <set>

using namespace platform;

namespace {

// Every kind of line break in a description becomes CR LF.
ErrorRecord sampleRecord(std::string userDescription = "Building\ra report\nfor\r\nMarch")
{
    return {"05/03/2024 14:07:09", "01/02/2024 09:08:07", "2.0.54", "NxPivotWizardCtrl",
            "bool NxPivotWizardCtrl::CreatePivot()", -2147467259, "Automation error", 87, "sheet",
            std::move(userDescription)};
}

const std::string kFieldLines = "Date & Time    : 05/03/2024 14:07:09\r\n"
                                "Date Compiled  : 01/02/2024 09:08:07\r\n"
                                "Build          : 2.0.54\r\n"
                                "Module         : NxPivotWizardCtrl\r\n"
                                "Procedure      : bool NxPivotWizardCtrl::CreatePivot()\r\n"
                                "Number         : -2147467259\r\n"
                                "Description    : Automation error\r\n"
                                "Last DLL Error : 87\r\n"
                                "Source         : sheet\r\n";
const std::string kSampleText = kFieldLines + "Description    : Building\r\na report\r\nfor\r\nMarch\r\n"
                                              "------------------------------------------------\r\n";

class ErrorLogTest : public testing::Test {
protected:
    ScratchFolder mFolder;
    std::filesystem::path mLog = mFolder / "Error Logs" / "BWError.log";
};

TEST(BuildInfo, VersionIsThreePlainNumbers)
{
    for (const auto& [dotted, plain] : {std::pair{"2.00.0054", "2.0.54"}, {"1.0.1", "1.0.1"}, {"3", "3.0.0"},
                                        {"", "0.0.0"}, {"1.x.7", "1.0.7"}})
        EXPECT_EQ(plainVersion(dotted), plain) << dotted;
}

TEST_F(ErrorLogTest, RecordsFollowWhatTheLogHeldAndAMissingLogIsCreatedWithItsFolder)
{
    // Eleven lines, the labels' colons in column 16, CR LF.
    EXPECT_EQ(errorFieldLines(sampleRecord()), kFieldLines);
    appendErrorRecord(mLog, sampleRecord());
    EXPECT_EQ(textOf(mLog), kSampleText);
    writeText(mLog, "an older record without an end");
    appendErrorRecord(mLog, sampleRecord());
    appendErrorRecord(mLog, sampleRecord());
    EXPECT_EQ(textOf(mLog), "an older record without an end" + kSampleText + kSampleText);
}

TEST_F(ErrorLogTest, AnInstallDirectoryThatIsMissingOrAFileIsAFailureAndNothingIsCreated)
{
    writeText(mFolder / "plain file", "x");
    for (const char* install : {"not installed", "plain file"}) {
        const Failure failure = testsupport::failureOf(
            [&] { appendErrorRecord(mFolder / install / "Error Logs" / "BWError.log", sampleRecord()); });
        EXPECT_NE(failure.description().find(install), std::string::npos) << failure.description();
    }
    EXPECT_FALSE(std::filesystem::exists(mFolder / "not installed"));
}

TEST_F(ErrorLogTest, AWriteThatTheFileSystemRefusesHalfwayLeavesTheLogAsItWas)
{
    std::filesystem::create_directories(mLog.parent_path());
    const std::string earlier(1000, 'x');
    writeText(mLog, earlier);
    // A file size limit makes the write stop partway, as a full disk would.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tight = old;
    tight.rlim_cur = 1100;
    setrlimit(RLIMIT_FSIZE, &tight);
    EXPECT_THROW(appendErrorRecord(mLog, sampleRecord()), Failure);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(textOf(mLog), earlier);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(mLog.parent_path()), {}), 1);
}

TEST_F(ErrorLogTest, TwoProcessesAppendingAtOnceKeepEveryRecordWhole)
{
    const auto record = [](int writer, int i) {
        return sampleRecord(std::to_string(writer) + std::string(500, '.') + std::to_string(i));
    };
    const auto statuses = runChildren(2, [&](int writer) {
        try {
            for (int i = 0; i < 150; ++i)
                appendErrorRecord(mLog, record(writer, i));
        } catch (const Failure&) {
            return 1;
        }
        return 0;
    });
    std::set<std::string> expected;
    size_t total = 0;
    for (int writer = 0; writer < 2; ++writer) {
        EXPECT_TRUE(exitedWithZero(statuses[writer])) << statuses[writer];
        for (int i = 0; i < 150; ++i)
            total += expected.insert(errorRecordText(record(writer, i))).first->size();
    }
    const std::string log = textOf(mLog);
    const std::string rule = std::string(48, '-') + "\r\n";
    std::set<std::string> found;
    for (size_t start = 0, end; (end = log.find(rule, start)) != std::string::npos; start = end + rule.size())
        found.insert(log.substr(start, end + rule.size() - start));
    EXPECT_EQ(found, expected);
    EXPECT_EQ(log.size(), total) << "a record was written twice";
}

}  // namespace
