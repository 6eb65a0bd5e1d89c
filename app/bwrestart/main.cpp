// bwrestart: brings the user back into a program that had to close.
//
//   bwrestart [--pid PID] [--workdir FOLDER] -- PROGRAM [ARGUMENT...]
//
// Waits until the process PID has ended (it may still be asking the user to
// save), then starts PROGRAM with the ARGUMENTs in FOLDER (default: the
// current directory), detached, with this program's environment. Prints
// "waiting for PID" once it watches the process, so a caller can tell.
// Exit status: 0 when the program was started, 1 when it could not be, 2 for
// a wrong command line.
#include "hostwatch.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("bwrestart"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Waits until a program has ended, then starts it again.\n"
        "The report form of the PivotTable wizard starts it after an unexpected error."));
    parser.addHelpOption();
    const QCommandLineOption pid(QStringLiteral("pid"), QStringLiteral("The process to wait for."),
                                 QStringLiteral("pid"));
    const QCommandLineOption workdir(QStringLiteral("workdir"),
                                     QStringLiteral("The folder the program starts in (default: this one)."),
                                     QStringLiteral("folder"), QDir::currentPath());
    parser.addOptions({pid, workdir});
    parser.addPositionalArgument(QStringLiteral("program"), QStringLiteral("The program to start, then its arguments."),
                                 QStringLiteral("-- program [argument...]"));
    parser.process(app);

    QStringList command = parser.positionalArguments();
    bool valid = true;
    const qint64 waitFor = parser.isSet(pid) ? parser.value(pid).toLongLong(&valid) : 0;
    if (command.isEmpty() || !valid || waitFor < 0) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.helpText()));
        return 2;
    }
    if (waitFor > 0) {
        std::printf("waiting for %lld\n", waitFor);
        std::fflush(stdout);
        waitForProcessEnd(static_cast<pid_t>(waitFor));
    }
    const QString program = command.takeFirst();
    if (!QProcess::startDetached(program, command, parser.value(workdir))) {
        std::fprintf(stderr, "bwrestart: cannot start %s\n", qPrintable(program));
        return 1;
    }
    return 0;
}
