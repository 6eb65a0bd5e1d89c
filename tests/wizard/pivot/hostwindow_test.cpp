// The host program's window: where a built report is saved and what the
// user is told and asked; that a built report is never lost without the user
// saying so (a cancelled save dialog, the window closed).
#include "common/wizardtest.h"
#include "hostdialogs.h"
#include "hostwindow.h"
#include "sheet/host/hostapplication.h"
#include "sheettestsupport.h"

#include <QDir>
#include <QFrame>
#include <QTest>

namespace {

// Answers the host's dialogs from a script, in turn, and records what was
// offered. A script that has run out cancels the save dialog and keeps the
// report, so a test that asks more than it expects cannot lose anything.
struct Script final : HostDialogs {
    std::vector<QString> files;          // the save dialog's answers ("" cancels)
    std::vector<UnsavedAnswer> answers;  // the unsaved question's answers
    std::vector<QString> suggested;      // what the save dialog offered, each time
    std::vector<QString> questions;      // the unsaved question's texts
    QString chooseSaveFile(QWidget*, const QString& offered) override
    {
        suggested.push_back(offered);
        return suggested.size() <= files.size() ? files[suggested.size() - 1] : QString();
    }
    UnsavedAnswer askUnsaved(QWidget*, const QString& text) override
    {
        questions.push_back(text);
        return questions.size() <= answers.size() ? answers[questions.size() - 1] : UnsavedAnswer::Keep;
    }
};
// Installs a Script for its lifetime.
class ScriptedDialogs {
public:
    ScriptedDialogs() : mPrevious(installHostDialogs(std::unique_ptr<HostDialogs>(mScript))) {}
    ~ScriptedDialogs() { installHostDialogs(std::move(mPrevious)); }
    Script* operator->() const { return mScript; }

private:
    Script* mScript = new Script;
    std::unique_ptr<HostDialogs> mPrevious;
};

TEST(HostWindowResult, SavesABuiltReportWhereItBelongsOrKeepsItUntilTheUserLetsItGo)
{
    using enum UnsavedAnswer;
    const char* const Nothing = "", *const CloseWindow = "close", *const SaveFromBar = "saveReport",
                      *const DiscardFromBar = "discardReport";  // the bar's buttons
    const QString saved = QStringLiteral("The PivotTable report was saved to %1.");
    const QString failed = QStringLiteral("The PivotTable report could not be saved to ");
    const struct {
        const char* what;
        bool opened;                       // the user opened mine.xlsx (else a new workbook)
        bool built;                        // the wizard's result
        const char* output;                // named on the command line, or ""
        std::vector<const char*> files;    // the save dialog's answers
        std::vector<UnsavedAnswer> answers;
        const char* then;                  // what the user does next
        const char* saved;                 // the file saved to, or ""
        std::vector<QString> told;         // the messages' texts, %1 the saved file
        size_t asked;                      // unsaved questions
        bool open;                         // the window is still open, the report kept
        int exitCode;                      // were the program to end now
    } cases[] = {
        {"cancel", true, false, "", {}, {}, Nothing, "", {}, 0, false, 0},
        {"own file", true, true, "", {}, {}, Nothing, "mine.xlsx", {saved}, 0, false, 0},
        {"dialog cancelled, saved again", false, true, "", {"", "report.xlsx"}, {Save}, Nothing, "report.xlsx",
         {saved}, 1, false, 0},
        {"dialog cancelled, discarded", false, true, "", {""}, {Discard}, Nothing, "", {}, 1, false, 1},
        {"kept, window closed, kept", false, true, "", {""}, {Keep, Keep}, CloseWindow, "", {}, 2, true, 1},
        {"kept, window closed, discarded", false, true, "", {""}, {Keep, Discard}, CloseWindow, "", {}, 2, false, 1},
        {"kept, window closed, saved", false, true, "", {"", "report.xlsx"}, {Keep, Save}, CloseWindow,
         "report.xlsx", {saved}, 2, false, 0},
        {"kept, saved from the bar", false, true, "", {"", "report.xlsx"}, {Keep}, SaveFromBar, "report.xlsx",
         {saved}, 1, false, 0},
        {"kept, discarded from the bar", false, true, "", {""}, {Keep}, DiscardFromBar, "", {}, 1, false, 1},
        {"failed, then chosen again", false, true, "", {"missing/report.xlsx", "report.xlsx"}, {}, Nothing,
         "report.xlsx", {failed, saved}, 0, false, 0},
        {"command line", true, true, "out.xlsx", {}, {}, Nothing, "out.xlsx", {}, 0, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TempSettings settings;
        const RecordingMessages messages;
        ScriptedDialogs dialogs;
        const ScratchFolder folder;
        auto path = [&](const char* name) { return *name ? QString::fromStdString((folder / name).string()) : QString(); };
        for (const char* file : c.files)
            dialogs->files.push_back(path(file));
        dialogs->answers = c.answers;
        const std::shared_ptr<sheet::Application> spreadsheet = sheet::createApplication();
        HostWindow window(QString::fromStdString(folder.path().string()), spreadsheet);
        auto book = spreadsheet->Workbooks()->Add();
        if (c.opened) {
            book->Worksheets()->Item(1)->Name("Data");
            book->SaveAs((folder / "mine.xlsx").string());
            book = spreadsheet->Workbooks()->Open((folder / "mine.xlsx").string());
        }
        const std::string before = c.opened ? textOf(folder / "mine.xlsx") : std::string();
        book->Worksheets()->Add()->Name("Report");
        window.setOutputFile(path(c.output));
        window.show();
        Q_EMIT window.wizard()->PivotResult(c.built);
        auto* bar = window.findChild<QFrame*>(QStringLiteral("unsavedBar"));
        if (c.then == CloseWindow) {
            window.close();
        } else if (*c.then) {
            ASSERT_TRUE(bar->isVisible());
            QTest::mouseClick(findControl<QPushButton>(bar, c.then), Qt::LeftButton);
        }

        EXPECT_EQ(window.isVisible(), c.open);
        EXPECT_EQ(bar->isVisible(), c.open);
        EXPECT_EQ(window.hasUnsavedReport(), c.open);
        EXPECT_EQ(window.wizard()->isEnabled(), !c.built);
        EXPECT_EQ(dialogs->suggested.size(), c.files.size());
        ASSERT_EQ(dialogs->questions.size(), c.asked);
        for (const QString& question : dialogs->questions)
            EXPECT_EQ(question, QStringLiteral("The PivotTable report was not saved."));
        EXPECT_EQ(window.savedFile(), path(c.saved));
        ASSERT_EQ(messages.shown().size(), c.told.size());
        const QString savedTo = QDir::toNativeSeparators(path(c.saved));
        for (size_t i = 0; i < c.told.size(); ++i)
            EXPECT_TRUE(messages.shown()[i].text.startsWith(c.told[i].contains(u'%') ? c.told[i].arg(savedTo) : c.told[i]))
                << messages.shown()[i].text.toStdString();
        if (*c.saved) {
            const auto reopened = sheet::createApplication()->Workbooks()->Open((folder / c.saved).string());
            EXPECT_EQ(reopened->Worksheets()->Item("Report")->Name(), "Report");
        }
        if (c.opened && std::string(c.saved) != "mine.xlsx") {
            EXPECT_EQ(textOf(folder / "mine.xlsx"), before) << "the opened workbook's file changed";
        }
        EXPECT_EQ(window.exitCode(), c.exitCode);
    }
}

}  // namespace
