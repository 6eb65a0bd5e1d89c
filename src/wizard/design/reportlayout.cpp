// The report layout step: destination sheet, start cell, totals, decimal
// places and chart.
#include "wizard/control/nxpivotwizardctrl.h"

#include "wizard/design/runtimenumber.h"
#include "sheet/application.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include <cstdlib>

namespace {

// The rows a start cell may lie on.
constexpr qint32 kFirstRow = 1, kLastRow = 65536;

}  // namespace

// Lists "New Sheet" and the visible worksheets of the active workbook, in
// workbook order; chart sheets are not worksheets and never appear. Without
// a workbook (or before the host handed over its application) the names a
// new workbook would have stand in.
void NxPivotWizardCtrl::GetActiveWorkbookDetails()
{
    trap([&] {
        cboInsertSheet->clear();
        cboInsertSheet->addItem(QStringLiteral("New Sheet"));
        const std::shared_ptr<sheet::Workbook> book = mXlApp ? mXlApp->ActiveWorkbook() : nullptr;
        if (book) {
            for (const std::shared_ptr<sheet::Worksheet>& worksheet : *book->Worksheets()) {
                if (worksheet->Visible() == sheet::kSheetVisible)
                    cboInsertSheet->addItem(QString::fromStdString(worksheet->Name()));
            }
        } else {
            cboInsertSheet->addItems({QStringLiteral("Sheet1"), QStringLiteral("Sheet2"), QStringLiteral("Sheet3")});
        }
        cboInsertSheet->setCurrentIndex(0);
    });
}

QVariant NxPivotWizardCtrl::isSheetProtected(const std::shared_ptr<sheet::Worksheet>& aSheet)
{
    QVariant result;
    trap([&] { result = QVariant(aSheet->ProtectContents()); });
    return result;
}

// The row text goes through the runtime's numeric test and integer
// conversion, so " 5" is row 5 and 12.6 is row 13, while 12.5 is row 12 and
// 13.5 row 14 (halves round to the even neighbour). The converted number is
// written back even when it is out of range, so the user sees what was read.
// A number beyond 32 bits cannot be converted: it is refused and left as typed.
bool NxPivotWizardCtrl::StartCellIsValid()
{
    bool result = false;
    trap([&] {
        bool valid = false;
        if (const std::optional<double> number = runtimeNumber(fraText[1]->text())) {
            if (const std::optional<qint32> row = runtimeInteger(*number)) {
                valid = *row >= kFirstRow && *row <= kLastRow;
                fraText[1]->setText(QString::number(*row));
            }
        }
        if (valid) {
            result = true;
            return;
        }
        // A refusal of what was typed, not a failure: the warning icon.
        showCatalogueMessage(50014, QString(), QStringLiteral("Invalid row"), MessageIcon::Exclamation);
        fraText[1]->setFocus();
        fraText[1]->selectAll();
    });
    return result;
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
