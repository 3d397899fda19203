#include "core/RunningActs.h"

namespace core {

RunningActs::Slot::~Slot() {
    if (acts_) acts_->End(key_);
}

std::optional<RunningActs::Slot> RunningActs::TryStart(const std::string& key) {
    std::lock_guard lock(mutex_);
    const auto [it, added] = running_.try_emplace(key, 0);
    if (it->second >= perKey_) {
        if (added) running_.erase(it);
        return std::nullopt;
    }
    ++it->second;
    return Slot(*this, key);
}

void RunningActs::End(const std::string& key) {
    std::lock_guard lock(mutex_);
    const auto it = running_.find(key);
    if (it != running_.end() && --it->second == 0) running_.erase(it);
}

}  // namespace core
