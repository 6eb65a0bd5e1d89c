#include "tempsettings.h"

namespace {
constexpr char kVariable[] = "PIVOTWIZARD_SETTINGS";
}

TempSettings::TempSettings()
    : mPrevious(qgetenv(kVariable)), mHadPrevious(qEnvironmentVariableIsSet(kVariable))
{
    qputenv(kVariable, settingsFile().toLocal8Bit());
}

TempSettings::~TempSettings()
{
    if (mHadPrevious)
        qputenv(kVariable, mPrevious);
    else
        qunsetenv(kVariable);
}

QString TempSettings::settingsFile() const { return mDir.filePath(QStringLiteral("settings.db")); }
