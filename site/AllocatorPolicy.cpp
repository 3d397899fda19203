#include "site/AllocatorPolicy.h"

#include <malloc.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>

namespace site {

std::size_t ArenaLimit(unsigned cores) { return std::max(2u, cores); }

void SetAllocatorPolicy(unsigned cores) {
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(kMapThreshold));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(kKeepFreeAtTop));
    mallopt(M_ARENA_MAX, static_cast<int>(ArenaLimit(cores)));
}

// Every arena, every whole free page inside it, not only its top.
void GiveBackFreePages() { malloc_trim(0); }

PeriodicTrim::PeriodicTrim()
    : thread_([](std::stop_token stop) {
          std::mutex lock;
          std::condition_variable_any wake;
          std::unique_lock held(lock);
          while (!wake.wait_for(held, stop, kTrimInterval, [&] { return stop.stop_requested(); }))
              GiveBackFreePages();
      }) {}

}  // namespace site
