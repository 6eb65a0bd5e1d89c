// Points the settings store at a fresh file in a temporary folder for the
// lifetime of the object, so tests never touch the user's settings.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class TempSettings {
public:
    TempSettings() : mPrevious(qgetenv(kVariable)), mHadPrevious(qEnvironmentVariableIsSet(kVariable))
    {
        qputenv(kVariable, settingsFile().toLocal8Bit());
    }
    ~TempSettings() { mHadPrevious ? qputenv(kVariable, mPrevious) : qunsetenv(kVariable); }
    TempSettings(const TempSettings&) = delete;
    TempSettings& operator=(const TempSettings&) = delete;

    QString settingsFile() const { return mDir.filePath(QStringLiteral("settings.db")); }

private:
    static constexpr char kVariable[] = "PIVOTWIZARD_SETTINGS";
    QTemporaryDir mDir;
    QByteArray mPrevious;
    bool mHadPrevious;
};
