// Throughput of the markup converter on post text as the thread view
// renders it: one converter per text, UbbCode then Smiles.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <utility>

#include "UbbCode/UbbCode.h"

namespace {

// About 2 KB: Chinese text, a few tags, a link, a quote and smileys, with
// browser line breaks.
std::string typicalPost() {
    std::string post =
        "[quote][b]楼主[/b] 写道：\r\n今天的更新很不错，大家可以试试新功能。[/quote]\r\n"
        "同意楼上的看法 :) 我用了一个星期，感觉速度快了很多，界面也更清楚了。\r\n\r\n"
        "[b]几点建议：[/b]\r\n"
        "[list][*]搜索结果能不能按时间排序？[*]头像上传希望支持更大的图片。[*]夜间模式 ;)[/list]\r\n"
        "详细说明请看 http://www.example.com/forum/notes.html 或者 [url=http://www.example.com/faq]常见问题[/url]。\r\n"
        "[color=red]注意[/color]：旧版本的收藏夹需要重新导入，否则会丢失。:(\r\n\r\n"
        "附上截图：[img]http://www.example.com/images/shot01.png[/img]\r\n";
    const std::string filler =
        "这是一段普通的回复内容，讨论的是论坛的使用体验和一些小问题，没有特别的格式。"
        "有时候会夹杂一些英文单词，比如 update、profile 和 settings，还有数字 2024。\r\n";
    while (post.size() < 1800) post += filler;
    post += "[i]以上[/i]，谢谢！ :D\r\n";
    return post;
}

std::string largePost() {
    std::string post;
    const std::string part = typicalPost();
    while (post.size() < 100 * 1024) post += part;
    return post;
}

void convert(benchmark::State& state, const std::string& post) {
    for (auto _ : state) {
        markup::UbbCode converter;
        platform::Variant content(post);
        converter.UbbCode(content);
        benchmark::DoNotOptimize(converter.Smiles(content));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(post.size()));
}

void BM_TypicalPost(benchmark::State& state) { convert(state, typicalPost()); }
void BM_LargePost(benchmark::State& state) { convert(state, largePost()); }

// 64 KB posts written to cost the most: each repeats its pieces to the size.
std::string repeated(std::string_view head, std::string_view piece, std::string_view tail) {
    std::string post(head);
    while (post.size() + piece.size() + tail.size() <= 64 * 1024) post += piece;
    return post + std::string(tail);
}

std::string nestedQuotes() {
    std::string opens, closes;
    while (opens.size() + closes.size() + 16 <= 64 * 1024) {
        opens += "[quote]q";
        closes += "[/quote]";
    }
    return opens + closes;
}

const std::pair<const char*, std::string> kHostilePosts[] = {
    {"NestedQuotes", nestedQuotes()},
    {"UnclosedQuotes", repeated("", "[quote]x", "")},
    {"UnclosedBold", repeated("[b]x[/b]", "[b]", "")},
    {"UnclosedBoldBeforeClose", repeated("", "[b]", "x[/b]")},
    {"UnclosedUrl", repeated("[url=http://h/]x[/url]", "[url=http://h/]", "")},
    {"OpenBrackets", repeated("", "[", "")},
    {"Blanks", repeated("", " ", "x http://h/")},
    {"Tabs", repeated("", "\t", "x http://h/")},
    {"LineBreaks", repeated("", "\r\n", "x http://h/")},
    {"EmailRun", repeated("[email=", "a@", " [/email]")},
    {"InvalidUtf8", repeated("", "[b]\xFF", "[/b]")},
    {"ChineseAndTags", repeated("", "中[i]文[b]", "")},
};

}  // namespace

BENCHMARK(BM_TypicalPost);
BENCHMARK(BM_LargePost);

// One benchmark per hostile post: each should cost about what a large
// ordinary post of its size costs.
[[maybe_unused]] static const bool kHostileRegistered = [] {
    for (const auto& [name, post] : kHostilePosts)
        benchmark::RegisterBenchmark((std::string("BM_Hostile/") + name).c_str(),
                                     [&post = post](benchmark::State& state) { convert(state, post); });
    return true;
}();
