#pragma once
// Acts that run for a while (a search), counted per key (a client address)
// while they run, so that one key holds at most a few at once and its
// further acts are refused at once instead of piling up.
#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace core {

class RunningActs {
public:
    explicit RunningActs(std::size_t perKey) : perKey_(perKey) {}
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

    // A slot while `key` runs fewer than the acts it may; else none.
    std::optional<Slot> TryStart(const std::string& key);

    std::size_t PerKey() const { return perKey_; }

private:
    void End(const std::string& key);

    const std::size_t perKey_;
    std::mutex mutex_;
    // Only keys with an act running: the map holds no more rows than acts run.
    std::map<std::string, std::size_t> running_;
};

}  // namespace core
