#include <gtest/gtest.h>

#include "output/SystemPrinter.h"
#include "support/Fakes.h"

namespace kps::test {
namespace {

TEST(SelectSystemPrinterByNameTest, MatchesTrimmedNamesWhateverTheirCase) {
    FakeSystemPrinter printer;
    printer.names = {"Office", "  Kitchen Laser ", "Bar"};
    printer.current = "Office";

    EXPECT_TRUE(SelectSystemPrinterByName(printer, "kitchen laser  "));
    EXPECT_EQ(printer.current, "  Kitchen Laser ");
    EXPECT_EQ(printer.calls, std::vector<std::string>{"select   Kitchen Laser "});
}

TEST(SelectSystemPrinterByNameTest, FirstMatchWins) {
    FakeSystemPrinter printer;
    printer.names = {"bar", "BAR ", "Bar"};

    EXPECT_TRUE(SelectSystemPrinterByName(printer, "Bar"));
    EXPECT_EQ(printer.current, "bar");
    EXPECT_EQ(printer.calls.size(), 1u);
}

TEST(SelectSystemPrinterByNameTest, NoMatchKeepsTheCurrentPrinter) {
    FakeSystemPrinter printer;
    printer.names = {"Office", "Bar"};
    printer.current = "Office";

    // Blanks inside the name count: only the ends are trimmed.
    EXPECT_FALSE(SelectSystemPrinterByName(printer, "Of fice"));
    EXPECT_FALSE(SelectSystemPrinterByName(printer, "Kitchen"));
    EXPECT_EQ(printer.current, "Office");
    EXPECT_TRUE(printer.calls.empty());
}

}  // namespace
}  // namespace kps::test
