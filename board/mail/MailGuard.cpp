#include "board/mail/MailGuard.h"

#include "core/RecentActs.h"
#include "core/Settings.h"
#include "core/Tarnbell.h"
#include "platform/Strings.h"

namespace board {

namespace {

// The board's table of senders and mailed addresses.
const char* const kSenders = "MailSenders";

}  // namespace

bool AddressMaySendMail(platform::Application& app, const std::string& address, platform::DateTime now,
                        long intervalSeconds, std::size_t capacity) {
    return core::MayActNow(app, {kSenders, intervalSeconds, 1, capacity}, {address}, now);
}

std::string RepeatedMailRefusal(core::Tarnbell& page, const std::vector<std::string>& recipients) {
    const core::Settings& s = core::CurrentSettings();
    // Mail addresses ignore letter case; "to:" keeps them apart from client
    // addresses.
    std::vector<std::string> who{page.Request().ServerVariables("Remote_addr").str()};
    for (const std::string& to : recipients) who.push_back("to:" + platform::LCase(platform::Trim(to)));
    if (page.PostSubmitCheck() && core::MayActNow(page.Application(), {kSenders, s.SubmitInterval}, who, platform::Now()))
        return "";
    return "论坛开启了重复递交检查功能，如果你在 " + std::to_string(s.SubmitInterval) +
           " 秒内发送第二封邮件被视为重复提交,请稍待片刻后再试!";
}

}  // namespace board
