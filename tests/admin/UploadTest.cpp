// upload.asp: multipart bodies as browsers send them, the identity and
// folder checks, the file's size, type and name, and the uploaded file
// served back from "/upload/".
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "PanelBoard.h"
#include "admin/Upload.h"
#include "platform/Charset.h"

namespace {

namespace fs = std::filesystem;
using admin_test::Has;

constexpr const char* kBoundary = "----WebKitFormBoundaryq1w2e3";
const char* const kFailed = "文件上传失败！";

struct Part {
    std::string name;
    std::string value;                       // UTF-8, sent as GBK; raw bytes for a file
    std::optional<std::string> fileName{};   // a file part
};

std::string Multipart(const std::vector<Part>& parts) {
    std::string body;
    for (const Part& part : parts) {
        body += std::string("--") + kBoundary + "\r\nContent-Disposition: form-data; name=\"" + part.name + "\"";
        if (part.fileName)
            body += "; filename=\"" + platform::Utf8ToGbk(*part.fileName) +
                    "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + part.value;
        else
            body += "\r\n\r\n" + platform::Utf8ToGbk(part.value);
        body += "\r\n";
    }
    return body + "--" + kBoundary + "--\r\n";
}

class UploadTest : public ::testing::Test {
protected:
    UploadTest() {
        board.AddMember("mod", "pw");
        board.AddMember("plain", "pw");
        board.db.con.Execute("update register set status='Moderater', uploaddir='\\Files' where username='mod'");
        board.db.con.Execute("update register set uploaddir='x' where username='plain'");
    }

    site::DriverResponse Send(const std::string& body) {
        site::DriverRequest request;
        request.method = "POST";
        request.page = "admin/upload.asp";
        request.headers = {{"Content-Type", std::string("multipart/form-data; boundary=") + kBoundary}};
        request.body = body;
        return board.driver.Run(request);
    }
    // The moderator uploads `data` as `fileName`.
    site::DriverResponse Upload(const std::string& fileName, const std::string& data = "bytes") {
        return Send(Multipart({{"username", "mod"}, {"password", "pw"}, {"image", data, fileName}}));
    }
    fs::path Folder() const { return data.Path() / "upload" / "Files"; }

