// The control's own interface: the welcome step's setting and the help
// form its help buttons open.
#include "common/wizardtest.h"
#include "wizard/forms/frmerrorhand.h"
#include "wizard/forms/frmhelp.h"
#include "wizard/settings/registry.h"
#include "widgets/nxhelpctrl.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>

#include <memory>

namespace {

const QString kDefaults = QStringLiteral("Software\\Brennlow\\Defaults"), kSetting = QStringLiteral("ShowPivotWizardStep1");

class Control : public testing::Test {
protected:
    TempSettings settings;
    RecordingMessages messages;
};

TEST_F(Control, TheSkipBoxWritesTheSettingThatMakesBeginSkipTheWelcomeStep)
{
    for (const auto& [stored, skipped] : {std::pair{"", false}, {"True", false}, {"False", true}}) {
        SCOPED_TRACE(stored);
        if (*stored)
            fWriteValue(QStringLiteral("HKCU"), kDefaults, kSetting, QStringLiteral("S"), QString::fromLatin1(stored));
        TestWizard wizard;
        EXPECT_EQ(findControl<QCheckBox>(&wizard, "chkSkip")->isChecked(), skipped);
        QSignalSpy steps(&wizard, &NxPivotWizardCtrl::wizardStep);
        wizard.Begin();
        EXPECT_EQ(wizard.currentStep(), skipped ? 1 : 0);
        EXPECT_EQ(steps.count(), skipped ? 1 : 0);
        EXPECT_EQ(steps.value(0).value(0).toString(), skipped ? QStringLiteral("PivotTable Wizard (Step 2 of 7)") : QString());
    }
    TestWizard wizard;
    for (const char* written : {"True", "False"}) {
        findControl<QCheckBox>(&wizard, "chkSkip")->click();
        QVariant value;
        fReadValue(QStringLiteral("HKCU"), kDefaults, kSetting, QStringLiteral("S"), QString(), value);
        EXPECT_EQ(value.toString(), QString::fromLatin1(written));
    }
    TestWizard next;
    next.Begin();
    EXPECT_EQ(next.currentStep(), 1);
}

// The one help form is modeless, has no owner window and shows the wizard's
// topic; Done, its close box or the control's end unload it and let go of
// the control.
TEST_F(Control, TheHelpButtonOpensTheHelpFormWhichLetsGoOfTheControlWhenItCloses)
{
    for (const char* way : {"doneButton", "close box", "owner gone"}) {
        SCOPED_TRACE(way);
        auto control = std::make_unique<TestWizard>();
        findControl<QToolButton>(control.get(), "butHelp", 0)->click();
        ASSERT_TRUE(frmHelp::isLoaded());
        frmHelp& form = frmHelp::instance();
        EXPECT_TRUE(form.isVisible() && !form.isModal() && control->findChildren<frmHelp*>().isEmpty());
        EXPECT_EQ(form.ownerControl.data(), control.get());
        EXPECT_TRUE(QTest::qWaitFor([&] { return form.NxHelpCtrl1->helpWizard() == 5 && form.NxHelpCtrl1->helpStep() == 1; }));
        if (std::string(way) == "close box") {
            EXPECT_TRUE(form.close());
        } else {
            if (std::string(way) == "owner gone")
                control.reset();
            for (const char* button : {"hotTipButton", "doneButton"})
                form.NxHelpCtrl1->findChild<QPushButton*>(QString::fromLatin1(button))->click();
        }
        EXPECT_TRUE(form.ownerControl.isNull());
        EXPECT_TRUE(QTest::qWaitFor([] { return !frmHelp::isLoaded(); }));
        EXPECT_FALSE(frmErrorHand::isLoaded());
    }
}

// Opened from any step, the help lies on the screen centred on the wizard
// (moved onto the screen when the wizard sits at its edge); every step's
// topic is reached from its list or from the welcome topic's links, and the
// topic the user chose stays when the help window is activated again.
class HelpViewer : public Control {
protected:
    static QRect screenArea() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    static QTextBrowser* browser(frmHelp& form) { return form.findChild<QTextBrowser*>(QStringLiteral("topicBrowser")); }
    static bool showsStep(frmHelp& form, int step)
    {
        return browser(form)->toPlainText().contains(QStringLiteral("Step %1 of 7").arg(step));
    }
    // Clicks the text `link` in the topic shown.
    static void clickLink(frmHelp& form, const QString& link)
    {
        QTextBrowser* view = browser(form);
        const QTextCursor found = view->document()->find(link);
        ASSERT_FALSE(found.isNull()) << link.toStdString();
        QTextCursor inside(found);
        inside.setPosition(found.selectionStart() + 1);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(inside).center());
    }
};

TEST_F(HelpViewer, OpensCentredOnTheWizardOnTheScreenAndReachesEveryStepsTopic)
{
    const QRect area = screenArea();
    const std::pair<const char*, QPoint> places[] = {{"middle", area.center()}, {"bottom right corner", area.bottomRight()}};
    for (const auto& [where, centre] : places) {
        SCOPED_TRACE(where);
        TestWizard wizard;
        QRect frame = wizard.frameGeometry();
        frame.moveCenter(centre);
        wizard.move(frame.topLeft());
        wizard.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&wizard));
        auto* help = findControl<QToolButton>(&wizard, "butHelp", 0);
        QTest::mouseClick(help, Qt::LeftButton, {}, help->rect().center());
        ASSERT_TRUE(frmHelp::isLoaded());
        frmHelp& form = frmHelp::instance();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        const QRect shown = form.frameGeometry();
        EXPECT_TRUE(area.contains(shown)) << shown.x() << "," << shown.y() << " " << shown.width() << "x" << shown.height();
        if (area.contains(QRect(QPoint(), shown.size()).translated(wizard.frameGeometry().center() - shown.center() + shown.topLeft()))) {
            EXPECT_LE((shown.center() - wizard.frameGeometry().center()).manhattanLength(), 2);
        }
        EXPECT_TRUE(showsStep(form, 1));

        // Every topic from the welcome topic's links, by mouse (the list's own test is the help control's).
        auto* topics = form.findChild<QListWidget*>(QStringLiteral("topicList"));
        for (int step = 2; step <= 7; ++step) {
            QTest::mouseClick(topics->viewport(), Qt::LeftButton, {}, topics->visualItemRect(topics->item(0)).center());
            clickLink(form, topics->item(step - 1)->text().section(QStringLiteral(" — "), 1));
            EXPECT_TRUE(showsStep(form, step)) << step;
        }
        // Back in the wizard and back in the help: the chosen topic stays.
        wizard.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&wizard));
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        EXPECT_TRUE(showsStep(form, 7));
        form.close();
        EXPECT_TRUE(QTest::qWaitFor([] { return !frmHelp::isLoaded(); }));
    }
}

}  // namespace
