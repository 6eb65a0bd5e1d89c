// The host program's window when the wizard ends: a built report is saved
// (into the workbook's own file, a file named on the command line, or one
// the user chooses) and the user told where; Cancel touches no file.
#include "wizard/control/nxpivotwizardctrl.h"
#include "hostwindow.h"
#include "sheet/host/hostapplication.h"
#include "sheettestsupport.h"
#include "support/recordingmessages.h"
#include "support/scratchfolder.h"
#include "support/tempsettings.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

class HostWindowResult : public testing::Test {
protected:
    HostWindowResult() : window(QString::fromStdString(folder.path().string()), spreadsheet) {}

    // A workbook the user opened: one sheet "Data", saved at `file`.
    void openWorkbook(const std::filesystem::path& file)
    {
        auto book = spreadsheet->Workbooks()->Add();
        book->Worksheets()->Item(1)->Name("Data");
        book->SaveAs(file.string());
        spreadsheet->Workbooks()->Open(file.string());
    }

    void finish(bool built) { Q_EMIT window.wizard()->PivotResult(built); }

    QString native(const std::filesystem::path& file) const
    {
        return QDir::toNativeSeparators(QString::fromStdString(file.string()));
    }

    TempSettings settings;
    RecordingMessages messages;
    ScratchFolder folder;
    std::shared_ptr<sheet::Application> spreadsheet = sheet::createApplication();
    HostWindow window;
    int asked = 0;
};

TEST_F(HostWindowResult, CancelClosesTheWindowAndLeavesTheWorkbookFileAsItWas)
{
    openWorkbook(folder / "mine.xlsx");
    spreadsheet->ActiveWorkbook()->Worksheets()->Add()->Name("Unsaved");
    const std::string before = sheettest::fileBytes(folder / "mine.xlsx");
    window.show();
    finish(false);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(sheettest::fileBytes(folder / "mine.xlsx"), before);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(window.exitCode(), 0);
}

TEST_F(HostWindowResult, AReportInTheOpenedWorkbookIsSavedIntoItsFile)
{
    openWorkbook(folder / "mine.xlsx");
    spreadsheet->ActiveWorkbook()->Worksheets()->Add()->Name("Report");
    window.setFileChooser([this] { return ++asked, QString(); });
    finish(true);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(window.savedFile(), QString::fromStdString((folder / "mine.xlsx").string()));
    EXPECT_EQ(messages.single().text, QStringLiteral("The PivotTable report was saved to %1.").arg(native(folder / "mine.xlsx")));
    EXPECT_EQ(messages.single().title, QStringLiteral("Report saved"));
    auto reopened = sheet::createApplication()->Workbooks()->Open((folder / "mine.xlsx").string());
    EXPECT_EQ(reopened->Worksheets()->Item("Report")->Name(), "Report");
    EXPECT_EQ(window.exitCode(), 0);
}

TEST_F(HostWindowResult, ANewWorkbookIsSavedAsTheFileTheUserChooses)
{
    spreadsheet->Workbooks()->Add();
    window.setFileChooser([this] { return ++asked, QString::fromStdString((folder / "report.xlsx").string()); });
    finish(true);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(std::filesystem::exists(folder / "report.xlsx"));
    EXPECT_EQ(messages.single().text, QStringLiteral("The PivotTable report was saved to %1.").arg(native(folder / "report.xlsx")));
}

TEST_F(HostWindowResult, ANewWorkbookTheUserDeclinesToSaveIsReportedAsNotSaved)
{
    spreadsheet->Workbooks()->Add();
    window.setFileChooser([this] { return ++asked, QString(); });
    finish(true);
    EXPECT_EQ(messages.single().text, QStringLiteral("The PivotTable report was not saved."));
    EXPECT_TRUE(window.savedFile().isEmpty());
    EXPECT_EQ(window.exitCode(), 1);
}

TEST_F(HostWindowResult, AFailedSaveIsReportedAndTheUserAskedForAnotherFile)
{
    spreadsheet->Workbooks()->Add();
    std::vector<QString> answers{QString::fromStdString((folder / "missing" / "report.xlsx").string()),
                                 QString::fromStdString((folder / "report.xlsx").string())};
    window.setFileChooser([&] { return answers.at(size_t(asked++)); });
    finish(true);
    EXPECT_EQ(asked, 2);
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].title, QStringLiteral("Report not saved"));
    EXPECT_TRUE(messages.shown()[0].text.startsWith(
        QStringLiteral("The PivotTable report could not be saved to %1:\r").arg(native(folder / "missing" / "report.xlsx"))));
    EXPECT_EQ(window.savedFile(), QString::fromStdString((folder / "report.xlsx").string()));
}

TEST_F(HostWindowResult, AFileNamedOnTheCommandLineGetsTheReportWithoutAskingOrAMessageBox)
{
    openWorkbook(folder / "mine.xlsx");
    const std::string before = sheettest::fileBytes(folder / "mine.xlsx");
    spreadsheet->ActiveWorkbook()->Worksheets()->Add()->Name("Report");
    window.setOutputFile(QString::fromStdString((folder / "out.xlsx").string()));
    window.setFileChooser([this] { return ++asked, QString(); });
    finish(true);
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_TRUE(std::filesystem::exists(folder / "out.xlsx"));
    EXPECT_EQ(sheettest::fileBytes(folder / "mine.xlsx"), before);
    EXPECT_EQ(window.exitCode(), 0);
}

}  // namespace
