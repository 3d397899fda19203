#include "board/converter/PostHtmlCache.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using board::PostHtmlCache;

// Converts through the cache, counting the conversions.
struct Converting {
    PostHtmlCache& cache;
    int conversions = 0;
    std::string operator()(const PostHtmlCache::Source& source) {
        return cache.Get(source, [&] {
            ++conversions;
            return "<" + std::string(source.text) + (source.smileys ? ":)" : "") + "@" +
                   std::string(source.imagesUrl) + ">";
        })->text;
    }
};

TEST(PostHtmlCacheTest, EachSourceIsConvertedOnceAndKeptApartFromTheOthers) {
    PostHtmlCache cache(1 << 20);
    Converting convert{cache};
    const PostHtmlCache::Source sources[] = {
        {"text", false, "images"},
        {"text", true, "images"},     // the smileys flag
        {"text", false, "pictures"},  // the images folder
        {"Text", false, "images"},    // letter case
        {"", false, "images"},
        {"images\ntext", false, ""},  // folder and text do not run into each other
        {"text", false, "images\n"},
    };
    for (int round = 0; round < 3; ++round)
        for (const auto& source : sources)
            EXPECT_EQ(convert(source), "<" + std::string(source.text) + (source.smileys ? ":)" : "") + "@" +
                                           std::string(source.imagesUrl) + ">");
    EXPECT_EQ(convert.conversions, static_cast<int>(std::size(sources)));
    EXPECT_EQ(cache.Entries(), std::size(sources));
}

TEST(PostHtmlCacheTest, HoldsNoMoreThanItsBoundAndDropsTheLeastRecentlyUsed) {
    PostHtmlCache cache(128 << 10);
    Converting convert{cache};
    const std::string pad(300, 'x');
    const std::string kept = "read again and again " + pad;
    convert({kept, false, "images"});
    for (int i = 0; i < 2000; ++i) {
        convert({std::to_string(i) + pad, false, "images"});
        convert({kept, false, "images"});
        ASSERT_LE(cache.Bytes(), cache.MaxBytes());
    }
    EXPECT_GT(cache.Bytes(), cache.MaxBytes() / 2);
    const int before = convert.conversions;
    convert({kept, false, "images"});
    EXPECT_EQ(convert.conversions, before) << "the text read all along was dropped";
    convert({"0" + pad, false, "images"});
    EXPECT_EQ(convert.conversions, before + 1) << "the oldest text was kept";
}

TEST(PostHtmlCacheTest, ATextTooLargeForItsShareIsConvertedButNotKept) {
    PostHtmlCache cache(128 << 10);
    Converting convert{cache};
    const std::string huge(8 << 10, 'x');
    convert({huge, false, "images"});
    convert({huge, false, "images"});
    EXPECT_EQ(convert.conversions, 2);
    EXPECT_EQ(cache.Entries(), 0u);
}

}  // namespace
