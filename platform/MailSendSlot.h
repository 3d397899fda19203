#pragma once
// Mails that pages wait for go out through a bounded number of sends at
// once. A relay that stalls then holds at most kSendsAtOnce page threads,
// well below the host's cap, and the page beyond them answers at once that
// the mail server is busy. A page takes its slot before it stores or
// counts anything for the mail, and keeps it until the mail has gone.
//
//   platform::MailSendSlot slot;
//   if (!slot.Take()) refuse(busy);
#include <cstddef>

namespace platform {

class MailSendSlot {
public:
    static constexpr std::size_t kSendsAtOnce = 32;

    MailSendSlot() = default;
    ~MailSendSlot();
    MailSendSlot(const MailSendSlot&) = delete;
    MailSendSlot& operator=(const MailSendSlot&) = delete;

    // False when every slot is taken.
    [[nodiscard]] bool Take();

private:
    bool taken_ = false;
};

}  // namespace platform
