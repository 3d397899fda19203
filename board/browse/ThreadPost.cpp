#include "board/browse/ThreadPost.h"

#include "board/browse/Converter.h"
#include "board/browse/MemberAddresses.h"
#include "core/MemberLinks.h"
#include "core/Module1.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Recordset.h"
#include "platform/Response.h"

namespace board {

namespace {

using platform::HtmlEncode;
using platform::QuotedAttribute;
using platform::UrlEncode;
using platform::Variant;

// Where the ICQ network's online-status images come from.
constexpr const char* kIcqStatusHost = "http://icq-status.example.net";

// The values of the current row one post's panel and links need.
struct Post {
    explicit Post(platform::Recordset& rs)
        : rs(rs),
          id(rs.Fields("postid").str()),
          user(rs.Fields("username").str()),
          userUrl(UrlEncode(user)),
          forumUrl(UrlEncode(rs.Fields("ForumName").str())),
          subjectUrl(UrlEncode(rs.Fields("subject").str())) {}

    Variant& operator[](const char* column) const { return rs.Fields(column); }
    // An image link with its trailing blank.
    std::string Link(const std::string& href, const std::string& image) const {
        return "<a href=" + href + ">" + image + "</a>&nbsp;";
    }
    // An alt text naming the author.
    std::string Alt(const std::string& text) const { return " alt=" + QuotedAttribute(text); }

