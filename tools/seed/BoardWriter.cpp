#include "tools/seed/BoardWriter.h"

#include <algorithm>

#include "tools/seed/Random.h"
#include "tools/seed/Texts.h"

namespace boardseed {
namespace {

// Separate streams, so that adding draws to one leaves the others alone.
constexpr std::uint64_t kMemberStream = 0x6D656D62;
constexpr std::uint64_t kTopicStream = 0x746F7069;
constexpr std::uint64_t kPostStream = 0x706F7374;

std::size_t MessageLength(Random& rng, bool isReply) {
    if (!isReply) return static_cast<std::size_t>(rng.Between(300, 3000));
    const std::uint64_t roll = rng.Below(100);
    if (roll < 60) return static_cast<std::size_t>(rng.Between(80, 300));
    if (roll < 95) return static_cast<std::size_t>(rng.Between(300, 1000));
    return static_cast<std::size_t>(rng.Between(1000, 3000));
}

std::string Address(Random& rng) {
    constexpr const char* kNets[] = {"61", "202", "218", "221"};
    return std::string(rng.Pick(kNets)) + "." + std::to_string(rng.Below(256)) + "." +
           std::to_string(rng.Below(256)) + "." + std::to_string(rng.Between(1, 254));
}

// The note the board appends when a post is edited.
std::string EditNote(const std::string& editor, Seconds when) {
    const std::string text = LocalTimeText(when);
    return "[这消息被" + editor + "编辑过(编辑时间" + text.substr(0, 10) + " <FONT COLOR=#800080>" +
           text.substr(11) + "</font>)]<br>";
}

}  // namespace

std::string MemberEmail(std::size_t member) {
    if (member % 7 == 5) return "";
    return "member" + std::to_string(member) + "@example.com";
}

std::string ModeratorListHtml(const BoardPlan& plan, const ForumPlan& forum) {
    std::string html;
    for (std::size_t m : forum.moderators) {
        if (!html.empty()) html += ", ";
        const std::string& name = plan.members[m].name;
        const std::string email = MemberEmail(m);
        html += email.empty() ? name : "<a href=mailto:" + email + ">" + name + "</a>";
    }
    return html.empty() ? "诚征版主" : html;
}

void WriteForums(SqliteFile& db, const BoardPlan& plan) {
    Statement insert(db,
                     "INSERT INTO forum (forumname, descript, catalog, sequence, [restrict], forumpassword,"
                     " forummaster, topiccount, replycount, lastposttime, lastpostusername)"
                     " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (std::size_t i = 0; i < plan.forums.size(); ++i) {
        const ForumPlan& f = plan.forums[i];
        insert.Bind(1, f.name).Bind(2, f.descript).Bind(3, f.catalog).Bind(4, static_cast<long long>(i + 1));
        if (f.password.empty()) {
            insert.Bind(5, "allreg&allreg").BindNull(6);
        } else {
            insert.Bind(5, "private").Bind(6, f.password);
        }
        insert.Bind(7, ModeratorListHtml(plan, f)).Bind(8, f.topics).Bind(9, f.replies);
        if (f.lastTime) {
            insert.Bind(10, LocalTimeText(f.lastTime)).Bind(11, plan.members[f.lastAuthor].name);
        }
        insert.Run();
    }
}

void WriteMembers(SqliteFile& db, const BoardPlan& plan, std::uint64_t seed) {
    Statement insert(db,
                     "INSERT INTO register (username, password, email, emailview, allowmassmail, location,"
                     " occupation, interests, signature, url, oicq, icq, namestorage, daysprune, status,"
                     " canpost, postcount, jf, signdate, nickname)"
                     " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (std::size_t i = 0; i < plan.members.size(); ++i) {
        const MemberPlan& m = plan.members[i];
        Random rng(seed ^ kMemberStream, i);
        insert.Bind(1, m.name).Bind(2, i == 0 ? kAdminPassword : kMemberPassword);
        const std::string email = MemberEmail(i);
        if (!email.empty()) insert.Bind(3, email);
        insert.Bind(4, rng.Chance(0.6) ? 1LL : 0LL).Bind(5, rng.Chance(0.8) ? 1LL : 0LL);
        if (rng.Chance(0.8)) insert.Bind(6, Location(rng));
        if (rng.Chance(0.6)) insert.Bind(7, Occupation(rng));
        if (rng.Chance(0.5)) insert.Bind(8, Interests(rng));
        if (rng.Chance(0.7)) insert.Bind(9, Signature(rng));
        if (rng.Chance(0.3)) insert.Bind(10, "http://www.example.com/~member" + std::to_string(i) + "/");
        if (rng.Chance(0.5)) insert.Bind(11, std::to_string(rng.Between(10000, 999999999)));
        if (rng.Chance(0.1)) insert.Bind(12, std::to_string(rng.Between(100000, 99999999)));
        insert.Bind(13, rng.Chance(0.5) ? 1LL : 0LL).Bind(14, rng.Chance(0.2) ? 30LL : 0LL);
        if (!m.status.empty()) insert.Bind(15, m.status);
        insert.Bind(16, 1LL).Bind(17, m.posts).Bind(18, m.Points()).Bind(19, LocalTimeText(m.signdate));
        if (rng.Chance(0.02)) insert.Bind(20, Nickname(rng));
        insert.Run();
    }
}

void WriteModerators(SqliteFile& db, const BoardPlan& plan) {
    Statement insert(db, "INSERT INTO moderated (forum, moderater, signdate) VALUES (?, ?, ?)");
    for (const ForumPlan& f : plan.forums) {
        for (std::size_t m : f.moderators) {
            insert.Bind(1, f.name).Bind(2, plan.members[m].name).Bind(3, LocalTimeText(plan.now - 400 * kDay)).Run();
        }
    }
}

void WritePosts(SqliteFile& db, const BoardPlan& plan, std::uint64_t seed) {
    Statement insert(db,
                     "INSERT INTO post (postid, parentid, forumname, username, subject, message, posttime,"
                     " icon, smiles, usesign, emailnotification, ip, edithistory, hits, status, replycount,"
                     " lastreplyposttime, lastreplyusername)"
                     " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    long long id = plan.firstPostId;
    for (std::size_t i = 0; i < plan.posts.size(); ++i, ++id) {
        const PostPlan& p = plan.posts[i];
        const TopicPlan& topic = plan.topics[p.topic];
        const std::string& author = plan.members[p.author].name;
        Random rng(seed ^ kPostStream, i);
        Random subjectRng(seed ^ kTopicStream, p.topic);
        const std::string subject = TopicSubject(subjectRng);

        insert.Bind(1, id);
        if (p.isReply) insert.Bind(2, topic.postid);
        insert.Bind(3, plan.forums[topic.forum].name).Bind(4, author);
        insert.Bind(5, p.isReply ? "回复：" + subject : subject);
        const bool showcase = !p.isReply && p.topic == plan.longTopic;
        std::string message;
        if (showcase) message = ShowcaseOpening(rng, kAdminName);
        if (p.isReply && rng.Chance(0.15)) message = QuoteBlock(rng, plan.members[topic.author].name);
        message += PostMessage(rng, MessageLength(rng, p.isReply));
        insert.Bind(6, message).Bind(7, LocalTimeText(p.time));
        insert.Bind(8, rng.Between(1, 14)).Bind(9, showcase || rng.Chance(0.9) ? 1LL : 0LL);
        insert.Bind(10, rng.Chance(0.75) ? 1LL : 0LL).Bind(11, rng.Chance(0.1) ? 1LL : 0LL);
        insert.Bind(12, Address(rng));
        if (rng.Chance(0.01)) insert.Bind(13, EditNote(author, std::min(plan.now, p.time + rng.Between(60, kDay))));
        if (p.isReply) {
            insert.Bind(14, rng.Between(0, 30)).Bind(15, "open").Bind(16, 0LL);
        } else {
            insert.Bind(14, topic.replies * rng.Between(2, 8) + rng.Between(0, 100));
            insert.Bind(15, topic.closed ? "close" : "open").Bind(16, topic.replies);
            insert.Bind(17, LocalTimeText(topic.lastTime)).Bind(18, plan.members[topic.lastAuthor].name);
        }
        insert.Run();
    }
}

}  // namespace boardseed
