// board-seed: creates a board database of a given size, to measure and to
// look at.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

#include "platform/Charset.h"
#include "tools/seed/BoardPlan.h"
#include "tools/seed/Seeder.h"

namespace {

constexpr const char* kUsage =
    "usage: board-seed --db FILE --posts N [--seed S]\n"
    "  --db FILE   the database to create (a new file)\n"
    "  --posts N   rows of the post table: topics and their replies\n"
    "  --seed S    the same seed gives the same board (default 1)\n";

bool ReadNumber(const char* text, unsigned long long& out) {
    char* end = nullptr;
    out = std::strtoull(text, &end, 10);
    return *text && !*end;
}

}  // namespace

int main(int argc, char** argv) {
    boardseed::SeedOptions options;
    bool havePosts = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        unsigned long long number = 0;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--db" && value) {
            options.db = value;
        } else if (arg == "--posts" && value && ReadNumber(value, number)) {
            options.posts = number;
            havePosts = true;
        } else if (arg == "--seed" && value && ReadNumber(value, number)) {
            options.seed = number;
        } else {
            std::fprintf(stderr, "board-seed: bad argument %s\n%s", argv[i], kUsage);
            return 2;
        }
        ++i;
    }
    if (options.db.empty() || !havePosts) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    try {
        const boardseed::SeedReport r = boardseed::SeedBoard(options);
        std::printf("posts: %zu (%zu topics, %zu replies)\n", r.posts, r.topics, r.posts - r.topics);
        std::printf("forums: %zu\n", r.forums);
        std::printf("busy forum: %s (list.asp?GroupName=%s)\n", r.busyForum.c_str(),
                    platform::UrlEncode(r.busyForum).c_str());
        std::printf("private forum: %s (password \"%s\")\n", r.privateForum.c_str(),
                    boardseed::kPrivateForumPassword);
        std::printf("long thread: newsdetail.asp?id=%lld (%ld posts)\n", r.longThreadId, r.longThreadPosts);
        std::printf("members: %zu (\"%s\" with password \"%s\"; the others \"%s\")\n", r.members,
                    boardseed::kAdminName, boardseed::kAdminPassword, boardseed::kMemberPassword);
        std::printf("first member: %s\n", r.firstMember.c_str());
        std::printf("announcements: %zu, archives: %zu, private messages: %zu\n", r.announcements, r.archives,
                    r.messages);
        std::printf("elapsed: %.1f s\n", r.seconds);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "board-seed: %s\n", e.what());
        return 1;
    }
}
