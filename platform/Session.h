#pragma once
// Values kept per browser session. Keys ignore letter case; a missing key
// reads as Empty. One session may serve two requests at once, so access is
// locked.
#include <atomic>
#include <chrono>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/Variant.h"

namespace platform {

class Session {
public:
    // A session gets its id when the store keeps it.
    explicit Session(std::string id = std::string());

    Variant Get(std::string_view key) const;
    Variant operator()(std::string_view key) const { return Get(key); }
    void Set(std::string_view key, Variant value);
    void Remove(std::string_view key);
    // Ends the session after this request; its values are dropped.
    void Abandon();
    // Gives the session a new id after this request, its values kept; the
    // old id then leads nowhere. Every login that stores a new identity
    // calls this, so an id planted before the login is worthless after it.
    void RenewId();
    // Ends, after this request, every other session `picked` chooses; this
    // one lives on. A password change ends the member's other logins so.
    void EndOthers(std::function<bool(const Session&)> picked);

    const std::string& SessionID() const { return id_; }
    bool IsAbandoned() const;
    bool IsEmpty() const;

private:
    friend class SessionStore;
    std::string id_;
    mutable std::mutex mutex_;
    std::unordered_map<std::string, Variant> values_;  // by lower-cased key
    bool abandoned_ = false;
    bool renew_ = false;
    std::function<bool(const Session&)> endOthers_;
};

// All live sessions, by id. A session starts unregistered and is kept only
// once it holds a value; it ends after `timeout` without a request. At most
// `capacity` sessions live at once: a new one beyond that pushes out the
// longest idle of those whose id no visitor has brought back yet, as long
// as they hold a quarter of the store, else the longest idle of the others.
// So a flood of requests that never return the cookie cannot grow memory,
// nor push out more than that quarter of the sessions of the visitors who
// do; and a new session lives through the next ones until its visitor
// comes back.
//
// Every request passes through the store twice, so a big store is split
// into shards by id, each with its own lock and its share of the capacity
// (the longest idle is then the longest idle of the new session's shard).
class SessionStore {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::size_t kDefaultCapacity = 20000;
    explicit SessionStore(std::chrono::seconds timeout = std::chrono::minutes(20),
                          std::size_t capacity = kDefaultCapacity);
    ~SessionStore();

    // The session of that id, or a new one when the id is unknown or expired.
    std::shared_ptr<Session> Begin(std::string_view id, Clock::time_point now = Clock::now());
    // After the request: ends the other sessions it asked to end, keeps a
    // new session that holds values, drops an abandoned one and gives a
    // renewed one its new id. True when the browser must be given the
    // session's id.
    bool End(const std::shared_ptr<Session>& session, Clock::time_point now = Clock::now());

    std::size_t Count() const;
    // Frees sessions idle longer than the timeout (Begin does this too, at
    // most once a minute).
    void Sweep(Clock::time_point now = Clock::now());

private:
    struct Shard;
    Shard& shardOf(std::string_view id) const;
    void sweepIfDue(Clock::time_point now);
    void endOthers(const Session& kept, const std::function<bool(const Session&)>& picked);

    std::chrono::seconds timeout_;
    std::vector<std::unique_ptr<Shard>> shards_;
    std::atomic<Clock::rep> lastSweep_;
};

// A new random session id (32 hex digits).
std::string NewSessionId();

}  // namespace platform
