#pragma once
// Every mail send taken while this lives, as by pages that wait for a
// stalled relay.
#include <array>
#include <stdexcept>

#include "platform/MailSendSlot.h"

class AllMailSendsTaken {
public:
    AllMailSendsTaken() {
        for (auto& slot : slots_)
            if (!slot.Take()) throw std::logic_error("a mail send was taken already");
    }

private:
    std::array<platform::MailSendSlot, platform::MailSendSlot::kSendsAtOnce> slots_;
};
