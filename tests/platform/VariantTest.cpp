#include <gtest/gtest.h>

#include "platform/Convert.h"
#include "platform/Error.h"
#include "platform/Variant.h"

using namespace platform;

TEST(Variant, EmptyEqualsEmptyTextAndZero) {
    Variant empty;
    EXPECT_TRUE(empty == Variant(""));
    EXPECT_TRUE(empty == Variant(0));
    EXPECT_FALSE(Variant("") == Variant(0));
    EXPECT_FALSE(Variant(0) == Variant(""));
}

TEST(Variant, NullConcatenatesAsEmptyButDoesNotConvert) {
    Variant null = Variant::null();
    EXPECT_EQ(std::string("a") + null, "a");
    EXPECT_FALSE(null == null);
    try {
        CStr(null);
        FAIL();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 94);
    }
}

TEST(Variant, ArrayIsCopiedByValue) {
    Variant a = VariantArray(6, 3, Variant(""));
    Variant b = a;
    b.array().at(1, 2) = Variant("x");
    EXPECT_TRUE(a.array().at(1, 2) == Variant(""));
    EXPECT_TRUE(b.array().at(1, 2) == Variant("x"));
    EXPECT_THROW(a.array().at(6, 0), RuntimeError);
}

TEST(Variant, EqualityAcrossTypes) {
    struct Case {
        Variant a, b;
        bool equal;
    } cases[] = {
        {Variant(1), Variant::integer(1), true},
        {Variant(2.0), Variant::byte(2), true},
        {Variant(true), Variant(-1), true},
        {Variant(5), Variant("5"), true},
        {Variant("1,000"), Variant(1000), true},
        {Variant(5), Variant("5x"), false},
        {Variant("abc"), Variant("ABC"), false},
        {Variant(), Variant(false), true},
        {Variant(), Variant::null(), false},
        {Variant::null(), Variant(""), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.a == c.b, c.equal) << c.a.str() << " vs " << c.b.str();
        EXPECT_EQ(c.b == c.a, c.equal) << c.b.str() << " vs " << c.a.str();
    }
}

TEST(Variant, ConcatenationWritesValuesAsText) {
    EXPECT_EQ(std::string("n=") + Variant(1.5), "n=1.5");
    EXPECT_EQ(Variant(true) + std::string("!"), "True!");
    EXPECT_EQ(std::string("") + Variant(), "");
}

TEST(Variant, MovedFromIsEmpty) {
    Variant a = VariantArray(2, 2);
    Variant b = std::move(a);
    EXPECT_TRUE(a.isEmpty());
    EXPECT_EQ(b.array().size1(), 2u);
    Variant c("text");
    c = std::move(b);
    EXPECT_TRUE(b.isEmpty());
    EXPECT_TRUE(c.isArray());
}
