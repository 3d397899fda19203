// Pages run in-process through the request driver: request decoding,
// response encoding, cookies, redirects, static files and the site pages.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TempFolder.h"

#include "site/RequestDriver.h"
#include "site/SitePages.h"
#include "site/TestPages.h"

namespace {

class RequestDriverTest : public ::testing::Test {
protected:
    RequestDriverTest() { site_test::RegisterTestPages(host.router()); }
    site::BoardHost host;
    site::RequestDriver driver{host};
};

TEST_F(RequestDriverTest, ServerVariablesAndLookupOrder) {
    site::DriverRequest request;
    request.method = "POST";
    request.page = "Variables.asp";
    request.query = {{"x", "from query"}};
    request.form = {{"x", "from form"}, {"multi", "1"}, {"multi", "中"}};
    request.cookies = {{"remote_addr", "from cookie"}};
    request.remoteAddr = "10.1.2.3";
    request.headers = {{"Referer", "http://h/list.asp"}, {"User-Agent", "test"}, {"Host", "h:81"}};
    const auto response = driver.Run(request);
    ASSERT_EQ(response.status, 200);
    for (const char* expected :
         {"sv.Remote_addr=10.1.2.3|", "sv.request_method=POST|", "sv.script_name=/Variables.asp|",
          "sv.query_string=x=from+query|", "sv.http_referer=http://h/list.asp|",
          "sv.HTTP_USER_AGENT=test|", "sv.http_host=h:81|", "any.x=from query|",
          "any.remote_addr=from cookie|", "[1][中]"})
        EXPECT_NE(response.body.find(expected), std::string::npos) << expected << " in " << response.body;
}

TEST_F(RequestDriverTest, ScriptNameHasOneLeadingSlash) {
    site::DriverRequest request;
    request.page = "//Variables.asp";
    const auto response = driver.Run(request);
    ASSERT_EQ(response.status, 200);
    EXPECT_NE(response.body.find("sv.script_name=/Variables.asp|"), std::string::npos) << response.body;
}

TEST_F(RequestDriverTest, RawBodyIsReadInPieces) {
    site::DriverRequest request;
    request.method = "POST";
    request.page = "body.asp";
    request.body = std::string("ab\0cdef", 7);
    request.headers = {{"Content-Type", "multipart/form-data; boundary=x"}};
    EXPECT_EQ(driver.Run(request).body, std::string("7:ab\0/cdef", 10));
}

// Bytes that are neither GBK nor UTF-8 reach the page as U+FFFD, wherever
// in the request they stand.
TEST_F(RequestDriverTest, PagesReadOnlyValidUtf8) {
    site::DriverRequest request;
    request.method = "POST";
    request.page = "utf8check.asp";
    request.body = "f=a\xFF" "b%FF&\xC3\xA9\xE4=1";
    request.headers = {{"Content-Type", "application/x-www-form-urlencoded"}, {"Cookie", "c=\xF0\x9F"}};
    EXPECT_EQ(driver.Run(request).body, "valid");
}

TEST_F(RequestDriverTest, CharacterWithoutGbkFormIsWrittenAsReference) {
    const auto response = driver.Get("unrepresentable.asp");
    EXPECT_EQ(response.contentType, "text/html; charset=gb2312");
    EXPECT_EQ(response.body, "中&#128512;");
}

TEST_F(RequestDriverTest, CookieNamesIgnoreCaseAndPastExpiryDeletes) {
    driver.jar["Password"] = "kept-from-before";
    const auto response = driver.Get("cookies.asp");
    ASSERT_EQ(response.cookies.size(), 2u);
    const auto* user = response.cookie("USERNAME");
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(user->Name, "UserName");
    EXPECT_EQ(user->Value, "新");
    EXPECT_EQ(response.header("Set-Cookie").rfind("UserName=%D0%C2; expires=", 0), 0u);
    EXPECT_EQ(driver.jar.count("Password"), 0u);  // expired in 2001
    EXPECT_EQ(driver.jar.at("UserName"), "%D0%C2");
    EXPECT_EQ(response.header("Cache-Control"), "no-cache");
    EXPECT_FALSE(response.header("Expires").empty());
}

TEST_F(RequestDriverTest, RedirectDiscardsTheBodyAndEncodesTheAddress) {
    const auto response = driver.Get("forward.asp");
    EXPECT_EQ(response.status, 302);
    EXPECT_EQ(response.location(), "list.asp?GroupName=%D6%D0%20%CE%C4");
    EXPECT_EQ(response.body.find("lost"), std::string::npos);
}

TEST_F(RequestDriverTest, SitePagesForward) {
    struct Case {
        const char* page;
        site::Fields query;
        const char* location;
    };
    const Case cases[] = {
        {"", {}, "default.asp"},
        {"default.HTM", {}, "default.asp"},
        {"jump.asp", {{"jumpTo", "list.asp?GroupName=%D6%D0"}}, "list.asp?GroupName=%D6%D0"},
        {"jump.asp", {{"Jumpto", "archivelist.asp?archiveid=3"}}, "archivelist.asp?archiveid=3"},
        {"jump.asp", {{"jumpTo", "http://elsewhere.example/"}}, "default.asp"},
        {"jump.asp", {}, "default.asp"},
    };
    for (const Case& c : cases) {
        const auto response = driver.Get(c.page, c.query);
        EXPECT_EQ(response.status, 302) << c.page;
        EXPECT_EQ(response.location(), c.location) << c.page;
    }
}

// A page class that serves an inherited method.
class DerivedPage : public site_test::TestPage {};

TEST_F(RequestDriverTest, RoutesToInheritedMethods) {
    host.router().add<DerivedPage>("derived.asp", &site_test::TestPage::Unrepresentable);
    EXPECT_EQ(driver.Get("derived.asp").body, "中&#128512;");
}

// Pages of actions: each action runs its own method; two forms posting the
// same action are told apart by a field only one of them sends; a missing or
// unknown action gets the page's own answer, or "page not found" when the
// page has none.
TEST_F(RequestDriverTest, ActionTablesAnswerUnknownActionsWithTheirDefaultOrNotFound) {
    platform::Router& router = host.router();
    router.addAction("misc.asp", "clear", platform::MethodHandler(&site_test::TestPage::ClearKeepsCookie));
    router.addAction("misc.asp", "move", platform::MethodHandler(&site_test::TestPage::Unrepresentable),
                     platform::WhenField("Option"));
    router.addAction("misc.asp", "move", platform::MethodHandler(&site_test::TestPage::Forward));
    router.addAction("inbox.asp", "clear", platform::MethodHandler(&site_test::TestPage::ClearKeepsCookie));
    router.add("inbox.asp", &site_test::TestPage::Increment);

    struct Case {
        const char* page;
        site::Fields query;
        site::Fields form;
        int status;
        const char* body;  // start of the body ("" for a redirect)
    };
    const Case cases[] = {
        {"misc.asp", {{"action", "clear"}}, {}, 200, "after clear"},
        {"MISC.asp", {{"action", "CLEAR"}}, {}, 200, "after clear"},
        {"misc.asp", {}, {{"action", "clear"}}, 200, "after clear"},
        {"misc.asp", {}, {{"action", "move"}, {"Option", ""}}, 200, "中&#128512;"},
        {"misc.asp", {{"Option", "1"}}, {{"action", "move"}}, 200, "中&#128512;"},
        {"misc.asp", {}, {{"action", "move"}}, 302, ""},
        {"misc.asp", {}, {}, 404, "<html><head><title>404 找不到网页"},
        {"misc.asp", {{"action", "nothing"}}, {}, 404, "<html><head><title>404 找不到网页"},
        {"inbox.asp", {{"action", "clear"}}, {}, 200, "after clear"},
        {"inbox.asp", {{"action", "nothing"}}, {}, 200, "ok"},
        {"inbox.asp", {}, {}, 200, "ok"},
    };
    for (const Case& c : cases) {
        site::DriverRequest request;
        request.method = c.form.empty() ? "GET" : "POST";
        request.page = c.page;
        request.query = c.query;
        request.form = c.form;
        const auto response = driver.Run(request);
        EXPECT_EQ(response.status, c.status) << c.page << " " << site::EncodeFields(c.query) << site::EncodeFields(c.form);
        EXPECT_EQ(response.body.rfind(c.body, 0), 0u) << response.body;
        if (c.status == 404) {
            EXPECT_TRUE(response.header("Set-Cookie").empty()) << "no session for a missing page";
        }
    }
}

// A page whose answers share setup: the frame opens and closes every
// answer and hands its steps what it made.
class FramedPage : public platform::PageObject {
public:
    void Frame(const std::function<void(const std::string&)>& step) {
        Response().Write("[");
        step("made");
        Response().Write("]");
    }
    void List(const std::string& made) { Response().Write("list " + made); }
    void Menu(const std::string& made) { Response().Write("menu " + made); }
};

TEST_F(RequestDriverTest, FramedPagesRunEveryAnswerInsideTheirFrame) {
    platform::Router& router = host.router();
    router.addFramed("framed.asp", &FramedPage::Frame, &FramedPage::Menu,
                     {{"list", &FramedPage::List},
                      {"", [](FramedPage& page, const std::string&) { page.Response().Write("empty"); }}});
    router.addFramed("bare.asp", &FramedPage::Frame, nullptr, {{"list", &FramedPage::List}});
    router.addFramed("exact.asp", &FramedPage::Frame, &FramedPage::Menu, {{"list", &FramedPage::List}},
                     platform::ActionCase::Exact);

    const struct {
        const char* page;
        const char* action;  // none when null
        int status;
        const char* body;
    } cases[] = {
        {"framed.asp", "list", 200, "[list made]"},
        {"framed.asp", "LIST", 200, "[list made]"},
        {"framed.asp", "", 200, "[empty]"},
        {"framed.asp", nullptr, 200, "[empty]"},
        {"framed.asp", "xyz", 200, "[menu made]"},
        {"framed.asp", "list ", 200, "[menu made]"},
        {"bare.asp", "list", 200, "[list made]"},
        {"bare.asp", "xyz", 404, "<html><head><title>404 找不到网页"},
        {"EXACT.asp", "list", 200, "[list made]"},
        {"exact.asp", "List", 200, "[menu made]"},
    };
    for (const auto& c : cases) {
        site::Fields query;
        if (c.action) query.emplace_back("action", c.action);
        const auto response = driver.Get(c.page, query);
        const std::string what = std::string(c.page) + " " + (c.action ? c.action : "(none)");
        EXPECT_EQ(response.status, c.status) << what;
        EXPECT_EQ(response.body.rfind(c.body, 0), 0u) << what << "\n" << response.body;
    }
}

TEST_F(RequestDriverTest, StaticFilesIgnoreCaseAndStayInTheSiteFolder) {
    const auto css = driver.Get("default.css");
    EXPECT_EQ(css.status, 200);
    EXPECT_EQ(css.contentType, "text/css");
    EXPECT_NE(css.body.find(".smallFont"), std::string::npos);
    EXPECT_EQ(driver.Get("IMAGES/Title.GIF").contentType, "image/gif");
    EXPECT_EQ(driver.Get("../CMakeLists.txt").status, 404);
    EXPECT_EQ(driver.Get("images/../../CMakeLists.txt").status, 404);
}

// A symbolic link in the site folder is served only when it resolves to a
// place inside the folder, whether found at start or asked for later.
TEST(StaticFileLinks, OnlyLinksResolvingInsideTheFolderAreServed) {
    namespace fs = std::filesystem;
    TempFolder temp;
    const fs::path www = temp.Path() / "www", outside = temp.Path() / "outside";
    fs::create_directories(www / "images");
    fs::create_directories(outside);
    std::ofstream(outside / "secret.txt") << "hidden bytes";
    std::ofstream(www / "images" / "a.gif") << "GIF";
    fs::create_symlink(outside / "secret.txt", www / "early.txt");
    fs::create_symlink(outside, www / "earlydir");
    fs::create_symlink(www / "images" / "a.gif", www / "inside.gif");
    site::HostOptions options;
    options.wwwRoot = www.string();
    site::BoardHost host(options);
    site::RequestDriver driver{host};
    fs::create_symlink(outside / "secret.txt", www / "images" / "late.txt");
    fs::create_symlink(outside, www / "latedir");

    EXPECT_EQ(driver.Get("images/a.gif").body, "GIF");
    EXPECT_EQ(driver.Get("inside.gif").body, "GIF");
    for (const char* page : {"early.txt", "earlydir/secret.txt", "images/late.txt", "latedir/secret.txt",
                             "admin/early.txt"}) {
        const auto response = driver.Get(page);
        EXPECT_EQ(response.status, 404) << page;
        EXPECT_EQ(response.body.find("hidden bytes"), std::string::npos) << page;
    }
}

// A file added after start is read when asked for, every byte of it.
TEST(StaticFileLinks, AFileAddedAfterStartIsServedWhole) {
    namespace fs = std::filesystem;
    TempFolder temp;
    const fs::path www = temp.Path() / "www";
    fs::create_directories(www);
    site::HostOptions options;
    options.wwwRoot = www.string();
    site::BoardHost host(options);
    site::RequestDriver driver{host};
    std::string bytes(100000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
    std::ofstream(www / "late.bin", std::ios::binary) << bytes;
    std::ofstream(www / "empty.txt").flush();

    EXPECT_EQ(driver.Get("late.bin").body, bytes);
    const auto empty = driver.Get("empty.txt");
    EXPECT_EQ(empty.status, 200);
    EXPECT_EQ(empty.body, "");
}

}  // namespace
