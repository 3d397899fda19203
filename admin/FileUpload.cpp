// upload.asp: a moderator or administrator stores one file in the upload
// folder the member administration gave them, below the upload base
// folder. The identity comes with the form, on every upload, ahead of the
// file: it is checked before the rest of the body is read.
#include <filesystem>

#include "admin/Admin.h"
#include "admin/forms/ToolForms.h"
#include "admin/Upload.h"
#include "core/MemberCheck.h"
#include "core/Module1.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace admin {

void Admin::FileUp() {
    RunPanelPage("文件上传 - " + core::CurrentSettings().BBName, [&](core::Page& p) {
        Response().Write("<br><center><h1>文件上传</h1></center>");
        if (Request().ServerVariables("Request_method").str() != "POST") {
            Response().Write(forms::UploadForm(SessionLogin()));
            return;
        }
        Upload upload;
        upload.MaxFileSize = kUploadMaxFileSize;
        upload.AllowedExtensions = kUploadAllowedExtensions;
        upload.Receive(Request(), kUploadLeadingBytes);

        platform::Recordset rs;
        if (!core::OpenMember(rs, p.Db(), "uploaddir,status", upload.GetTheValue("username"),
                              upload.GetTheValue("password")))
            p.Refuse("对不起，您不是我们的注册用户，不能执行该操作！");
        const std::string status = platform::LCase(rs.Fields("status").str());
        if (status != "moderater" && status != "administrator") p.Refuse("对不起，您没有执行该操作的权限！");
        // The folder keeps its letter case; older boards stored it with a
        // leading "\".
        std::string folder = rs.Fields("uploaddir").str();
        if (folder.empty()) p.Refuse("对不起，管理员还没有为您设定上传目录，您不能上传文件，请联系管理员！");
        if (folder.front() == '\\') folder.erase(0, 1);
        if (folder.empty() || !IsPlainFolderName(folder)) p.Refuse("文件上传失败！");

        const std::filesystem::path target =
            std::filesystem::path(core::UploadBaseFolder(core::CurrentSettings().UploadBaseDir)) / folder;
        std::error_code ignored;  // a folder that cannot be made fails the save
        std::filesystem::create_directories(target, ignored);
        upload.SavePath = target.string();
        upload.ReceiveRest(Request());
        const std::string file = upload.SaveTheFile("image");
        if (file.empty()) {
            // A file is never replaced: the uploader learns why it was not stored.
            const std::string taken = upload.TakenFileName("image");
            if (!taken.empty())
                p.Refuse("文件上传失败！" + Text(folder) + "目录中已有名为 " + Text(taken) + " 的文件，请改名后再上传。");
            p.Refuse("文件上传失败！");
        }
        // The panel's message page tells the success too.
        p.Refuse("文件 " + Text(file) + " 已经成功上传到" + Text(folder) + "目录！");
    });
}

}  // namespace admin
