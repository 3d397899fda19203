#pragma once
// Creates a whole board database of a given size (see board-seed --help).
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/seed/LocalTime.h"

namespace boardseed {

struct SeedOptions {
    std::string db;          // must not exist yet, or be empty
    std::size_t posts = 0;   // rows of `post`: topics and replies
    std::uint64_t seed = 1;  // the same seed gives the same board
    Seconds now = 0;         // 0: the current time
};

struct SeedReport {
    std::size_t forums = 0;
    std::size_t members = 0;
    std::size_t topics = 0;
    std::size_t posts = 0;
    std::size_t announcements = 0;
    std::size_t archives = 0;
    std::size_t messages = 0;
    std::string busyForum;
    std::string privateForum;
    std::string firstMember;  // the first member after the administrator
    long long longThreadId = 0;
    long longThreadPosts = 0;
    double seconds = 0;
};

// Throws std::runtime_error (or the schema's error) when it cannot.
SeedReport SeedBoard(const SeedOptions& options);

}  // namespace boardseed
