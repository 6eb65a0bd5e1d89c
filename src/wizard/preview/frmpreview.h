// FrmPreview: the window the layout step's "Preview" opens. Shows the first
// rows of the report as the build will write it (PreviewModel), column widths
// as AutoFit sets them, and how many rows the whole report has. Deletes
// itself when closed.
#pragma once

#include "sheet/host/tablepreview.h"

#include <QDialog>

class PreviewModel;
class QLabel;
class QTableView;

class FrmPreview : public QDialog {
    Q_OBJECT

public:
    // The most rows a preview shows.
    static constexpr int kRows = 1000;

    FrmPreview(sheet::TablePreview preview, QWidget* parent);

    QTableView* grdPreview = nullptr;
    QLabel* lblPreviewRows = nullptr;
    PreviewModel* model() const { return mModel; }

private:
    PreviewModel* mModel = nullptr;
};
