// The posting editor's toolbar works only with the site's script behind it:
// every page that writes the editor loads it, the script defines every
// function the editor calls, and the toolbar's pictures are served.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "board/archives/ArchiveBoard.h"

namespace {

using browse_test::Has;

constexpr const char* kScriptTag = "<script src=editor.js></script>";

class PostingEditorTest : public ArchiveTest {
protected:
    PostingEditorTest() {
        topic_ = AddTopic("灌水", "joe", "话题", browse_test::DaysAgo(1));
        FileThread(1, 100, 0);
        db.con.Execute("insert into pm (sender, recipient, subject, message, icon, usesign) "
                       "values ('ann', 'joe', '你好', '正文', 1, 0)");
        message_ = db.con.LastIdentity();
    }

    std::string NewTopicForm() { return Get("posting.asp", {{"action", "newtopic"}, {"forum", "灌水"}}).body; }

    long long topic_ = 0, message_ = 0;
};

TEST_F(PostingEditorTest, EveryPageThatWritesTheEditorLoadsItsScript) {
    const std::string topic = std::to_string(topic_);
    const struct {
        const char* name;
        const char* page;
        site::Fields query;
    } pages[] = {
        {"new topic", "posting.asp", {{"action", "newtopic"}, {"forum", "灌水"}}},
        {"reply", "posting.asp", {{"action", "reply"}, {"topic", topic}}},
        {"reply with a quote", "posting.asp", {{"action", "replywquote"}, {"topic", topic}, {"quotenum", topic}}},
        {"edit", "posting.asp", {{"action", "editpost"}, {"forum", "灌水"}, {"topic", topic}}},
        {"archived post edit", "posting.asp", {{"action", "editarchive"}, {"Forum", "1"}, {"Topic", "100"}}},
        {"new private message", "pm.asp", {{"action", "newpm"}}},
        {"private message answer", "pm.asp", {{"action", "replypm"}, {"PostID", std::to_string(message_)}}},
    };
    driver.Post("pm.asp", {{"userName", "joe"}, {"Password", "pw"}, {"QueryString", ""}});
    for (const auto& p : pages) {
        SCOPED_TRACE(p.name);
        const std::string body = Get(p.page, p.query).body;
        const std::size_t script = body.find(kScriptTag);
        ASSERT_NE(script, std::string::npos) << body;
        EXPECT_LT(script, body.find("onClick='bold()'"));
        EXPECT_TRUE(Has(body, "<TEXTAREA NAME=Message"));
    }
}

TEST_F(PostingEditorTest, TheScriptDefinesEveryFunctionTheEditorCalls) {
    const std::string form = NewTopicForm();
    std::set<std::string> called;
    const std::regex call(R"((?:onClick='|onChange='|javascript:)(\w+)\()");
    for (std::sregex_iterator it(form.begin(), form.end(), call), end; it != end; ++it) called.insert((*it)[1]);
    EXPECT_EQ(called.size(), 17u);

    const site::DriverResponse script = Get("editor.js");
    ASSERT_EQ(script.status, 200);
    // UTF-8 whatever the page's character set: the prompts are Chinese.
    EXPECT_EQ(script.contentType, "application/javascript; charset=utf-8");
    // Each is set on the window by its name, or named in one of the tables.
    for (const std::string& name : called)
        EXPECT_TRUE(std::regex_search(script.body, std::regex("(window\\.|\\[')" + name + "\\b"))) << name;
}

TEST_F(PostingEditorTest, TheToolbarsPicturesAreServed) {
    const std::string form = NewTopicForm();
    const std::regex picture(R"(src='(afp/\w+\.gif)')");
    int pictures = 0;
    for (std::sregex_iterator it(form.begin(), form.end(), picture), end; it != end; ++it, ++pictures) {
        const std::string address = (*it)[1];
        const site::DriverResponse served = Get(address);
        EXPECT_EQ(served.status, 200) << address;
        EXPECT_EQ(served.contentType, "image/gif") << address;
        EXPECT_EQ(served.body.substr(0, 6), "GIF89a") << address;
    }
    EXPECT_EQ(pictures, 12);
}

}  // namespace
