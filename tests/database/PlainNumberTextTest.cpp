#include <gtest/gtest.h>

#include "database/Value.h"

namespace kps::test {
namespace {

TEST(PlainNumberTextTest, WritesTheShortestFormThatReadsBack) {
    EXPECT_EQ(PlainNumberText(2.0), "2");
    EXPECT_EQ(PlainNumberText(-0.0), "0");
    EXPECT_EQ(PlainNumberText(2.5), "2.5");
    EXPECT_EQ(PlainNumberText(0.1), "0.1");
    EXPECT_EQ(PlainNumberText(-12.75), "-12.75");
    EXPECT_EQ(PlainNumberText(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(PlainNumberText(123456789012.5), "123456789012.5");
    EXPECT_EQ(Value::Real(3.0).AsText(), "3");
}

}  // namespace
}  // namespace kps::test
