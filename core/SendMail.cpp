#include "core/SendMail.h"
#include "core/Settings.h"

#include "platform/MailQueue.h"

namespace core {

namespace {

platform::MailComponent BoardMail(const platform::Variant& fromName, const platform::Variant& fromAddr,
                                  const platform::Variant& toName, const platform::Variant& toAddr,
                                  const platform::Variant& subject, const platform::Variant& body,
                                  const std::string& replyTo) {
    platform::MailComponent mail;
    mail.MailServer(CurrentSettings().SmtpServer);
    mail.MailFromName(fromName.str());
    mail.MailFromAddress(fromAddr.str());
    if (!replyTo.empty()) mail.MailReplyTo(replyTo);
    mail.AddRecipient(toName.str(), toAddr.str());
    mail.MailContentType("text/html");
    mail.MailCharset("gb2312");
    mail.MailSubject(subject.str());
    mail.MailBody("<html><body>" + body.str() + "</body></html>");
    return mail;
}

}  // namespace

platform::MailResult SendMail(const platform::Variant& fromName, const platform::Variant& fromAddr,
                              const platform::Variant& toName, const platform::Variant& toAddr,
                              const platform::Variant& subject, const platform::Variant& body,
                              const std::string& replyTo) {
    return BoardMail(fromName, fromAddr, toName, toAddr, subject, body, replyTo).SendNow();
}

void QueueMail(const platform::Variant& fromName, const platform::Variant& fromAddr,
               const platform::Variant& toName, const platform::Variant& toAddr,
               const platform::Variant& subject, const platform::Variant& body) {
    platform::QueueMail(BoardMail(fromName, fromAddr, toName, toAddr, subject, body, {}));
}

}  // namespace core
