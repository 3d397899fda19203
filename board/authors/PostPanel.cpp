#include "board/authors/PostPanel.h"

#include "board/authors/MemberAddresses.h"
#include "core/MemberLinks.h"
#include "core/Module1.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Recordset.h"
#include "platform/Response.h"

namespace board {

using platform::HtmlEncode;
using platform::QuotedAttribute;
using platform::UrlEncode;
using platform::Variant;

std::string ThreadPageList(const std::string& pageHref, int page, int pageCount) {
    if (pageCount <= 1) return "";
    // One piece for the whole list: a long thread has hundreds of pages.
    // Plain blanks join the numbers, so that the list wraps.
    std::string list = "这个话题共有" + std::to_string(pageCount) + "页：";
    for (int n = 1; n <= pageCount; ++n) {
        const std::string number = std::to_string(n);
        if (n == page) {
            list += "<font color=darkgray>";
            list += number;
            list += "</font> ";
        } else {
            list += "<a href=";
            list += pageHref;
            list += "&page=";
            list += number;
            list += ">";
            list += number;
            list += "</a> ";
        }
    }
    return list;
}

PostValues::PostValues(platform::Recordset& rs)
    : rs(rs),
      id(rs.Fields("postid").str()),
      user(rs.Fields("username").str()),
      userUrl(UrlEncode(user)),
      forumUrl(UrlEncode(rs.Fields("ForumName").str())),
      subjectUrl(UrlEncode(rs.Fields("subject").str())) {}

Variant& PostValues::operator[](const char* column) const { return rs.Fields(column); }

std::string PostValues::Link(const std::string& href, const std::string& image) const {
    return "<a href=" + href + ">" + image + "</a>&nbsp;";
}

std::string PostValues::Alt(const std::string& text) const { return " alt=" + QuotedAttribute(text); }

void WriteAuthorCell(platform::Response& out, const PostValues& post, const std::string& since) {
    Variant rankIcon, rankTitle;
    core::GetUserRank(post["userstatus"], post["postcount"], rankIcon, rankTitle);
    const std::string picture = post["membericon"].str();
    const std::string nickname = post["nickname"].str();
    const Variant& postcount = post["postcount"];
    const Variant& signdate = post["signdate"];

    out.Write("<td nowrap valign=top width=18%>");
    out.Write(HtmlEncode(post.user) + "<br>");
    out.Write(core::MemberPicture(picture, rankIcon.str()) + "<br>");
    out.Write("<b>" + (nickname.empty() ? rankTitle.str() : HtmlEncode(nickname)) + "</b><br>");
    out.Write("发贴：" + (postcount.isNull() ? std::string("0") : HtmlEncode(postcount.str())) + "<br>");
    out.Write("来自：" + HtmlEncode(post["location"].str()) + "<br>");
    out.Write(since + (signdate.isNull() ? std::string("不详") : platform::FormatDate(platform::CDate(signdate))) +
              "<br>");
    out.Write("</td>");
}

std::string PostIcon(const PostValues& post) {
    const Variant& icon = post["posticon"];
    return "<img align=absmiddle  border=0 src=icon/icon" + (icon.isNull() ? std::string("1") : icon.str()) +
           ".gif>";
}

std::string ProfileLink(const PostValues& post) {
    return post.Link("viewuser.asp?username=" + post.userUrl + " target=_blank",
                     "<img src=images/profile.gif border=0" + post.Alt("按此观看" + post.user + "的个人资料") + ">");
}

std::string EmailLink(const PostValues& post) {
    const Variant& email = post["email"];
    if (email.isNull()) return "";
    const Variant& shown = post["emailview"];
    if (!shown.isNull() && !platform::CBool(shown))
        return "<img src=images/email.gif border=0 alt=该用户不允许显示它的电子邮件>&nbsp;";
    return post.Link(QuotedAttribute("mailto:" + email.str()),
                     "<img src=images/email.gif border=0" + post.Alt("按此发邮件给" + post.user) + ">");
}

std::string HomepageLink(const PostValues& post) {
    const std::string address = core::HomepageAddress(post["homepage"].str());
    if (address.empty()) return "";
    return post.Link(QuotedAttribute(address) + " target=_blank",
                     "<img src=images/home.gif border=0" + post.Alt("访问" + post.user + "的主页") + ">");
}

std::string IcqLink(const PostValues& post) {
    const std::string number = post["icq"].str();
    if (!IsAllDigits(number)) return "";
    return post.Link("\"javascript:winopen('ubbmisc.asp?action=icqmessage&UIN=" + number + "')\"",
                     "<img src=images/icq.gif width=18 height=18 border=0" +
                         post.Alt(post.user + "的ICQ号码：" + number) + ">");
}

std::string OicqImage(const PostValues& post) {
    const std::string number = post["oicq"].str();
    if (number.empty()) return "";
    return "<img src=images/oicq.gif border=0" + post.Alt(post.user + "的oicq是" + number) + ">&nbsp;";
}

std::string MessageLink(const PostValues& post) {
    return post.Link("pm.asp?action=newPM&recipient=" + post.userUrl + "&subject=" + post.subjectUrl,
                     "<img src=images/pm.gif border=0" + post.Alt("发送悄悄话给" + post.user) + ">");
}

std::string SearchLink(const PostValues& post) {
    return post.Link("search.asp?action=searchuser&username=" + post.userUrl + " target=_blank",
                     "<img src=images/find.gif width=16 height=16 border=0" +
                         post.Alt("搜索" + post.user + "的所有贴子") + ">");
}

}  // namespace board
