// The mailed error report: the account it goes out through and its text.
//
// The account is read from the settings key Software\Brennlow\Defaults under
// HKCU at every call: "MailServer" (the server's URL), "SupportAddress" (the
// vendor's support address, the recipient), "MailSender" (the sender;
// default: the support address), "MailUser" and "MailPassword" (the login;
// none when MailUser is empty), "MailCertificates" (certificates to trust for
// the server; empty: the system's). Without a server or a support address, mail
// is not configured and the account's server is empty.
#pragma once

#include "platform/services/smtpmail.h"

#include <QString>

#include <string>

namespace report {

// The name the report's sender is shown with, and the report's subject.
inline constexpr QLatin1StringView kMailIdentity("Brennlow Gridworks Error");

platform::SmtpAccount mailAccount();
QString supportAddress();

// The body: one space, CR LF, "Description:", CR LF, the user's description,
// CR LF, CR LF, then the log record's field lines (each ended by CR LF).
// Line breaks in the description become CR LF.
std::string mailBody(const QString& description, const std::string& fieldLines);

}  // namespace report
