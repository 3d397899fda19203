#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "core/Module1.h"

namespace {

using platform::Variant;

TEST(RandomString, GivesTheAskedNumberOfDigitsAndLetters) {
    EXPECT_EQ(core::RandomString(Variant(0)), "");
    EXPECT_EQ(core::RandomString(Variant(-4)), "");
    const std::string password = core::RandomString(Variant("6"));
    ASSERT_EQ(password.size(), 6u);
    for (char c : password) EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << c;
}

// Characters of one string and of strings made in the same second must not
// repeat each other (a generator reseeded from the clock would).
TEST(RandomString, CharactersAreIndependent) {
    std::set<std::string> passwords;
    for (int i = 0; i < 20; ++i) passwords.insert(core::RandomString(Variant(6)));
    EXPECT_EQ(passwords.size(), 20u);
    const std::string longer = core::RandomString(Variant(40));
    EXPECT_GT(std::set<char>(longer.begin(), longer.end()).size(), 10u);
}

// Digits, upper- and lower-case letters each make about a third of the text.
TEST(RandomString, KeepsTheThreeClassesEquallyLikely) {
    const std::string text = core::RandomString(Variant(3000));
    int digits = 0, upper = 0;
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c))) ++digits;
        if (std::isupper(static_cast<unsigned char>(c))) ++upper;
    }
    // 1000 expected each; the bounds lie about six standard deviations away.
    EXPECT_GT(digits, 850);
    EXPECT_LT(digits, 1150);
    EXPECT_GT(upper, 850);
    EXPECT_LT(upper, 1150);
}

}  // namespace
