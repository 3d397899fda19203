#include "tools/seed/BoardPlan.h"

#include <algorithm>
#include <cmath>

#include "tools/seed/Random.h"
#include "tools/seed/Texts.h"

namespace boardseed {
namespace {

struct ForumSeed {
    const char* catalog;
    const char* name;
    const char* descript;
    double weight;
};

// The busy forum comes first; the private one is marked by its password.
constexpr ForumSeed kForums[] = {
    {"综合交流区", "灌水乐园", "随便聊聊，轻松一下，<b>请勿发广告</b>", 40},
    {"综合交流区", "新闻时事", "天下大事，大家来评", 5},
    {"综合交流区", "情感天地", "说说心里话", 4},
    {"综合交流区", "休闲娱乐", "电影、音乐、游戏", 6},
    {"电脑技术", "编程开发", "程序设计与开发经验交流", 8},
    {"电脑技术", "硬件装机", "攒机、升级、外设", 5},
    {"电脑技术", "网络安全", "网络、安全与防护", 3},
    {"电脑技术", "软件应用", "常用软件的使用技巧", 4},
    {"兴趣爱好", "摄影天地", "晒晒你的作品", 4},
    {"兴趣爱好", "旅游户外", "行走天下", 4},
    {"兴趣爱好", "音乐欣赏", "好歌大家听", 3},
    {"兴趣爱好", "体育运动", "足球、篮球和跑步", 4},
    {"站务管理", "站务公告", "论坛的通知和公告", 1},
    {"站务管理", "意见建议", "对论坛有什么想法请在这里说", 1.5},
    {"站务管理", "版主议事厅", "版主和管理员的讨论区（需要密码）", 2},
    {"站务管理", "测试专区", "发贴测试请到这里", 0.5},
};
constexpr std::size_t kPrivateForum = 14;
constexpr std::size_t kModerators = 8;  // members 1..8

std::vector<ForumPlan> PlanForums() {
    std::vector<ForumPlan> forums;
    for (std::size_t i = 0; i < std::size(kForums); ++i) {
        ForumPlan f;
        f.name = kForums[i].name;
        f.descript = kForums[i].descript;
        f.catalog = kForums[i].catalog;
        f.weight = kForums[i].weight;
        if (i == kPrivateForum) f.password = kPrivateForumPassword;
        // Moderators 1..8 look after two forums each; the last forums have none.
        if (i < 2 * kModerators - 2) f.moderators.push_back(1 + i / 2);
        if (i == 0) f.moderators.push_back(kModerators);
        forums.push_back(std::move(f));
    }
    return forums;
}

std::vector<MemberPlan> PlanMembers(std::size_t count, Random& rng, Seconds now) {
    std::vector<MemberPlan> members(count);
    for (std::size_t i = 0; i < count; ++i) {
        MemberPlan& m = members[i];
        m.name = i == 0 ? kAdminName : MemberName(i);
        m.status = i == 0 ? "administrator" : (i <= kModerators ? "moderater" : "");
        // Most joined before the year of posts; a few are new this month.
        m.signdate = rng.Chance(0.05) ? now - rng.Between(kHour, 30 * kDay)
                                      : now - rng.Between(370 * kDay, 800 * kDay);
    }
    return members;
}

// Busy members post far more than the rest.
std::size_t PickAuthor(Random& rng, std::size_t members) {
    const double u = rng.Unit();
    return std::min(members - 1, static_cast<std::size_t>(static_cast<double>(members) * u * u * u));
}

std::size_t PickForum(Random& rng, const std::vector<ForumPlan>& forums, double totalWeight) {
    double x = rng.Unit() * totalWeight;
    for (std::size_t i = 0; i < forums.size(); ++i) {
        x -= forums[i].weight;
        if (x < 0) return i;
    }
    return forums.size() - 1;
}

// Adds a topic and its replies (at most `budget` posts in all) to the plan.
void AddThread(BoardPlan& plan, Random& rng, std::size_t forum, Seconds start, long wantedReplies,
               Seconds meanGap, std::size_t budget) {
    TopicPlan topic;
    topic.forum = forum;
    topic.author = PickAuthor(rng, plan.members.size());
    topic.time = start;
    topic.closed = rng.Chance(0.02);
    const auto index = static_cast<std::uint32_t>(plan.topics.size());
    plan.topics.push_back(topic);
    plan.posts.push_back({start, index, static_cast<std::uint32_t>(topic.author), false});

    Seconds t = start;
    for (long r = 0; r < wantedReplies && r + 1 < static_cast<long>(budget); ++r) {
        t += kMinute + static_cast<Seconds>(-std::log(1 - rng.Unit()) * static_cast<double>(meanGap));
        const auto author = static_cast<std::uint32_t>(PickAuthor(rng, plan.members.size()));
        // Replies not yet due are drawn all the same, so that the board's
        // topics come out the same at any hour of the day.
        if (t < plan.now) plan.posts.push_back({t, index, author, true});
    }
}

// Numbers the posts in time order and fills in every counter.
void CountPosts(BoardPlan& plan) {
    std::stable_sort(plan.posts.begin(), plan.posts.end(),
                     [](const PostPlan& a, const PostPlan& b) { return a.time < b.time; });
    long long id = plan.firstPostId;
    for (const PostPlan& p : plan.posts) {
        TopicPlan& topic = plan.topics[p.topic];
        ForumPlan& forum = plan.forums[topic.forum];
        if (p.isReply) {
            ++topic.replies;
            ++forum.replies;
            if (p.author != topic.author) ++plan.members[topic.author].repliesByOthers;
        } else {
            topic.postid = id;
            ++forum.topics;
        }
        topic.lastTime = p.time;
        topic.lastAuthor = p.author;
        forum.lastTime = p.time;
        forum.lastAuthor = p.author;
        ++plan.members[p.author].posts;
        ++id;
    }
}

}  // namespace

BoardPlan PlanBoard(std::size_t posts, std::uint64_t seed, Seconds now, long long firstPostId) {
    Random rng(seed);
    BoardPlan plan;
    plan.now = now;
    plan.firstPostId = firstPostId;
    plan.forums = PlanForums();
    plan.busyForum = 0;
    plan.privateForum = kPrivateForum;
    plan.members = PlanMembers(std::clamp<std::size_t>(posts / 50, 30, 20000), rng, now);
    plan.posts.reserve(posts);

    const Seconds today = StartOfDay(now);
    double totalWeight = 0;
    for (const ForumPlan& f : plan.forums) totalWeight += f.weight;

    // The long thread: started half a year ago in the busy forum, replies
    // spread evenly up to now.
    if (posts > 0) {
        const long replies = static_cast<long>(std::clamp<std::size_t>(posts / 20, 25, 800));
        plan.longTopic = plan.topics.size();
        AddThread(plan, rng, plan.busyForum, now - 180 * kDay, replies, 180 * kDay / (replies + 1), posts);
        // Its newest reply is from today, so it heads the busy forum's list.
        PostPlan& last = plan.posts.back();
        if (last.isReply) last.time = std::max(last.time, today + (now - today) / 2);
    }

    const Seconds yearAgo = now - 365 * kDay;
    bool first = true;
    while (plan.posts.size() < posts) {
        // A share of the topics starts today, the first one always.
        Seconds start = (first || rng.Chance(0.02))
                            ? today + static_cast<Seconds>(rng.Unit() * static_cast<double>(now - today))
                            : yearAgo + static_cast<Seconds>(rng.Unit() * static_cast<double>(now - yearAgo));
        start = std::min(start, now - 1);
        first = false;
        const long replies = std::min<long>(300, static_cast<long>(-std::log(1 - rng.Unit()) * 7));
        // Some threads answer within minutes, others over days.
        const Seconds meanGap = static_cast<Seconds>(std::exp(rng.Unit() * std::log(3.0 * kDay / (20 * kMinute)))) *
                                20 * kMinute;
        AddThread(plan, rng, PickForum(rng, plan.forums, totalWeight), start, replies, meanGap,
                  posts - plan.posts.size());
    }
    CountPosts(plan);
    return plan;
}

}  // namespace boardseed
