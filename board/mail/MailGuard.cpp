#include "board/mail/MailGuard.h"

#include "core/RecentActs.h"
#include "core/SendMail.h"
#include "core/Settings.h"
#include "core/Tarnbell.h"
#include "platform/Session.h"
#include "platform/Strings.h"

namespace board {

namespace {

// The board's table of client addresses, mailed addresses and mails sent.
const core::ActTable kMails{"MailSenders"};

}  // namespace

std::string RepeatedMailRefusal(core::Tarnbell& page, const std::vector<std::string>& recipients) {
    const core::Settings& s = core::CurrentSettings();
    const std::string repeated = "论坛开启了重复递交检查功能，如果你在 " + std::to_string(s.SubmitInterval) +
                                 " 秒内发送第二封邮件被视为重复提交,请稍待片刻后再试!";
    const platform::Variant sessionsLast = page.Session()("SubmitTime");
    if (!page.PostSubmitCheck()) return repeated;

    // The board's own count first, so that its refusal can be told apart.
    const std::string client = page.Request().ServerVariables("Remote_addr").str();
    std::vector<core::Act> acts{{"all mail", 60, kMailsPerMinute}, core::AddressAct(client, s.SubmitInterval)};
    // Mail addresses ignore letter case.
    for (const std::string& to : recipients)
        acts.push_back({"to:" + platform::LCase(platform::Trim(to)), s.SubmitInterval});
    const core::ActAnswer answer = core::MayActNow(page.Application(), kMails, acts);
    if (answer) return "";
    // Nothing sent: the session may try again as soon as the board lets it.
    page.Session().Set("SubmitTime", sessionsLast);
    if (answer.outcome == core::ActAnswer::OverLimit && answer.act > 0) return repeated;
    return core::kMailServerBusy;
}

}  // namespace board
