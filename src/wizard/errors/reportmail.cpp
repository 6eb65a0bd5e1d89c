#include "wizard/errors/reportmail.h"

#include "platform/services/errorlog.h"
#include "wizard/errors/reportfiles.h"

namespace report {

namespace {

// How long a silent server may keep the user waiting.
constexpr long kMailTimeoutSeconds = 10;

QString setting(const char* valueName) { return defaultsSetting(QString::fromLatin1(valueName)); }

}  // namespace

QString supportAddress() { return setting("SupportAddress").trimmed(); }

platform::SmtpAccount mailAccount()
{
    platform::SmtpAccount account;
    const QString recipient = supportAddress();
    if (recipient.isEmpty())
        return account;
    account.server = setting("MailServer").trimmed().toStdString();
    const QString sender = setting("MailSender").trimmed();
    account.sender = (sender.isEmpty() ? recipient : sender).toStdString();
    account.senderName = QString(kMailIdentity).toStdString();
    account.user = setting("MailUser").trimmed().toStdString();
    account.password = setting("MailPassword").toStdString();
    account.caFile = setting("MailCertificates").trimmed().toStdString();
    account.timeoutSeconds = kMailTimeoutSeconds;
    return account;
}

std::string mailBody(const QString& description, const std::string& fieldLines)
{
    return " \r\nDescription:\r\n" + platform::withCrLf(description.toStdString()) + "\r\n\r\n" + fieldLines;
}

}  // namespace report
