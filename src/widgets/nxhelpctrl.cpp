#include "widgets/nxhelpctrl.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include <span>

// The help texts live in a static library, whose resources are not registered
// until someone asks; Q_INIT_RESOURCE may not stand inside a namespace.
static void initHelpResources() { Q_INIT_RESOURCE(help); }

namespace {

// A help set: the topics of one wizard, one per step, in step order. Topic k
// of set W is the resource :/help/wizardW/stepk.html, its hot tip
// :/help/wizardW/tipk.html.
struct HelpSet {
    qint16 wizard;
    std::span<const char* const> headings;
};

constexpr const char* kPivotTableHeadings[] = {
    QT_TRANSLATE_NOOP("NxHelpCtrl", "Welcome"),
    QT_TRANSLATE_NOOP("NxHelpCtrl", "Select a cube"),
    QT_TRANSLATE_NOOP("NxHelpCtrl", "Organise dimensions"),
    QT_TRANSLATE_NOOP("NxHelpCtrl", "Choose measures"),
    QT_TRANSLATE_NOOP("NxHelpCtrl", "Choose row members"),
    QT_TRANSLATE_NOOP("NxHelpCtrl", "Choose column members"),
    QT_TRANSLATE_NOOP("NxHelpCtrl", "Choose PivotTable layout"),
};

constexpr HelpSet kHelpSets[] = {
    {NxHelpCtrl::kPivotTableWizard, kPivotTableHeadings},
};

const HelpSet* findHelpSet(qint16 wizard)
{
    for (const HelpSet& set : kHelpSets) {
        if (set.wizard == wizard)
            return &set;
    }
    return nullptr;
}

QString noHelpHtml(qint16 wizard)
{
    return NxHelpCtrl::tr("<h2>No help available</h2>"
                          "<p>There is no help available for this wizard (help set %1).</p>")
        .arg(wizard);
}

QString noTopicHtml(qint16 step, int count)
{
    return NxHelpCtrl::tr("<h2>No help topic</h2>"
                          "<p>There is no help topic for step %1. Choose one of the %2 topics "
                          "in the list.</p>")
        .arg(step)
        .arg(count);
}

// The text of a help file, or the "no help" text when the file is missing,
// so that a packaging mistake shows as missing help rather than a blank page.
QString helpFile(qint16 wizard, QLatin1String kind, qint16 step)
{
    QFile file(QStringLiteral(":/help/wizard%1/%2%3.html").arg(wizard).arg(kind).arg(step));
    if (!file.open(QIODevice::ReadOnly))
        return noHelpHtml(wizard);
    return QString::fromUtf8(file.readAll());
}

}  // namespace

NxHelpCtrl::NxHelpCtrl(QWidget* parent) : QWidget(parent)
{
    static const bool resourcesReady = (initHelpResources(), true);
    Q_UNUSED(resourcesReady);
    buildUi();
    fillTopicList();
    showTopic();
}

int NxHelpCtrl::topicCount(qint16 wizard)
{
    const HelpSet* set = findHelpSet(wizard);
    return set ? static_cast<int>(set->headings.size()) : 0;
}

void NxHelpCtrl::buildUi()
{
    mTopicList = new QListWidget(this);
    mTopicList->setObjectName(QStringLiteral("topicList"));
    mTopicList->setMaximumWidth(260);
    mTopicBrowser = new QTextBrowser(this);
    mTopicBrowser->setObjectName(QStringLiteral("topicBrowser"));
    mTopicBrowser->setOpenLinks(false);
    mHotTipPanel = new QLabel(this);
    mHotTipPanel->setObjectName(QStringLiteral("hotTipPanel"));
    mHotTipPanel->setWordWrap(true);
    mHotTipPanel->setTextFormat(Qt::RichText);
    mHotTipPanel->setFrameShape(QFrame::StyledPanel);
    mHotTipPanel->setMargin(6);
    mHotTipPanel->setBackgroundRole(QPalette::ToolTipBase);
    mHotTipPanel->setForegroundRole(QPalette::ToolTipText);
    mHotTipPanel->setAutoFillBackground(true);
    mHotTipPanel->hide();
    mHotTipButton = new QPushButton(tr("Hot &Tip"), this);
    mHotTipButton->setObjectName(QStringLiteral("hotTipButton"));
    mDoneButton = new QPushButton(tr("&Done"), this);
    mDoneButton->setObjectName(QStringLiteral("doneButton"));
    arrangeUi();
}

