// The host program's window: holds the wizard control the way a spreadsheet
// add-in holds it, saves the workbook when the wizard built a report, and
// closes when the wizard has a result.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class NxPivotWizardCtrl;
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
    // Starts the wizard; call once the window is shown.
    void begin();
    // The result the wizard ended with; false until it ended.
    bool result() const { return mResult; }

    // Where a finished report is saved: `file` when set (the workbook is
    // saved as that file), else the workbook's own file, else a file the
    // user chooses. Set before the wizard ends.
    void setOutputFile(const QString& file) { mOutputFile = file; }
    // Asks the user for a file to save a new workbook as; an empty answer
    // means not to save. The default shows a file dialog.
    void setFileChooser(std::function<QString()> chooser) { mChooseFile = std::move(chooser); }
    // The file the report was saved to; empty when none was saved.
    QString savedFile() const { return mSavedFile; }
    // 0 after Cancel or a saved report; 1 when a built report was not saved.
    int exitCode() const { return mResult && mSavedFile.isEmpty() ? 1 : 0; }

private:
    void onPivotResult(bool result);
    void saveReport();
    // Saves `workbook` as `target` (in place when that is its file) and says
    // how it went; false when the save failed.
    bool saveAs(sheet::Workbook& workbook, const QString& target);
    QString chooseFile();

    NxPivotWizardCtrl* mWizard = nullptr;
    std::shared_ptr<sheet::Application> mSpreadsheet;
    bool mResult = false;
    QString mOutputFile;
    QString mSavedFile;
    std::function<QString()> mChooseFile;
};
