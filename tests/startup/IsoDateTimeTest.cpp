#include <gtest/gtest.h>

#include "startup/IsoDateTime.h"

namespace kps::test {
namespace {

TEST(IsoDateTime, ReadsDateTimeAndBothWithEitherSeparator) {
    EXPECT_EQ(ParseIsoDateTime("2026-12-07"), (LocalDateTime{2026, 12, 7, 0, 0, 0}));
    EXPECT_EQ(ParseIsoDateTime("22:05:09"), (LocalDateTime{1899, 12, 30, 22, 5, 9}));
    EXPECT_EQ(ParseIsoDateTime("2026-12-07 22:05:09"), (LocalDateTime{2026, 12, 7, 22, 5, 9}));
    EXPECT_EQ(ParseIsoDateTime("2026-12-07T22:05:09"), (LocalDateTime{2026, 12, 7, 22, 5, 9}));
    EXPECT_EQ(ParseIsoDateTime("2026-12-07 22:05:09.997"), (LocalDateTime{2026, 12, 7, 22, 5, 9}));
    EXPECT_EQ(ParseIsoDateTime("07:30"), (LocalDateTime{1899, 12, 30, 7, 30, 0}));
}

TEST(IsoDateTime, RefusesTextThatIsNotAValidIsoValue) {
    for (const char* text :
         {"", "07/12/2026", "2026-13-01", "2026-02-30", "2026-12-07X22:05:09", "24:00:00",
          "22:60:00", "22:05:09.", "2026-12-07 ", "22:05:09Z", "2026-1-07", "tomorrow"}) {
        EXPECT_FALSE(ParseIsoDateTime(text).has_value()) << text;
    }
    EXPECT_TRUE(ParseIsoDateTime("2024-02-29").has_value());
    EXPECT_FALSE(ParseIsoDateTime("2023-02-29").has_value());
}

TEST(IsoDateTime, NoticeCellsTakeTheirOwnPartOfTheValue) {
    const Value both = Value::DateTime("2026-12-07 22:05:09");
    EXPECT_EQ(FormatNoticeDate(both), "07/12/2026");
    EXPECT_EQ(FormatNoticeTime(both), "10:05:09 PM");
    EXPECT_EQ(FormatNoticeDate(Value::Date("2026-01-02")), "02/01/2026");
    EXPECT_EQ(FormatNoticeTime(Value::Text("2026-01-02T09:08:07")), "09:08:07 AM");
    // A date alone is midnight; a time alone is on the neutral day.
    EXPECT_EQ(FormatNoticeTime(Value::Date("2026-01-02")), "12:00:00 AM");
    EXPECT_EQ(FormatNoticeDate(Value::Time("09:08:07")), "30/12/1899");
}

TEST(IsoDateTime, TwelveHourClockNullAndOtherText) {
    const std::pair<Value, std::string> cases[] = {
        {Value::Time("00:05:09"), "12:05:09 AM"},
        {Value::Time("12:05:09"), "12:05:09 PM"},
        {Value::Time("11:59:59"), "11:59:59 AM"},
        {Value::Time("13:00:00"), "01:00:00 PM"},
        {Value::Null(), ""},  // text that is no date or time is shown as it stands
        {Value::Text("07/12/2026 10 pm"), "07/12/2026 10 pm"}};
    for (const auto& [value, shown] : cases) {
        EXPECT_EQ(FormatNoticeTime(value), shown) << shown;
    }
    EXPECT_EQ(FormatNoticeDate(Value::Null()), "");
    EXPECT_EQ(FormatNoticeDate(Value::Text("yesterday")), "yesterday");
}

}  // namespace
}  // namespace kps::test