    platform::Recordset& rs;
    std::string id;
    std::string user;
    std::string userUrl;
    std::string forumUrl;    // the post's own forum and subject, for its
    std::string subjectUrl;  // edit, favourite and message links
};

bool IsTrue(const Variant& flag) { return !flag.isNull() && platform::CBool(flag); }

void WriteAuthorCell(platform::Response& out, const Post& post) {
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
    out.Write(signdate.isNull() ? std::string("注册：不详<br>")
                                : "注册：" + platform::FormatDate(platform::CDate(signdate)) + "<br>");
    out.Write("</td>");
}

std::string PostIcon(const Post& post) {
    const Variant& icon = post["posticon"];
    return "<img align=absmiddle  border=0 src=icon/icon" + (icon.isNull() ? std::string("1") : icon.str()) +
           ".gif>";
}

std::string ProfileLink(const Post& post) {
    return post.Link("viewuser.asp?username=" + post.userUrl + " target=_blank",
                     "<img src=images/profile.gif border=0" + post.Alt("按此观看" + post.user + "的个人资料") + ">");
}

std::string EmailLink(const Post& post) {
    const Variant& email = post["email"];
    if (email.isNull()) return "";
    const Variant& shown = post["emailview"];
    if (!shown.isNull() && !platform::CBool(shown))
        return "<img src=images/email.gif border=0 alt=该用户不允许显示它的电子邮件>&nbsp;";
    return post.Link(QuotedAttribute("mailto:" + email.str()),
                     "<img src=images/email.gif border=0" + post.Alt("按此发邮件给" + post.user) + ">");
}

std::string HomepageLink(const Post& post) {
    const std::string address = core::HomepageAddress(post["homepage"].str());
    if (address.empty()) return "";
    return post.Link(QuotedAttribute(address) + " target=_blank",
                     "<img src=images/home.gif border=0" + post.Alt("访问" + post.user + "的主页") + ">");
}

std::string IcqLink(const Post& post) {
    const std::string number = post["icq"].str();
    if (!IsAllDigits(number)) return "";
    return post.Link("\"javascript:winopen('ubbmisc.asp?action=icqmessage&UIN=" + number + "')\"",
                     "<img src=" + std::string(kIcqStatusHost) + "/scripts/online.dll?icq=" + number +
                         "&img=5 width=18 height=18 border=0" + post.Alt(post.user + "的ICQ号码：" + number) + ">");
}

std::string OicqImage(const Post& post) {
    const std::string number = post["oicq"].str();
    if (number.empty()) return "";
    return "<img src=images/oicq.gif border=0" + post.Alt(post.user + "的oicq是" + number) + ">&nbsp;";
}

std::string FavouriteLink(const Post& post) {
    if (!post["parentid"].isNull()) return "";
    return post.Link("favor.asp?id=" + post.id + "&GroupName=" + post.forumUrl + "&Subject=" + post.subjectUrl,
                     "<img src=images/favor.gif border=0 alt=收藏该主题供以后查看>");
}

std::string MessageLink(const Post& post) {
    return post.Link("pm.asp?action=newPM&recipient=" + post.userUrl + "&subject=" + post.subjectUrl,
                     "<img src=images/pm.gif border=0" + post.Alt("发送悄悄话给" + post.user) + ">");
}

std::string SearchLink(const Post& post) {
    return post.Link("search.asp?action=searchuser&username=" + post.userUrl + " target=_blank",
                     "<img src=images/find.gif width=16 height=16 border=0" +
                         post.Alt("搜索" + post.user + "的所有贴子") + ">");
}

std::string EditLink(const Post& post) {
    return post.Link("posting.asp?Forum=" + post.forumUrl + "&Topic=" + post.id + "&TopicSubject=" +
                         post.subjectUrl + "&action=editpost",
                     "<img src=images/edit.gif border=0 alt=编辑/删除贴子>");
}

std::string QuoteLink(const Post& post, const ThreadTopic& topic) {
    return post.Link("posting.asp?quotenum=" + post.id + "&action=replywquote&forum=" + topic.forumUrl +
                         "&topic=" + topic.id + "&TopicSubject=" + topic.subjectUrl,
                     "<img src=images/quote.gif border=0 alt=引用这个贴子回复>");
}

std::string CopyLink(const Post& post) {
    return post.Link("posting.asp?action=copypost&topic=" + post.id, "<img src=images/copy.gif border=0 alt=复制>");
}

std::string MailLink(const Post& post) {
    return post.Link("download.asp?topic=" + post.id,
                     "<img src=images/mailto.gif border=0 alt=将本贴子内容通过email打包下载>");
}

std::string IpLink(const Post& post, const ThreadTopic& topic) {
    return post.Link("ubbmisc.asp?forum=" + topic.forumUrl + "&action=getip&topic=" + post.id,
                     "<img src=images/ip.gif border=0" + post.Alt("管理员查看" + post.user + "的IP") + ">");
}

// The links both styles show together, profile to mail.
std::string SharedLinks(const Post& post) {
    return ProfileLink(post) + EmailLink(post) + HomepageLink(post);
}

std::string ActionLinks(const Post& post, const ThreadTopic& topic) {
    return FavouriteLink(post) + MessageLink(post) + SearchLink(post) + EditLink(post) + QuoteLink(post, topic) +
           CopyLink(post) + MailLink(post);
}

// Message, edit history and signature, each text through its own converter.
void WriteBody(platform::Response& out, const Post& post) {
    std::unique_ptr<markup::UbbCode> converter = NewUbbCode();
    Variant text(post["message"].str());
    if (!text.rawString().empty()) {
        text = Variant(HtmlEncode(text.rawString()));
        converter->UbbCode(text);
        if (IsTrue(post["smiles"])) converter->Smiles(text);
        out.Write(text.rawString());
        const Variant& history = post["EditHistory"];
        if (!history.isNull()) out.Write("<div align=right><p align=right>" + history.str() + "</p></div>");
    }
    if (IsTrue(post["usesign"])) {
        const std::string signature = post["signature"].str();
        if (!signature.empty()) {
            Variant encoded(HtmlEncode(signature));
            out.Write("<p><hr>" + converter->UbbCode(encoded));
        }
    }
}

void WriteUbbPostCell(platform::Response& out, const Post& post, const ThreadTopic& topic) {
    out.Write(PostIcon(post) + "&nbsp;");
    out.Write("发表于 " + core::FormatPostTime(post["PostTime"]).str() + "&nbsp;&nbsp;");
    out.Write(SharedLinks(post));
    out.Write(IcqLink(post) + OicqImage(post));
    out.Write(ActionLinks(post, topic));
    out.Write(IpLink(post, topic));
    out.Write("<hr>");
    WriteBody(out, post);
}

void WriteClubPostCell(platform::Response& out, const Post& post, const ThreadTopic& topic) {
    out.Write("<table border=0 width=100%><tr><td width=18>" + PostIcon(post) + "</td>");
    out.Write("<td>发表于 " + core::FormatPostTime(post["PostTime"]).str() + "</td>");
    out.Write("<td align=right>" + IcqLink(post) + OicqImage(post) + IpLink(post, topic) + "</td></tr></table>");
    out.Write("<hr>");
    WriteBody(out, post);
    out.Write("<hr>");
    out.Write(SharedLinks(post));
    out.Write(ActionLinks(post, topic));
}

}  // namespace

void WritePostRow(platform::Response& out, platform::Recordset& rs, const ThreadTopic& topic, int i) {
    const core::Settings& s = core::CurrentSettings();
    const Post post(rs);
    out.Write("<tr " + (i % 2 == 0 ? s.AltColumnColor1 : s.AltColumnColor2) + ">");
    WriteAuthorCell(out, post);
    out.Write("<td valign=top>");
    if (s.BBStyle == "UBB")
        WriteUbbPostCell(out, post, topic);
    else if (s.BBStyle == "CLUB")
        WriteClubPostCell(out, post, topic);
    out.Write("</td></tr>");
}

}  // namespace board
