#include "core/RunningActs.h"

namespace core {

RunningActs::Slot::~Slot() {
    if (!acts_) return;
    {
        std::lock_guard lock(acts_->mutex_);
        --acts_->running_;
        acts_->Leave(key_);
    }
    acts_->placeFreed_.notify_one();
}

RunningActs::Start RunningActs::TryStart(const std::string& key, std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    const auto [it, added] = byKey_.try_emplace(key, 0);
    if (it->second >= perKey_) {
        if (added) byKey_.erase(it);
        return {std::nullopt, Refusal::KeyFull};
    }
    ++it->second;
    if (!placeFreed_.wait_until(lock, deadline, [&] { return running_ < inAll_; })) {
        Leave(key);
        return {std::nullopt, Refusal::AllBusy};
    }
    ++running_;
    return {Slot(*this, key), Refusal::AllBusy};
}

void RunningActs::Leave(const std::string& key) {
    const auto it = byKey_.find(key);
    if (it != byKey_.end() && --it->second == 0) byKey_.erase(it);
}

}  // namespace core
