// Points the settings store at a fresh file in a temporary folder for the
// lifetime of the object, so tests never touch the user's settings.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class TempSettings {
public:
    TempSettings();
    ~TempSettings();
    TempSettings(const TempSettings&) = delete;
    TempSettings& operator=(const TempSettings&) = delete;

    QString folder() const { return mDir.path(); }
    QString settingsFile() const;

private:
    QTemporaryDir mDir;
    QByteArray mPrevious;
    bool mHadPrevious;
};
