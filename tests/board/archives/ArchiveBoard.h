#pragma once
// A board with archives filled straight into the database: a public and a
// private forum, members joe and ann, the administrator boss and mod, the
// moderator of 灌水 (all with password "pw"), and two archives ("精华" 1,
// "旧帖" 2).
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "board/browse/BrowseBoard.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"

class ArchiveTest : public ::testing::Test, protected browse_test::BrowseBoard {
protected:
    ArchiveTest() {
        AddForum("灌水", "闲聊", 1);
        AddForum("密室", "闲聊", 2, "private");
        db.con.Execute("update forum set forumpassword = 'door' where forumname = '密室'");
        AddMember("joe", "pw");
        AddMember("ann", "pw");
        AddMember("boss", "pw");
        AddMember("mod", "pw");
        db.con.Execute("update register set status = 'administrator' where username = 'boss'");
        db.con.Execute("update register set status = 'moderater' where username = 'mod'");
        db.con.Execute("insert into moderated (forum, moderater) values ('灌水', 'mod')");
        db.con.Execute("insert into archive (archiveid, archivename, descript) values (1, '精华', '好贴'), "
                       "(2, '旧帖', '老贴')");
    }

    // Files post `postid` (a reply when `parent` is given) into `archive`,
    // as moving it there would; `filed` orders the archive's list.
    void File(int archive, long long postid, std::optional<long long> parent, const std::string& subject,
              const std::string& filed = "2024-01-01 00:00:00", const std::string& forum = "灌水",
              const std::string& user = "joe", const std::string& message = "") {
        db.con.Execute(
            "insert into archivelist (archiveid, postid, parentid, forumname, username, posttime, message, subject,"
            " usesign, icon, archivedate) values (?, ?, ?, ?, ?, '2023-06-01 08:00:00', ?, ?, 1, 2, ?)",
            {archive, postid, parent ? platform::Variant(*parent) : platform::Variant::null(), forum, user,
             message.empty() ? "正文" + std::to_string(postid) : message, subject, filed});
    }

    // A topic `id` with replies id+1 .. id+replies, filed into `archive`.
    void FileThread(int archive, long long id, int replies, const std::string& forum = "灌水") {
        File(archive, id, std::nullopt, "话题" + std::to_string(id), "2024-01-01 00:00:00", forum);
        for (int i = 1; i <= replies; ++i) File(archive, id + i, id, "回复", "2024-01-01 00:00:00", forum);
    }

    // A posted form, from a fresh browser session.
    site::DriverResponse PostForm(const std::string& page, site::Fields form) {
        driver.jar.clear();
        return driver.Post(page, std::move(form));
    }

    // One value of the copy of `postid` in `archive`, "" when there is none.
    std::string Copy(int archive, long long postid, const std::string& column) {
        platform::Recordset rs;
        rs.Open("select " + column + " from archivelist where archiveid = ? and postid = ?", db.con,
                {archive, postid});
        return rs.Eof() ? "" : rs.Fields(0).str();
    }

    long long Rows(const std::string& where) {
        return platform::CountOf(db.con, "select count(*) from archivelist where " + where);
    }

    // Admits this browser's session to the private forum.
    void EnterPrivateForum() {
        driver.Post("ubbmisc.asp", {{"action", "idcheck"}, {"forum", "密室"}, {"UserName", "joe"},
                                    {"Password", "pw"}, {"ForumPassword", "door"}});
    }
};
