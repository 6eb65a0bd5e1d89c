// Step frame 6: where the report goes and how it looks.
#include "wizard/control/nxpivotwizardctrl.h"

#include "wizard/control/artwork.h"
#include "wizard/control/screenparts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

namespace {

// A spinner as the layout step knows it: a vertical scroll bar whose values
// are negative, so that its up arrow (towards the minimum) counts upwards.
QScrollBar* spinner(const char* name, int lowest, int highest, int value)
{
    auto* bar = named(new QScrollBar(Qt::Vertical), name);
    bar->setRange(lowest, highest);
    bar->setValue(value);
    bar->setFixedHeight(24);
    // Reached with Tab like any field; the arrow keys then count.
    bar->setFocusPolicy(Qt::StrongFocus);
    return bar;
}

// A field with its spinner's arrows right against it, as one control.
QHBoxLayout* besideEachOther(QWidget* field, QScrollBar* spinner)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(field);
    row->addWidget(spinner);
    row->addStretch(1);
    return row;
}

}  // namespace

QWidget* NxPivotWizardCtrl::buildReportLayoutFrame()
{
    auto* controls = new QWidget;
    auto* grid = new QGridLayout(controls);
    const auto label = [this](int index, const QString& caption) {
        fraLabel[index] = named(new QLabel(caption), "fraLabel", index);
        return fraLabel[index];
    };
    grid->addWidget(label(16, QStringLiteral("Where would you like the pivot report to be positioned?")), 0, 0, 1, 4);
    cboInsertSheet = named(new QComboBox, "cboInsertSheet");
    grid->addWidget(label(29, QStringLiteral("Worksheet")), 1, 0);
    grid->addWidget(cboInsertSheet, 1, 1, 1, 3);
    cboAZ = named(new QComboBox, "cboAZ");
    grid->addWidget(label(28, QStringLiteral("Column")), 2, 0);
    grid->addWidget(cboAZ, 2, 1);
    fraText[1] = named(new QLineEdit, "fraText", 1);
    vRowScroll = spinner("vRowScroll", -32767, -1, -1);
    connect(vRowScroll, &QScrollBar::valueChanged, this, [this] { vRowScroll_Change(); });
    grid->addWidget(label(27, QStringLiteral("Row")), 3, 0);
    grid->addLayout(besideEachOther(fraText[1], vRowScroll), 3, 1);

    chkDisplay[1] = named(new QCheckBox(QStringLiteral("Include Chart")), "chkDisplay", 1);
    chkDisplay[0] = named(new QCheckBox(QStringLiteral("Alter Pivot Report Format")), "chkDisplay", 0);
    grid->addWidget(chkDisplay[1], 4, 0, 1, 2);
    grid->addWidget(chkDisplay[0], 5, 0, 1, 2);
    grid->addWidget(separatorLine("Line1", -1, QFrame::Sunken), 6, 0, 1, 4);

    lblFormatOptions = named(new QLabel(QStringLiteral("Formatting options")), "lblFormatOptions");
    chkRowGrand = named(new QCheckBox(QStringLiteral("Grandtotal rows")), "chkRowGrand");
    chkColumnsGrand = named(new QCheckBox(QStringLiteral("Grandtotal columns")), "chkColumnsGrand");
    chkRowSubs = named(new QCheckBox(QStringLiteral("Subtotal rows")), "chkRowSubs");
    chkColumnSubs = named(new QCheckBox(QStringLiteral("Subtotal columns")), "chkColumnSubs");
    chkRowGrand->setChecked(true);
    chkColumnsGrand->setChecked(true);
    chkDps = named(new QCheckBox(QStringLiteral("Set decimal places")), "chkDps");
    connect(chkDps, &QCheckBox::clicked, this, [this] { chkDps_Click(); });
    dpscrllbr = spinner("dpscrllbr", -15, 0, -2);
    connect(dpscrllbr, &QScrollBar::valueChanged, this, [this] { dpscrllbr_Change(); });
    lblDps = named(new QLabel(QStringLiteral("2")), "lblDps");
    // chkDps starts unchecked, and with it the spinner and its read-out.
    dpscrllbr->setEnabled(false);
    lblDps->setEnabled(false);
    grid->addWidget(lblFormatOptions, 7, 0, 1, 2);
    grid->addWidget(chkRowGrand, 8, 0, 1, 2);
    grid->addWidget(chkColumnsGrand, 8, 2, 1, 2);
    grid->addWidget(chkRowSubs, 9, 0, 1, 2);
    grid->addWidget(chkColumnSubs, 9, 2, 1, 2);
    grid->addWidget(chkDps, 10, 0, 1, 2);
    lblDps->setFrameShape(QFrame::StyledPanel);
    lblDps->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblDps->setFixedSize(32, dpscrllbr->height());
    grid->addLayout(besideEachOther(lblDps, dpscrllbr), 10, 2);

    auto* image3 = named(new QLabel, "Image3");
    image3->setPixmap(titlePicture());
    auto* image4 = named(new QLabel, "Image4");
    image4->setPixmap(titlePicture());
    grid->addWidget(image3, 1, 4, Qt::AlignRight);
    grid->addWidget(image4, 8, 4, Qt::AlignRight);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(11, 1);
    return stepFrame(6, buildTitleBand(6, 4, QStringLiteral("How to display information"),
                                       QStringLiteral("Select the PivotTable layout")),
                     controls);
}
