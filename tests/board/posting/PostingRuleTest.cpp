#include "board/posting/PostingRule.h"

#include <gtest/gtest.h>

namespace {

using board::MayPost;
using board::PostKind;
using board::WhoMayPost;

TEST(PostingRuleTest, ReadsTheForumsAccessText) {
    const struct {
        std::string restrict;
        MayPost topics, replies;
    } cases[] = {
        {"", MayPost::Members, MayPost::Members},
        {"private", MayPost::Members, MayPost::Members},
        {"allreg&allreg", MayPost::Members, MayPost::Members},
        {"all&all", MayPost::Members, MayPost::Members},
        {"restrict&allreg", MayPost::Leaders, MayPost::Members},
        {"allreg&restrict", MayPost::Members, MayPost::Leaders},
        {"restrict&none", MayPost::Leaders, MayPost::Nobody},
        {"none&none", MayPost::Members, MayPost::Nobody},  // "none" is a reply choice only
        {"&", MayPost::Members, MayPost::Members},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.restrict);
        EXPECT_EQ(WhoMayPost(c.restrict, PostKind::Topic), c.topics);
        EXPECT_EQ(WhoMayPost(c.restrict, PostKind::Reply), c.replies);
    }
}

}  // namespace
