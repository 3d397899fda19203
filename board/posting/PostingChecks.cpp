// What the two posting handlers check before they look at the forum, in
// the order they refuse.
#include <string>

#include "board/posting/PostingPages.h"
#include "core/Module1.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace board {

namespace {

// The board's message icons are icon/icon1.gif .. icon14.gif.
constexpr int kIconCount = 14;

std::string RepeatedPostRefusal() {
    return "论坛开启了重复递交检查功能，如果你在 " + std::to_string(core::CurrentSettings().SubmitInterval) +
           " 秒内递交第二个贴子被视为重复提交,请稍待片刻后再试!";
}

}  // namespace

PostingPages::Submission PostingPages::CheckSubmission(core::Page& p, PostKind kind) {
    const platform::Request& request = Request();
    const platform::RequestCollection& form = request.Form();
    RecordVisit(p, kind == PostKind::Topic ? "发表话题" : "回复话题");
    const std::string ip = request.ServerVariables("Remote_addr").str();
    if (!core::IsIPAllowed(ip))
        p.Refuse("对不起，你的 ip 地址 " + platform::HtmlEncode(ip) +
                 " 已经被列入 IP 拒绝列表！您不能发表或回复任何话题。如果要取消此 IP 拒绝，请和论坛管理员联系！");

    Submission s;
    // A number that is no number, or too large for its field, is the
    // sender's mistake: refused, not a run-time error.
    try {
        const int icon = kind == PostKind::Topic ? platform::CInt(form("MsgIcon")) : platform::CByte(form("MsgIcon"));
        s.icon = static_cast<std::int16_t>(icon >= 1 && icon <= kIconCount ? icon : 1);
        if (kind == PostKind::Reply) s.topic = platform::CLng(form("topic"));
    } catch (const platform::RuntimeError&) {
        p.Refuse("参数错误！");
    }

    s.poster = core::ActingCredentials(request, Session());
    if (s.poster.name.empty() || s.poster.password.empty())
        p.Refuse("请同时输入用户名，口令！按浏览器的后退按钮可重新输入！");
    s.subject = platform::Trim(form("topicsubject").str());
    s.message = platform::Trim(form("Message").str());
    if (kind == PostKind::Topic && (s.subject.empty() || s.message.empty()))
        p.Refuse("请同时输入主题和内容！按浏览器的后退按钮可重新输入！");
    if (kind == PostKind::Reply && s.message.empty()) p.Refuse("请输入内容！按浏览器的后退按钮可重新输入！");

    // The session's interval starts here, also for a post the member check
    // refuses; the member's and the address's once the member is proven.
    if (!PostSubmitCheck()) p.Refuse(RepeatedPostRefusal());
    bool canPost = false;
    if (!core::CheckUserCanPost(s.poster.name, s.poster.password, p.Db(), canPost))
        p.Refuse("对不起，您不是本论坛的注册用户，请先注册后再发表！按浏览器的后退按钮可重新输入！");
    if (!canPost) p.Refuse("对不起，您已经被禁止在本论坛发表话题，请和论坛管理员联系以获得详细信息！");
    if (!MemberSubmitCheck(s.poster.name)) p.Refuse(RepeatedPostRefusal());

    s.smiles = request("DisableSmilies").str() != "on";
    s.signature = form("Signature").str() == "on";
    s.notify = kind == PostKind::Topic && form("EMailNotification").str() == "on";
    return s;
}

}  // namespace board
