#include <gtest/gtest.h>

#include "startup/FlagText.h"

namespace kps::test {
namespace {

TEST(FlagTextTest, OnlyCapitalOCountsAndPositionsAreCharacters) {
    EXPECT_EQ(FlaggedPositions("OXO"), (std::vector<int>{1, 3}));
    EXPECT_TRUE(FlaggedPositions("oXx").empty());
    EXPECT_TRUE(FlaggedPositions("").empty());
    // A letter of two bytes is still one position.
    EXPECT_EQ(FlaggedPositions("\xC3\x96O"), (std::vector<int>{2}));

    EXPECT_TRUE(FlagIsOn("XO", 2));
    EXPECT_FALSE(FlagIsOn("XO", 1));
    EXPECT_FALSE(FlagIsOn("XO", 3));
    EXPECT_FALSE(FlagIsOn("XO", 0));
}

}  // namespace
}  // namespace kps::test
