#include "platform/Application.h"

#include <algorithm>
#include <vector>

#include "platform/Strings.h"

namespace platform {

namespace {

// The locks the calling thread holds, one entry per Lock, so that a page's
// unreleased locks can be given back when it ends.
thread_local std::vector<const Application*> heldLocks;

}  // namespace

Variant Application::Get(std::string_view key) const {
    const std::string folded = LCase(key);
    std::shared_lock lock(valuesMutex_);
    const auto it = values_.find(folded);
    return it == values_.end() ? Variant() : it->second;
}

void Application::Set(std::string_view key, Variant value) {
    std::string folded = LCase(key);
    std::unique_lock lock(valuesMutex_);
    values_[std::move(folded)] = std::move(value);
}

void Application::Lock() {
    lock_.lock();
    heldLocks.push_back(this);
}

void Application::UnLock() {
    const auto it = std::find(heldLocks.rbegin(), heldLocks.rend(), this);
    if (it == heldLocks.rend()) return;
    heldLocks.erase(std::next(it).base());
    lock_.unlock();
}

void Application::ReleaseLocksOfThisThread() {
    while (std::find(heldLocks.begin(), heldLocks.end(), this) != heldLocks.end()) UnLock();
}

}  // namespace platform
