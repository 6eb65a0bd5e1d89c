// Whether the welcome step is shown: a setting of the current user that
// persists across runs of the host.
#include "wizard/control/nxpivotwizardctrl.h"

#include "wizard/settings/registry.h"

#include <QCheckBox>

namespace {
const QString kTopKey = QStringLiteral("HKCU");
const QString kDefaultsKey = QStringLiteral("Software\\Brennlow\\Defaults");
const QString kShowWelcome = QStringLiteral("ShowPivotWizardStep1");
}  // namespace

bool NxPivotWizardCtrl::SkipFirstPage()
{
    bool result = false;
    trap([&] {
        QVariant shown;
        // A missing value is no failure: the welcome step is then shown.
        fReadValue(kTopKey, kDefaultsKey, kShowWelcome, QStringLiteral("S"), QStringLiteral("True"), shown);
        result = shown.toString().compare(QLatin1String("False"), Qt::CaseInsensitive) == 0;
    });
    return result;
}

void NxPivotWizardCtrl::chkSkip_Click()
{
    trap([&] {
        const bool skip = chkSkip->isChecked();
        fWriteValue(kTopKey, kDefaultsKey, kShowWelcome, QStringLiteral("S"),
                    skip ? QStringLiteral("False") : QStringLiteral("True"));
        skipWelcome = skip;
    });
}
