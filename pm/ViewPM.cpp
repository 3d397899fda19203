// One message of the member's inbox or outbox, with the sender's profile
// block; reading a received message marks it read.
#include "board/converter/Converter.h"
#include "core/MemberLinks.h"
#include "core/Module1.h"
#include "core/Settings.h"
#include "pm/PM.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Recordset.h"

namespace pm {

namespace {

using platform::HtmlEncode;
using platform::QuotedAttribute;
using platform::Variant;

struct Box {
    const char* owner;    // the member must be this party of the message
    const char* message;  // the message with its sender's record
};

const Box kInboxView{
    "select recipient from PM inner join register on PM.recipient=register.username "
    "where postid=? and recipient=? and password=?",
    "select PM.*,PM.icon as posticon,register.signdate,register.signature,register.icon as usericon,"
    "register.nickname,register.status as userstatus,register.postcount,register.email,register.emailview,"
    "register.url as homepage from PM inner join register on PM.sender=register.username where  postid=?",
};

const Box kOutboxView{
    "select sender from outbox inner join register on outbox.sender=register.username "
    "where postid=? and sender=? and password=?",
    "select outbox.*,outbox.icon as posticon,register.signdate,register.signature,register.icon as usericon,"
    "register.nickname,register.status as userstatus,register.postcount,register.email,register.emailview,"
    "register.url as homepage from outbox inner join register on outbox.sender=register.username where  postid=?",
};

bool IsTrue(const Variant& flag) { return !flag.isNull() && platform::CBool(flag); }

// The sender's block: name, picture, nickname or rank, posts, member since.
std::string ProfileCell(platform::Recordset& rs, const std::string& sender) {
    const Variant& postcount = rs.Fields("postcount");
    const std::int32_t posts = postcount.isNull() ? 0 : platform::CLng(postcount);
    Variant rankIcon, rankTitle;
    core::GetUserRank(rs.Fields("userstatus"), Variant::longValue(posts), rankIcon, rankTitle);
    const std::string nickname = rs.Fields("nickname").str();
    const Variant& signdate = rs.Fields("signdate");

    std::string cell = "<td noWrap vAlign=top width='18%'>" + HtmlEncode(sender) + "<br>";
    cell += core::MemberPicture(rs.Fields("usericon").str(), rankIcon.str()) + "<br>";
    cell += "<b>" + (nickname.empty() ? rankTitle.str() : HtmlEncode(nickname)) + "</b><br>";
    cell += "发贴：" + std::to_string(posts) + "<br>";
    cell += signdate.isNull() ? std::string("资格：不详<br>")
                              : "资格：" + platform::FormatLongDate(platform::CDate(signdate)) + "<br>";
    return cell + "</td>";
}

// The links beside the posting time: profile, mail, home page.
std::string SenderLinks(platform::Recordset& rs, const std::string& sender) {
    std::string links = "&nbsp;&nbsp;&nbsp;<a  href='viewuser.asp?username=" + platform::UrlEncode(sender) +
                        "'><img align=absmiddle alt=" + QuotedAttribute("按此观看" + sender + "的个人资料") +
                        " border=0 src=images/profile.gif></a>&nbsp;";
    const Variant& email = rs.Fields("email");
    if (!email.isNull()) {
        const Variant& shown = rs.Fields("emailview");
        if (!shown.isNull() && !platform::CBool(shown))
            links += "<img alt='该用户不允许显示它的电子邮件' border=0 src=images/email.gif  align=absmiddle >&nbsp;";
        else
            links += "<a href=" + QuotedAttribute("mailto:" + email.str()) +
                     "><img alt=" + QuotedAttribute("按此发邮件给" + sender) +
                     " border=0 src=images/email.gif align=absmiddle></a>&nbsp;";
    }
    const std::string homepage = core::HomepageAddress(rs.Fields("homepage").str());
    if (!homepage.empty())
        links += "<a href=" + QuotedAttribute(homepage) +
                 " target=_blank><img align=absmiddle src=images/home.gif "
                 "border=0 alt=" +
                 QuotedAttribute("访问" + sender + "的主页") + "></a>&nbsp;";
    return links;
}

}  // namespace

void PM::ViewPM(const std::string& BoxType) {
    const bool outbox = BoxType == "outbox";
    const Box& box = outbox ? kOutboxView : kInboxView;
    RunPage(core::Closing::CopyrightAndBody, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        platform::Response& out = Response();
        out.Write(core::PageHead("查看悄悄话 - " + s.BBName));
        out.Write("<center>");
        WriteHeader("<p><b>　　　　悄　悄　话 　　　　</b></p>", true);

        const Variant requested = Request()("PostID");
        const std::int32_t id = requested.isEmpty() ? 0 : platform::CLng(requested);
        if (id <= 0) p.Refuse("参数错误！");
        const Variant idValue = Variant::longValue(id);

        platform::Recordset rs;
        rs.Open(box.owner, Con(), {idValue, member_.name, member_.password});
        if (rs.Eof()) p.Refuse("对不起，发生错误，可能是没有该留言或是你没有权限查看该留言！");
        rs.Close();
        rs.Open(box.message, Con(), platform::CursorType::Static, {idValue});
        if (rs.Eof()) p.Refuse("发生错误，或者是没有该留言！");

        const std::string sender = rs.Fields("sender").str();
        const std::string senderUrl = platform::UrlEncode(sender);
        if (!outbox) {
            out.Write("<table border=0 width=" + s.TableWidth + "><tr><td colspan=2 align=right>");
            out.Write("<a href=pm.asp?action=replypm&recipient=" + senderUrl + "&postid=" + std::to_string(id) +
                      ">回复</a>&nbsp;<a href=pm.asp?action=Addtoignorelist&Ignore=" + senderUrl + ">加入拒绝列表</a>");
            out.Write("</td></tr></table>");
        }
        out.Write(s.TableBorderOpen);
        out.Write("<table border=0 cellPadding=4 cellspacing=1 width=" + s.InnerTableWidth + "><tbody>");
        out.Write("<tr " + s.TableColorStrip + "><td vAlign=center width='18%' ><font color=" + s.TableStripTextColor +
                  "><b>发表人</b></font></td><td vAlign=center ><font color=" + s.TableStripTextColor +
                  "><b>主题:&nbsp;&nbsp;" + HtmlEncode(rs.Fields("subject").str()) + "</b></font></td></tr>");
        out.Write("<tr " + s.AltColumnColor1 + ">" + ProfileCell(rs, sender));
        out.Write("<td vAlign=top><img align=absmiddle border=0 src=icon/icon" +
                  std::to_string(core::MessageIcon(rs.Fields("posticon"))) +
                  ".gif>&nbsp;<span class=smallFont>发表于 " + core::FormatPostTime(rs.Fields("posttime")).str());
        out.Write(SenderLinks(rs, sender));
        out.Write("</span><hr>");

        // Text and signature: encoded first, so HTML the sender typed shows as text.
        const auto converter = board::NewUbbCode();
        const std::string message = rs.Fields("message").str();
        if (!message.empty()) {
            Variant text(HtmlEncode(message));
            out.Write(converter->UbbCode(text));
        }
        if (IsTrue(rs.Fields("usesign"))) {
            const std::string signature = rs.Fields("signature").str();
            if (!signature.empty()) {
                Variant text(HtmlEncode(signature));
                out.Write("<p><hr>" + converter->UbbCode(text));
            }
        }
        out.Write("</td></tr></table>");
        out.Write(s.TableBorderClose);
        out.Write("</center>");
        rs.Close();
        if (!outbox) Con().Execute("update PM set isnew=0 where postid=?", {idValue});
    });
}

}  // namespace pm
