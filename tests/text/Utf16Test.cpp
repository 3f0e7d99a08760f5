#include <gtest/gtest.h>

#include "text/Utf16.h"

namespace kps::test {
namespace {

TEST(Utf16Test, RoundTripsEveryPlane) {
    std::string text = "Kit \u00e9 \u20ac \U0001F355";
    std::u16string wide = Utf8ToUtf16(text);
    EXPECT_EQ(wide, u"Kit \u00e9 \u20ac \U0001F355");
    EXPECT_EQ(wide.size(), 10u);  // the last character takes a surrogate pair
    EXPECT_EQ(Utf16ToUtf8(wide), text);
    EXPECT_EQ(Utf16ToUtf8(u""), "");
}

TEST(Utf16Test, MalformedInputBecomesTheReplacementCharacter) {
    EXPECT_EQ(Utf8ToUtf16("a\xff"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xc3"), u"\uFFFD");          // cut short
    EXPECT_EQ(Utf8ToUtf16("\xc0\xaf"), u"\uFFFD");      // overlong "/"
    EXPECT_EQ(Utf8ToUtf16("\xed\xa0\x80"), u"\uFFFD");  // encoded surrogate
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800') + u"x"), "\xef\xbf\xbdx");
}

}  // namespace
}  // namespace kps::test
