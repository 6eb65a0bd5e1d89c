// FmWait: the progress window shown while a PivotTable is built ("Please wait
// Creating Pivot details ..."). One shared instance per process.
//
// The build shows the form over the wizard (showOver), advances PrgWait as
// it goes (advance), and closes the form at the end. The build holds the
// user-interface thread, so the form paints itself whenever it is shown or
// advanced; the user's input waits meanwhile. Closing is unloading: the
// form is then destroyed, and the next instance() creates a new one.
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

    // Shows the form centred on `over`'s window (on the screen), wide enough
    // for its caption, and paints it before returning.
    void showOver(const QWidget* over);
    // Adds 1 to the progress value, up to its maximum, and paints the form.
    void advance();
    // Sets the progress value to the maximum and paints the form.
    void complete();

    // After a trapped failure (errorShown set) it only clears errorShown;
    // otherwise it makes the window topmost, keeping its position and size.
    // A window that is already topmost is left as it is. Runs shortly after
    // each activation of the window; callable directly as well.
    void Form_Activate();

protected:
    bool event(QEvent* event) override;
    // Unloads the form: it is forgotten at once, and destroyed later.
    void closeEvent(QCloseEvent* event) override;

private:
    FmWait();
    void makeTopmost();
    void paintNow();

    QFrame* frmWait = nullptr;

    static constexpr const char* kModule = "FmWait";
};
