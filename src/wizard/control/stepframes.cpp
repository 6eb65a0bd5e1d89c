// The step frames 0 to 5: their controls with the names, indices and
// captions the rest of the wizard addresses them by.
#include "wizard/control/nxpivotwizardctrl.h"

#include "wizard/control/artwork.h"
#include "wizard/control/screenparts.h"
#include "widgets/diskbrowser.h"
#include "widgets/nxcubeselectorctrl.h"
#include "widgets/nxdimeditctrl.h"
#include "widgets/nxstoreloader.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QLabel* decoration(const char* name)
{
    auto* image = named(new QLabel, name);
    image->setPixmap(titlePicture());
    image->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    return image;
}

QLabel* instructions(const char* name)
{
    auto* label = named(new QLabel, name);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace

QWidget* NxPivotWizardCtrl::buildWelcomeFrame()
{
    auto* frame = new QWidget;
    Image1 = named(new QLabel, "Image1");
    Image1->setPixmap(welcomePicture());
    auto* heading = new QLabel(QStringLiteral("Welcome to the PivotTable wizard"));
    QFont big = heading->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    heading->setFont(big);
    auto* intro = new QLabel(QStringLiteral(
        "This wizard builds a PivotTable report from an OLAP cube in seven steps: choose a cube, "
        "arrange its dimensions, choose measures and members, and choose where and how the report "
        "appears.\n\nPress Next to begin."));
    intro->setWordWrap(true);
    chkSkip = named(new QCheckBox(QStringLiteral("&Skip this screen in the future")), "chkSkip");
    connect(chkSkip, &QCheckBox::clicked, this, [this] { chkSkip_Click(); });

    auto* texts = new QVBoxLayout;
    texts->addWidget(heading);
    texts->addSpacing(12);
    texts->addWidget(intro);
    texts->addStretch(1);
    texts->addWidget(chkSkip);
    auto* layout = new QHBoxLayout(frame);
    layout->addWidget(Image1, 0, Qt::AlignTop);
    layout->addSpacing(16);
    layout->addLayout(texts, 1);
    return frame;
}

QWidget* NxPivotWizardCtrl::buildCubeFrame()
{
    auto* controls = new QWidget;
    NxCubeSelectorCtrl1 = named(new NxCubeSelectorCtrl, "NxCubeSelectorCtrl1");
    tabCube = named(new QTabWidget, "tabCube");

    auto* disk = new QWidget;
    DriveCube = named(new DriveListBox, "DriveCube");
    DirCube = named(new DirListBox, "DirCube");
    FileCube = named(new FileListBox, "FileCube");
    cmbCubeFileTypes = named(new QComboBox, "cmbCubeFileTypes");
    cmbCubeFileTypes->addItems({QStringLiteral("Cube files (*.cub)"), QStringLiteral("Store cube files (*.BWC)"),
                                QStringLiteral("All cube files (*.cub;*.BWC)")});
    connect(cmbCubeFileTypes, &QComboBox::activated, this, [this] { cmbCubeFileTypes_Click(); });
    lblSelectModel[0] = named(instructions("lblSelectModel"), "lblSelectModel", 0);
    lblSelectModel[0]->setText(QStringLiteral("Select Cub File"));
    auto* diskLayout = new QGridLayout(disk);
    diskLayout->addWidget(DriveCube, 0, 0);
    diskLayout->addWidget(DirCube, 1, 0);
    diskLayout->addWidget(FileCube, 0, 1, 2, 1);
    diskLayout->addWidget(cmbCubeFileTypes, 2, 1);
    diskLayout->addWidget(lblSelectModel[0], 2, 0);

    auto* store = new QWidget;
    NxStoreLoader1 = named(new NxStoreLoader, "NxStoreLoader");
    NxStoreLoader1->setCubeSelector(NxCubeSelectorCtrl1);  // a cube chosen on this tab becomes the selector's choice
    lblSelectModel[1] = named(instructions("lblSelectModel"), "lblSelectModel", 1);
    lblSelectModel[1]->setText(QStringLiteral("Select Application Cube"));
    auto* storeLayout = new QVBoxLayout(store);
    storeLayout->addWidget(NxStoreLoader1, 1);
    storeLayout->addWidget(lblSelectModel[1]);

    tabCube->addTab(disk, QStringLiteral("Select Cube from Disk"));
    tabCube->addTab(store, QStringLiteral("Select Application Cube"));
    auto* layout = new QVBoxLayout(controls);
    layout->addWidget(NxCubeSelectorCtrl1);
    layout->addWidget(tabCube, 1);
    layout->addWidget(decoration("Image5"));
    return stepFrame(1, buildTitleBand(1, 1, QStringLiteral("Select the Cube to use "),
                                       QStringLiteral("Select the cube where the information is to be gathered from")),
                     controls);
}

QWidget* NxPivotWizardCtrl::buildLayoutFrame()
{
    auto* controls = new QWidget;
    auto* grid = new QGridLayout(controls);
    const auto areaList = [this](int index) {
        lstCubeDetails[index] = named(new QListWidget, "lstCubeDetails", index);
        lstCubeDetails[index]->setSelectionMode(QAbstractItemView::SingleSelection);
        wireLayoutList(index);
        return lstCubeDetails[index];
    };
    const auto areaLabel = [this](int index, const QString& caption) {
        fraLabel[index] = named(new QLabel(caption), "fraLabel", index);
        return fraLabel[index];
    };
    lblReportLayout = instructions("lblReportLayout");
    lblLayoutKeys = instructions("lblLayoutKeys");
    auto* texts = new QVBoxLayout;
    texts->addWidget(lblReportLayout);
    texts->addWidget(lblLayoutKeys);
    grid->addLayout(texts, 0, 0, 1, 3);
    grid->addWidget(decoration("Image6"), 0, 3);
    lblUnselected = named(new QLabel(QStringLiteral("Unselected")), "lblUnselected");
    grid->addWidget(lblUnselected, 1, 0);
    grid->addWidget(areaList(kUnselectedList), 2, 0, 3, 1);
    grid->addWidget(areaLabel(12, QStringLiteral("Background")), 1, 1, 1, 2);
    grid->addWidget(areaList(kBackgroundList), 2, 1, 1, 2);
    grid->addWidget(areaLabel(6, QStringLiteral("Rows")), 3, 1);
    grid->addWidget(areaList(kRowsList), 4, 1);
    grid->addWidget(areaLabel(11, QStringLiteral("Columns")), 3, 2);
    grid->addWidget(areaList(kColumnsList), 4, 2);

    auto* arrows = new QVBoxLayout;
    const QStyle::StandardPixmap icons[] = {QStyle::SP_ArrowUp, QStyle::SP_ArrowDown};
    for (int i = 0; i < 2; ++i) {
        butMovement[i] = named(new QToolButton, "butMovement", i);
        butMovement[i]->setIcon(style()->standardIcon(icons[i]));
        connect(butMovement[i], &QToolButton::clicked, this, [this, i] { butMovement_Click(i); });
        arrows->addWidget(butMovement[i]);
    }
    arrows->addStretch(1);
    grid->addLayout(arrows, 2, 3, 3, 1);
    grid->setRowStretch(2, 1);
    grid->setRowStretch(4, 2);
    for (int column = 0; column < 3; ++column)
        grid->setColumnStretch(column, 1);
    return stepFrame(2, buildTitleBand(2, 2, QStringLiteral("Layout of PivotTable Report"),
                                       QStringLiteral("Specify what information you want to include in the Rows, Columns & Background")),
                     controls);
}

// The three member steps share one shape: a dimension list over a member
// editor, with instructions beside them. The instructions have a column of
// their own, so that a longer text never moves the list or the editor.
static QWidget* memberStepControls(QListWidget* dimensions, QLabel* caption, QWidget* editor,
                                   QLabel* instructionLabel, QLabel* image)
{
    auto* controls = new QWidget;
    auto* grid = new QGridLayout(controls);
    if (caption)
        grid->addWidget(caption, 0, 0);
    dimensions->setMaximumHeight(64);
    grid->addWidget(dimensions, 1, 0);
    grid->addWidget(editor, 2, 0);
    auto* side = new QVBoxLayout;
    side->addWidget(instructionLabel);
    side->addStretch(1);
    side->addWidget(image);
    grid->addLayout(side, 0, 1, 3, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(2, 1);
    return controls;
}

QWidget* NxPivotWizardCtrl::buildMeasuresFrame()
{
    lstCubeOptions[0] = named(new QListWidget, "lstCubeOptions", 0);
    NxDimEditMembers = named(new NxDimEditCtrl, "NxDimEditMembers");
    wireMemberEditor(NxDimEditMembers, 0, 0);
    wireDimensionList(0);
    lblSelectMeasures = instructions("lblSelectMeasures");
    QWidget* controls = memberStepControls(lstCubeOptions[0], nullptr, NxDimEditMembers, lblSelectMeasures,
                                           decoration("Image7"));
    return stepFrame(3, buildTitleBand(3, 3, QStringLiteral("Select Measures to include in report"),
                                       QStringLiteral("Which Members do you want to include, and in what order ?")),
                     controls);
}

// The row (area 1) and column (area 2) member steps differ only in names and texts.
QWidget* NxPivotWizardCtrl::buildDimensionMembersFrame(int area)
{
    const bool rows = area == 1;
    lstCubeOptions[area] = named(new QListWidget, "lstCubeOptions", area);
    const int captionIndex = rows ? 15 : 25;
    fraLabel[captionIndex] = named(new QLabel(QStringLiteral("Select Dimension")), "fraLabel", captionIndex);
    std::vector<NxDimEditCtrl*>& editors = rows ? NxDimEditRows : NxDimEditCols;
    editors.push_back(named(new NxDimEditCtrl, rows ? "NxDimEditRows" : "NxDimEditCols", 0));
    wireMemberEditor(editors[0], area, 0);
    wireDimensionList(area);
    // One editor per dimension opened, on top of one another; the one of the
    // dimension picked in the list is in front.
    auto* editorStack = named(new QStackedWidget, rows ? "NxDimEditRowsStack" : "NxDimEditColsStack");
    editorStack->addWidget(editors[0]);
    QLabel*& instructionLabel = rows ? lblSelectRows : lblSelectColumns;
    instructionLabel = instructions(rows ? "lblSelectRows" : "lblSelectColumns");
    QWidget* controls = memberStepControls(lstCubeOptions[area], fraLabel[captionIndex], editorStack,
                                           instructionLabel, decoration(rows ? "Image9" : "Image8"));
    const int step = rows ? 4 : 5;
    const QString title = rows ? QStringLiteral("Select Row Members to include in report")
                               : QStringLiteral("Select Column Members to include in report");
    const QString caption = rows ? QStringLiteral("Which Members do you want to include in the Rows, and in what order ?")
                                 : QStringLiteral("Which Members do you want to include in the Columns, and in what order ?");
    return stepFrame(step, buildTitleBand(step, rows ? 0 : 5, title, caption), controls);
}

// Picking an entry, by the user or by the list being filled, opens that
// dimension; a list being emptied has no entry to open. The selection, not
// the current row, is what counts: a mouse press makes the pressed entry
// current before it selects it, and at that moment the entry is not yet the
// list's choice.
void NxPivotWizardCtrl::wireDimensionList(int Index)
{
    QListWidget* list = lstCubeOptions[Index];
    connect(list, &QListWidget::itemSelectionChanged, this, [this, Index, list] {
        const QListWidgetItem* item = list->currentItem();
        if (item && item->isSelected())
            lstCubeOptions_Click(Index);
    });
}
