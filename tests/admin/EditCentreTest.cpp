// edit.asp: the steps of the post editing centre, a moderator kept to his
// forums on every one of them, edits with their notes, deleting topics with
// their replies and pruning, each with every counter kept true.
#include <gtest/gtest.h>

#include "FixedClock.h"
#include "PanelBoard.h"

namespace {

using admin_test::Has;
using site::Fields;

// Posts, topics, forums and members whose stored counters differ from a
// recount; 0 when every counter is true.
constexpr const char* kCountersOff =
    "select (select count(*) from forum f where"
    "   topiccount <> (select count(*) from post where forumname=f.forumname and parentid is null)"
    "   or replycount <> (select count(*) from post where forumname=f.forumname and parentid is not null)"
    "   or lastposttime is not (select max(posttime) from post where forumname=f.forumname))"
    " + (select count(*) from post t where parentid is null and ("
    "   replycount <> (select count(*) from post r where r.parentid=t.postid)"
    "   or lastreplyposttime is not (select max(posttime) from post r where r.postid=t.postid or r.parentid=t.postid)))"
    " + (select count(*) from register m where postcount <> (select count(*) from post where username=m.username))";

// `login` followed by the step's fields (which may repeat a name).
Fields Plus(Fields login, const Fields& form) {
    login.insert(login.end(), form.begin(), form.end());
    return login;
}

class EditCentreTest : public ::testing::Test {
protected:
    EditCentreTest() {
        board.AddForum("Tech", "Cat", 1);
        board.AddForum("Chat", "Cat", 2);
        for (const char* name : {"mo", "ann", "bob"}) board.AddMember(name, "pw");
        board.db.con.Execute("update register set status='moderater' where username='mo'");
        board.db.con.Execute("insert into moderated (forum, moderater) values ('Tech', 'mo')");
        tech = board.AddTopic("Tech", "ann", "tech topic", browse_test::DaysAgo(3));
        board.AddReply(tech, "Tech", "bob", browse_test::DaysAgo(2));
        chat = board.AddTopic("Chat", "ann", "chat topic", browse_test::DaysAgo(3));
        board.AddReply(chat, "Chat", "bob", browse_test::DaysAgo(2));
        chatReply = board.db.con.LastIdentity();
    }

    site::DriverResponse Edit(Fields form) { return board.Post("edit.asp", std::move(form)); }
    // Logs into the centre (the session keeps the login for the linked steps).
    void LogIn(const std::string& name, const std::string& password) {
        Edit({{"action", "EditFunction"}, {"UserName", name}, {"Password", password}, {"EditFunction", "Edit"}});
    }
    std::string Id(long long id) { return std::to_string(id); }
    long Posts() { return board.Count("post"); }
    long CountersOff() { return std::stol(board.Value(kCountersOff)); }

