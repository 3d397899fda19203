#include "board/converter/PostHtmlCache.h"

namespace board {

namespace {

std::size_t HashOf(const PostHtmlCache::Source& source) {
    const std::size_t text = std::hash<std::string_view>{}(source.text);
    const std::size_t folder = std::hash<std::string_view>{}(source.imagesUrl);
    return text ^ (folder * 0x9E3779B97F4A7C15ULL) ^ (source.smileys ? 0x5BD1E995 : 0);
}

}  // namespace

PostHtmlCache::PostHtmlCache(std::size_t maxBytes) : maxBytes_(maxBytes), shardBytes_(maxBytes / kShards) {}

PostHtmlCache::EntryList::iterator PostHtmlCache::Find(Shard& shard, std::size_t hash, const Source& source) {
    const auto [first, last] = shard.byHash.equal_range(hash);
    for (auto it = first; it != last; ++it)
        if (it->second->Holds(source)) return it->second;
    return shard.entries.end();
}

PostHtmlCache::Html PostHtmlCache::Get(const Source& source, const std::function<std::string()>& convert) {
    const std::size_t hash = HashOf(source);
    Shard& shard = ShardOf(hash);
    {
        std::lock_guard guard(shard.lock);
        const auto kept = Find(shard, hash, source);
        if (kept != shard.entries.end()) {
            shard.entries.splice(shard.entries.begin(), shard.entries, kept);
            return kept->html;
        }
    }
    Html html = platform::ShareForWire(convert());
    Keep(shard, hash, source, html);
    return html;
}

void PostHtmlCache::Keep(Shard& shard, std::size_t hash, const Source& source, Html html) {
    const std::size_t bytes = source.text.size() + source.imagesUrl.size() + html->Bytes() + kEntryOverhead;
    // One text must not push out a good part of its shard.
    if (bytes > shardBytes_ / 4) return;
    std::lock_guard guard(shard.lock);
    if (Find(shard, hash, source) != shard.entries.end()) return;  // another thread converted it meanwhile
    while (shard.bytes + bytes > shardBytes_ && !shard.entries.empty()) {
        const auto oldest = std::prev(shard.entries.end());
        const auto [from, to] = shard.byHash.equal_range(oldest->hash);
        for (auto it = from; it != to; ++it)
            if (it->second == oldest) {
                shard.byHash.erase(it);
                break;
            }
        shard.bytes -= oldest->bytes;
        shard.entries.erase(oldest);
    }
    shard.entries.push_front(Entry{std::string(source.text), source.smileys, std::string(source.imagesUrl), hash,
                                   std::move(html), bytes});
    shard.byHash.emplace(hash, shard.entries.begin());
    shard.bytes += bytes;
}

std::size_t PostHtmlCache::Bytes() const {
    std::size_t total = 0;
    for (const Shard& shard : shards_) {
        std::lock_guard guard(shard.lock);
        total += shard.bytes;
    }
    return total;
}

std::size_t PostHtmlCache::Entries() const {
    std::size_t total = 0;
    for (const Shard& shard : shards_) {
        std::lock_guard guard(shard.lock);
        total += shard.entries.size();
    }
    return total;
}

PostHtmlCache& ThePostHtmlCache() {
    static PostHtmlCache cache(32 << 20);
    return cache;
}

}  // namespace board
