#include "tools/seed/ExtrasWriter.h"

#include <algorithm>
#include <string>

#include "tools/seed/Random.h"
#include "tools/seed/Texts.h"

namespace boardseed {
namespace {

constexpr std::uint64_t kExtrasStream = 0x65787472;

struct AnnouncementSeed {
    const char* subject;
    int startDay;  // days from today
    int endDay;
    bool allForums;  // else the busy forum only
};

constexpr AnnouncementSeed kAnnouncements[] = {
    {"欢迎来到本论坛", -30, 335, true},
    {"版主招募公告", 0, 14, false},
    {"服务器维护通知", -60, -31, true},
    {"春节期间活动安排", -45, -20, false},
    {"新版面即将开张", 7, 30, false},
};

struct ArchiveSeed {
    const char* name;
    const char* descript;
};

constexpr ArchiveSeed kArchives[] = {
    {"往年精华", "往年的精彩贴子"},
    {"旧版存档", "论坛改版以前的贴子"},
};
constexpr long long kThreadsPerArchive = 3;
constexpr long long kPostsPerArchivedThread = 4;

constexpr const char* kMessageSubjects[] = {"你好", "关于版面的事", "周末聚会", "请教一个问题", "谢谢帮忙"};

}  // namespace

std::size_t WriteAnnouncements(SqliteFile& db, const BoardPlan& plan, std::uint64_t seed) {
    Statement announce(db,
                       "INSERT INTO announce (id, subject, content, startdate, enddate, username, posttime)"
                       " VALUES (?, ?, ?, ?, ?, ?, ?)");
    Statement target(db, "INSERT INTO announceto (id, forumname) VALUES (?, ?)");
    Random rng(seed ^ kExtrasStream, 1);
    long long id = 1;
    for (const AnnouncementSeed& a : kAnnouncements) {
        const Seconds start = plan.now + a.startDay * kDay;
        // Written in the morning of its first day, or just now for today's.
        const Seconds posted = std::min(StartOfDay(start) + 9 * kHour, plan.now - kMinute);
        announce.Bind(1, id).Bind(2, a.subject).Bind(3, AnnouncementText(rng));
        announce.Bind(4, LocalDateText(start)).Bind(5, LocalDateText(plan.now + a.endDay * kDay));
        announce.Bind(6, kAdminName).Bind(7, LocalTimeText(posted)).Run();
        if (a.allForums) {
            for (const ForumPlan& f : plan.forums) target.Bind(1, id).Bind(2, f.name).Run();
        } else {
            target.Bind(1, id).Bind(2, plan.forums[plan.busyForum].name).Run();
        }
        ++id;
    }
    return std::size(kAnnouncements);
}

long long ArchivedPostCount() {
    return static_cast<long long>(std::size(kArchives)) * kThreadsPerArchive * kPostsPerArchivedThread;
}

std::size_t WriteArchives(SqliteFile& db, const BoardPlan& plan, std::uint64_t seed) {
    Statement archive(db, "INSERT INTO archive (archiveid, archivename, descript) VALUES (?, ?, ?)");
    Statement row(db,
                  "INSERT INTO archivelist (archiveid, postid, forumname, username, posttime, message, subject,"
                  " usesign, status, edithistory, hits, icon, emailnotification, ip, parentid, archivedate)"
                  " VALUES (?, ?, ?, ?, ?, ?, ?, ?, 'open', NULL, ?, ?, 0, '202.96.1.1', ?, ?)");
    Random rng(seed ^ kExtrasStream, 2);
    long long postid = 1;
    for (std::size_t a = 0; a < std::size(kArchives); ++a) {
        const long long archiveId = static_cast<long long>(a + 1);
        archive.Bind(1, archiveId).Bind(2, kArchives[a].name).Bind(3, kArchives[a].descript).Run();
        for (long long t = 0; t < kThreadsPerArchive; ++t) {
            // Old threads, from before the year of live posts, archived a year ago.
            const Seconds start = plan.now - (400 + 60 * static_cast<Seconds>(a) + 15 * t) * kDay;
            const std::string subject = TopicSubject(rng);
            const std::string& forum = plan.forums[rng.Below(plan.forums.size())].name;
            const long long topicId = postid;
            for (long long p = 0; p < kPostsPerArchivedThread; ++p, ++postid) {
                row.Bind(1, archiveId).Bind(2, postid).Bind(3, forum);
                row.Bind(4, plan.members[rng.Below(plan.members.size())].name);
                row.Bind(5, LocalTimeText(start + p * 3 * kHour)).Bind(6, PostMessage(rng, 200));
                row.Bind(7, p == 0 ? subject : "回复：" + subject).Bind(8, 1LL);
                row.Bind(9, rng.Between(5, 200)).Bind(10, rng.Between(1, 14));
                if (p > 0) row.Bind(11, topicId);
                row.Bind(12, LocalTimeText(plan.now - 365 * kDay + static_cast<Seconds>(a) * kDay)).Run();
            }
        }
    }
    return std::size(kArchives);
}

std::size_t WritePrivateMessages(SqliteFile& db, const BoardPlan& plan, std::uint64_t seed) {
    Statement pm(db,
                 "INSERT INTO PM (postid, sender, recipient, subject, message, icon, usesign, posttime, isnew)"
                 " VALUES (?, ?, ?, ?, ?, ?, 1, ?, ?)");
    Statement sent(db,
                   "INSERT INTO outbox (postid, usesign, sender, recipient, subject, message, icon, posttime)"
                   " SELECT postid, usesign, sender, recipient, subject, message, icon, posttime FROM PM"
                   " WHERE postid = ?");
    Random rng(seed ^ kExtrasStream, 3);
    // Three unread and two read messages from the moderators to the administrator.
    const std::size_t count = std::min<std::size_t>(5, plan.members.size() - 1);
    for (std::size_t i = 0; i < count; ++i) {
        const long long id = static_cast<long long>(i + 1);
        pm.Bind(1, id).Bind(2, plan.members[1 + i].name).Bind(3, kAdminName);
        pm.Bind(4, kMessageSubjects[i]).Bind(5, PostMessage(rng, 120)).Bind(6, rng.Between(1, 14));
        pm.Bind(7, LocalTimeText(plan.now - static_cast<Seconds>(count - i) * kHour)).Bind(8, i < 3 ? 1LL : 0LL);
        pm.Run();
        sent.Bind(1, id).Run();
    }
    return count;
}

}  // namespace boardseed
