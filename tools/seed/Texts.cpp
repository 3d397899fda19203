#include "tools/seed/Texts.h"

namespace boardseed {
namespace {

constexpr std::string_view kSubjectHeads[] = {
    "", "", "", "", "【讨论】", "【求助】", "【分享】", "【原创】", "转：", "请教：", "闲聊：",
};
constexpr std::string_view kSubjectCores[] = {
    "家里的旧电脑还能升级吗", "周末去哪里爬山比较好", "推荐几本适合入门的编程书",
    "数据库备份有什么好办法", "最近的天气真让人受不了", "说说你最喜欢的一首老歌",
    "第一次自己装机的经历", "这场比赛大家怎么看", "出门旅行要带哪些东西",
    "拍夜景用什么参数好", "网页打开很慢是什么原因", "对本站的几点小建议",
    "工作三年的一点感想", "有没有人一起学英语", "新买的显示器有坏点怎么办",
    "关于密码安全的几个常识", "分享一个好用的小工具", "春节回家的火车票",
    "大家平时都几点睡觉", "这个周末有什么好电影", "怎样才能写出好文章",
    "宿舍里的那些趣事", "路由器总是掉线", "第一次发贴，请多关照",
    "论坛改版以后的感受", "老照片里的城市", "跑步半年的变化",
    "网上购物遇到的麻烦", "笔记本电池不耐用", "学做菜的第一步",
};
constexpr std::string_view kSubjectTails[] = {
    "", "", "", "？", "！", "（附图）", "～", "，进来看看", "，谢谢各位",
};

constexpr std::string_view kOpeners[] = {
    "", "", "", "", "", "其实", "另外，", "不过", "所以", "当然", "说起来，",
    "顺便说一句，", "总的来说，", "个人认为，", "据我所知，",
};
constexpr std::string_view kClauses[] = {
    "我觉得这个问题其实没有大家想的那么复杂", "昨天晚上试了一下，效果还不错",
    "楼主说的情况我也遇到过", "关键还是要看自己的实际需要",
    "网上的说法太多了，真假难辨", "这个版面的讨论气氛一直很好",
    "希望有经验的朋友多多指点", "先把基础打好，后面就容易多了",
    "价格方面其实可以再等一等", "我身边的朋友大多也是这么选的",
    "时间长了自然就习惯了", "这种做法在小范围里用用还可以",
    "如果条件允许的话，最好亲自去看看", "说实话，刚开始的时候我也很犹豫",
    "这几年的变化确实挺大的", "有空的时候可以翻翻以前的旧贴",
    "具体的步骤我整理在下面了", "大家有什么补充的欢迎跟贴",
    "这个方法不一定适合每个人", "我用了差不多半年，没发现什么大问题",
    "周末天气好的话打算再出去走走", "论坛里的老朋友应该都还记得",
    "最麻烦的地方是配置文件总是写错", "数据备份一定要做，不然后悔都来不及",
    "新手最容易犯的错误就是急于求成", "买之前多比较几家总没有坏处",
    "拍出来的照片颜色有点偏暖", "音乐这种东西还是各有所爱吧",
    "比赛的最后十分钟真是太精彩了", "路上风景很美，就是人稍微多了一点",
    "孩子们玩得特别开心", "我把自己的经验简单写一写",
    "欢迎拍砖，说得不对的地方请指正", "这件事情还要从去年说起",
    "版主辛苦了，顶一下", "感谢楼上各位的热心回复",
    "这个软件的新版本改进了不少", "网速慢的时候打开页面要等好久",
    "其实只要坚持下去就会有收获", "看完以后很有感触",
};
constexpr std::string_view kEndings[] = {"。", "。", "。", "。", "！", "？", "……"};
constexpr std::string_view kSmileys[] = {
    ":)", ":)", ":D", ";)", ":(", ":p", ":o", ":cool:", ":rolleyes:", ":mad:", ":eek:", ":confused:",
};
constexpr std::string_view kColors[] = {"red", "blue", "green", "#800080", "#FF6600"};
constexpr std::string_view kLinkTexts[] = {"详细说明", "相关资料", "原文地址", "官方网站", "点这里"};
constexpr std::string_view kLinkPaths[] = {"docs/intro.html", "news/2001/05.html", "faq.html", "bbs/",
                                           "download/index.html"};

constexpr std::string_view kSignatures[] = {
    "[i]人生如逆旅，我亦是行人[/i]",
    "[b]有问题请先搜索[/b] :)",
    "[color=blue]好好学习，天天向上[/color]",
    "我的小站：[url=http://www.example.com/home/]欢迎来坐坐[/url]",
    "—— 一个爱灌水的人",
    "[i]今天的努力是明天的收获[/i] ;)",
    "代码写得好，下班回家早",
    "[color=#800080]天涯何处无芳草[/color]",
    "QQ群已满，勿加 :p",
    "[b]慢慢来，比较快[/b]",
};
constexpr std::string_view kAnnouncementLines[] = {
    "欢迎各位朋友来到本论坛，发贴前请先阅读[b]论坛规则[/b]。",
    "服务器将在本周末进行例行维护，届时论坛可能暂停访问一小时左右。",
    "请不要在贴子里留下个人的真实电话和地址，注意保护自己的隐私。",
    "各版面正在招募版主，有意者请发悄悄话给管理员。",
    "灌水请到专门的版面，技术版面的无关贴子会被移走。",
    "[color=red]严禁发布任何广告[/color]，违者删号处理。",
};

constexpr std::string_view kLocations[] = {
    "北京", "上海", "广州", "深圳", "杭州", "成都", "武汉", "南京",
    "西安", "重庆", "天津", "苏州", "长沙", "沈阳", "厦门", "青岛",
};
constexpr std::string_view kOccupations[] = {
    "学生", "程序员", "教师", "设计师", "工程师", "销售", "医生", "自由职业", "编辑", "会计",
};
constexpr std::string_view kInterests[] = {
    "读书、旅行、摄影", "编程、下棋", "听音乐，看电影", "爬山和跑步", "上网聊天",
    "足球、篮球", "做饭，养花", "写字画画", "电脑游戏", "什么都喜欢一点",
};
constexpr std::string_view kNicknames[] = {
    "灌水大王", "热心网友", "技术达人", "老坛友", "摄影爱好者", "资深潜水员",
};

// Member names: a base and, after the first round of bases, a number.
constexpr std::string_view kNameHeads[] = {
    "清风", "明月", "小雨", "飞鸟", "白云", "青山", "流水", "星辰",
    "阳光", "秋叶", "冬雪", "春草", "夏荷", "大海", "远方", "晨曦",
};
constexpr std::string_view kNameTails[] = {"", "客", "子", "君", "儿", "哥", "妹", "侠", "人", "居士"};
constexpr std::string_view kLatinNames[] = {
    "tom", "lucy", "jack", "mike", "linda", "kevin", "amy", "david", "sunny", "leo", "coco", "eric",
};
constexpr std::size_t kChineseBases = std::size(kNameHeads) * std::size(kNameTails);
constexpr std::size_t kNameBases = kChineseBases + std::size(kLatinNames);

std::string Sentence(Random& rng) {
    std::string s(rng.Pick(kOpeners));
    s += rng.Pick(kClauses);
    if (rng.Chance(0.3)) {
        s += "，";
        s += rng.Pick(kClauses);
    }
    s += rng.Pick(kEndings);
    return s;
}

// One piece of markup around or after a sentence; most sentences get none.
std::string Decorated(Random& rng, std::string sentence) {
    const std::uint64_t roll = rng.Below(100);
    if (roll < 3) return "[b]" + sentence + "[/b]";
    if (roll < 5) return "[i]" + sentence + "[/i]";
    if (roll < 6) return "[color=" + std::string(rng.Pick(kColors)) + "]" + sentence + "[/color]";
    if (roll < 12) return sentence + std::string(rng.Pick(kSmileys));
    if (roll < 13) {
        return sentence + "\r\n[url=http://www.example.com/" + std::string(rng.Pick(kLinkPaths)) + "]" +
               std::string(rng.Pick(kLinkTexts)) + "[/url]";
    }
    if (roll < 14) return sentence + "\r\n[img]icon/icon" + std::to_string(rng.Between(1, 14)) + ".gif[/img]";
    return sentence;
}

}  // namespace

std::size_t CharCount(std::string_view utf8) {
    std::size_t n = 0;
    for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
    return n;
}

std::string TopicSubject(Random& rng) {
    std::string s(rng.Pick(kSubjectHeads));
    s += rng.Pick(kSubjectCores);
    s += rng.Pick(kSubjectTails);
    return s;
}

std::string PostMessage(Random& rng, std::size_t chars) {
    std::string text;
    std::size_t written = 0;
    std::size_t inParagraph = 0;
    while (written < chars) {
        if (inParagraph > 0 && rng.Chance(0.25)) {
            text += rng.Chance(0.7) ? "\r\n\r\n" : "\r\n";
            inParagraph = 0;
        }
        const std::string piece = Decorated(rng, Sentence(rng));
        written += CharCount(piece);
        text += piece;
        ++inParagraph;
    }
    return text;
}

std::string QuoteBlock(Random& rng, std::string_view author) {
    std::string quote(author);
    quote += "在上个贴子中说\r\n[quote] ";
    quote += Sentence(rng);
    quote += Sentence(rng);
    quote += " [/quote]\r\n";
    return quote;
}

std::string ShowcaseOpening(Random& rng, std::string_view quotedAuthor) {
    return "[b]这个贴子欢迎大家一直跟下去[/b] :)\r\n" + QuoteBlock(rng, quotedAuthor) + "\r\n";
}

std::string Signature(Random& rng) { return std::string(rng.Pick(kSignatures)); }

std::string AnnouncementText(Random& rng) {
    // A few different lines, in the order they stand.
    constexpr std::size_t count = std::size(kAnnouncementLines);
    const std::size_t first = rng.Below(count);
    const std::size_t lines = static_cast<std::size_t>(rng.Between(2, 4));
    std::string text;
    for (std::size_t i = 0; i < lines; ++i) {
        if (i) text += "\r\n";
        text += kAnnouncementLines[(first + i) % count];
    }
    return text;
}

std::string_view Location(Random& rng) { return rng.Pick(kLocations); }
std::string_view Occupation(Random& rng) { return rng.Pick(kOccupations); }
std::string_view Interests(Random& rng) { return rng.Pick(kInterests); }
std::string_view Nickname(Random& rng) { return rng.Pick(kNicknames); }

std::string MemberName(std::size_t index) {
    const std::size_t base = index % kNameBases;
    std::string name;
    if (base < kChineseBases) {
        name = std::string(kNameHeads[base % std::size(kNameHeads)]) +
               std::string(kNameTails[base / std::size(kNameHeads)]);
    } else {
        name = std::string(kLatinNames[base - kChineseBases]);
    }
    // Bases hold no digits, so base and number together stay unique.
    if (index >= kNameBases) name += std::to_string(index / kNameBases);
    return name;
}

}  // namespace boardseed
