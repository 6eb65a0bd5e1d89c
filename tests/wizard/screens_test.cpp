// How the steps look: message boxes wide enough for their titles.
#include "common/wizardtest.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace {

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
