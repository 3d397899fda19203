#pragma once
// The posting board with threads to moderate: requests as the moderation
// forms send them, and the board's counters compared with a recount.
#include <string>
#include <vector>

#include "PostingBoard.h"

class ModerationTest : public PostingTest {
protected:
    struct Thread {
        long long topic;
        std::vector<long long> replies;
    };

    // A topic by `author` in `forum` with replies by joe and boss, a day apart.
    Thread AddThread(const std::string& forum, const std::string& author = "ann", const std::string& subject = "旧话题") {
        Thread t{AddTopic(forum, author, subject, browse_test::DaysAgo(3)), {}};
        for (const auto& [who, days] : {std::pair{"joe", 2.0}, std::pair{"boss", 1.0}}) {
            AddReply(t.topic, forum, who, browse_test::DaysAgo(days));
            t.replies.push_back(db.con.LastIdentity());
        }
        return t;
    }

    // A request from a fresh browser, or from the logged-in one of LogIn.
    site::DriverResponse Send(const std::string& method, const std::string& page, site::Fields fields,
                              bool keepSession = false) {
        if (!keepSession) driver.jar.clear();
        site::DriverRequest request;
        request.method = method;
        request.page = page;
        (method == "POST" ? request.form : request.query) = std::move(fields);
        request.remoteAddr = "10.1.2.3";
        return driver.Run(request);
    }

    // The first column of the first row as text; "-" for no row, "NULL".
    std::string Value(const std::string& sql, const platform::SqlParams& params = {}) {
        platform::Recordset rs;
        rs.Open(sql, db.con, params);
        if (rs.Eof()) return "-";
        return rs.Fields(0).isNull() ? "NULL" : rs.Fields(0).str();
    }

    // Forums, topics and members whose stored counters differ from what
    // the rows say (the recount's figures); empty when all agree.
    std::string CounterMismatches() {
        const std::string found = Value(R"(SELECT group_concat(what, ' ') FROM (
            SELECT 'topic' || postid AS what FROM post t WHERE parentid IS NULL AND (
              replycount <> (SELECT count(*) FROM post r WHERE r.parentid = t.postid)
              OR lastreplyposttime IS NOT ifnull((SELECT max(posttime) FROM post r WHERE r.parentid = t.postid), posttime))
            UNION ALL
            SELECT 'forum:' || forumname FROM forum f WHERE
              topiccount <> (SELECT count(*) FROM post WHERE forumname = f.forumname AND parentid IS NULL)
              OR replycount <> (SELECT count(*) FROM post WHERE forumname = f.forumname AND parentid IS NOT NULL)
              OR lastposttime IS NOT (SELECT max(posttime) FROM post WHERE forumname = f.forumname)
            UNION ALL
            SELECT 'member:' || username FROM register m WHERE
              postcount <> (SELECT count(*) FROM post WHERE username = m.username)
              OR jf <> 3 * (SELECT count(*) FROM post WHERE username = m.username) +
                (SELECT count(*) FROM post r JOIN post t ON r.parentid = t.postid
                  WHERE t.parentid IS NULL AND t.username = m.username AND r.username <> m.username)))");
        return found == "NULL" ? "" : found;
    }
};