    admin_test::ScopedDataFolder data;
    admin_test::PanelBoard board;
};

TEST_F(UploadTest, TheFormPrefillsThePanelLogin) {
    board.Login();
    const auto page = board.PanelGet("upload.asp");
    EXPECT_TRUE(Has(page.body, "<form enctype=\"multipart/form-data\" action=upload.asp method=post name=upload>"));
    EXPECT_TRUE(Has(page.body, "name=username size=25 maxlength=25 value=\"boss\""));
    EXPECT_TRUE(Has(page.body, "<input type=file name=image>"));
    EXPECT_TRUE(Has(page.body, "(gif,jpg,jpeg,png,"));
}

TEST_F(UploadTest, SavesIntoTheMembersFolderAndServesItReadOnly) {
    const std::string picture("\x89PNG\r\n\x1a\n\0\x01--", 12);
    const auto page = Upload("C:\\docs\\图.PNG", picture);
    EXPECT_TRUE(Has(page.body, "文件 图.PNG 已经成功上传到Files目录！")) << page.body;
    EXPECT_EQ(admin_test::FileContent(Folder() / "图.PNG"), picture);

    const auto served = board.Get("upload/Files/图.PNG");
    EXPECT_EQ(served.status, 200);
    EXPECT_EQ(served.contentType, "image/png");
    EXPECT_EQ(served.header("X-Content-Type-Options"), "nosniff");
    EXPECT_EQ(board.Get("upload/files/图.PNG").status, 404);  // names are matched exactly
}

TEST_F(UploadTest, FilesOfTheUploadFolderAreNeverRun) {
    fs::create_directories(Folder());
    std::ofstream(Folder() / "upload.asp") << "<% run %>";
    const auto served = board.Get("upload/Files/upload.asp");
    EXPECT_EQ(served.status, 200);
    EXPECT_EQ(served.contentType, "application/octet-stream");
    EXPECT_EQ(served.body, "<% run %>");
    EXPECT_EQ(board.Get("upload/../board.db").status, 404);
}

// Uploads and news feeds are served only when their path, symbolic links
// followed, stays inside their folder.
TEST_F(UploadTest, LinksLeadingOutOfTheServedFoldersAreRefused) {
    fs::create_directories(Folder());
    fs::create_directories(data.Path() / "js");
    std::ofstream(data.Path() / "secret.txt") << "hidden bytes";
    std::ofstream(Folder() / "own.txt") << "own";
    fs::create_symlink(data.Path() / "secret.txt", Folder() / "out.txt");
    fs::create_symlink(data.Path(), data.Path() / "upload" / "all");
    fs::create_symlink(data.Path() / "secret.txt", data.Path() / "js" / "1.js");
    fs::create_symlink(Folder() / "own.txt", Folder() / "in.txt");

    EXPECT_EQ(board.Get("upload/Files/in.txt").body, "own");
    for (const char* page : {"upload/Files/out.txt", "upload/all/secret.txt", "js/1.js"}) {
        const auto served = board.Get(page);
        EXPECT_EQ(served.status, 404) << page;
        EXPECT_EQ(served.body.find("hidden bytes"), std::string::npos) << page;
    }
}

TEST_F(UploadTest, TheSizeLimitHoldsForTheFileAndTheWholeBody) {
    const std::string limit(admin::kUploadMaxFileSize, 'x');
    EXPECT_TRUE(Has(Upload("limit.zip", limit).body, "已经成功上传"));
    EXPECT_EQ(fs::file_size(Folder() / "limit.zip"), admin::kUploadMaxFileSize);

    EXPECT_TRUE(Has(Upload("over.zip", limit + "x").body, kFailed));
    EXPECT_FALSE(fs::exists(Folder() / "over.zip"));

    const auto refused = Upload("huge.zip", std::string(admin::kUploadBodyLimit, 'x'));
    EXPECT_EQ(refused.status, 413);
    EXPECT_FALSE(fs::exists(Folder() / "huge.zip"));
}

TEST_F(UploadTest, OnlyHarmlessTypesWithSafeNamesAreSaved) {
    const struct {
        const char* sent;
        const char* saved;  // "" when refused
    } cases[] = {
        {"a.txt", "a.txt"},          {"b.JpEg", "b.JpEg"},          {"docs/c.pdf", "c.pdf"},
        {"..\\..\\d.gif", "d.gif"},  {"empty.txt", "empty.txt"},    {"<b>.txt", "<b>.txt"},
        {"a.js", ""},                {"a.JS", ""},                  {"b.Asp", ""},
        {"a.jsx", ""},               {"x.svg", ""},                 {"page.html", ""},
        {"readme", ""},              {"..", ""},                    {".hidden.txt", ""},
        {"a..txt", ""},              {"tab\t.txt", ""},             {"", ""},
    };
    for (const auto& c : cases) {
        const bool saved = *c.saved != '\0';
        const auto page = Upload(c.sent, std::string(c.sent) == "empty.txt" ? "" : "data");
        if (saved) {
            EXPECT_TRUE(Has(page.body, "文件 " + platform::HtmlEncode(c.saved) + " 已经成功上传到Files目录！"))
                << c.sent << page.body;
            EXPECT_TRUE(fs::is_regular_file(Folder() / c.saved)) << c.sent;
        } else {
            EXPECT_TRUE(Has(page.body, kFailed)) << c.sent << page.body;
        }
    }
    EXPECT_EQ(fs::file_size(Folder() / "empty.txt"), 0u);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(Folder())) ++files;
    EXPECT_EQ(files, 6u);
}

