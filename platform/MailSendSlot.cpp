#include "platform/MailSendSlot.h"

#include <atomic>

namespace platform {

namespace {

std::atomic<std::size_t> sending{0};

}  // namespace

bool MailSendSlot::Take() {
    if (taken_) return true;
    if (sending.fetch_add(1) >= kSendsAtOnce) {
        --sending;
        return false;
    }
    taken_ = true;
    return true;
}

MailSendSlot::~MailSendSlot() {
    if (taken_) --sending;
}

}  // namespace platform
