// A host window holding a wizard control whose cube check fails inside its
// trap, as any unexpected failure would: number 68 "Device unavailable" from
// "sheet", last platform error 21.
#pragma once

#include "wizard/control/nxpivotwizardctrl.h"
#include "platform/core/failure.h"
#include "support/controls.h"

#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

class FailingWizard : public NxPivotWizardCtrl {
protected:
    bool CheckValidFileSelected() override
    {
        bool result = false;
        trap([&] { throw platform::Failure(68, "Device unavailable", "sheet", 21); });
        return result;
    }
};

class FailingHost : public QWidget {
public:
    FailingHost() : wizard(new FailingWizard)
    {
        (new QVBoxLayout(this))->addWidget(wizard);
        show();
    }
    // Leaves the welcome step, then the cube step, whose check fails.
    void fail()
    {
        auto* next = findControl<QPushButton>(wizard, "butCommand", 1);
        next->click();
        next->click();
    }

    FailingWizard* const wizard;
};
