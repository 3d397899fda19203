#include "site/AllocatorPolicy.h"

#include <malloc.h>

#include <algorithm>

namespace site {

std::size_t ArenaLimit(unsigned cores) { return std::max(2u, cores); }

void SetAllocatorPolicy(unsigned cores) {
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(kMapThreshold));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(kKeepFreeAtTop));
    mallopt(M_ARENA_MAX, static_cast<int>(ArenaLimit(cores)));
}

}  // namespace site
