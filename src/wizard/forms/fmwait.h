// FmWait: the progress window shown while a PivotTable is built ("Please wait
// Creating Pivot details ..."). One shared instance per process.
//
// The build shows the form, sets PrgWait's minimum, maximum and value as it
// goes, and closes the form at the end. Closing is unloading: the form is
// then destroyed, and the next instance() creates a new one.
//
// When the window becomes active it makes itself topmost, so the progress
// stays visible above the spreadsheet while the build works. Every handler
// runs under the error trap with module "FmWait"; a failure closes this form.
#pragma once

#include "wizard/forms/sharedform.h"

#include <QWidget>

class QFrame;
class QProgressBar;

class FmWait : public QWidget, public SharedForm<FmWait> {
    Q_OBJECT
    friend class SharedForm<FmWait>;

public:
    // instance() and isLoaded() come from SharedForm.

    // The progress bar, owned by the form (inside the frame frmWait).
    QProgressBar* const PrgWait;

    // After a trapped failure (errorShown set) it only clears errorShown;
    // otherwise it makes the window topmost, keeping its position and size.
    // A window that is already topmost is left as it is. Runs shortly after
    // each activation of the window; callable directly as well.
    void Form_Activate();

protected:
    bool event(QEvent* event) override;

private:
    FmWait();
    void makeTopmost();

    QFrame* frmWait = nullptr;

    static constexpr const char* kModule = "FmWait";
};
