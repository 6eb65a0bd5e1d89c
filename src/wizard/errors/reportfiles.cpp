#include "wizard/errors/reportfiles.h"

#include "wizard/settings/global.h"
#include "wizard/settings/registry.h"
#include "platform/services/errorlog.h"
#include "platform/core/fileio.h"
#include "platform/services/ziparchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QVariant>

namespace report {

namespace {

QString directorySetting(const QString& valueName)
{
    QString directory = defaultsSetting(valueName);
    if (!directory.isEmpty() && !directory.endsWith(QLatin1Char('/')) && !directory.endsWith(QLatin1Char('\\')))
        directory += QLatin1Char('/');
    return directory;
}

}  // namespace

QString defaultsSetting(const QString& valueName)
{
    QVariant value;
    fReadValue(QStringLiteral("HKCU"), QStringLiteral("Software\\Brennlow\\Defaults"), valueName, QStringLiteral("S"),
               QString(), value);
    return value.toString();
}

QString installDirectory() { return directorySetting(QStringLiteral("Installed")); }

QString applicationDirectory() { return directorySetting(QStringLiteral("ApplicationDir")); }

std::filesystem::path localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString newArchiveName()
{
    const QString temporary = getATempFileName();
    if (temporary.isEmpty())
        return {};
    QFile::remove(temporary);
    return temporary.left(temporary.size() - 3) + QStringLiteral("zip");
}

QStringList writeArchive(const QString& archive, const QStringList& files)
{
    platform::ZipArchive zip(localPath(archive));
    QStringList missing;
    for (const QString& file : files) {
        const std::filesystem::path path = localPath(file);
        // A file that is gone is left out; the caller tells the user which.
        if (!std::filesystem::exists(platform::findIgnoringCase(path)))
            missing << file;
        else
            zip.addFile(path);
    }
    zip.write();
    return missing;
}

QString moveInto(const QString& file, const QString& folder)
{
    if (!QFileInfo(folder.isEmpty() ? QStringLiteral(".") : folder).isDir())
        return file;
    const QString target = folder + QFileInfo(file).fileName();
    return QFile::rename(file, target) ? target : file;
}

QString errorLogFile(const QString& directory)
{
    return directory + kErrorLogs
           + QLatin1StringView(platform::kErrorLogName.data(), qsizetype(platform::kErrorLogName.size()));
}

QString fallbackLogFile()
{
    return errorLogFile(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                        + QStringLiteral("/pivotwizard/"));
}

}  // namespace report
