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
