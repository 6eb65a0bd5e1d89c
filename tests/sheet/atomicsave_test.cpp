// A save either completes or leaves the file on disk as it was: a part that
// cannot be made, a process killed in the middle of writing, or a target
// that cannot be written must never cost the user their workbook.
#include "sheet/xlsx/cellstore.h"
#include "sheet/host/hostapplication.h"
#include "sheet/host/hostworkbook.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/xlsx/workbookdocument.h"
#include "platform/core/failure.h"

#include "sheettestsupport.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sheet;
using namespace sheettest;

namespace {

class AtomicSaves : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeZip(file, fixtureParts());
        original = fileBytes(file);
        workbook = app->Workbooks()->Open(file.string());
        workbook->Worksheets()->Add(workbook->Worksheets()->Item(1));
    }

    WorkbookDocument& document() { return std::dynamic_pointer_cast<HostWorkbook>(workbook)->document(); }

    ScratchFolder folder;
    std::filesystem::path file = folder / "Sales.xlsx";
    std::string original;
    std::shared_ptr<Application> app = createApplication();
    std::shared_ptr<Workbook> workbook;
};

// The part is made while libzip writes the new package, after other parts
// are already written: a failure in the middle of the save.
TEST_F(AtomicSaves, APartThatFailsMidSaveLeavesTheOriginalAndNoTemporaryFile)
{
    int attempts = 0;
    document().putPart("xl/extra.xml", "application/xml", [&]() -> std::string {
        if (++attempts == 1)
            throw platform::Failure(platform::err::kDiskFull, "the disk went away");
        return "<extra/>";
    });
    const auto failure = failureOf([&] { workbook->Save(); });
    EXPECT_EQ(failure.number(), 1004);
    EXPECT_NE(failure.description().find("Sales.xlsx"), std::string::npos) << failure.description();
    EXPECT_NE(failure.description().find("the disk went away"), std::string::npos) << failure.description();
    EXPECT_EQ(fileBytes(file), original);
    EXPECT_EQ(filesIn(folder.path()), std::vector<std::string>{"Sales.xlsx"});

    workbook->Save();  // the workbook is still whole in memory and saves once the part can be made
    EXPECT_EQ(readZip(file).at("xl/extra.xml").data, "<extra/>");
    EXPECT_EQ(filesIn(folder.path()), std::vector<std::string>{"Sales.xlsx"});
}

TEST_F(AtomicSaves, AProcessKilledMidSaveLeavesTheOriginalReadable)
{
    document().putPart("xl/extra.xml", "application/xml", []() -> std::string {
        ::raise(SIGKILL);
        return {};
    });
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        try {
            workbook->Save();
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    EXPECT_EQ(fileBytes(file), original);
    const auto another = createApplication();
    auto reopened = another->Workbooks()->Open(file.string());
    EXPECT_EQ(reopened->Worksheets()->Count(), 4);
    // Killed inside libzip's write, the save left our temporary copy and
    // libzip's file beside the workbook; the next save removes both.
    EXPECT_EQ(filesIn(folder.path()).size(), 3u);
    const auto host = std::dynamic_pointer_cast<HostWorkbook>(reopened);
    host->worksheet(host->worksheetModels().front())->cells().setValue({1, 1}, 1.0);
    reopened->Save();
    EXPECT_EQ(filesIn(folder.path()), std::vector<std::string>{"Sales.xlsx"});
}

TEST_F(AtomicSaves, ASaveIntoAMissingFolderFailsNamingTheTarget)
{
    const auto target = folder / "missing" / "Out.xlsx";
    const auto failure = failureOf([&] { workbook->SaveAs(target.string()); });
    EXPECT_EQ(failure.number(), 1004);
    EXPECT_NE(failure.description().find("Out.xlsx"), std::string::npos) << failure.description();
    EXPECT_EQ(fileBytes(file), original);
    EXPECT_EQ(workbook->FullName(), std::filesystem::canonical(file).string());
}

// Opening reads no sheet part, so a broken sheet shows only when it is saved.
TEST_F(AtomicSaves, ASheetThatCannotBeWrittenFailsBeforeAnythingIsWritten)
{
    auto parts = fixtureParts();
    parts["xl/worksheets/sheet1.xml"] = "<worksheet><sheetData><row></worksheet>";
    const auto broken = folder / "Broken.xlsx";
    writeZip(broken, parts);
    const auto bytes = fileBytes(broken);
    auto book = app->Workbooks()->Open(broken.string());
    auto data = std::dynamic_pointer_cast<HostWorkbook>(book)->worksheet(
        std::dynamic_pointer_cast<HostWorkbook>(book)->worksheetModels().front());
    data->cells().setValue({1, 1}, 1.0);
    const auto failure = failureOf([&] { book->Save(); });
    EXPECT_EQ(failure.number(), 1004);
    EXPECT_NE(failure.description().find("xl/worksheets/sheet1.xml is not well-formed"), std::string::npos)
        << failure.description();
    EXPECT_EQ(fileBytes(broken), bytes);
}

}  // namespace
