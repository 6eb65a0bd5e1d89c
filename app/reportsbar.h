// The bar over the wizard that offers "Refresh reports" when the workbook the
// host program was opened on holds reports with definitions: each report is
// recomputed from its cube, the workbook saved atomically, and the user told
// what changed (the reports refreshed and their cells, members skipped) or
// why nothing did (the file is then as it was).
#pragma once

#include <QFrame>

#include <memory>

class QLabel;
namespace sheet {
class Application;
}

class ReportsBar : public QFrame {
    Q_OBJECT

public:
    ReportsBar(std::shared_ptr<sheet::Application> spreadsheet, QWidget* parent);

    // Shows the bar when the active workbook holds report definitions, else hides it.
    void offer();
    // What the button does: refreshes every report, saves, says what happened.
    void refreshReports();

private:
    std::shared_ptr<sheet::Application> mSpreadsheet;
    QLabel* mText = nullptr;
};