    admin_test::PanelBoard board;
    long long tech = 0, chat = 0, chatReply = 0;
};

TEST_F(EditCentreTest, ActionsAreComparedLowerCasedAndRefusedWithTheirOwnTexts) {
    struct Case {
        const char* name;
        Fields form;
        const char* shows;
    };
    const Fields wrong = {{"UserName", "boss"}, {"Password", "wrong"}};
    auto with = [&](Fields form) { return Plus(wrong, form); };
    const Case refusals[] = {
        {"no action: the menu", {}, "编 辑 和 删 除 帖 子"},
        {"subject missing", with({{"action", "SubmitEditSubject"}, {"topic", "1"}}), "用户名，口令或主题均不能为空！"},
        {"subject, bad login", with({{"action", "submitEditSubject"}, {"NewSubject", "x"}}), "对不起，您不能进行该操作！"},
        {"delete without password", {{"action", "doDeleteThread"}, {"UserName", "boss"}}, "用户名，口令均不能为空！"},
        {"delete, bad login", with({{"action", "DODELETETHREAD"}}), "对不起，您不能进行该操作！"},
        {"thread editor without login", {{"action", "GetExactEditMessage"}}, "对不起，你不能进行该操作！"},
        {"prune list without login", {{"action", "PrunebyDate"}}, "对不起，你不能进行该操作！"},
        {"member prune list without login", {{"action", "PruneByUser"}}, "对不起，你不能进行该操作！"},
        {"prune, bad login", with({{"action", "SubmitPrune"}}), "对不起，你不能进行该操作！"},
        {"topic list without login", {{"action", "AdminEditThisForum"}}, "对不起，你不能进行该操作！"},
        {"thread without login", {{"action", "GetEditthreads"}, {"topic", "1"}}, "对不起，你不能进行该操作！"},
        {"menu choice, bad login", with({{"action", "EditFunction"}}), "对不起，你没有执行该操作的权限"},
        {"save without number", {{"action", "DoMessageEdit"}}, "参数错误"},
        {"save without text", {{"action", "DoMessageEdit"}, {"MessageNumber", "1"}, {"MessageText", "  "}},
         "贴子内容不能为空！"},
        {"save, bad login", with({{"action", "DoMessageEdit"}, {"MessageNumber", "1"}, {"MessageText", "x"}}),
         "对不起，您不能进行该操作！"},
    };
    for (const Case& c : refusals) {
        SCOPED_TRACE(c.name);
        const auto page = Edit(c.form);
        EXPECT_TRUE(Has(page.body, c.shows)) << page.body;
        EXPECT_TRUE(page.body.ends_with("</body></html>"));
    }

    board.Login();
    const Fields boss = {{"UserName", "boss"}, {"Password", "secret"}};
    const Case steps[] = {
        {"forum choice for pruning", Plus(boss, {{"action", "EditFunction"}, {"EditFunction", "Prune"}}),
         "<OPTION VALUE=\"Tech\">Tech<OPTION VALUE=\"Chat\">Chat</select>"},
        {"forum choice for editing", Plus(boss, {{"action", "editfunction"}, {"editfunction", "EDIT"}}),
         "VALUE='AdminEditThisForum'"},
        {"member search without name",
         Plus(boss, {{"action", "EditFunction"}, {"EditFunction", "PruneUser"}}), "您没有输入要删除的用户名!"},
        {"member search without match",
         Plus(boss, {{"action", "EditFunction"}, {"EditFunction", "PruneUser"}, {"DeleteName", "zz"}}),
         "没有发现与之相匹配的用户！"},
        {"prune list", {{"action", "PrunebyDate"}, {"ForumName", "Tech"}, {"DaysPrune", "60"}}, "VALUE='SubmitPrune'"},
        {"thread", {{"action", "GetEditthreads"}, {"Topic", Id(tech)}}, "调 出 要 编 辑 的 消 息"},
        {"prune of nothing", Plus(boss, {{"action", "SubmitPrune"}}), "贴子删除完毕"},
    };
    for (const Case& c : steps) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(Has(Edit(c.form).body, c.shows));
    }
    // An unknown menu choice leaves the page with its head and end only.
    const auto other = Edit(Plus(boss, {{"action", "EditFunction"}, {"EditFunction", "x"}}));
    EXPECT_FALSE(Has(other.body, "<FORM")) << other.body;
    EXPECT_TRUE(other.body.ends_with("</body></html>"));
    EXPECT_EQ(Posts(), 4);
}

TEST_F(EditCentreTest, MenuPrefillsTheSessionLoginAsText) {
    EXPECT_TRUE(Has(Edit({}).body, "NAME=UserName SIZE=25 MAXLENGTH=25 value=\"\""));
    board.AddMember("a\"b", "p<w");
    board.db.con.Execute("update register set status='administrator' where username='a\"b'");
    LogIn("a\"b", "p<w");
    const auto menu = Edit({}).body;
    EXPECT_TRUE(Has(menu, "value=\"a&quot;b\"")) << menu;
    EXPECT_TRUE(Has(menu, "value=\"p&lt;w\""));
}

