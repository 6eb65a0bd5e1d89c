// PreviewModel: the first rows of a pivot report (sheet::TablePreview) as a
// table model, for the preview window: each cell's text as the sheet shows
// it, its font, colours and alignment. Row and column numbers are the
// table's own, from 0.
#pragma once

#include "sheet/host/tablepreview.h"

#include <QAbstractTableModel>

#include <vector>

class PreviewModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // True for a cell drawn with a heavier line on top (a grand total).
    static constexpr int HeavyTopRole = Qt::UserRole + 1;

    explicit PreviewModel(sheet::TablePreview preview, QObject* parent = nullptr);

    const sheet::TablePreview& preview() const { return mPreview; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    const sheet::PreviewCell* cellAt(const QModelIndex& index) const;

    sheet::TablePreview mPreview;
    std::vector<int> mCellAt;  // row * columns + column -> index in mPreview.cells, -1 for an empty cell
};
