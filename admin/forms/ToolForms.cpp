#include "admin/forms/ToolForms.h"

#include "admin/Upload.h"
#include "admin/forms/LoginRows.h"
#include "platform/Charset.h"

namespace admin::forms {

std::string UploadForm(const core::Credentials& login) {
    return "<form enctype=\"multipart/form-data\" action=upload.asp method=post name=upload>"
           "<table border=0 width=95%>"
           "<tr><td colspan=2>文件上传是Tarnbell的扩展功能，当前设定只有版主和管理员才能使用。"
           "因为此功能可能会带来安全性问题。因此建议按如下方法使用："
           "<ul><li>首先建立一个成员上传目录的根目录，如c:\\users，设定该目录的权限（一般为浏览，最好取消脚本，执行权限）<br>"
           "<li>为允许上传的成员设定上传子目录，此功能在用户权限中设定，此目录均相对于成员上传根目录，如qzv，"
           "实际的路径就是c:\\users\\qzv</br>"
           "<li>版主和管理员只有在设定上传目录后才能上传文件</ul>"
           "鉴于internet的速度和http上传的缺点，你不能上传很大的文件，否则会产生超时错误或严重影响服务器的性能，"
           "建议你的文件大小控制在管理员建议的大小之内之内！另外系统只保存以下扩展名(" +
           std::string(kUploadAllowedExtensions) + ")的文件，其他文件都不予保存，请留意。"
           "要上传文件，您必须通过身份验证！</td></tr>"
           "<tr><td><b>您的用户名</b></td><td><input type=text name=username size=25 maxlength=25 value=" +
           platform::QuotedAttribute(login.name) + "></td></tr>"
           "<tr><td><b>您的口令</b></td><td><input type=password name=password size=13 maxlength=13 value=" +
           platform::QuotedAttribute(login.password) + "></td></tr>"
           "<tr><td><b>文件</b></td><td><input type=file name=image></td></tr>"
           "<tr><td colspan=2 align=center><input type=submit value=上传文件 class=buttonface>&nbsp;&nbsp;"
           "<input type=reset value=重新选择 class=buttonface></td></tr>"
           "</table>"
           "</form>";
}

std::string FeedForm(const core::Credentials& login) {
    return "<br><center><h1>JavaScript 新闻</h1></center>"
           "<form action=jscode.asp method=post><table border=0 width=65% align=center>"
           "<tr><td><b>每个文件的主题数</b></td><td><input type=text name=Num size=5 value=10></td></tr>"
           "<tr><td><b>生成</b></td><td><select name=Action><option value=forumjs selected>各公开论坛的最新主题"
           "<option value=archivejs>最新的精华归档</select></td></tr>" +
           LoginRows(login, true) +
           "<tr><td colspan=2 align=center><input type=submit class=buttonface value=生成JsCode></td></tr>"
           "</table></form>";
}

std::string AnalyzerLoginForm(const core::Credentials& login) {
    return "<br><CENTER><H3>月发贴分析</H3>"
           "<FONT COLOR=#800000><b>只有管理员和版主才能查看发贴分析，请先确认你的身份。</b></FONT>"
           "<form action=analyzer.asp method=post><table border=0 cellspacing=1 cellpadding=4>" +
           LoginRows(login, false) +
           "</table><input type=submit class=buttonface value=\"发 送 身 份 确 认\"></form></CENTER>";
}

}  // namespace admin::forms
