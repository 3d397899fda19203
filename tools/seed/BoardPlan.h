#pragma once
// The shape of a seeded board, decided before anything is written: forums,
// members, topics and every post in time order, with the counters the
// board keeps (as its triggers and its recount would leave them).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/seed/LocalTime.h"

namespace boardseed {

struct ForumPlan {
    std::string name;
    std::string descript;
    std::string catalog;
    std::string password;  // empty: not a private forum
    double weight = 1;     // share of the topics
    std::vector<std::size_t> moderators;
    // Counters.
    long topics = 0;
    long replies = 0;
    Seconds lastTime = 0;  // 0: no post yet
    std::size_t lastAuthor = 0;
};

struct MemberPlan {
    std::string name;
    std::string status;  // "administrator", "moderater" or empty
    Seconds signdate = 0;
    // Counters: the member's posts, and replies by others to the member's topics.
    long posts = 0;
    long repliesByOthers = 0;
    long Points() const { return 3 * posts + repliesByOthers; }
};

struct TopicPlan {
    std::size_t forum = 0;
    std::size_t author = 0;
    Seconds time = 0;
    bool closed = false;
    long long postid = 0;  // known once the posts are numbered
    // Counters.
    long replies = 0;
    Seconds lastTime = 0;
    std::size_t lastAuthor = 0;
};

// One row of `post`: a topic (isReply false) or one of its replies.
struct PostPlan {
    Seconds time = 0;
    std::uint32_t topic = 0;
    std::uint32_t author = 0;
    bool isReply = false;
};

struct BoardPlan {
    Seconds now = 0;
    std::vector<ForumPlan> forums;
    std::vector<MemberPlan> members;  // [0] is the administrator
    std::vector<TopicPlan> topics;
    std::vector<PostPlan> posts;  // in time order; ids follow this order
    long long firstPostId = 1;    // ids below it belong to archived posts
    std::size_t busyForum = 0;
    std::size_t privateForum = 0;
    std::size_t longTopic = 0;
};

constexpr const char* kAdminName = "admin";
constexpr const char* kAdminPassword = "admin";
constexpr const char* kMemberPassword = "123456";
constexpr const char* kPrivateForumPassword = "secret";

// `posts` rows of `post`, spread over the year before `now`.
BoardPlan PlanBoard(std::size_t posts, std::uint64_t seed, Seconds now, long long firstPostId);

}  // namespace boardseed
