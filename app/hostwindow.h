// The host program's window: holds the wizard control the way a spreadsheet
// add-in holds it, and closes when the wizard has a result.
#pragma once

#include <QWidget>

#include <memory>

class NxPivotWizardCtrl;
namespace sheet {
class Application;
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

private:
    void onPivotResult(bool result);

    NxPivotWizardCtrl* mWizard = nullptr;
    bool mResult = false;
};
