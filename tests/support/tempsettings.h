// Points the settings store at a fresh file in a temporary folder for the
// lifetime of the object, so tests never touch the user's settings.
#pragma once

#include "support/scratchfolder.h"

#include <QString>
#include <QTemporaryDir>

class TempSettings {
public:
    QString settingsFile() const { return mDir.filePath(QStringLiteral("settings.db")); }

private:
    QTemporaryDir mDir;
    ScopedEnvironment mVariable{"PIVOTWIZARD_SETTINGS", settingsFile().toLocal8Bit().constData()};
};
