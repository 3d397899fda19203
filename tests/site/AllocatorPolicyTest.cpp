// The server's allocator settings bound what it keeps: the arenas its
// threads share, and the free memory an arena's top keeps. CTest runs each
// case in a process of its own, so the allocator starts fresh; the giving
// back of free pages has a program of its own (own-process/).
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "site/AllocatorPolicy.h"

namespace {

std::size_t ArenaCount() {
    char* text = nullptr;
    std::size_t size = 0;
    FILE* out = open_memstream(&text, &size);
    malloc_info(0, out);
    std::fclose(out);
    const std::string info(text, size);
    std::free(text);
    std::size_t count = 0;
    for (auto at = info.find("<heap nr="); at != std::string::npos; at = info.find("<heap nr=", at + 1)) ++count;
    return count;
}

// Bytes the arenas have from the system, mapped blocks apart.
std::size_t ArenaBytes() { return mallinfo2().arena; }

TEST(AllocatorPolicyTest, ArenaLimitIsOneACoreAndAtLeastTwo) {
    EXPECT_EQ(site::ArenaLimit(0), 2u);
    EXPECT_EQ(site::ArenaLimit(1), 2u);
    EXPECT_EQ(site::ArenaLimit(8), 8u);
    EXPECT_EQ(site::ArenaLimit(64), 64u);
}

TEST(AllocatorPolicyTest, ManyThreadsAtOnceShareNoMoreArenasThanTheLimit) {
    const std::size_t before = ArenaCount();
    site::SetAllocatorPolicy(2);
    constexpr int kThreads = 12;
    std::latch allocated(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([&] {
            std::vector<char> buffer(4096, 'x');  // the thread's first allocation picks its arena
            allocated.arrive_and_wait();         // all alive at once: none hands its arena on
        });
    for (auto& t : threads) t.join();
    EXPECT_LE(ArenaCount(), std::max(before, site::ArenaLimit(2)));
}

TEST(AllocatorPolicyTest, FreedMemoryAtAnArenasTopBeyondTheBoundGoesBack) {
    site::SetAllocatorPolicy(2);
    const std::size_t before = ArenaBytes();
    // Blocks below the map threshold come from the arena, one after the other.
    constexpr std::size_t kBlock = std::size_t{1} << 20;
    constexpr int kBlocks = 24;
    std::vector<void*> blocks;
    blocks.reserve(kBlocks);  // nothing else lands above the blocks
    for (int i = 0; i < kBlocks; ++i) blocks.push_back(std::malloc(kBlock));
    ASSERT_GE(ArenaBytes(), before + kBlocks * kBlock - kBlock);
    // Freed from the top down, each block joins the arena's top.
    for (auto block = blocks.rbegin(); block != blocks.rend(); ++block) std::free(*block);
    EXPECT_LT(ArenaBytes(), before + site::kKeepFreeAtTop);
}

}  // namespace
