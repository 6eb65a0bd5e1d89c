#include "wizard/errors/restartprogram.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

namespace report {

QString restartProgram(const QString& installDirectory)
{
    return installDirectory + QStringLiteral("System/bwrestart");
}

QStringList restartArguments(const QString& hostDirectory)
{
    QStringList arguments{QStringLiteral("--pid"), QString::number(QCoreApplication::applicationPid()),
                          QStringLiteral("--workdir"), hostDirectory, QStringLiteral("--"),
                          QCoreApplication::applicationFilePath()};
    arguments << QCoreApplication::arguments().mid(1);
    return arguments;
}

bool startRestartProgram(const QString& installDirectory, const QString& hostDirectory)
{
    // Absolute, because the child resolves a relative path in its own
    // working directory.
    const QFileInfo program(restartProgram(installDirectory));
    return QProcess::startDetached(program.absoluteFilePath(), restartArguments(hostDirectory),
                                   program.absolutePath());
}

}  // namespace report
