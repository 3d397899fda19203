// Editing, deleting and moving archived topics through the request driver:
// rights, refusals, and every change kept to the copy of one archive when
// a topic stands in two.
#include <string>

#include "ArchiveBoard.h"

namespace {

using browse_test::Has;

class ArchiveModerationTest : public ArchiveTest {
protected:
    // Topic 100 by joe with reply 101 by ann, filed into both archives.
    ArchiveModerationTest() {
        for (int archive : {1, 2}) {
            File(archive, 100, std::nullopt, "话题", "2024-01-01 00:00:00", "灌水", "joe",
                 "正文" + std::to_string(archive));
            File(archive, 101, 100, "回复", "2024-01-01 00:00:00", "灌水", "ann");
        }
    }

    static site::Fields Login(const std::string& name, const std::string& password = "pw") {
        return {{"UserName", name}, {"Password", password}};
    }

    static site::Fields With(site::Fields form, const site::Fields& more) {
        form.insert(form.end(), more.begin(), more.end());
        return form;
    }

    site::DriverResponse Edit(const site::Fields& fields) {
        return PostForm("posting.asp", With({{"action", "archivesubmitedit"}}, fields));
    }

    // Archive 1's copy of the thread, unchanged.
    void ExpectFirstArchiveUntouched() {
        EXPECT_EQ(Copy(1, 100, "subject"), "话题");
        EXPECT_EQ(Copy(1, 100, "message"), "正文1");
        EXPECT_EQ(Copy(1, 100, "edithistory"), "");
        EXPECT_EQ(Copy(1, 101, "subject"), "回复");
    }
};

TEST_F(ArchiveModerationTest, EditFormShowsTheNamedArchivesCopy) {
    std::string body = Get("posting.asp", {{"action", "editarchive"}, {"Forum", "2"}, {"Topic", "100"}}).body;
    EXPECT_TRUE(Has(body, "档案名称：<font color=#2f2f4f>旧帖</font>"));
    EXPECT_TRUE(Has(body, ">正文2</textarea>"));
    EXPECT_TRUE(Has(body, "NAME=TopicSubject"));
    EXPECT_TRUE(Has(body, "删除此贴会导致整个话题"));
    EXPECT_TRUE(Has(body, "NAME=action VALUE=\"archivesubmitedit\""));
    EXPECT_TRUE(Has(body, "NAME=archiveid VALUE=\"2\""));
    EXPECT_FALSE(Has(body, "DisableSmilies"));

    body = Get("posting.asp", {{"action", "editarchive"}, {"Forum", "1"}, {"Topic", "101"}}).body;
    EXPECT_FALSE(Has(body, "NAME=TopicSubject")) << "a reply";
    EXPECT_FALSE(Has(body, "删除此贴会导致整个话题"));

    const struct {
        site::Fields query;
        const char* message;
    } refusals[] = {
        {{{"Forum", "1"}, {"Topic", "x"}}, "参数错误"},
        {{{"Forum", "x"}, {"Topic", "100"}}, "参数错误!"},
        {{{"Topic", "100"}}, "参数错误!"},
        {{{"Forum", "1"}, {"Topic", "555"}}, "该贴子已不存在，可能被其他人删除！"},
    };
    for (const auto& r : refusals) {
        site::Fields query = r.query;
        query.emplace_back("action", "editarchive");
        body = Get("posting.asp", query).body;
        EXPECT_TRUE(Has(body, r.message)) << r.message;
        EXPECT_FALSE(Has(body, "textarea")) << r.message;
    }
    File(2, 200, std::nullopt, "只在二", "2024-01-01 00:00:00", "灌水", "joe", "正文200");
    EXPECT_TRUE(Has(Get("posting.asp", {{"action", "editarchive"}, {"Forum", "1"}, {"Topic", "200"}}).body,
                    "该贴子已不存在")) << "another archive's post";

    File(1, 300, std::nullopt, "密谈", "2024-01-01 00:00:00", "密室", "joe", "秘密正文");
    body = Get("posting.asp", {{"action", "editarchive"}, {"Forum", "1"}, {"Topic", "300"}}).body;
    EXPECT_TRUE(Has(body, "VALUE=idcheck>"));
    EXPECT_FALSE(Has(body, "秘密正文"));
}

TEST_F(ArchiveModerationTest, EditChangesOneArchivesCopy) {
    const site::DriverResponse r = Edit(With(Login(" joe "), {{"archiveid", "2"}, {"topic", "100"},
                                                             {"topicsubject", "新题"}, {"message", "新正文"}}));
    EXPECT_TRUE(Has(r.body, "joe，谢谢你编辑贴子"));
    EXPECT_TRUE(Has(r.body, "archivecontent.asp?id=100&amp;archiveid=2"));
    EXPECT_EQ(Copy(2, 100, "message"), "新正文");
    EXPECT_EQ(Copy(2, 100, "subject"), "新题");
    EXPECT_EQ(Copy(2, 101, "subject"), "新题") << "the thread takes the subject";
    EXPECT_TRUE(Has(Copy(2, 100, "edithistory"), "[这消息被joe编辑过(编辑时间"));
    ExpectFirstArchiveUntouched();

    // Without an archive: the lowest that holds the post.
    Edit(With(Login("ann"), {{"topic", "101"}, {"message", "改过的回复"}}));
    EXPECT_EQ(Copy(1, 101, "message"), "改过的回复");
    EXPECT_EQ(Copy(2, 101, "message"), "正文101");
}

TEST_F(ArchiveModerationTest, EditAndDeleteRights) {
    const site::Fields edit = {{"archiveid", "2"}, {"topic", "100"}, {"topicsubject", "新题"}, {"message", "新"}};
    const std::string noRight =
        "对不起，你没有编辑或删除该贴子的权限，只有管理员、版主或贴子的原作者才能编辑或删除它！";
    const struct {
        site::Fields form;
        std::string message;
    } cases[] = {
        {With(Login("joe", "wrong"), edit), "对不起，您不是本论坛的用户，请先注册后再使用！"},
        {edit, "对不起，您不是本论坛的用户，请先注册后再使用！"},
        {With(Login("ann"), edit), noRight},
        {With(Login("ann"), With(edit, {{"deletepost", "on"}})), noRight},
        // Rights come before the texts are looked at.
        {With(Login("ann"), {{"archiveid", "2"}, {"topic", "100"}, {"topicsubject", ""}, {"message", ""}}), noRight},
        {With(Login("joe"), {{"archiveid", "2"}, {"topic", "100"}, {"topicsubject", ""}, {"message", "x"}}),
         "主题不能为空！ "},
        {With(Login("joe"), {{"archiveid", "2"}, {"topic", "100"}, {"topicsubject", "t"}, {"message", ""}}),
         "主题内容不能为空！你也可以按浏览器的后退按钮进行修改！"},
        {With(Login("joe"), {{"archiveid", "2"}, {"topic", "555"}, {"message", "x"}}), "参数错误！"},
        {With(Login("joe"), {{"archiveid", "x"}, {"topic", "100"}, {"message", "x"}}), "参数错误！"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(Has(Edit(c.form).body, c.message)) << c.message;
        EXPECT_EQ(Copy(2, 100, "message"), "正文2");
    }
    for (const char* leader : {"mod", "boss"}) {
        EXPECT_TRUE(Has(Edit(With(Login(leader), edit)).body, "谢谢你编辑贴子")) << leader;
        EXPECT_TRUE(Has(Copy(2, 100, "edithistory"), std::string("[这消息被") + leader));
    }
    ExpectFirstArchiveUntouched();
}

TEST_F(ArchiveModerationTest, DeletingFromTheEditFormTakesOneArchivesRows) {
    // A reply goes alone; the topic takes its replies.
    std::string body = Edit(With(Login("ann"), {{"archiveid", "2"}, {"topic", "101"}, {"deletepost", "on"}})).body;
    EXPECT_TRUE(Has(body, "ann，删除主题成功"));
    EXPECT_TRUE(Has(body, "archivelist.asp?archiveid=2"));
    EXPECT_TRUE(Has(body, "归档贴子列表"));
    EXPECT_EQ(Rows("archiveid = 2"), 1);
    Edit(With(Login("joe"), {{"archiveid", "2"}, {"topic", "100"}, {"deletepost", "on"}}));
    EXPECT_EQ(Rows("archiveid = 2"), 0);
    ExpectFirstArchiveUntouched();
}

TEST_F(ArchiveModerationTest, DeleteArchiveInTwoSteps) {
    std::string body = Get("posting.asp", {{"action", "deletearchive"}, {"topic", "100"}, {"archiveid", "2"}}).body;
    EXPECT_TRUE(Has(body, "需要删除的话题: 话题"));
    EXPECT_TRUE(Has(body, "NAME=action VALUE=\"deletearchive\""));
    EXPECT_TRUE(Has(body, "NAME=archiveid VALUE=\"2\""));
    EXPECT_TRUE(Has(body, "NAME=UserName"));

    const site::Fields form = {{"action", "deletearchive"}, {"topic", "100"}, {"archiveid", "2"}};
    EXPECT_TRUE(Has(PostForm("posting.asp", With(form, Login("nobody"))).body, "对不起，你不是我们的注册用户"));
    EXPECT_TRUE(Has(PostForm("posting.asp", With(form, Login("joe"))).body, "对不起，您没有执行该操作的权限"))
        << "the author has no right here";
    EXPECT_TRUE(Has(PostForm("posting.asp", With(form, {{"topic", "x"}})).body, "参数错误！"));
    EXPECT_EQ(Rows("archiveid = 2"), 2);

    body = PostForm("posting.asp", With(form, Login("mod"))).body;
    EXPECT_TRUE(Has(body, "话题话题已经被删除"));
    EXPECT_TRUE(Has(body, "旧帖贴子列表"));
    EXPECT_TRUE(Has(body, "archivelist.asp?archiveid=2"));
    EXPECT_EQ(Rows("archiveid = 2"), 0);
    ExpectFirstArchiveUntouched();

    // A private forum's topic is named to admitted visitors only.
    File(1, 300, std::nullopt, "密谈", "2024-01-01 00:00:00", "密室");
    body = Get("posting.asp", {{"action", "deletearchive"}, {"topic", "300"}}).body;
    EXPECT_TRUE(Has(body, "VALUE=idcheck>"));
    EXPECT_FALSE(Has(body, "密谈"));
}

TEST_F(ArchiveModerationTest, MoveTakesOneArchivesRowsIntoAnotherThatExists) {
    db.con.Execute("insert into archive (archiveid, archivename) values (3, '新档')");
    std::string body = Get("archive.asp", {{"action", "transferarchive"}, {"topic", "100"}, {"archiveid", "2"}}).body;
    EXPECT_TRUE(Has(body, "档案: <FONT COLOR=#2f2f4f>旧帖</FONT>"));
    EXPECT_TRUE(Has(body, "<option value=3>&nbsp;&nbsp;&nbsp;&nbsp;新档"));
    EXPECT_TRUE(Has(body, "NAME=archiveid VALUE=\"2\""));
    EXPECT_FALSE(Has(body, "NAME=Option"));

    const site::Fields move = {{"action", "submittransfer"}, {"topic", "100"}, {"archiveid", "2"}};
    const struct {
        const char* target;
        const char* who;
        std::string message;
    } refusals[] = {
        {"0", "mod", "请您选择归档档案，请按返回按钮重新选择！"},
        {"", "mod", "请您选择归档档案，请按返回按钮重新选择！"},
        {"abc", "mod", "请您选择归档档案，请按返回按钮重新选择！"},
        {"99", "mod", "对不起，您选择的档案不存在，请按返回按钮重新选择！"},
        {"1", "mod", "对不起，该主题已经存在于档案中，请选择其他主题！"},  // holds it already
        {"2", "mod", "对不起，该主题已经存在于档案中，请选择其他主题！"},  // where it stands
        {"3", "joe", "对不起，您没有执行该操作的权限，该操作需要版主或管理员级别的权限！"},
        {"3", "nobody", "对不起，您不是本论坛的注册用户，请先注册！"},
    };
    for (const auto& r : refusals) {
        body = PostForm("archive.asp", With(move, With(Login(r.who), {{"ArchiveSelect", r.target}}))).body;
        EXPECT_TRUE(Has(body, r.message)) << r.target << " " << body;
        EXPECT_FALSE(Has(body, "移动完成"));
        EXPECT_EQ(Rows("archiveid = 2"), 2);
    }

    body = PostForm("archive.asp", With(move, With(Login("mod"), {{"ArchiveSelect", "3"}}))).body;
    EXPECT_TRUE(Has(body, "主题：话题移动完成"));
    EXPECT_TRUE(Has(body, "archivelist.asp?archiveid=2"));
    EXPECT_TRUE(Has(body, "旧帖贴子列表"));
    EXPECT_EQ(Rows("archiveid = 2"), 0);
    EXPECT_EQ(Rows("archiveid = 3"), 2);
    ExpectFirstArchiveUntouched();

    // A reply's id moves that reply alone.
    PostForm("archive.asp", With({{"action", "submittransfer"}, {"topic", "101"}, {"archiveid", "3"},
                                  {"ArchiveSelect", "2"}}, Login("boss")));
    EXPECT_EQ(Copy(2, 101, "parentid"), "100");
    EXPECT_EQ(Rows("archiveid = 3"), 1);
}

TEST_F(ArchiveModerationTest, ArchivePostsWithOptionGoToTheLiveTopicsMove) {
    // The live move looks for a live post 100 and finds none.
    const std::string body = PostForm("archive.asp", With({{"action", "submittransfer"}, {"Option", "Archive"},
                                                           {"topic", "100"}, {"ArchiveSelect", "3"}},
                                                          Login("mod"))).body;
    EXPECT_TRUE(Has(body, "参数错误！"));
    EXPECT_EQ(Rows("archiveid = 2"), 2);
}

}  // namespace