void NxHelpCtrl::arrangeUi()
{
    auto* topicColumn = new QVBoxLayout;
    topicColumn->addWidget(mTopicBrowser, 1);
    topicColumn->addWidget(mHotTipPanel);
    auto* body = new QHBoxLayout;
    body->addWidget(mTopicList);
    body->addLayout(topicColumn, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(mHotTipButton);
    buttons->addWidget(mDoneButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    connect(mTopicList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            userChose(static_cast<qint16>(row + 1));
    });
    connect(mTopicBrowser, &QTextBrowser::anchorClicked, this, &NxHelpCtrl::followLink);
    connect(mHotTipButton, &QPushButton::clicked, this, &NxHelpCtrl::showHotTip);
    connect(mDoneButton, &QPushButton::clicked, this, [this] { Q_EMIT wizardResult(true); });
}

void NxHelpCtrl::setHelpWizard(qint16 wizard)
{
    if (mHostWrote && wizard == mWizard)
        return;  // the same help set: the user's topic stays
    mWizard = wizard;
    fillTopicList();
    showTopic();
}

void NxHelpCtrl::setHelpStep(qint16 step)
{
    if (mHostWrote && step == mHostStep)
        return;
    mHostWrote = true;
    mHostStep = step;
    userChose(step);
}

void NxHelpCtrl::userChose(qint16 step)
{
    mStep = step;
    selectTopicRow();
    showTopic();
}

// Links between topics name the topic's file; anything else is not followed.
void NxHelpCtrl::followLink(const QUrl& link)
{
    static const QRegularExpression topicFile(QStringLiteral("^step([0-9]{1,2})\\.html$"));
    const QRegularExpressionMatch match = topicFile.match(link.toString());
    if (match.hasMatch())
        userChose(static_cast<qint16>(match.captured(1).toInt()));
}

void NxHelpCtrl::fillTopicList()
{
    const QSignalBlocker blocker(mTopicList);
    mTopicList->clear();
    if (const HelpSet* set = findHelpSet(mWizard)) {
        const int count = static_cast<int>(set->headings.size());
        for (int i = 0; i < count; ++i)
            mTopicList->addItem(tr("Step %1 of %2 — %3").arg(i + 1).arg(count).arg(tr(set->headings[i])));
    }
    mTopicList->setEnabled(mTopicList->count() > 0);
    selectTopicRow();
}

void NxHelpCtrl::selectTopicRow()
{
    // Programmatic selection must not come back as a user's choice.
    const QSignalBlocker blocker(mTopicList);
    const int row = mStep - 1;
    mTopicList->setCurrentRow(row >= 0 && row < mTopicList->count() ? row : -1);
}

void NxHelpCtrl::showTopic()
{
    // A tip belongs to the topic it was asked for.
    mHotTipPanel->hide();
    mHotTipPanel->clear();
    const int count = topicCount(mWizard);
    const bool hasTopic = mStep >= 1 && mStep <= count;
    mHotTipButton->setEnabled(hasTopic);
    if (count == 0)
        mTopicBrowser->setHtml(noHelpHtml(mWizard));
    else if (!hasTopic)
        mTopicBrowser->setHtml(noTopicHtml(mStep, count));
    else
        mTopicBrowser->setHtml(helpFile(mWizard, QLatin1String("step"), mStep));
}

void NxHelpCtrl::showHotTip()
{
    mHotTipPanel->setText(helpFile(mWizard, QLatin1String("tip"), mStep));
    mHotTipPanel->show();
    Q_EMIT hotTipCalled(mWizard, mStep);
}
