#pragma once
// How the server's allocator (glibc's malloc) keeps the memory pages free.
//
// Pages build and drop buffers of up to a few hundred kilobytes all the
// time. By default the allocator maps each buffer over 128 KiB afresh and
// hands a freed arena's top back to the system at once; each return makes
// every core flush its address mappings and the next page fault the memory
// in again. So buffers up to kMapThreshold come from the arenas, and an
// arena keeps up to kKeepFreeAtTop free at its top for the next pages.
//
// Every arena keeps what it once held: its free chunks stay resident, and
// it gives back no more than the part of its top beyond that bound. The
// allocator's default of eight arenas a core (and one more thread for each
// loop whose pages wait) let each thread's arena climb to its own
// high-water mark, so resident memory crept up for as long as the server
// ran. The page threads share at most one arena a core instead.
#include <chrono>
#include <cstddef>
#include <thread>

namespace site {

inline constexpr std::size_t kMapThreshold = std::size_t{32} << 20;
inline constexpr std::size_t kKeepFreeAtTop = std::size_t{8} << 20;

// Arenas for a machine of `cores` cores (at least two).
std::size_t ArenaLimit(unsigned cores);

// Sets the above; runs before the server starts its threads.
void SetAllocatorPolicy(unsigned cores);

// Free chunks inside an arena stay resident however large they grow: blocks
// that outlive their request (kept results, cached posts) pin the space
// around them.
void GiveBackFreePages();

// While it lives, GiveBackFreePages runs once each kTrimInterval, so the
// server's resident memory stays near what it uses plus one interval's churn.
inline constexpr std::chrono::seconds kTrimInterval{30};
class PeriodicTrim {
public:
    PeriodicTrim();

private:
    std::jthread thread_;
};

}  // namespace site
