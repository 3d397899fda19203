#pragma once
// Converted post texts, kept by what they were converted from: a post's
// HTML follows from its text, its smileys flag and the converter's images
// folder alone, so a thread read again and again is converted once. The
// cache holds at most a fixed number of bytes (sources and results, with a
// share for bookkeeping); the least recently used texts go first. Nothing
// is ever invalidated: an edited post has another text, hence another key,
// and its old form ages out. Sharded, each shard with its own lock, so
// threads seldom wait for each other.
#include <array>
#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/Response.h"

namespace board {

class PostHtmlCache {
public:
    // What a post's HTML is made from.
    struct Source {
        std::string_view text;
        bool smileys = false;
        std::string_view imagesUrl;
    };
    // The HTML with its wire form.
    using Html = std::shared_ptr<const platform::EncodedText>;

    explicit PostHtmlCache(std::size_t maxBytes);

    // The HTML kept for `source`, or `convert()`'s, which is then kept. The
    // conversion runs outside the locks.
    Html Get(const Source& source, const std::function<std::string()>& convert);

    // What the cache holds now, as counted against the bound.
    std::size_t Bytes() const;
    std::size_t Entries() const;
    std::size_t MaxBytes() const { return maxBytes_; }

    // The bytes an entry counts besides its source, HTML and the HTML's wire
    // form: list and map nodes, the shared HTML's control block.
    static constexpr std::size_t kEntryOverhead = 160;

private:
    static constexpr std::size_t kShards = 16;
    struct Entry {
        // The whole source: equal hashes of other texts never mix.
        std::string text;
        bool smileys;
        std::string imagesUrl;
        std::size_t hash;
        Html html;
        std::size_t bytes;
        bool Holds(const Source& source) const {
            return smileys == source.smileys && text == source.text && imagesUrl == source.imagesUrl;
        }
    };
    using EntryList = std::list<Entry>;
    struct Shard {
        mutable std::mutex lock;  // guards entries, byHash and bytes
        EntryList entries;  // most recently used first
        std::unordered_multimap<std::size_t, EntryList::iterator> byHash;
        std::size_t bytes = 0;
    };
    Shard& ShardOf(std::size_t hash) { return shards_[hash % kShards]; }
    // The entry of `source` in the shard, or its end; the shard's lock is held.
    static EntryList::iterator Find(Shard& shard, std::size_t hash, const Source& source);
    void Keep(Shard& shard, std::size_t hash, const Source& source, Html html);

    const std::size_t maxBytes_;
    const std::size_t shardBytes_;
    std::array<Shard, kShards> shards_;
};

// The board's one cache, 32 MiB.
PostHtmlCache& ThePostHtmlCache();

}  // namespace board
