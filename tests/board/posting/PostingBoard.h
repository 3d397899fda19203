#pragma once
// A board with members and forums of every posting rule, whose mail relay
// is a loopback SMTP sink, for driving the posting pages as a browser would.
#include <gtest/gtest.h>

#include <string>

#include "board/browse/MailPageTest.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"

class PostingTest : public MailPageTest {
protected:
    PostingTest() {
        AddMember("joe", "pw");
        AddMember("ann", "pw");
        AddMember("boss", "pw");
        AddMember("mod", "pw");
        AddMember("barred", "pw");
        db.con.Execute("update register set email = username || '@example.com'");
        db.con.Execute("update register set status = 'administrator' where username = 'boss'");
        db.con.Execute("update register set status = 'moderater' where username = 'mod'");
        db.con.Execute("update register set canpost = 0 where username = 'barred'");
        AddForum("灌水", "闲聊", 1);
        AddForum("公告", "闲聊", 2, "restrict&none");
        AddForum("精华", "闲聊", 3, "restrict&restrict");
        AddForum("开放", "闲聊", 4, "all&all");
        AddForum("密室", "闲聊", 5, "private");
        db.con.Execute("update forum set forumpassword = 'door' where forumname = '密室'");
        db.con.Execute("insert into moderated (forum, moderater) values ('公告', 'mod'), ('精华', 'mod')");
        // The repeat-submit interval follows the member and the address, not
        // only the session: the tests of it turn it on.
        Set("SubmitInterval", -1);
    }

    // A topic by `author` in `forum`, straight into the database.
    long long Topic(const std::string& forum, const std::string& author = "ann", bool notify = false) {
        db.con.Execute("insert into post (forumname, username, subject, message, icon, smiles, emailnotification) "
                       "values (?, ?, '旧话题', '旧正文', 1, 1, ?)",
                       {forum, author, notify ? platform::Variant(true) : platform::Variant::null()});
        return db.con.LastIdentity();
    }

    // Each post starts a fresh browser session; `keepSession` keeps the
    // last one.
    site::DriverResponse Post(site::Fields form, bool keepSession = false, const std::string& ip = "10.1.2.3") {
        if (!keepSession) driver.jar.clear();
        site::DriverRequest request;
        request.method = "POST";
        request.page = "posting.asp";
        request.form = std::move(form);
        request.remoteAddr = ip;
        return driver.Run(request);
    }

    static site::Fields TopicForm(const std::string& forum = "灌水") {
        return {{"action", "posttopic"}, {"forum", forum},         {"UserName", "joe"},
                {"Password", "pw"},      {"TopicSubject", "新话题"}, {"MsgIcon", "3"},
                {"Message", "正文[b]粗[/b]"}};
    }

    static site::Fields ReplyForm(long long topic) {
        return {{"action", "postreply"}, {"Topic", std::to_string(topic)}, {"forum", "灌水"},
                {"UserName", "joe"},     {"Password", "pw"},               {"TopicSubject", "回复"},
                {"MsgIcon", "2"},        {"Message", "回复正文"}};
    }

    // The form with `key` set to `value` (added when missing), or removed
    // when `value` is "(none)".
    static site::Fields With(site::Fields form, const std::string& key, const std::string& value) {
        std::erase_if(form, [&](const auto& f) { return f.first == key; });
        if (value != "(none)") form.emplace_back(key, value);
        return form;
    }

    site::DriverResponse LogIn(const std::string& name) {
        return driver.Post("login.asp", {{"UserName", name}, {"Password", "pw"}});
    }

    long long PostCount() {
        platform::Recordset rs;
        rs.Open("select count(*) from post", db.con);
        return static_cast<long long>(platform::CDbl(rs.Fields(0)));
    }

    // One value of the newest post.
    platform::Variant Newest(const std::string& column) {
        platform::Recordset rs;
        rs.Open("select " + column + " from post order by postid desc limit 1", db.con);
        return rs.Fields(0);
    }

    // A flag of the newest post as stored: "1", "0" or "null".
    std::string Flag(const std::string& column) {
        const platform::Variant v = Newest(column);
        return v.isNull() ? "null" : platform::CBool(v) ? "1" : "0";
    }
};
