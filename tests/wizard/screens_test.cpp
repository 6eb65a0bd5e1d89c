// How the steps look: the member steps' controls at one place, spinners
// beside the fields they count, message boxes wide enough for their titles.
#include "common/wizardtest.h"
#include "widgets/nxdimeditctrl.h"

#include <QMessageBox>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>

namespace {

class Screens : public WizardTest {
protected:
    Screens()
    {
        wizard.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&wizard));
    }
    QRect placeOn(int step, const QWidget* control)
    {
        wizard.findChild<QStackedWidget*>(QStringLiteral("frameStack"))->setCurrentIndex(step);
        QApplication::processEvents();
        return QRect(control->mapTo(&wizard, QPoint()), control->size());
    }
};

// Going from the row members to the column members, nothing but the texts moves.
TEST_F(Screens, TheRowAndColumnMemberStepsPutTheirControlsAtOnePlace)
{
    const QRect rowList = placeOn(4, wizard.lstCubeOptions[1]);
    const QRect rowEditor = placeOn(4, wizard.NxDimEditRows[0]->parentWidget());
    EXPECT_EQ(placeOn(5, wizard.lstCubeOptions[2]), rowList);
    EXPECT_EQ(placeOn(5, wizard.NxDimEditCols[0]->parentWidget()), rowEditor);
}

TEST_F(Screens, SpinnersSitBesideTheFieldsTheyCount)
{
    const std::pair<const QWidget*, const QScrollBar*> pairs[] = {{wizard.fraText[1], findControl<QScrollBar>(&wizard, "vRowScroll")},
                                                                  {wizard.lblDps, wizard.dpscrllbr}};
    for (const auto& [field, spinner] : pairs) {
        SCOPED_TRACE(spinner->objectName().toStdString());
        const QRect fieldAt = placeOn(6, field), spinnerAt = placeOn(6, spinner);
        EXPECT_GE(spinnerAt.left() - fieldAt.right(), 0);
        EXPECT_LE(spinnerAt.left() - fieldAt.right(), 4) << "a gap between the field and its arrows";
        EXPECT_LE(std::abs(spinnerAt.center().y() - fieldAt.center().y()), 3);
    }
}

// The product's own message boxes (no recording service here).
TEST(MessageBoxes, AreWideEnoughForTheirTitles)
{
    for (const char* title : {"Measures required", "File Missing Error", "Dimensions required", "Protected sheet"}) {
        SCOPED_TRACE(title);
        int width = 0;
        QTimer::singleShot(0, [&width] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            width = box->frameGeometry().width();
            box->accept();
        });
        messages().showMessage(QStringLiteral("OK?"), QString::fromLatin1(title), MessageIcon::Exclamation);
        // The title bar holds the title beside the window's icon and buttons.
        EXPECT_GE(width, QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(QString::fromLatin1(title)) + 120);
    }
}

}  // namespace
