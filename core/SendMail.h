#pragma once
// Mail the board sends through its relay.
#include <string>

#include "platform/Variant.h"

namespace core {

// One HTML mail (`body` wrapped in <html><body>) through the SmtpServer relay.
// False with the relay's or component's reason in `errText` when not sent.
// `replyTo`, when given, is where the recipient's answer goes.
bool SendMail(const platform::Variant& fromName, const platform::Variant& fromAddr,
              const platform::Variant& toName, const platform::Variant& toAddr,
              const platform::Variant& subject, const platform::Variant& body,
              platform::Variant& errText, const std::string& replyTo = {});

// The same mail sent after the page has answered (platform/MailQueue.h), for
// mail whose result the page does not show.
void QueueMail(const platform::Variant& fromName, const platform::Variant& fromAddr,
               const platform::Variant& toName, const platform::Variant& toAddr,
               const platform::Variant& subject, const platform::Variant& body);

}  // namespace core
