#pragma once
// Values shared by all pages of the site. Keys ignore letter case; a missing
// key reads as Empty. Get and Set are safe from any thread; Lock/UnLock is
// one site-wide lock for read-modify-write sequences.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/Variant.h"

namespace platform {

class Application {
public:
    Application();

    Variant Get(std::string_view key) const;
    Variant operator()(std::string_view key) const { return Get(key); }
    // Storing the value a key holds already changes nothing, so the readers'
    // copies of it stay good (pages store the same counts again and again).
    void Set(std::string_view key, Variant value);
    // Changes the value in place (a missing key starts Empty), for a large
    // value that changes on every page: Get and Set would copy it whole.
    // Readers wait while `change` runs; it must not touch this Application.
    void Update(std::string_view key, const std::function<void(Variant&)>& change);

    // A thread may lock more than once; each Lock needs its UnLock. UnLock
    // without a Lock does nothing.
    void Lock();
    void UnLock();
    // Releases what the calling thread still holds (a page that ended
    // without UnLock).
    void ReleaseLocksOfThisThread();

    // One value and the number of times it was set; slots are never removed,
    // so readers may keep their address.
    struct Slot {
        std::atomic<std::uint64_t> version{0};
        Variant value;
    };

    // The versions of the keys a reader read, so that whatever it built from
    // them can be kept until one changes: checking costs a load per key, not
    // a lookup by name. Start before the first read, Note each key before
    // reading it, Finish when the reads succeeded.
    class ReadStamp {
    public:
        void Start(const Application& application);
        void Note(std::string_view key);
        void Finish() { finished_ = true; }
        // True when finished for this application and no key it noted was
        // set to another value, nor any key added, since.
        bool Unchanged(const Application& application) const;

    private:
        const Application* reading_ = nullptr;
        std::uint64_t application_ = 0;
        std::uint64_t keysAdded_ = 0;
        bool finished_ = false;
        std::vector<std::pair<const Slot*, std::uint64_t>> reads_;  // keys present when read
    };

private:
    const std::uint64_t id_;  // tells instances apart in the readers' caches
    mutable std::shared_mutex valuesMutex_;
    std::unordered_map<std::string, std::unique_ptr<Slot>> values_;  // by lower-cased key
    std::atomic<std::uint64_t> keysAdded_{0};
    std::recursive_mutex lock_;
};

}  // namespace platform
