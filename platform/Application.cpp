#include "platform/Application.h"

#include <algorithm>
#include <vector>

#include "platform/Strings.h"

namespace platform {

namespace {

// The locks the calling thread holds, one entry per Lock, so that a page's
// unreleased locks can be given back when it ends.
thread_local std::vector<const Application*> heldLocks;

std::atomic<std::uint64_t> nextApplicationId{1};

// What a thread last read of a key: every page reads the settings afresh,
// dozens of values, and taking the shared lock for each made the page threads
// queue behind the writes every page makes (the online list). A value read
// before stays good while its slot's version (or, for a missing key, the
// count of keys added) is unchanged.
struct CachedRead {
    const Application::Slot* slot = nullptr;  // null: the key was missing
    std::uint64_t version = 0;
    Variant value;
};

using ReadCache = std::unordered_map<std::string, CachedRead>;

ReadCache& ReadCacheOf(std::uint64_t application) {
    thread_local std::unordered_map<std::uint64_t, ReadCache> caches;
    // Applications that are gone leave theirs behind (tests make many).
    if (caches.size() > 8 && !caches.contains(application)) caches.clear();
    return caches[application];
}

// Of one type and equal (lists are never compared).
bool SameScalar(const Variant& a, const Variant& b) {
    return a.type() == b.type() && !a.isArray() && !a.isNull() && a == b;
}

}  // namespace

Application::Application() : id_(nextApplicationId++) {}

Variant Application::Get(std::string_view key) const {
    std::string folded = LCase(key);
    ReadCache& cache = ReadCacheOf(id_);
    const auto cached = cache.find(folded);
    if (cached != cache.end()) {
        const CachedRead& read = cached->second;
        const std::uint64_t now = read.slot ? read.slot->version.load(std::memory_order_acquire)
                                            : keysAdded_.load(std::memory_order_acquire);
        if (now == read.version) return read.value;
    }
    CachedRead read;
    {
        std::shared_lock lock(valuesMutex_);
        const auto it = values_.find(folded);
        if (it == values_.end()) {
            read.version = keysAdded_.load(std::memory_order_relaxed);
        } else {
            read.slot = it->second.get();
            read.version = read.slot->version.load(std::memory_order_relaxed);
            read.value = read.slot->value;
        }
    }
    Variant value = read.value;
    cache.insert_or_assign(std::move(folded), std::move(read));
    return value;
}

void Application::Set(std::string_view key, Variant value) {
    std::string folded = LCase(key);
    std::unique_lock lock(valuesMutex_);
    std::unique_ptr<Slot>& slot = values_[std::move(folded)];
    // The value it holds already: the readers' copies stay good.
    if (slot && SameScalar(slot->value, value)) return;
    const bool added = !slot;
    if (added) slot = std::make_unique<Slot>();
    std::swap(slot->value, value);
    slot->version.fetch_add(1, std::memory_order_release);
    if (added) keysAdded_.fetch_add(1, std::memory_order_release);
    lock.unlock();
    // `value` now holds the old value, freed outside the lock.
}

void Application::Update(std::string_view key, const std::function<void(Variant&)>& change) {
    std::string folded = LCase(key);
    std::unique_lock lock(valuesMutex_);
    std::unique_ptr<Slot>& slot = values_[std::move(folded)];
    const bool added = !slot;
    if (added) slot = std::make_unique<Slot>();
    // Readers see the change, whole or (when `change` fails) as far as it went.
    struct Published {
        Application& app;
        Slot& slot;
        bool added;
        ~Published() {
            slot.version.fetch_add(1, std::memory_order_release);
            if (added) app.keysAdded_.fetch_add(1, std::memory_order_release);
        }
    } published{*this, *slot, added};
    change(slot->value);
}

void Application::Lock() {
    lock_.lock();
    heldLocks.push_back(this);
}

void Application::UnLock() {
    const auto it = std::find(heldLocks.rbegin(), heldLocks.rend(), this);
    if (it == heldLocks.rend()) return;
    heldLocks.erase(std::next(it).base());
    lock_.unlock();
}

void Application::ReadStamp::Start(const Application& application) {
    reading_ = &application;
    application_ = application.id_;
    keysAdded_ = application.keysAdded_.load(std::memory_order_acquire);
    finished_ = false;
    reads_.clear();
}

void Application::ReadStamp::Note(std::string_view key) {
    const std::string folded = LCase(key);
    std::shared_lock lock(reading_->valuesMutex_);
    const auto it = reading_->values_.find(folded);
    // A missing key shows up as a key added.
    if (it != reading_->values_.end())
        reads_.emplace_back(it->second.get(), it->second->version.load(std::memory_order_acquire));
}

bool Application::ReadStamp::Unchanged(const Application& application) const {
    if (!finished_ || application_ != application.id_ ||
        keysAdded_ != application.keysAdded_.load(std::memory_order_acquire))
        return false;
    for (const auto& [slot, version] : reads_)
        if (slot->version.load(std::memory_order_acquire) != version) return false;
    return true;
}

void Application::ReleaseLocksOfThisThread() {
    while (std::find(heldLocks.begin(), heldLocks.end(), this) != heldLocks.end()) UnLock();
}

}  // namespace platform
