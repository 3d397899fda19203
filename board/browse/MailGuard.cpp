#include "board/browse/MailGuard.h"

#include <mutex>

#include "core/Settings.h"
#include "core/Tarnbell.h"
#include "platform/Application.h"
#include "platform/Convert.h"

namespace board {

namespace {

// The board's table of senders: an application value of (address, time)
// rows, a fixed number of them, so that a flood of addresses cannot grow it.
const char* const kSenders = "MailSenders";
enum Column : std::size_t { kAddress, kSentAt, kColumns };

// Only this file reads and writes the table; the lock makes each
// read-change-store one step.
std::mutex sendersLock;

}  // namespace

bool AddressMaySendMail(platform::Application& app, const std::string& address, platform::DateTime now,
                        long intervalSeconds, std::size_t capacity) {
    std::lock_guard<std::mutex> guard(sendersLock);
    platform::Variant stored = app(kSenders);
    platform::VariantArray table = stored.isArray() && stored.array().size2() == capacity
                                       ? std::move(stored.array())
                                       : platform::VariantArray(kColumns, capacity, platform::Variant(""));
    auto sentAt = [&](std::size_t row) { return platform::CDate(table.at(kSentAt, row)); };

    // The row to write: a free or stale one, else the one that sent longest
    // ago. An address has at most one recent row.
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t free = kNone, oldest = kNone;
    for (std::size_t r = 0; r < capacity; ++r) {
        const std::string& held = table.at(kAddress, r).str();
        if (held.empty() || platform::SecondsBetween(sentAt(r), now) > intervalSeconds) {
            if (free == kNone) free = r;
        } else if (held == address) {
            return false;
        } else if (oldest == kNone || sentAt(r).serial < sentAt(oldest).serial) {
            oldest = r;
        }
    }
    const std::size_t row = free != kNone ? free : oldest;
    table.at(kAddress, row) = platform::Variant(address);
    table.at(kSentAt, row) = platform::Variant(now);
    app.Set(kSenders, platform::Variant(std::move(table)));
    return true;
}

std::string RepeatedMailRefusal(core::Tarnbell& page) {
    const core::Settings& s = core::CurrentSettings();
    if (page.PostSubmitCheck() &&
        AddressMaySendMail(page.Application(), page.Request().ServerVariables("Remote_addr").str(), platform::Now(),
                           s.SubmitInterval))
        return "";
    return "论坛开启了重复递交检查功能，如果你在 " + std::to_string(s.SubmitInterval) +
           " 秒内发送第二封邮件被视为重复提交,请稍待片刻后再试!";
}

}  // namespace board
