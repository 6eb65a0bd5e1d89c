#include "reportsbar.h"

#include "busywork.h"
#include "wizard/errors/messageservice.h"
#include "platform/core/diagnostics.h"
#include "platform/core/failure.h"
#include "sheet/host/hostworkbook.h"
#include "sheet/report/reportbook.h"
#include "sheet/report/reportrefresh.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

std::shared_ptr<sheet::HostWorkbook> activeBook(sheet::Application& spreadsheet)
{
    return std::dynamic_pointer_cast<sheet::HostWorkbook>(spreadsheet.ActiveWorkbook());
}

}  // namespace

ReportsBar::ReportsBar(std::shared_ptr<sheet::Application> spreadsheet, QWidget* parent)
    : QFrame(parent), mSpreadsheet(std::move(spreadsheet))
{
    setObjectName(QStringLiteral("reportsBar"));
    setFrameShape(QFrame::StyledPanel);
    mText = new QLabel(this);
    auto* refresh = new QPushButton(QStringLiteral("&Refresh reports"), this);
    refresh->setObjectName(QStringLiteral("refreshReports"));
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(mText, 1);
    layout->addWidget(refresh);
    connect(refresh, &QPushButton::clicked, this, &ReportsBar::refreshReports);
    hide();
}

void ReportsBar::offer()
{
    size_t count = 0;
    if (const auto book = activeBook(*mSpreadsheet); book && !book->FullName().empty()) {
        try {
            count = book->reports().definitions(book->document()).size();
        } catch (const platform::Failure& failure) {
            // Definitions that cannot be read are no reason to keep the wizard from the user.
            platform::noteIgnoredFailure("ReportsBar", failure);
        }
    }
    mText->setText(count == 1 ? QStringLiteral("This workbook holds a pivot report.")
                              : QStringLiteral("This workbook holds %1 pivot reports.").arg(count));
    setVisible(count > 0);
}

void ReportsBar::refreshReports()
{
    const auto book = activeBook(*mSpreadsheet);
    if (!book)
        return;
    sheet::report::RefreshOutcome outcome;
    try {
        runShowingProgress(this, QStringLiteral("Refreshing the reports..."), [&] {
            outcome = sheet::report::refreshReports(*book);
            book->Save();
        });
    } catch (const platform::Failure& failure) {
        messages().showMessage(QStringLiteral("The reports were not refreshed; the workbook is as it was.\n\n")
                                   + QString::fromStdString(failure.description()),
                               QStringLiteral("Refresh reports"), MessageIcon::Exclamation);
        return;
    }
    const bool warned = !outcome.warnings().empty();
    messages().showMessage(QString::fromStdString(outcome.summary()), QStringLiteral("Reports refreshed"),
                           warned ? MessageIcon::Exclamation : MessageIcon::Information);
}
