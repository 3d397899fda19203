#include "admin/forms/ArchiveForms.h"

#include "admin/forms/LoginRows.h"

namespace admin::forms {

std::string ArchiveLoginForm(const core::Credentials& login) {
    return "<BR><center><h1>精 华 归 档</h1></center><P>"
           "精华档案是 <B>只读的</B> 用来存放论坛以前的贴子的地方。档案完全独立于论坛。把话题存放在档案中的目的是为了你打算把话题\"保存\"着制作 FAQ，\"最佳的...\"或参考区等。<P>"
           "档案不必与论坛对应，但是由论坛中相似贴子生成的。例如，如果你有 9 个论坛，每个论坛关于贵公司不同的领域，你可能想把在所有的论坛中常见的问题放在一个档案中－你可以把此档案称作常见问题集。档案有许多的可能用法－请记住你移入档案的话题在档案中是只读的。<P>"
           "话题通过按到 \"移动/归档\" 热链转换到档案中。<P>"
           "为了建立/删除/修改一个档案，再下面认证你的身份。注意：只有版主地能建立和调整档案。你没有档案数目的限制。<P>"
           "<FORM ACTION='archive.asp' METHOD='POST' NAME='THEFORM' ><INPUT TYPE='HIDDEN' NAME='action' "
           "VALUE='enterarchive'><center><table border=0 cellpadding=0 cellspacing=0 width=65%><tr>"
           "<td bgcolor=#000000><table border=0 cellpadding=4 cellspacing=1 width=100%>" +
           SessionLoginRows("<tr bgcolor=#C7C6BA><td>", login) +
           "</table></td></tr></table><INPUT TYPE='SUBMIT' NAME='Submit' VALUE='进 入 归 档 中 心'></center></FORM>";
}

}  // namespace admin::forms
