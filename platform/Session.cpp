#include "platform/Session.h"

#include <random>

#include "platform/Strings.h"

namespace platform {

Session::Session(std::string id) : id_(std::move(id)) {}

Variant Session::Get(std::string_view key) const {
    const std::string folded = LCase(key);
    std::lock_guard lock(mutex_);
    const auto it = values_.find(folded);
    return it == values_.end() ? Variant() : it->second;
}

void Session::Set(std::string_view key, Variant value) {
    std::string folded = LCase(key);
    std::lock_guard lock(mutex_);
    values_[std::move(folded)] = std::move(value);
}

void Session::Remove(std::string_view key) {
    const std::string folded = LCase(key);
    std::lock_guard lock(mutex_);
    values_.erase(folded);
}

void Session::Abandon() {
    std::lock_guard lock(mutex_);
    abandoned_ = true;
}

bool Session::IsAbandoned() const {
    std::lock_guard lock(mutex_);
    return abandoned_;
}

bool Session::IsEmpty() const {
    std::lock_guard lock(mutex_);
    return values_.empty();
}

std::string NewSessionId() {
    static constexpr char kHex[] = "0123456789abcdef";
    thread_local std::random_device device;
    std::string id;
    id.reserve(32);
    for (int word = 0; word < 4; ++word) {
        std::uint32_t bits = device();
        for (int i = 0; i < 8; ++i, bits >>= 4) id += kHex[bits & 0xF];
    }
    return id;
}

SessionStore::SessionStore(std::chrono::seconds timeout)
    : timeout_(timeout), lastSweep_(Clock::now()) {}

std::shared_ptr<Session> SessionStore::Begin(std::string_view id, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    if (now - lastSweep_ > std::chrono::minutes(1)) sweepLocked(now);
    if (!id.empty()) {
        const auto it = sessions_.find(std::string(id));
        if (it != sessions_.end()) {
            if (now - it->second.lastUse <= timeout_) {
                it->second.lastUse = now;
                return it->second.session;
            }
            sessions_.erase(it);
        }
    }
    return std::make_shared<Session>();
}

bool SessionStore::End(const std::shared_ptr<Session>& session, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    const bool kept = !session->SessionID().empty();
    if (session->IsAbandoned()) {
        if (kept) sessions_.erase(session->SessionID());
        return false;
    }
    if (kept) {
        const auto it = sessions_.find(session->SessionID());
        if (it != sessions_.end()) it->second.lastUse = now;
        return false;
    }
    if (session->IsEmpty()) return false;
    std::string id = NewSessionId();
    while (sessions_.count(id)) id = NewSessionId();
    session->id_ = id;
    sessions_.emplace(std::move(id), Entry{session, now});
    return true;
}

std::size_t SessionStore::Count() const {
    std::lock_guard lock(mutex_);
    return sessions_.size();
}

void SessionStore::Sweep(Clock::time_point now) {
    std::lock_guard lock(mutex_);
    sweepLocked(now);
}

void SessionStore::sweepLocked(Clock::time_point now) {
    lastSweep_ = now;
    std::erase_if(sessions_, [&](const auto& item) { return now - item.second.lastUse > timeout_; });
}

}  // namespace platform
