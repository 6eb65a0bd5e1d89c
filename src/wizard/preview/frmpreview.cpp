#include "wizard/preview/frmpreview.h"

#include "wizard/preview/previewmodel.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// A sheet's column width (characters of the widest digit, 7 pixels each at
// the default font) in this screen's pixels.
int pixelsOf(double characters, const QFontMetrics& metrics)
{
    return int(characters * metrics.horizontalAdvance(QLatin1Char('0')) + 0.5);
}

// Draws the cell, then the heavier line a grand total has on top.
class HeavyTopDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (!index.data(PreviewModel::HeavyTopRole).toBool())
            return;
        painter->save();
        painter->setPen(QPen(Qt::black, 2));
        painter->drawLine(option.rect.topLeft() + QPoint(0, 1), option.rect.topRight() + QPoint(0, 1));
        painter->restore();
    }
};

QString rowsText(const sheet::TablePreview& preview)
{
    const QLocale locale(QLocale::English);
    if (preview.shownRows < preview.rows) {
        return QStringLiteral("The first %1 of the report's %2 rows.")
            .arg(locale.toString(preview.shownRows), locale.toString(preview.rows));
    }
    return QStringLiteral("The whole report: %1 rows.").arg(locale.toString(preview.rows));
}

}  // namespace

FrmPreview::FrmPreview(sheet::TablePreview preview, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("Preview"));
    setAttribute(Qt::WA_DeleteOnClose);
    lblPreviewRows = new QLabel(rowsText(preview), this);
    lblPreviewRows->setObjectName(QStringLiteral("lblPreviewRows"));
    mModel = new PreviewModel(std::move(preview), this);
    grdPreview = new QTableView(this);
    grdPreview->setObjectName(QStringLiteral("grdPreview"));
    grdPreview->setModel(mModel);
    grdPreview->setItemDelegate(new HeavyTopDelegate(grdPreview));
    grdPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdPreview->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdPreview->verticalHeader()->setDefaultSectionSize(grdPreview->fontMetrics().height() + 6);
    const QFontMetrics metrics = grdPreview->fontMetrics();
    for (const auto& [column, width] : mModel->preview().widths)
        grdPreview->setColumnWidth(column, pixelsOf(width, metrics));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("cmdClosePreview"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblPreviewRows);
    layout->addWidget(grdPreview, 1);
    layout->addWidget(buttons);
    resize(760, 480);
}
