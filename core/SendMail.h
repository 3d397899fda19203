#pragma once
// Mail the board sends through its relay.
#include <string>

#include "platform/MailComponent.h"
#include "platform/MailSendSlot.h"
#include "platform/Variant.h"

namespace core {

// What a mail page answers when every send is taken
// (platform/MailSendSlot.h): nothing was stored or sent.
inline constexpr const char* kMailServerBusy = "邮件服务器正忙，邮件没有发送，请稍后再试！";

// One HTML mail (`body` wrapped in <html><body>) through the SmtpServer relay;
// when not sent, the result holds the relay's or the component's reason.
// `replyTo`, when given, is where the recipient's answer goes.
platform::MailResult SendMail(const platform::Variant& fromName, const platform::Variant& fromAddr,
                              const platform::Variant& toName, const platform::Variant& toAddr,
                              const platform::Variant& subject, const platform::Variant& body,
                              const std::string& replyTo = {});

// The same mail sent after the page has answered (platform/MailQueue.h), for
// mail whose result the page does not show: a failure goes to the log.
void QueueMail(const platform::Variant& fromName, const platform::Variant& fromAddr,
               const platform::Variant& toName, const platform::Variant& toAddr,
               const platform::Variant& subject, const platform::Variant& body);

}  // namespace core
