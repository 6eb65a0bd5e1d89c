#include "wizard/preview/previewmodel.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include <variant>

namespace {

QColor colourOf(uint32_t rgb) { return QColor::fromRgb((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

}  // namespace

PreviewModel::PreviewModel(sheet::TablePreview preview, QObject* parent)
    : QAbstractTableModel(parent), mPreview(std::move(preview))
{
    mCellAt.assign(size_t(mPreview.shownRows) * size_t(mPreview.columns), -1);
    for (size_t i = 0; i < mPreview.cells.size(); ++i) {
        const sheet::PreviewCell& cell = mPreview.cells[i];
        mCellAt[size_t(cell.row) * size_t(mPreview.columns) + size_t(cell.column)] = int(i);
    }
}

int PreviewModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : mPreview.shownRows; }

int PreviewModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : mPreview.columns; }

const sheet::PreviewCell* PreviewModel::cellAt(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= mPreview.shownRows || index.column() >= mPreview.columns)
        return nullptr;
    const int at = mCellAt[size_t(index.row()) * size_t(mPreview.columns) + size_t(index.column())];
    return at < 0 ? nullptr : &mPreview.cells[size_t(at)];
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const
{
    const sheet::PreviewCell* cell = cellAt(index);
    if (!cell)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(cell->text);
    case Qt::FontRole: {
        QFont font;
        font.setBold(cell->format.bold);
        return font;
    }
    case Qt::BackgroundRole:
        return cell->format.fill == sheet::kNoColour ? QVariant() : QBrush(colourOf(cell->format.fill));
    case Qt::ForegroundRole:
        return cell->format.fontColour == sheet::kNoColour ? QVariant() : QBrush(colourOf(cell->format.fontColour));
    case Qt::TextAlignmentRole:
        // Numbers to the right, text to the left, as a sheet aligns them.
        return QVariant::fromValue(Qt::AlignVCenter
                                   | (std::holds_alternative<double>(cell->value) ? Qt::AlignRight : Qt::AlignLeft));
    case HeavyTopRole:
        return cell->format.heavyTop;
    default:
        return QVariant();
    }
}
