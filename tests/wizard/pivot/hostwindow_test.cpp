// The host program's window when the wizard ends: a built report is saved
// (into the workbook's own file, a file named on the command line, or one
// the user chooses) and the user told where; Cancel touches no file.
#include "hostwindow.h"
#include "wizard/control/nxpivotwizardctrl.h"
#include "sheet/host/hostapplication.h"
#include "sheettestsupport.h"
#include "support/recordingmessages.h"
#include "support/scratchfolder.h"
#include "support/tempsettings.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

TEST(HostWindowResult, SavesABuiltReportWhereItBelongsAndSaysWhere)
{
    const struct {
        const char* what;
        bool opened;           // the user opened mine.xlsx (else a new workbook)
        bool built;            // the wizard's result
        const char* output;    // named on the command line, or ""
        std::vector<const char*> answers;  // the file chooser's answers, in turn
        const char* saved;     // the file saved to, or ""
        std::vector<QString> told;         // the messages' texts, %1 the saved file
        int exitCode;
    } cases[] = {
        {"cancel", true, false, "", {}, "", {}, 0},
        {"own file", true, true, "", {}, "mine.xlsx", {QStringLiteral("The PivotTable report was saved to %1.")}, 0},
        {"chosen file", false, true, "", {"report.xlsx"}, "report.xlsx",
         {QStringLiteral("The PivotTable report was saved to %1.")}, 0},
        {"declined", false, true, "", {""}, "", {QStringLiteral("The PivotTable report was not saved.")}, 1},
        {"failed, then chosen again", false, true, "", {"missing/report.xlsx", "report.xlsx"}, "report.xlsx",
         {QStringLiteral("The PivotTable report could not be saved to "), QStringLiteral("The PivotTable report was saved to %1.")}, 0},
        {"command line", true, true, "out.xlsx", {}, "out.xlsx", {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TempSettings settings;
        const RecordingMessages messages;
        const ScratchFolder folder;
        auto path = [&](const char* name) { return *name ? QString::fromStdString((folder / name).string()) : QString(); };
        const std::shared_ptr<sheet::Application> spreadsheet = sheet::createApplication();
        HostWindow window(QString::fromStdString(folder.path().string()), spreadsheet);
        auto book = spreadsheet->Workbooks()->Add();
        if (c.opened) {
            book->Worksheets()->Item(1)->Name("Data");
            book->SaveAs((folder / "mine.xlsx").string());
            book = spreadsheet->Workbooks()->Open((folder / "mine.xlsx").string());
        }
        const std::string before = c.opened ? sheettest::fileBytes(folder / "mine.xlsx") : std::string();
        book->Worksheets()->Add()->Name("Report");
        window.setOutputFile(path(c.output));
        size_t asked = 0;
        window.setFileChooser([&] { return asked < c.answers.size() ? path(c.answers[asked++]) : QString(); });
        window.show();
        Q_EMIT window.wizard()->PivotResult(c.built);

        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(asked, c.answers.size());
        EXPECT_EQ(window.savedFile(), path(c.saved));
        ASSERT_EQ(messages.shown().size(), c.told.size());
        const QString saved = QDir::toNativeSeparators(path(c.saved));
        for (size_t i = 0; i < c.told.size(); ++i)
            EXPECT_TRUE(messages.shown()[i].text.startsWith(c.told[i].contains(u'%') ? c.told[i].arg(saved) : c.told[i]))
                << messages.shown()[i].text.toStdString();
        if (*c.saved) {
            const auto reopened = sheet::createApplication()->Workbooks()->Open((folder / c.saved).string());
            EXPECT_EQ(reopened->Worksheets()->Item("Report")->Name(), "Report");
        }
        if (c.opened && std::string(c.saved) != "mine.xlsx") {
            EXPECT_EQ(sheettest::fileBytes(folder / "mine.xlsx"), before) << "the opened workbook's file changed";
        }
        EXPECT_EQ(window.exitCode(), c.exitCode);
    }
}

}  // namespace