// Every step that names a post or a forum of another forum is refused to a
// moderator, and nothing changes.
TEST_F(EditCentreTest, ModeratorActsOnlyWithinHisForums) {
    LogIn("mo", "pw");
    const Fields mo = {{"UserName", "mo"}, {"Password", "pw"}};
    auto as = [&](Fields form) { return Plus(mo, form); };
    struct Case {
        const char* name;
        Fields form;
        const char* refusal;
    };
    const Case cases[] = {
        {"rename", as({{"action", "submiteditsubject"}, {"topic", Id(chat)}, {"newsubject", "taken"}}),
         "对不起，您不能进行该操作！"},
        {"delete topic", as({{"action", "dodeletethread"}, {"topic", Id(chat)}}), "对不起，您不能进行该操作！"},
        {"delete reply", as({{"action", "dodeletethread"}, {"topic", Id(chatReply)}}), "对不起，您不能进行该操作！"},
        {"subject form", {{"action", "getexacteditmessage"}, {"editsubject", "yes"}, {"topic", Id(chat)}},
         "对不起，你不能进行该操作！"},
        {"delete form", {{"action", "getexacteditmessage"}, {"deletethread", "yes"}, {"topic", Id(chat)}},
         "对不起，你不能进行该操作！"},
        {"post form", {{"action", "getexacteditmessage"}, {"editMessageNumber", Id(chatReply)}},
         "对不起，你不能进行该操作！"},
        {"thread", {{"action", "geteditthreads"}, {"topic", Id(chat)}}, "对不起，你没有权限执行该操作！"},
        {"prune list", {{"action", "prunebydate"}, {"forumname", "Chat"}, {"DaysPrune", "60"}},
         "对不起，你不能进行该操作！"},
        {"member prune list", {{"action", "prunebyuser"}, {"forumname", "Chat"}, {"MatchUser", "ann"}},
         "对不起，你不能进行该操作！"},
        {"topic list", {{"action", "admineditthisforum"}, {"forumname", "Chat"}, {"DaysPrune", "60"}},
         "对不起，你不能进行该操作！"},
        {"prune, one of his among them", as({{"action", "submitprune"}, {"delete", Id(tech)}, {"delete", Id(chat)}}),
         "对不起，你不能进行该操作！"},
        {"save", as({{"action", "domessageedit"}, {"MessageNumber", Id(chat)}, {"MessageText", "taken"}}),
         "对不起，您不能进行该操作！"},
        {"delete by save",
         as({{"action", "domessageedit"}, {"MessageNumber", Id(chat)}, {"MessageText", "x"}, {"DeleteMessage", "yes"}}),
         "对不起，您不能进行该操作！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto page = Edit(c.form);
        EXPECT_TRUE(Has(page.body, c.refusal)) << page.body;
        EXPECT_FALSE(Has(page.body, "chat topic"));
    }
    EXPECT_EQ(Posts(), 4);
    EXPECT_EQ(board.Count("post where subject in ('tech topic', 'chat topic', 'Re')"), 4);
    EXPECT_EQ(board.Count("post where edithistory is not null"), 0);

    // His own forum is open to him, and his choices list it alone.
    EXPECT_TRUE(Has(Edit({{"action", "geteditthreads"}, {"topic", Id(tech)}}).body, "tech topic"));
    const auto choice = Edit(as({{"action", "editfunction"}, {"Editfunction", "prune"}})).body;
    EXPECT_TRUE(Has(choice, "<SELECT NAME=ForumName SIZE=1><OPTION VALUE=\"Tech\">Tech</select>")) << choice;
    EXPECT_TRUE(Has(Edit(as({{"action", "dodeletethread"}, {"topic", Id(tech)}})).body, "主题删除完毕"));
    EXPECT_EQ(Posts(), 2);

    // Without any forum of his own, no thread is his.
    board.db.con.Execute("delete from moderated");
    LogIn("mo", "pw");
    EXPECT_TRUE(Has(Edit({{"action", "geteditthreads"}, {"topic", Id(chat)}}).body, "对不起，你没有权限执行该操作！"));
}

TEST_F(EditCentreTest, IdsThatAreNoWholeNumbersChangeNothing) {
    board.Login();
    const Fields boss = {{"UserName", "boss"}, {"Password", "secret"}};
    for (const char* bad : {"0 or 1=1", "1 or 1=1", "-1", "2.5", "abc", "", "99999999999"}) {
        SCOPED_TRACE(bad);
        EXPECT_TRUE(Has(Edit(Plus(boss, {{"action", "submiteditsubject"}, {"topic", bad},
                                                     {"newsubject", "all"}})).body,
                        "该主题已经不存在！"));
        EXPECT_TRUE(Has(Edit(Plus(boss, {{"action", "dodeletethread"}, {"topic", bad}})).body,
                        "该主题已经不存在！"));
        EXPECT_TRUE(Has(Edit(Plus(boss, {{"action", "submitprune"}, {"delete", bad}})).body, "贴子删除完毕"));
        EXPECT_TRUE(Has(Edit(Plus(boss, {{"action", "domessageedit"}, {"MessageNumber", bad},
                                                     {"MessageText", "all"}})).body,
                        "参数错误"));
        EXPECT_TRUE(Has(Edit({{"action", "geteditthreads"}, {"topic", bad}}).body, "对不起，该主题不存在！"));
        EXPECT_TRUE(Has(Edit({{"action", "getexacteditmessage"}, {"editMessageNumber", bad}}).body,
                        "对不起，该贴子已经不存在！"));
    }
    EXPECT_EQ(Posts(), 4);
    EXPECT_EQ(board.Count("post where subject='all' or message='all'"), 0);
}

TEST_F(EditCentreTest, EachSaveAppendsItsNoteAfterTheEarlierOnes) {
    FixedClock clock(platform::MakeDateTime(2001, 3, 5, 9, 7, 30));
    auto save = [&](const std::string& who, const std::string& password, const std::string& text) {
        return Edit({{"action", "DoMessageEdit"}, {"MessageNumber", Id(tech)}, {"MessageText", text},
                     {"UserName", who}, {"Password", password}});
    };
    EXPECT_TRUE(Has(save("boss", "secret", "first").body, "贴子编辑结束！"));
    clock.Advance(60);
    save("mo", "pw", "  [b]second[/b] & </TEXTAREA>  ");
    EXPECT_EQ(board.Value("select message from post where postid=?", {tech}), "  [b]second[/b] & </TEXTAREA>  ");
    const std::string history = board.Value("select edithistory from post where postid=?", {tech});
    const std::size_t first = history.find("[这消息被boss编辑过(编辑时间2001-03-05 ");
    const std::size_t second = history.find(")]<br>[这消息被mo编辑过(编辑时间2001-03-05 ");
    EXPECT_EQ(first, 0u) << history;
    ASSERT_NE(second, std::string::npos) << history;
    EXPECT_TRUE(Has(history.substr(0, second), "09:07:30"));
    EXPECT_TRUE(Has(history.substr(second), "09:08:30"));
    EXPECT_TRUE(history.ends_with("</font>)]<br>"));

    // The edit form shows the stored text as typed, encoded for its box.
    LogIn("boss", "secret");
    const auto form = Edit({{"action", "GetExactEditMessage"}, {"editMessageNumber", Id(tech)}}).body;
    EXPECT_TRUE(Has(form, "WRAP=VIRTUAL>  [b]second[/b] &amp; &lt;/TEXTAREA&gt;  </TEXTAREA>")) << form;
    EXPECT_TRUE(Has(form, "警告：这个消息同时也是话题"));
}

TEST_F(EditCentreTest, DeletingATopicTakesItsRepliesAndKeepsEveryCounter) {
    board.AddReply(tech, "Tech", "mo", browse_test::DaysAgo(1));
    const long long lastReply = board.db.con.LastIdentity();
    const long long other = board.AddTopic("Tech", "bob", "older", browse_test::DaysAgo(9));
    ASSERT_EQ(CountersOff(), 0);
    const Fields boss = {{"UserName", "boss"}, {"Password", "secret"}};
    auto remove = [&](long long id) {
        return Edit({{"action", "domessageedit"}, {"MessageNumber", Id(id)}, {"MessageText", "x"},
                     {"DeleteMessage", "yes"}, {"UserName", "boss"}, {"Password", "secret"}});
    };

    // A reply goes alone, by either step.
    EXPECT_TRUE(Has(remove(lastReply).body, "贴子编辑结束！"));
    EXPECT_TRUE(Has(Edit(Plus(boss, {{"action", "dodeletethread"}, {"topic", Id(chatReply)}})).body,
                    "主题删除完毕"));
    EXPECT_EQ(Posts(), 4);
    EXPECT_EQ(CountersOff(), 0);

    // A topic goes with its replies, by either step.
    remove(tech);
    EXPECT_EQ(board.Count("post where forumname='Tech'"), 1);
    Edit(Plus(boss, {{"action", "dodeletethread"}, {"topic", Id(chat)}}));
    EXPECT_EQ(board.Count("post where forumname='Chat'"), 0);
    EXPECT_EQ(board.Value("select topiccount||'/'||replycount||' '||lastpostusername from forum where forumname='Tech'"),
              "1/0 bob");
    EXPECT_EQ(CountersOff(), 0);
    EXPECT_EQ(board.Value("select postid from post"), Id(other));
}

TEST_F(EditCentreTest, PruneByDateListsTheTopicsFromTheLimitOn) {
    FixedClock clock(platform::MakeDateTime(2001, 3, 5, 12, 0, 0));
    board.AddForum("Dated", "Cat", 3);
    const long long atLimit = board.AddTopic("Dated", "ann", "at the limit", "2001-03-03 12:00:00");
    const long long justOlder = board.AddTopic("Dated", "ann", "just older", "2001-03-03 11:59:59");
    const long long old = board.AddTopic("Dated", "bob", "four days", "2001-03-01 12:00:00");
    board.AddReply(old, "Dated", "ann", "2001-03-04 12:00:00");
    board.Login();
    auto listed = [&](const std::string& action, const std::string& days) {
        const std::string page =
            Edit({{"action", action}, {"forumname", "Dated"}, {"DaysPrune", days}}).body;
        std::string ids;
        for (long long id : {old, atLimit, justOlder})  // newest reply first
            if (Has(page, "VALUE='" + Id(id) + "' CHECKED") || Has(page, "Topic=" + Id(id) + ">"))
                ids += (ids.empty() ? "" : " ") + Id(id);
        return ids;
    };
    struct Case {
        const char* days;
        std::string ids;
    };
    const Case cases[] = {
        {"2", Id(atLimit)},
        {"2.5", Id(atLimit)},  // rounds to 2
        {"3.5", Id(old) + " " + Id(atLimit) + " " + Id(justOlder)},  // rounds to 4
        {"2days", Id(atLimit)},
        {"", ""},
        {"many", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.days);
        EXPECT_EQ(listed("PrunebyDate", c.days), c.ids);
        EXPECT_EQ(listed("AdminEditThisForum", c.days), c.ids);
    }
    // The list shows the last reply's day, and an empty cell for none.
    board.db.con.Execute("update post set lastreplyposttime=null where postid=?", {atLimit});
    const std::string page = Edit({{"action", "prunebydate"}, {"forumname", "Dated"}, {"DaysPrune", "9"}}).body;
    EXPECT_TRUE(Has(page, "four days</td><td>bob</td><td align=center>1</td><td>2001-03-04</td>")) << page;
    EXPECT_TRUE(Has(page, "at the limit</td><td>ann</td><td align=center>0</td><td></td>"));
}

TEST_F(EditCentreTest, PruneByMemberDeletesTheCheckedThreadsWhole) {
    const long long old = board.AddTopic("Tech", "ann", "from long ago", "2000-01-01 00:00:00");
    board.AddReply(old, "Tech", "bob", "2000-01-02 00:00:00");
    const long long kept = board.AddTopic("Tech", "ann", "kept", browse_test::DaysAgo(1));
    const Fields boss = {{"UserName", "boss"}, {"Password", "secret"}};
    auto search = [&](const std::string& text) {
        return Edit(Plus(boss, {{"action", "editfunction"}, {"Editfunction", "PruneUser"},
                                            {"DeleteName", text}})).body;
    };
    const std::string found = search("O");
    for (const char* name : {"boss", "mo", "bob"}) EXPECT_TRUE(Has(found, std::string("<OPTION value=\"") + name + "\">"));
    EXPECT_FALSE(Has(found, "\"ann\""));
    EXPECT_TRUE(Has(search("%"), "<OPTION value=\"ann\">"));
    EXPECT_TRUE(Has(search("b'o"), "没有发现与之相匹配的用户！"));

    // Every topic of the member in the forum, however old; no replies.
    const std::string list =
        Edit({{"action", "PruneByUser"}, {"forumname", "Tech"}, {"MatchUser", "ann"}}).body;
    for (long long id : {tech, old, kept}) EXPECT_TRUE(Has(list, "VALUE='" + Id(id) + "' CHECKED"));
    EXPECT_FALSE(Has(list, "VALUE='" + Id(chat) + "'"));

    // The unchecked topic stays; the checked ones go with their replies.
    EXPECT_TRUE(Has(Edit(Plus(boss, {{"action", "SubmitPrune"}, {"Delete", Id(tech)}, {"Delete", Id(old)}}))
                        .body,
                    "贴子删除完毕"));
    EXPECT_EQ(board.Value("select group_concat(postid) from post where forumname='Tech'"), Id(kept));
    EXPECT_EQ(CountersOff(), 0);
}

TEST_F(EditCentreTest, SubjectsAndNamesAreWrittenAsText) {
    const std::string subject = "say \"hi\" & <b>";
    board.db.con.Execute("update post set subject=?, username='<i>x' where postid=?", {subject, tech});
    board.Login();
    const std::string encoded = "say &quot;hi&quot; &amp; &lt;b&gt;";
    const auto thread = Edit({{"action", "GetEditThreads"}, {"topic", Id(tech)}}).body;
    EXPECT_TRUE(Has(thread, "帖子主题：" + encoded)) << thread;
    EXPECT_TRUE(Has(thread, "<b>&lt;i&gt;x</b>"));
    EXPECT_TRUE(Has(Edit({{"action", "PrunebyDate"}, {"forumname", "Tech"}, {"DaysPrune", "9"}}).body,
                    "CHECKED>" + encoded));
    EXPECT_TRUE(Has(Edit({{"action", "AdminEditThisForum"}, {"forumname", "Tech"}, {"DaysPrune", "9"}}).body,
                    ">" + encoded + "</a>"));
    EXPECT_TRUE(Has(Edit({{"action", "getexacteditmessage"}, {"deletethread", "yes"}, {"topic", Id(tech)}}).body,
                    "话题主题: </B>" + encoded));

    // The subject form gives the subject back whole; a rename reaches the
    // topic and its replies, quotes and all.
    const auto form = Edit({{"action", "getexacteditmessage"}, {"editsubject", "yes"}, {"deletethread", "yes"},
                            {"topic", Id(tech)}}).body;
    EXPECT_TRUE(Has(form, "NAME=NewSubject VALUE=\"" + encoded + "\"")) << form;
    EXPECT_TRUE(Has(Edit({{"action", "submitEditSubject"}, {"topic", Id(tech)}, {"NewSubject", "it's \"new\""},
                          {"UserName", "boss"}, {"Password", "secret"}}).body,
                    "主题更新完毕"));
    EXPECT_EQ(board.Count("post where subject=?", {"it's \"new\""}), 2);
}

TEST_F(EditCentreTest, ThreadPageShowsTopicsOnly) {
    board.Login();
    EXPECT_TRUE(Has(Edit({{"action", "geteditthreads"}, {"topic", Id(chatReply)}}).body, "对不起，你选择的不是主题！"));
    EXPECT_TRUE(Has(Edit({{"action", "geteditthreads"}, {"topic", "999"}}).body, "对不起，该主题不存在！"));
    board.db.con.Execute("update post set message='[b]bold[/b]' where postid=?", {chat});
    const auto thread = Edit({{"action", "geteditthreads"}, {"topic", Id(chat)}}).body;
    EXPECT_TRUE(Has(thread, "<br><B>bold</B></td>")) << thread;
    EXPECT_EQ(browse_test::Count(thread, "NAME='EditMessageNumber'"), 2u);
    EXPECT_TRUE(Has(thread, "NAME='topic' VALUE=" + Id(chat) + ">"));
}

}  // namespace
