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

void Session::EndOthers(std::function<bool(const Session&)> picked) {
    std::lock_guard lock(mutex_);
    endOthers_ = std::move(picked);
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

// One shard's sessions by id, with their idle orders: ids longest idle
// first, those not yet brought back and the others.
struct SessionStore::Shard {
    using IdleOrder = std::list<std::string>;
    struct Entry {
        std::shared_ptr<Session> session;
        Clock::time_point lastUse;
        bool broughtBack = false;
        IdleOrder::iterator place;
    };

    explicit Shard(std::size_t capacity) : capacity(capacity), newReserve(std::max<std::size_t>(capacity / 4, 1)) {}

    IdleOrder& orderOf(const Entry& entry) { return entry.broughtBack ? returning : unreturned; }

    void touch(Entry& entry, Clock::time_point now) {
        entry.lastUse = now;
        IdleOrder& order = orderOf(entry);
        order.splice(order.end(), order, entry.place);
    }

    void bringBack(Entry& entry, const std::string& id) {
        if (entry.broughtBack) return;
        unreturned.erase(entry.place);
        entry.broughtBack = true;
        entry.place = returning.insert(returning.end(), id);
    }

    // Keeps `session` under its (new, unused) id, making room first.
    void add(const std::shared_ptr<Session>& session, const std::string& id, bool broughtBack,
             Clock::time_point now) {
        if (sessions.size() >= capacity) {
            // Sessions not brought back yet go first, but never below their
            // reserve: a visitor's new session (a login's) must live until
            // he comes back, also while returned sessions fill the rest.
            const bool fromNew = !unreturned.empty() && (unreturned.size() >= newReserve || returning.empty());
            const std::string idlest = fromNew ? unreturned.front() : returning.front();
            erase(idlest);
        }
        IdleOrder& order = broughtBack ? returning : unreturned;
        const auto place = order.insert(order.end(), id);
        sessions.emplace(id, Entry{session, now, broughtBack, place});
    }

    void erase(const std::string& id) {
        const auto it = sessions.find(id);
        if (it == sessions.end()) return;
        orderOf(it->second).erase(it->second.place);
        sessions.erase(it);
    }

    void sweep(Clock::time_point now, std::chrono::seconds timeout) {
        // Both orders run from the longest idle: stop at the first live one.
        for (IdleOrder* order : {&unreturned, &returning}) {
            while (!order->empty()) {
                const auto it = sessions.find(order->front());
                if (now - it->second.lastUse <= timeout) break;
                order->pop_front();
                sessions.erase(it);
            }
        }
    }

    const std::size_t capacity;
    const std::size_t newReserve;  // room kept for sessions not brought back yet
    std::mutex mutex;
    std::unordered_map<std::string, Entry> sessions;
    IdleOrder unreturned, returning;
};

namespace {

// Small stores (tests, tiny sites) keep one shard, so that the longest idle
// session is the longest idle of all.
std::size_t ShardCountFor(std::size_t capacity) {
    constexpr std::size_t kMaxShards = 16, kMinPerShard = 1024;
    return std::clamp<std::size_t>(capacity / kMinPerShard, 1, kMaxShards);
}

}  // namespace

SessionStore::SessionStore(std::chrono::seconds timeout, std::size_t capacity)
    : timeout_(timeout), lastSweep_(Clock::now().time_since_epoch().count()) {
    capacity = std::max<std::size_t>(capacity, 1);
    const std::size_t count = ShardCountFor(capacity);
    for (std::size_t i = 0; i < count; ++i)
        shards_.push_back(std::make_unique<Shard>(capacity / count + (i < capacity % count ? 1 : 0)));
}

SessionStore::~SessionStore() = default;

SessionStore::Shard& SessionStore::shardOf(std::string_view id) const {
    return *shards_[std::hash<std::string_view>{}(id) % shards_.size()];
}

void SessionStore::sweepIfDue(Clock::time_point now) {
    Clock::rep last = lastSweep_.load(std::memory_order_relaxed);
    if (now - Clock::time_point(Clock::duration(last)) <= std::chrono::minutes(1)) return;
    // One request sweeps; the others go on.
    if (lastSweep_.compare_exchange_strong(last, now.time_since_epoch().count())) Sweep(now);
}

std::shared_ptr<Session> SessionStore::Begin(std::string_view id, Clock::time_point now) {
    sweepIfDue(now);
    if (!id.empty()) {
        Shard& shard = shardOf(id);
        std::lock_guard lock(shard.mutex);
        const auto it = shard.sessions.find(std::string(id));
        if (it != shard.sessions.end()) {
            if (now - it->second.lastUse <= timeout_) {
                Shard::Entry& entry = it->second;
                shard.bringBack(entry, it->first);
                shard.touch(entry, now);
                return entry.session;
            }
            shard.erase(it->first);
        }
    }
    return std::make_shared<Session>();
}

void SessionStore::endOthers(const Session& kept, const std::function<bool(const Session&)>& picked) {
    // Shard lock before session lock, as everywhere; `kept` is never locked here.
    for (const auto& shard : shards_) {
        std::lock_guard lock(shard->mutex);
        std::vector<std::string> ended;
        for (const auto& [id, entry] : shard->sessions)
            if (entry.session.get() != &kept && picked(*entry.session)) ended.push_back(id);
        for (const std::string& id : ended) shard->erase(id);
    }
}

bool SessionStore::End(const std::shared_ptr<Session>& session, Clock::time_point now) {
    bool renew;
    std::function<bool(const Session&)> endOthersPicked;
    {
        std::lock_guard values(session->mutex_);
        renew = std::exchange(session->renew_, false);
        endOthersPicked = std::exchange(session->endOthers_, {});
    }
    if (endOthersPicked) endOthers(*session, endOthersPicked);
    const std::string& id = session->SessionID();
    const bool kept = !id.empty();
    bool broughtBack = false;
    if (kept) {
        Shard& shard = shardOf(id);
        std::lock_guard lock(shard.mutex);
        const auto it = shard.sessions.find(id);
        if (session->IsAbandoned()) {
            if (it != shard.sessions.end()) shard.erase(id);
            return false;
        }
        // A kept session that was pushed out meanwhile ends with its request.
        if (it == shard.sessions.end()) return false;
        if (!renew) {
            shard.touch(it->second, now);
            return false;
        }
        broughtBack = it->second.broughtBack;
        shard.erase(id);
    } else if (session->IsAbandoned() || session->IsEmpty()) {
        return false;
    }
    // A new id, unused in every shard: ids are 128 random bits, so the
    // check under the id's own shard lock is what keeps it unique.
    for (;;) {
        std::string fresh = NewSessionId();
        Shard& shard = shardOf(fresh);
        std::lock_guard lock(shard.mutex);
        if (shard.sessions.count(fresh)) continue;
        session->id_ = fresh;
        shard.add(session, fresh, broughtBack, now);
        return true;
    }
}

std::size_t SessionStore::Count() const {
    std::size_t count = 0;
    for (const auto& shard : shards_) {
        std::lock_guard lock(shard->mutex);
        count += shard->sessions.size();
    }
    return count;
}

void SessionStore::Sweep(Clock::time_point now) {
    lastSweep_.store(now.time_since_epoch().count(), std::memory_order_relaxed);
    for (const auto& shard : shards_) {
        std::lock_guard lock(shard->mutex);
        shard->sweep(now, timeout_);
    }
}

}  // namespace platform
