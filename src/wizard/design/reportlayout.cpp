// The report layout step: destination sheet, start cell, totals, decimal
// places and chart.
#include "control/nxpivotwizardctrl.h"

#include "errors/notavailable.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include <cstdlib>

void NxPivotWizardCtrl::GetActiveWorkbookDetails()
{
    trap([&] { failNotAvailable("GetActiveWorkbookDetails"); });
}

void NxPivotWizardCtrl::chkDps_Click()
{
    trap([&] {
        const bool on = chkDps->isChecked();
        dpscrllbr->setEnabled(on);
        lblDps->setEnabled(on);
    });
}

// The spinners hold negative values so that their up arrows count upwards;
// the read-outs show the absolute value.
void NxPivotWizardCtrl::dpscrllbr_Change()
{
    trap([&] { lblDps->setText(QString::number(std::abs(dpscrllbr->value()))); });
}

void NxPivotWizardCtrl::vRowScroll_Change()
{
    trap([&] { fraText[1]->setText(QString::number(std::abs(vRowScroll->value()))); });
}
