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

TEST(ExactIntegerTest, TakesOnlyWholeNumbersThatFit) {
    EXPECT_EQ(ExactInteger(Value::Integer(9007199254740993)), 9007199254740993);
    EXPECT_EQ(ExactInteger(Value::Real(42.0)), 42);
    EXPECT_EQ(ExactInteger(Value::Text("-9223372036854775808")), INT64_MIN);
    EXPECT_EQ(ExactInteger(Value::Text("007")), 7);
    for (const Value& value :
         {Value::Null(), Value::Text("abc"), Value::Text(""), Value::Text("-"), Value::Text(" 5"),
          Value::Text("+5"), Value::Text("9223372036854775808"), Value::Real(1.5),
          Value::Real(1e20), Value::Text("1e11"), Value::Date("2026")}) {
        EXPECT_EQ(ExactInteger(value), std::nullopt) << value.AsText();
    }
}

}  // namespace
}  // namespace kps::test
