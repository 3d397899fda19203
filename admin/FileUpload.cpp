// upload.asp: a moderator or administrator stores one file in the upload
// folder the member administration gave them, below the upload base
// folder. The identity comes with the form, on every upload, ahead of the
// file: it is checked before the rest of the body is read.
#include <filesystem>

#include "admin/Admin.h"
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
            WriteUploadForm();
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

void Admin::WriteUploadForm() {
    platform::Response& out = Response();
    out.Write("<form enctype=\"multipart/form-data\" action=upload.asp method=post name=upload>");
    out.Write("<table border=0 width=95%>");
    out.Write("<tr><td colspan=2>文件上传是Tarnbell的扩展功能，当前设定只有版主和管理员才能使用。"
              "因为此功能可能会带来安全性问题。因此建议按如下方法使用：");
    out.Write("<ul><li>首先建立一个成员上传目录的根目录，如c:\\users，设定该目录的权限（一般为浏览，最好取消脚本，执行权限）<br>");
    out.Write("<li>为允许上传的成员设定上传子目录，此功能在用户权限中设定，此目录均相对于成员上传根目录，如qzv，"
              "实际的路径就是c:\\users\\qzv</br>");
    out.Write("<li>版主和管理员只有在设定上传目录后才能上传文件</ul>");
    out.Write(std::string("鉴于internet的速度和http上传的缺点，你不能上传很大的文件，否则会产生超时错误或严重影响服务器的性能，"
                          "建议你的文件大小控制在管理员建议的大小之内之内！另外系统只保存以下扩展名(") +
              kUploadAllowedExtensions + ")的文件，其他文件都不予保存，请留意。");
    out.Write("要上传文件，您必须通过身份验证！</td></tr>");
    out.Write("<tr><td><b>您的用户名</b></td><td><input type=text name=username size=25 maxlength=25 value=" +
              Attr(SessionUserName()) + "></td></tr>");
    out.Write("<tr><td><b>您的口令</b></td><td><input type=password name=password size=13 maxlength=13 value=" +
              Attr(SessionPassword()) + "></td></tr>");
    out.Write("<tr><td><b>文件</b></td><td><input type=file name=image></td></tr>");
    out.Write("<tr><td colspan=2 align=center><input type=submit value=上传文件 class=buttonface>&nbsp;&nbsp;"
              "<input type=reset value=重新选择 class=buttonface></td></tr>");
    out.Write("</table>");
    out.Write("</form>");
}

}  // namespace admin
