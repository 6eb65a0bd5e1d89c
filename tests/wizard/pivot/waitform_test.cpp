// What a user sees while Finish builds the report: the wait form centred on
// the wizard, painted while the build works, its bar moving with the build's
// steps, its title not cut; and the wizard behind it showing the layout step.
#include "buildfixture.h"

#include <QFontMetrics>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTest>

#include <set>

namespace {

// Records, while it is installed, what was painted: the progress values the
// wait form showed, where it stood, and whether the wizard's layout step
// was drawn behind it.
struct PaintWatch : QObject {
    explicit PaintWatch(const QWidget* layoutStep) : mLayoutStep(layoutStep) { qApp->installEventFilter(this); }
    ~PaintWatch() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() != QEvent::Paint || !widget)
            return false;
        if (widget->window()->objectName() == u"FmWait") {
            if (auto* bar = widget->window()->findChild<QProgressBar*>(QStringLiteral("PrgWait")))
                valuesShown.insert(bar->value());
            waitFrame = widget->window()->frameGeometry();
        } else if (widget == mLayoutStep || mLayoutStep->isAncestorOf(widget)) {
            layoutStepPainted = layoutStepPainted || FmWait::isLoaded();
        }
        return false;
    }

    const QWidget* mLayoutStep;
    std::set<int> valuesShown;
    QRect waitFrame;
    bool layoutStepPainted = false;
};

TEST_F(BuildTest, TheWaitFormIsPaintedOnTheWizardWithItsBarMovingAndTheLayoutStepBehindIt)
{
    wizard.move(60, 40);
    wizard.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&wizard));
    prepareBuild(kStoreCube);
    ASSERT_EQ(wizard.currentStep(), 2);
    QRect waitShown;
    int maximum = 0;
    {
        const PaintWatch watch(findControl<QWidget>(&wizard, "fralayout", 6));
        click(2);  // Finish, from the dimension layout step
        ASSERT_TRUE(builtTable());
        EXPECT_TRUE(watch.layoutStepPainted) << "the wizard behind the wait form showed an earlier step";
        waitShown = watch.waitFrame;
        EXPECT_GE(watch.valuesShown.size(), 4u) << "the bar was painted at too few places";
        if (!watch.valuesShown.empty())
            maximum = *watch.valuesShown.rbegin();
        EXPECT_TRUE(watch.valuesShown.count(0)) << "no paint before the build's first step";
    }
    ASSERT_TRUE(waitShown.isValid()) << "the wait form was never painted";
    EXPECT_LE((waitShown.center() - wizard.frameGeometry().center()).manhattanLength(), 2);
    EXPECT_GT(maximum, 0);
    // The caption fits the window: the title bar holds the text and its buttons.
    const QString title = QStringLiteral("Please wait Creating Pivot details ...");
    EXPECT_GE(waitShown.width(), QFontMetrics(QApplication::font()).horizontalAdvance(title) + 100);
    EXPECT_TRUE(messages.shown().empty());
}

}  // namespace
