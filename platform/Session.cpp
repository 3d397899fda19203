#include "platform/Session.h"

#include <algorithm>
#include <random>
#include <utility>

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

void Session::RenewId() {
    std::lock_guard lock(mutex_);
    renew_ = true;
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

SessionStore::SessionStore(std::chrono::seconds timeout, std::size_t capacity)
    : timeout_(timeout), capacity_(std::max<std::size_t>(capacity, 1)), lastSweep_(Clock::now()) {}

std::shared_ptr<Session> SessionStore::Begin(std::string_view id, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    if (now - lastSweep_ > std::chrono::minutes(1)) sweepLocked(now);
    if (!id.empty()) {
        const auto it = sessions_.find(std::string(id));
        if (it != sessions_.end()) {
            if (now - it->second.lastUse <= timeout_) {
                Entry& entry = it->second;
                if (!entry.broughtBack) {
                    unreturned_.erase(entry.place);
                    entry.broughtBack = true;
                    entry.place = returning_.insert(returning_.end(), it->first);
                }
                touchLocked(entry, now);
                return entry.session;
            }
            eraseLocked(it->first);
        }
    }
    return std::make_shared<Session>();
}

bool SessionStore::End(const std::shared_ptr<Session>& session, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    const bool kept = !session->SessionID().empty();
    bool renew;
    {
        std::lock_guard values(session->mutex_);
        renew = std::exchange(session->renew_, false);
    }
    if (session->IsAbandoned()) {
        if (kept) eraseLocked(session->SessionID());
        return false;
    }
    const auto it = kept ? sessions_.find(session->SessionID()) : sessions_.end();
    if (it != sessions_.end() && !renew) {
        touchLocked(it->second, now);
        return false;
    }
    // A kept session that was pushed out meanwhile ends with its request.
    if (kept && it == sessions_.end()) return false;
    if (!kept && session->IsEmpty()) return false;
    const bool broughtBack = it != sessions_.end() && it->second.broughtBack;
    if (it != sessions_.end()) eraseLocked(it->first);
    addLocked(session, broughtBack, now);
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

void SessionStore::touchLocked(Entry& entry, Clock::time_point now) {
    entry.lastUse = now;
    IdleOrder& order = orderOf(entry);
    order.splice(order.end(), order, entry.place);
}

void SessionStore::addLocked(const std::shared_ptr<Session>& session, bool broughtBack,
                             Clock::time_point now) {
    if (sessions_.size() >= capacity_) {
        const std::string idlest = unreturned_.empty() ? returning_.front() : unreturned_.front();
        eraseLocked(idlest);
    }
    std::string id = NewSessionId();
    while (sessions_.count(id)) id = NewSessionId();
    session->id_ = id;
    IdleOrder& order = broughtBack ? returning_ : unreturned_;
    const auto place = order.insert(order.end(), id);
    sessions_.emplace(std::move(id), Entry{session, now, broughtBack, place});
}

void SessionStore::eraseLocked(const std::string& id) {
    const auto it = sessions_.find(id);
    if (it == sessions_.end()) return;
    orderOf(it->second).erase(it->second.place);
    sessions_.erase(it);
}

void SessionStore::sweepLocked(Clock::time_point now) {
    lastSweep_ = now;
    // Both orders run from the longest idle: stop at the first live one.
    for (IdleOrder* order : {&unreturned_, &returning_}) {
        while (!order->empty()) {
            const auto it = sessions_.find(order->front());
            if (now - it->second.lastUse <= timeout_) break;
            order->pop_front();
            sessions_.erase(it);
        }
    }
}

}  // namespace platform
