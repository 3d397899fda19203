#include "board/browse/PostHtmlCache.h"

namespace board {

namespace {

std::string KeyOf(const PostHtmlCache::Source& source) {
    std::string key;
    key.reserve(source.imagesUrl.size() + source.text.size() + 2);
    key += source.smileys ? '1' : '0';
    key += source.imagesUrl;
    key += '\n';  // a folder name holds no line break
    key += source.text;
    return key;
}

}  // namespace

PostHtmlCache::PostHtmlCache(std::size_t maxBytes) : maxBytes_(maxBytes), shardBytes_(maxBytes / kShards) {}

PostHtmlCache::Html PostHtmlCache::Get(const Source& source, const std::function<std::string()>& convert) {
    std::string key = KeyOf(source);
    const std::size_t hash = std::hash<std::string_view>{}(key);
    Shard& shard = ShardOf(hash);
    {
        std::lock_guard guard(shard.lock);
        const auto [first, last] = shard.byHash.equal_range(hash);
        for (auto it = first; it != last; ++it) {
            if (it->second->key != key) continue;
            shard.entries.splice(shard.entries.begin(), shard.entries, it->second);
            return it->second->html;
        }
    }
    Html html = std::make_shared<const std::string>(convert());
    Keep(shard, hash, std::move(key), html);
    return html;
}

void PostHtmlCache::Keep(Shard& shard, std::size_t hash, std::string key, Html html) {
    const std::size_t bytes = key.size() + html->size() + kEntryOverhead;
    // One text must not push out a good part of its shard.
    if (bytes > shardBytes_ / 4) return;
    std::lock_guard guard(shard.lock);
    const auto [first, last] = shard.byHash.equal_range(hash);
    for (auto it = first; it != last; ++it)
        if (it->second->key == key) return;  // another thread converted it meanwhile
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
    shard.entries.push_front(Entry{std::move(key), hash, std::move(html), bytes});
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
