// The files of the error report: where they live, and the archive that
// carries them to the vendor. Used by the report form frmErrorHand.
//
// Directories come from the settings key Software\Brennlow\Defaults under
// HKCU: "Installed" (the install directory: error log, restart program) and
// "ApplicationDir" (the application directory: screenshot, supporting file).
// Each is returned with a trailing '/' (a trailing '\' also counts as one),
// or empty when the value is missing or empty; file names built from an empty
// directory are relative to the current directory.
#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>

namespace report {

inline constexpr QLatin1StringView kErrorLogs("Error Logs/");
inline constexpr QLatin1StringView kScreenshot("screenShot.bmp");
inline constexpr QLatin1StringView kSupportingFile("Brennlow.bws");

// The text value `valueName` of that key; empty when it is missing.
QString defaultsSetting(const QString& valueName);

QString installDirectory();
QString applicationDirectory();

// `path` as the file system names it.
std::filesystem::path localPath(const QString& path);

// A fresh name for a report archive: a unique temporary file's name whose
// extension is replaced by "zip" (the temporary file itself is removed).
// Empty when no temporary file can be made.
QString newArchiveName();

// Writes the zip archive `archive` holding those of `files` that exist (names
// compared without regard to letter case) and returns the ones that did not.
// Throws platform::Failure when the archive cannot be written.
QStringList writeArchive(const QString& archive, const QStringList& files);

// Moves `file` into `folder` under its own name and returns its new path; on
// failure leaves it where it is and returns `file`.
QString moveInto(const QString& file, const QString& folder);

// The error log below `directory`: directory + "Error Logs/BWError.log".
QString errorLogFile(const QString& directory);

// The log the record goes to when the install directory's log cannot be
// written: "Error Logs/BWError.log" in the user's application data folder.
QString fallbackLogFile();

}  // namespace report
