#pragma once
// The outgoing mail component: one object per mail (or per mass mailing).
// Set the relay, sender, recipients, subject and body, then SendNow, whose
// result says whether the mail went and why not. Mail goes out over SMTP.
//
//   platform::MailComponent mail;
//   mail.MailServer("127.0.0.1:25");
//   mail.MailFromName("Board"); mail.MailFromAddress("board@example.com");
//   mail.AddRecipient("Li", "li@example.com");
//   mail.MailContentType("text/html"); mail.MailCharset("gb2312");
//   mail.MailSubject("..."); mail.MailBody("<html>...");
//   const platform::MailResult result = mail.SendNow();
//   if (!result.sent) show(result.failure);
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// What became of a mail: taken by the relay, or why not. A mail that cannot
// go is told this way only, never by an exception.
struct [[nodiscard]] MailResult {
    bool sent = false;
    std::string failure;  // empty when sent
};

// Something@something without blanks, controls, brackets, quotes or commas:
// an address that can stand in the envelope and in angle brackets.
bool LooksLikeMailAddress(std::string_view address);

class MailComponent {
public:
    // "host:port" (port 25 when left out).
    void MailServer(std::string hostPort) { server_ = std::move(hostPort); }
    void MailFromName(std::string name) { fromName_ = std::move(name); }
    void MailFromAddress(std::string address) { fromAddress_ = std::move(address); }
    // Where replies go when that is not the sender.
    void MailReplyTo(std::string address) { replyTo_ = std::move(address); }
    // A recipient named in the To header. Blanks around the address are
    // dropped; an address that does not look like one is not added (false).
    // A CR or LF in the name or address makes SendNow refuse the mail.
    bool AddRecipient(std::string name, std::string address);
    // A recipient only in the envelope: nobody sees the address.
    bool AddBlindRecipient(std::string name, std::string address);
    void MailContentType(std::string type) { contentType_ = std::move(type); }
    // "gb2312": body and encoded header words are sent as GBK bytes.
    void MailCharset(std::string charset) { charset_ = std::move(charset); }
    void MailSubject(std::string subject) { subject_ = std::move(subject); }
    void MailBody(std::string body) { body_ = std::move(body); }
    // How long SendNow may take in all, the connection included: a page
    // that shows the mail's result waits no longer (15 s unless set).
    void MailDeadline(long seconds) { deadlineSeconds_ = seconds; }

    // Sent when the relay accepted the mail for delivery.
    MailResult SendNow();

    // The message as it goes over the wire after DATA (for checks and tests).
    std::string ComposeMessage() const;

private:
    struct Recipient {
        std::string name;
        std::string address;
    };
    // The reason the mail may not be sent, or "" when it may.
    std::string Refusal() const;
    MailResult Transmit();

    std::string server_;
    std::string fromName_;
    std::string fromAddress_;
    std::string replyTo_;
    std::vector<Recipient> to_;
    std::vector<Recipient> blind_;
    std::string contentType_ = "text/plain";
    std::string charset_;
    std::string subject_;
    std::string body_;
    long deadlineSeconds_ = 15;
    bool lineBreakInHeader_ = false;  // a CR or LF came with a name or address
};

}  // namespace platform
