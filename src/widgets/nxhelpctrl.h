// NxHelpCtrl: the help and hot-tip viewer of the wizards.
//
// A host picks a help set with helpWizard and a topic inside it with
// helpStep; the control shows that topic at once. Help set 5 is the
// PivotTable wizard's, with one topic per step ("Step 1 of 7" .. "Step 7 of
// 7"). The user can browse the set's topics in a list, ask for the current
// topic's hot tip (hotTipCalled) and end the help with Done (wizardResult).
//
// The texts are HTML files compiled into the widgets library (help.qrc); the
// control needs no files at run time.
#pragma once

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;
class QTextBrowser;
class QUrl;

class NxHelpCtrl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qint16 helpWizard READ helpWizard WRITE setHelpWizard)
    Q_PROPERTY(qint16 helpStep READ helpStep WRITE setHelpStep)

public:
    // The help set of the PivotTable wizard.
    static constexpr qint16 kPivotTableWizard = 5;

    explicit NxHelpCtrl(QWidget* parent = nullptr);

    // The help set shown. Any value is accepted; a value with no help set
    // shows a "no help available" text, an empty topic list and a disabled
    // Hot Tip button. Setting it shows the topic helpStep of the new set.
    qint16 helpWizard() const { return mWizard; }
    void setHelpWizard(qint16 wizard);

    // The topic shown, counted from 1 (step 1 is the first topic). Any value
    // is accepted; one outside the set's topics shows a "no topic" text.
    // Choosing a topic in the list, or following a topic's link to another
    // ("stepN.html"), changes it as well. Writing again the value the host
    // wrote last (as a help window does each time it is activated) keeps the
    // topic the user chose since.
    qint16 helpStep() const { return mStep; }
    void setHelpStep(qint16 step);

    // The number of topics of a help set; 0 when there is no help for it.
    static int topicCount(qint16 wizard);

Q_SIGNALS:
    // The user pressed Hot Tip; `step` is the topic shown at that moment.
    void hotTipCalled(qint16 wizard, qint16 step);
    // The user finished with the help (Done): always true.
    void wizardResult(bool result);

private:
    void buildUi();
    void arrangeUi();
    void fillTopicList();
    void selectTopicRow();
    void showTopic();
    void showHotTip();
    void userChose(qint16 step);
    void followLink(const QUrl& link);

    qint16 mWizard = 0;
    qint16 mStep = 0;
    qint16 mHostStep = 0;  // the step the host wrote last
    bool mHostWrote = false;

    // Owned by Qt parentage.
    QListWidget* mTopicList = nullptr;
    QTextBrowser* mTopicBrowser = nullptr;
    QLabel* mHotTipPanel = nullptr;
    QPushButton* mHotTipButton = nullptr;
    QPushButton* mDoneButton = nullptr;
};
