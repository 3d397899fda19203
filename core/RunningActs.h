#pragma once
// Acts that run for a while (a search), counted while they run: one key (a
// client address) runs at most a few at once, its further acts refused at
// once instead of piling up, and all keys together at most a number, the
// acts beyond it waiting for a place until their deadline.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace core {

class RunningActs {
public:
    RunningActs(std::size_t perKey, std::size_t inAll) : perKey_(perKey), inAll_(inAll) {}
    RunningActs(const RunningActs&) = delete;
    RunningActs& operator=(const RunningActs&) = delete;

    // One running act; it ends with the slot.
    class Slot {
    public:
        Slot(Slot&& other) noexcept : acts_(other.acts_), key_(std::move(other.key_)) { other.acts_ = nullptr; }
        Slot(const Slot&) = delete;
        Slot& operator=(const Slot&) = delete;
        Slot& operator=(Slot&&) = delete;
        ~Slot();

    private:
        friend class RunningActs;
        Slot(RunningActs& acts, std::string key) : acts_(&acts), key_(std::move(key)) {}
        RunningActs* acts_;
        std::string key_;
    };

    enum class Refusal { KeyFull, AllBusy };
    struct Start {
        std::optional<Slot> slot;
        Refusal refusal = Refusal::AllBusy;  // why there is no slot
    };

    // A slot for an act of `key`: none at once when the key runs (or waits
    // for) perKey acts already; else one of the inAll places, waiting for
    // one until `deadline`.
    Start TryStart(const std::string& key, std::chrono::steady_clock::time_point deadline);

    std::size_t PerKey() const { return perKey_; }
    std::size_t InAll() const { return inAll_; }

private:
    void Leave(const std::string& key);  // under the lock

    const std::size_t perKey_;
    const std::size_t inAll_;
    std::mutex mutex_;
    std::condition_variable placeFreed_;
    std::size_t running_ = 0;
    // Only keys with an act running or waiting: no more rows than acts.
    std::map<std::string, std::size_t> byKey_;
};

}  // namespace core
