// The parts of the control's window that all steps share: the frame stack,
// the title band of each step, the button frame and the right-click menu.
#include "wizard/control/nxpivotwizardctrl.h"

#include "wizard/control/artwork.h"
#include "wizard/control/screenparts.h"

#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

void NxPivotWizardCtrl::buildScreens()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    setFont(font);

    frameStack = new QStackedWidget(this);
    frameStack->setObjectName(QStringLiteral("frameStack"));
    QWidget* frames[] = {buildWelcomeFrame(),       buildCubeFrame(),         buildLayoutFrame(),
                         buildMeasuresFrame(),      buildDimensionMembersFrame(1), buildDimensionMembersFrame(2),
                         buildReportLayoutFrame()};
    for (int i = 0; i < 7; ++i) {
        fralayout[i] = named(frames[i], "fralayout", i);
        frameStack->addWidget(fralayout[i]);
    }
    // All frames lie on top of one another at one size, whatever their own
    // contents would ask for.
    frameStack->setFixedSize(kFrameSize);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(frameStack);
    layout->addWidget(buildCommandFrame());
    buildCheckOptionsMenu();
}

QWidget* NxPivotWizardCtrl::buildTitleBand(int step, int titleIndex, const QString& title,
                                           const QString& designCaption)
{
    auto* band = named(new QFrame, "picTitelHolder", step);
    band->setAutoFillBackground(true);
    QPalette palette = band->palette();
    palette.setColor(QPalette::Window, Qt::white);
    band->setPalette(palette);

    auto* picture = named(new QLabel, "picTitle", step);
    picture->setPixmap(titlePicture());
    lblTitle[titleIndex] = named(new QLabel(title), "lblTitle", titleIndex);
    QFont bold = lblTitle[titleIndex]->font();
    bold.setBold(true);
    lblTitle[titleIndex]->setFont(bold);
    lblStepDescription[step] = named(new QLabel(designCaption), "lblStepDescription", step);
    lblStepDescription[step]->setTextFormat(Qt::PlainText);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle[titleIndex]);
    texts->addWidget(lblStepDescription[step]);
    auto* layout = new QHBoxLayout(band);
    layout->addLayout(texts, 1);
    layout->addWidget(picture);
    return band;
}

QWidget* NxPivotWizardCtrl::stepFrame(int step, QWidget* title, QWidget* stepControls)
{
    auto* frame = new QWidget;
    auto* fraStep = named(new QFrame, "fraStep", step);
    auto* inner = new QVBoxLayout(fraStep);
    inner->addWidget(stepControls);

    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(title);
    layout->addWidget(separatorLine("linWhite", step, QFrame::Plain));
    layout->addWidget(fraStep, 1);
    layout->addWidget(separatorLine("linBlack", step, QFrame::Sunken));
    return frame;
}

QWidget* NxPivotWizardCtrl::buildCommandFrame()
{
    fraCommand = named(new QFrame, "fraCommand");
    // The captions with a mnemonic each (Alt+B, Alt+N, Alt+F, Alt+C).
    const char* captions[] = {"<- &Back", "&Next ->", "&Finish", "&Cancel"};
    butHelp[0] = named(new QToolButton, "butHelp", 0);
    butHelp[0]->setText(QStringLiteral("?"));
    butHelp[0]->setToolTip(QStringLiteral("Help"));
    QFont helpFont = butHelp[0]->font();
    helpFont.setBold(true);
    butHelp[0]->setFont(helpFont);
    connect(butHelp[0], &QToolButton::clicked, this, [this] { butHelp_Click(0); });
    lblWizProgress = named(new QLabel, "lblWizProgress");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(butHelp[0]);
    buttons->addWidget(lblWizProgress, 1);
    for (int i = 0; i < 4; ++i) {
        butCommand[i] = named(new QPushButton(QString::fromLatin1(captions[i])), "butCommand", i);
        connect(butCommand[i], &QPushButton::clicked, this, [this, i] { butCommand_Click(i); });
        buttons->addWidget(butCommand[i]);
    }
    auto* layout = new QVBoxLayout(fraCommand);
    layout->addWidget(separatorLine("linCommandWhite", -1, QFrame::Plain));
    layout->addWidget(separatorLine("linCommandBlack", -1, QFrame::Sunken));
    layout->addLayout(buttons);
    return fraCommand;
}

void NxPivotWizardCtrl::buildCheckOptionsMenu()
{
    mnuCheckOptions = named(new QMenu(QStringLiteral("Check Options"), this), "mnuCheckOptions");
    const auto addGroup = [this](const char* name, const QString& caption, const char* prefix) {
        QMenu* group = named(mnuCheckOptions->addMenu(caption), name);
        const char* items[][2] = {{"Siblings", "Siblings"}, {"Children", "Children"},
                                  {"AllDescendants", "All Descendants"}};
        for (const auto& item : items) {
            QAction* action = group->addAction(QString::fromLatin1(item[1]));
            action->setObjectName(QString::fromLatin1(prefix) + QString::fromLatin1(item[0]));
        }
    };
    addGroup("mnuSelect", QStringLiteral("Select"), "mnuSelect");
    addGroup("mnuDeselect", QStringLiteral("Deselect"), "mnuDeselect");
}
