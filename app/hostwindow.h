// The host program's window: holds the wizard control the way a spreadsheet
// add-in holds it, saves the workbook when the wizard built a report, and
// closes when the wizard has a result.
//
// A built report is never lost without the user saying so. When it cannot
// be saved where it belongs (the user cancels the save dialog, or every
// file tried fails), the user is asked to save it again, to discard it, or
// to keep it: the window then stays open with a bar to save or discard it,
// and closing the window asks again. The report goes into the workbook's own
// file when it has one, else into a file the user chooses, offered as
// "<cube> <date>.xlsx" in the folder of the last report saved. Dialogs go
// through the injectable host dialogs (hostdialogs.h), messages through the
// wizard's message service.
//
// Between runs the window remembers the cube of the last report built and
// the folder it was saved in (rememberedchoices.h); begin() offers that cube.
#pragma once

#include <QString>
#include <QWidget>

#include <memory>

class NxPivotWizardCtrl;
class ReportsBar;
class QCloseEvent;
class QFrame;
namespace sheet {
class Application;
class Workbook;
}

class HostWindow : public QWidget {
    Q_OBJECT

public:
    // `storeFolder` is the folder of the application store the wizard offers;
    // `spreadsheet` the host application the wizard builds its report in
    // (shared with the wizard).
    HostWindow(const QString& storeFolder, std::shared_ptr<sheet::Application> spreadsheet,
               QWidget* parent = nullptr);

    NxPivotWizardCtrl* wizard() const { return mWizard; }
    // Offers the remembered cube and starts the wizard; call once the window
    // is shown.
    void begin();
    // The result the wizard ended with; false until it ended.
    bool result() const { return mResult; }

    // Where a finished report is saved: `file` when set (the workbook is
    // saved as that file, and what happened is said on the terminal, not
    // asked), else as described above. Set before the wizard ends.
    void setOutputFile(const QString& file) { mOutputFile = file; }
    // The file the report was saved to; empty when none was saved.
    QString savedFile() const { return mSavedFile; }
    // True while a built report is neither saved nor discarded.
    bool hasUnsavedReport() const { return mResult && !mSettled; }
    // 0 after Cancel or a saved report; 1 when a built report was not saved.
    int exitCode() const { return mResult && mSavedFile.isEmpty() ? 1 : 0; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void onPivotResult(bool result);
    // Saves the report (with `saveFirst`) and asks what to do while it is not
    // saved; false when the user chose to keep it unsaved for now.
    bool settleReport(bool saveFirst);
    // Saves into the workbook's file, else a chosen file; true when saved.
    bool saveReport();
    bool saveToChosenFile();
    // Saves `workbook` as `target` (in place when that is its file) and says
    // how it went; false when the save failed.
    bool saveAs(sheet::Workbook& workbook, const QString& target);
    QString suggestedFile() const;
    QFrame* buildUnsavedBar();
    void discardReport();

    NxPivotWizardCtrl* mWizard = nullptr;
    QFrame* mUnsavedBar = nullptr;
    ReportsBar* mReportsBar = nullptr;  // offers to refresh the workbook's reports
    std::shared_ptr<sheet::Application> mSpreadsheet;
    bool mResult = false;
    bool mSettled = false;  // the built report is saved, or the user let it go
    QString mOutputFile;
    QString mSavedFile;
};
