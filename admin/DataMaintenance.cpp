// misc.asp: the recounts of the stored figures of forums, topics and
// members. These statements define the figures; the schema's triggers keep
// the same values current between recounts (points leaving out the forum
// the last member recount left out).
#include "admin/Admin.h"
#include "admin/forms/DataForms.h"
#include "admin/ForumRules.h"
#include "core/ForumNames.h"
#include "core/Settings.h"
#include "platform/Connection.h"
#include "platform/Error.h"
#include "platform/Recordset.h"

namespace admin {

namespace {

// Runs each step on its own: a step that fails is skipped and counted, and
// the run goes on with the next.
class Steps {
public:
    template <class Step>
    void Run(Step step) {
        try {
            step();
        } catch (const platform::RuntimeError& e) {
            if (failures_++ == 0) firstError_ = e.description();
        }
    }
    int failures() const { return failures_; }
    const std::string& firstError() const { return firstError_; }

private:
    int failures_ = 0;
    std::string firstError_;
};

void RecountForums(platform::Connection& con, Steps& steps) {
    steps.Run([&] {
        const std::string ofForum = core::ForumPostsCondition("post.forumname", "forum.forumname");
        con.Execute("update forum set "
                    "topiccount=(select count(postid)-count(parentid) from post where " + ofForum + "), "
                    "replycount=(select count(parentid) from post where " + ofForum + "), "
                    "(lastpostusername, lastposttime)=(select username, posttime from post "
                    "where " + ofForum + " order by posttime desc limit 1)");
    });
    std::vector<std::string> forums;
    steps.Run([&] {
        platform::Recordset rs;
        rs.Open("select forumname from forum", con);
        for (; !rs.Eof(); rs.MoveNext()) forums.push_back(rs.Fields(0).str());
    });
    for (const std::string& forum : forums) steps.Run([&] { StoreModeratorList(con, forum); });
}

// A topic without replies is its own last reply.
void RecountTopics(platform::Connection& con, Steps& steps) {
    steps.Run([&] {
        con.Execute(
            "update post set "
            "replycount=(select count(postid) from post r where r.parentid=post.postid), "
            "(lastreplyusername, lastreplyposttime)=(select username, posttime from post r "
            "where r.parentid=post.postid or r.postid=post.postid "
            "order by r.parentid is null, r.posttime desc limit 1) "
            "where parentid is null");
    });
}

// Points: three for each post outside the excluded forum, one for each reply
// by someone else to the member's topics, outside the excluded forum.
void RecountMembers(platform::Connection& con, const std::string& excluded, Steps& steps) {
    const std::string outside = excluded.empty() ? "" : " and forumname<>?1";
    steps.Run([&] {
        platform::Transaction tx(con);
        con.Execute("delete from points_excluded");
        if (!excluded.empty()) con.Execute("insert into points_excluded (forumname) values (?)", {excluded});
        con.Execute(
            "update register set "
            "postcount=(select count(postid) from post where post.username=register.username), "
            "jf=3*(select count(postid) from post where post.username=register.username" + outside + ")"
            "+(select count(postid) from post where parentid in (select postid from post t "
            "where t.username=register.username and t.parentid is null) "
            "and post.username<>register.username" + outside + ")",
            excluded.empty() ? platform::SqlParams{} : platform::SqlParams{excluded});
        tx.Commit();
    });
    // The profile form's placeholder, in whatever letter case it was kept.
    steps.Run([&] { con.Execute("update register set url=null where lower(url) in ('http:///', 'http://')"); });
}

}  // namespace

void Admin::DataMaintenance() {
    RunPanelPage(core::CurrentSettings().BBName, [&](core::Page& p) {
        const platform::Request& in = Request();
        if (in.ServerVariables("request_method").str() != "POST") {
            Response().Write(forms::MaintenanceForm(SessionLogin()));
            return;
        }
        RequireAdministrator(p, in.Form("UserName").str(), in.Form("Password").str(),
                             "对不起，您没有执行这个操作的权限，只有管理员才可以执行该操作!");
        Steps steps;
        if (in("foruminfo").str() == "on") RecountForums(p.Db(), steps);
        if (in("topicinfo").str() == "on") RecountTopics(p.Db(), steps);
        if (in("userinfo").str() == "on") RecountMembers(p.Db(), in("forumname").str(), steps);
        Response().Write("<br><br><center><h3>数据维护结束</h3></center>");
        if (steps.failures() > 0)
            Response().Write("<center><p><font color=#800000>有 " + std::to_string(steps.failures()) +
                             " 处维护没有完成，第一处的错误：" + Text(steps.firstError()) + "</font></p></center>");
    });
}

}  // namespace admin