// The name and password come from the body's leading fields, as the form
// sends them: whoever sends them after the file is a stranger, and the
// rest of a stranger's body is never read.
TEST_F(UploadTest, TheIdentityIsCheckedBeforeTheFileIsRead) {
    const std::string file(admin::kUploadLeadingBytes, 'x');
    const auto late = Send(Multipart({{"image", file, "late.txt"}, {"username", "mod"}, {"password", "pw"}}));
    EXPECT_TRUE(Has(late.body, "对不起，您不是我们的注册用户，不能执行该操作！")) << late.body;
    EXPECT_FALSE(fs::exists(Folder() / "late.txt"));

    platform::RawRequest raw;
    raw.method = "POST";
    raw.body = Multipart({{"username", "mod"}, {"password", "pw"}, {"image", file + file, "a.txt"}});
    platform::Request request(raw);
    admin::Upload upload;
    ASSERT_TRUE(upload.Receive(request, admin::kUploadLeadingBytes));
    EXPECT_EQ(upload.GetTheValue("username"), "mod");
    EXPECT_EQ(request.BinaryRead(raw.body.size()).size(), raw.body.size() - admin::kUploadLeadingBytes);
}

TEST_F(UploadTest, AnExistingFileIsNotReplaced) {
    Upload("same.txt", "first");
    const std::string again = Upload("same.txt", "second").body;
    EXPECT_TRUE(Has(again, "文件上传失败！Files目录中已有名为 same.txt 的文件，请改名后再上传。")) << again;
    EXPECT_EQ(admin_test::FileContent(Folder() / "same.txt"), "first");
    // A name the folder lacks is refused for its own fault, not as taken.
    EXPECT_FALSE(Has(Upload("other.exe", "x").body, "已有名为"));
}

TEST_F(UploadTest, IdentityFolderAndBodyChecks) {
    // Cut off inside the file: no boundary ends it.
    std::string cut = Multipart({{"username", "mod"}, {"password", "pw"}, {"image", "abc", "cut.txt"}});
    cut.erase(cut.rfind("\r\n--"));
    const struct {
        std::string body;
        const char* message;
    } cases[] = {
        {Multipart({{"username", "mod"}, {"password", "wrong"}, {"image", "x", "a.txt"}}),
         "对不起，您不是我们的注册用户，不能执行该操作！"},
        // Field names are matched exactly.
        {Multipart({{"UserName", "mod"}, {"password", "pw"}, {"image", "x", "a.txt"}}),
         "对不起，您不是我们的注册用户，不能执行该操作！"},
        {"username=mod&password=pw", "对不起，您不是我们的注册用户，不能执行该操作！"},
        {"", "对不起，您不是我们的注册用户，不能执行该操作！"},
        {Multipart({{"username", "plain"}, {"password", "pw"}, {"image", "x", "a.txt"}}),
         "对不起，您没有执行该操作的权限！"},
        {Multipart({{"username", "boss"}, {"password", "secret"}, {"image", "x", "a.txt"}}),
         "对不起，管理员还没有为您设定上传目录，您不能上传文件，请联系管理员！"},
        {Multipart({{"username", "mod"}, {"password", "pw"}}), kFailed},
        {Multipart({{"username", "mod"}, {"password", "pw"}, {"image", "", ""}}), kFailed},
        {Multipart({{"username", "mod"}, {"password", "pw"}, {"image", "not a file"}}), kFailed},
        {cut, kFailed},
    };
    for (const auto& c : cases) EXPECT_TRUE(Has(Send(c.body).body, c.message)) << c.body;
    EXPECT_FALSE(fs::exists(Folder() / "cut.txt"));

    board.db.con.Execute("update register set uploaddir='../../etc' where username='mod'");
    EXPECT_TRUE(Has(Upload("a.txt").body, kFailed));
    EXPECT_FALSE(fs::exists(data.Path() / "etc"));
}

}  // namespace
