// Starting the restart program, which brings the user back into the wizard
// after the report form has closed the failing host program.
//
// The program is "System/bwrestart" below the install directory. It is
// started detached, with that folder as its working directory, and told what
// to restart on its command line:
//
//   bwrestart --pid <this process> --workdir <folder> -- <this program> <its arguments>
//
// It waits until this process has ended, then starts the program again in
// the given folder with the same arguments and environment.
#pragma once

#include <QString>
#include <QStringList>

namespace report {

// The restart program below `installDirectory` (which ends with '/' or is empty).
QString restartProgram(const QString& installDirectory);

// The command line that restarts this process in `hostDirectory`.
QStringList restartArguments(const QString& hostDirectory);

// Starts the restart program without waiting for it. False when it could not
// be started (missing, not executable, or the folder is missing).
bool startRestartProgram(const QString& installDirectory, const QString& hostDirectory);

}  // namespace report
