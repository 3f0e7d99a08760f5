#include <gtest/gtest.h>

#include "output/SystemPrinter.h"
#include "support/Fakes.h"

namespace kps::test {
namespace {

TEST(SelectSystemPrinterByNameTest, FirstTrimmedMatchWhateverItsCaseElseTheCurrentOneStays) {
    FakeSystemPrinter printer;
    printer.names = {"Office", "  Kitchen Laser ", "KITCHEN LASER", "Bar"};
    printer.current = "Office";

    // Blanks inside the name count: only the ends are trimmed.
    EXPECT_FALSE(SelectSystemPrinterByName(printer, "Of fice"));
    EXPECT_FALSE(SelectSystemPrinterByName(printer, "Kitchen"));
    EXPECT_EQ(printer.current, "Office");
    EXPECT_TRUE(printer.calls.empty());

    EXPECT_TRUE(SelectSystemPrinterByName(printer, "kitchen laser  "));
    EXPECT_EQ(printer.current, "  Kitchen Laser ");
    EXPECT_EQ(printer.calls, std::vector<std::string>{"select   Kitchen Laser "});
}

}  // namespace
}  // namespace kps::test
