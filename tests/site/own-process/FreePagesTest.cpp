// Giving free pages back to the system, in a program of its own: what
// other tests allocated before it would decide where its blocks land.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "site/AllocatorPolicy.h"

namespace {

std::size_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

TEST(AllocatorPolicyTest, FreeBlocksBetweenLiveOnesGoBackToTheSystem) {
    site::SetAllocatorPolicy(2);
    // Freed blocks each held between two live ones: the arena's top stays
    // where it is, so only giving back the pages inside it frees them.
    constexpr std::size_t kBlock = std::size_t{256} << 10;
    constexpr int kBlocks = 64;
    std::vector<void*> freed, live;
    for (int i = 0; i < kBlocks; ++i) {
        freed.push_back(std::malloc(kBlock));
        std::memset(freed.back(), 'x', kBlock);  // resident
        live.push_back(std::malloc(64));
    }
    for (void* block : freed) std::free(block);
    const std::size_t before = ResidentBytes();
    site::GiveBackFreePages();
    EXPECT_LE(ResidentBytes() + kBlocks * kBlock / 2, before);
    for (void* block : live) std::free(block);
}

}  // namespace
