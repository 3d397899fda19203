#pragma once
// Values kept per browser session. Keys ignore letter case; a missing key
// reads as Empty. One session may serve two requests at once, so access is
// locked.
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

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

    const std::string& SessionID() const { return id_; }
    bool IsAbandoned() const;
    bool IsEmpty() const;

private:
    friend class SessionStore;
    std::string id_;
    mutable std::mutex mutex_;
    std::unordered_map<std::string, Variant> values_;  // by lower-cased key
    bool abandoned_ = false;
};

// All live sessions, by id. A session starts unregistered and is kept only
// once it holds a value; it ends after `timeout` without a request.
class SessionStore {
public:
    using Clock = std::chrono::steady_clock;
    explicit SessionStore(std::chrono::seconds timeout = std::chrono::minutes(20));

    // The session of that id, or a new one when the id is unknown or expired.
    std::shared_ptr<Session> Begin(std::string_view id, Clock::time_point now = Clock::now());
    // After the request: keeps a new session that holds values and drops an
    // abandoned one. True when the browser must be given the session's id.
    bool End(const std::shared_ptr<Session>& session, Clock::time_point now = Clock::now());

    std::size_t Count() const;
    // Frees sessions idle longer than the timeout (Begin does this too, at
    // most once a minute).
    void Sweep(Clock::time_point now = Clock::now());

private:
    struct Entry {
        std::shared_ptr<Session> session;
        Clock::time_point lastUse;
    };
    void sweepLocked(Clock::time_point now);

    std::chrono::seconds timeout_;
    mutable std::mutex mutex_;
    std::unordered_map<std::string, Entry> sessions_;
    Clock::time_point lastSweep_;
};

// A new random session id (32 hex digits).
std::string NewSessionId();

}  // namespace platform
