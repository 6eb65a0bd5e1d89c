// The picture of the report form in the documentation. Run with
// PIVOTWIZARD_ERRORFORM_PICTURE=<file.png> (under a real or virtual X server,
// QT_QPA_PLATFORM=xcb, so fonts and style are the desktop's) to write it.
#include "wizard/forms/frmerrorhand.h"
#include "reportfixture.h"
#include "smtptestserver.h"

#include <QCoreApplication>
#include <QPixmap>

TEST_F(ReportFormTest, TheFormRendersForTheDocumentation)
{
    SmtpTestServer server;
    configureMail(server.url());
    frmErrorHand& form = reportFailure();
    // A failure as users meet it: inside the wizard control, while building.
    form.errModule = QStringLiteral("NxPivotWizardCtrl");
    form.errProcedure = QStringLiteral("bool NxPivotWizardCtrl::CreatePivot()");
    form.errNumber = 1004;
    form.errDescription = QStringLiteral("The PivotTable field name is not valid.");
    form.showReport();
    describe(QStringLiteral("I chose two row dimensions and pressed Finish."));
    QCoreApplication::processEvents();   // lets the layout take in the new texts

    const QPixmap picture = form.grab();
    ASSERT_FALSE(picture.isNull());
    EXPECT_TRUE(enabled("butEMail"));
    const QString file = qEnvironmentVariable("PIVOTWIZARD_ERRORFORM_PICTURE");
    if (!file.isEmpty()) {
        EXPECT_TRUE(picture.save(file, "PNG")) << file.toStdString();
    }
}
