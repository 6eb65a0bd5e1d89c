// frmErrorHand's buttons: E-Mail and Close, and what they write.
#include "wizard/forms/frmerrorhand.h"

#include "wizard/errors/messageservice.h"
#include "wizard/errors/reportfiles.h"
#include "wizard/errors/reportmail.h"
#include "wizard/errors/restartprogram.h"
#include "platform/services/buildinfo.h"
#include "platform/services/errorlog.h"
#include "platform/core/failure.h"
#include "platform/core/fileio.h"
#include "platform/services/smtpmail.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPlainTextEdit>

namespace {

const QString kCr = QStringLiteral("\r");

QString describe(const platform::Failure& failure) { return QString::fromStdString(failure.description()); }

}  // namespace

bool frmErrorHand::descriptionGiven()
{
    if (!edtWhatDoing->toPlainText().trimmed().isEmpty())
        return true;
    messages().showMessage(QStringLiteral("Please enter a brief description of what you were doing prior to this "
                                          "fatal error"),
                           QString(), MessageIcon::None);
    return false;
}

platform::ErrorRecord frmErrorHand::errorRecord() const
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale system = QLocale::system();
    platform::ErrorRecord record;
    record.dateTime = (system.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ')
                       + system.toString(now.time(), QLocale::LongFormat))
                          .trimmed()
                          .toStdString();
    record.dateCompiled = platform::buildStamp();
    record.build = platform::buildVersion();
    record.module = errModule.toStdString();
    record.procedure = errProcedure.toStdString();
    record.number = errNumber;
    record.description = errDescription.toStdString();
    record.lastDllError = errLastDllError;
    record.source = errSource.toStdString();
    record.userDescription = edtWhatDoing->toPlainText().toStdString();
    return record;
}

QStringList frmErrorHand::chosenFiles(bool anyFiles, const QString& screenshotDirectory) const
{
    QStringList files;
    if (chkEmailStore->isChecked() && anyFiles)
        files << appDirectory + report::kSupportingFile;
    if (chkAttachScreen->isChecked() && anyFiles)
        files << screenshotDirectory + report::kErrorLogs + QStringLiteral("screenshot.bmp");
    return files;
}

QString frmErrorHand::packReport(const QStringList& files)
{
    const QString archive = report::newArchiveName();
    QStringList missing;
    try {
        if (archive.isEmpty())
            throw platform::systemFailure(platform::lastPlatformError(), "making a temporary file");
        missing = report::writeArchive(archive, files);
    } catch (const platform::Failure& failure) {
        messages().showMessage(QStringLiteral("The error report could not be packed: ") + describe(failure),
                               QStringLiteral("Error"), MessageIcon::Exclamation);
        return {};
    }
    if (!missing.isEmpty()) {
        messages().showMessage(QStringLiteral("These files could not be added to the error report because they do "
                                              "not exist:")
                                   + kCr + kCr + missing.join(kCr),
                               QStringLiteral("Error report"), MessageIcon::Exclamation);
    }
    return archive;
}

void frmErrorHand::butEMail_Click()
{
    if (!descriptionGiven())
        return;
    appDirectory = report::applicationDirectory();
    platform::SmtpSession session(report::mailAccount());
    if (!session.signOn())
        return;
    mailReport(session);
}

void frmErrorHand::mailReport(platform::SmtpSession& session)
{
    const QString archive = packReport(chosenFiles(!appDirectory.isEmpty(), appDirectory));
    if (archive.isEmpty())
        return;
    if (!appDirectory.isEmpty())
        platform::removeIgnoringCase(report::localPath(appDirectory + report::kErrorLogs + report::kScreenshot));

    platform::MailMessage message;
    message.recipient = report::supportAddress().toStdString();
    message.subject = QString(report::kMailIdentity).toStdString();
    message.body = report::mailBody(edtWhatDoing->toPlainText(), platform::errorFieldLines(errorRecord()));
    message.attachment = report::localPath(archive);
    message.attachmentType = "application/zip";
    const bool sent = session.send(message);
    session.signOff();
    QFile::remove(archive);
    if (!sent) {
        messages().showMessage(QStringLiteral("The error log failed to be sent due to a mail error"),
                               QStringLiteral("Error"), MessageIcon::Information);
        return;
    }
    mailSent = true;
    messages().showMessage(QStringLiteral("The error log has been successfully sent"), QStringLiteral("Thank you"),
                           MessageIcon::Information);
}

void frmErrorHand::butClose_Click()
{
    if (!descriptionGiven())
        return;
    const QString installDirectory = report::installDirectory();
    appDirectory = report::applicationDirectory();
    const QString logFile = writeErrorLog(installDirectory);
    if (!mailSent)
        leaveArchiveForTheUser(installDirectory, logFile);
    if (!report::startRestartProgram(installDirectory, mHostDirectory)) {
        messages().showMessage(QStringLiteral("The restart program '%1' could not be started.").arg(
                                   report::restartProgram(installDirectory))
                                   + kCr + QStringLiteral("Please start the program again yourself."),
                               QStringLiteral("Restart"), MessageIcon::Exclamation);
    }
    QCoreApplication::processEvents();
    close();
}

QString frmErrorHand::writeErrorLog(const QString& installDirectory)
{
    const platform::ErrorRecord record = errorRecord();
    const QString logFile = report::errorLogFile(installDirectory);
    QString refusal;
    try {
        platform::appendErrorRecord(report::localPath(logFile), record);
        return logFile;
    } catch (const platform::Failure& failure) {
        refusal = QStringLiteral("The error log '%1' could not be written: %2").arg(logFile, describe(failure));
    }
    // The record is the one thing the user came here to leave; keep it
    // where this user can always write.
    const QString fallback = report::fallbackLogFile();
    try {
        QDir().mkpath(QFileInfo(fallback).absolutePath());
        platform::appendErrorRecord(report::localPath(fallback), record);
    } catch (const platform::Failure&) {
        messages().showMessage(refusal, QStringLiteral("Error log"), MessageIcon::Exclamation);
        return {};
    }
    messages().showMessage(refusal + kCr + kCr + QStringLiteral("The report was written to '%1' instead.").arg(fallback),
                           QStringLiteral("Error log"), MessageIcon::Exclamation);
    return fallback;
}

void frmErrorHand::leaveArchiveForTheUser(const QString& installDirectory, const QString& logFile)
{
    QStringList files = chosenFiles(!installDirectory.isEmpty(), installDirectory);
    if (!logFile.isEmpty())
        files << logFile;
    const QString made = packReport(files);
    if (made.isEmpty())
        return;
    const QString archive = report::moveInto(made, installDirectory + report::kErrorLogs);
    if (!installDirectory.isEmpty())
        platform::removeIgnoringCase(report::localPath(installDirectory + report::kErrorLogs + report::kScreenshot));
    messages().showMessage(QStringLiteral("Please email the file '") + archive + QStringLiteral("' to ")
                               + report::supportAddress() + QStringLiteral(".\r\nIt will help us to more easily "
                                                                           "correct the problem that caused this "
                                                                           "error"),
                           QStringLiteral("Information"), MessageIcon::Information);
}
