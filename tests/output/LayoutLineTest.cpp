#include <gtest/gtest.h>

#include "output/LayoutLine.h"

namespace kps::test {
namespace {

const std::string kDate = "07/12/2026";

class LayoutLineTest : public ::testing::Test {
  protected:
    LayoutLineTest() {
        ticket.Header.BillNo = Value::Text("123");
        ticket.Header.PaxNo = Value::Integer(4);
        ticket.Header.TableCode = Value::Text("T5");
        ticket.Header.StaffName = "Anna";
        ticket.Header.DeviceName = "KITCHEN1";
        ticket.RowPerLine = 40;
    }

    std::string Expand(const std::string& line, const std::string& type = "O") {
        return ExpandLayoutLine(line, ticket, type, kDate);
    }

    TicketBuffers ticket;
};

TEST_F(LayoutLineTest, SubstitutesVariablesBySegmentCount) {
    EXPECT_EQ(Expand("0L1=KITCHEN ORDER"), "KITCHEN ORDER");
    EXPECT_EQ(Expand("1L2=Table: [VarTableNo]"), "Table: T5");
    EXPECT_EQ(Expand("2L1=No [VarTicketNo] /Pax [VarPax]"), "No 123 Pax 4");
    EXPECT_EQ(Expand("2L1=No [VarTicketNo] /Pax [VarPaxNo]"), "No 123 ");
    EXPECT_EQ(Expand("1L1=Pax [VarPaxNo]"), "Pax 4");
    EXPECT_EQ(Expand("1L1=Pax [VarPax]"), "");
    EXPECT_EQ(Expand("1L1=Hello"), "");
    EXPECT_EQ(Expand("0L1=Hello"), "Hello");
    EXPECT_EQ(Expand("0L1=[VarTableNo]"), "[VarTableNo]");
    EXPECT_EQ(Expand("1L1=By [DefUserName]!"), "By Anna!");
    EXPECT_EQ(Expand("1L1=On [PR_DefPrinterName]"), "On KITCHEN1");
    EXPECT_EQ(Expand("1L1=Cashier [DefCashierName]."), "Cashier .");
    EXPECT_EQ(Expand("1L1=On [Date]"), "On " + kDate);
    EXPECT_EQ(Expand("1L1=Unknown [vartableno] name"), "");
}

TEST_F(LayoutLineTest, ReadsExactlyCountSegmentsSplitAtSlashes) {
    EXPECT_EQ(Expand("3L1=[VarTicketNo]/x[Nothing]y/-[VarTableNo]/[VarPax]"), "123-T5");
    EXPECT_EQ(Expand("2L1=[VarTicketNo]"), "123");
    EXPECT_EQ(Expand("1L1=a/[VarTableNo]"), "a/T5");
    // Further "=" belong to the template; the prefix before the first is ignored.
    EXPECT_EQ(Expand("0L1junk=a=b"), "a=b");
    EXPECT_EQ(Expand("1L1=x[VarTableNo"), "");
}

TEST_F(LayoutLineTest, NullTableAndGuestsAreReplacedForTheRestOfTheTicket) {
    ticket.Header.TableCode = Value::Null();
    ticket.Header.PaxNo = Value::Null();
    EXPECT_EQ(Expand("0L1=no substitution"), "no substitution");
    EXPECT_TRUE(ticket.Header.TableCode.IsNull());
    EXPECT_EQ(Expand("1L2=Table: [VarTableNo]"), "Table: -");
    EXPECT_EQ(ticket.Header.TableCode.AsText(), "-");
    EXPECT_EQ(ticket.Header.PaxNo.AsText(), "0");
    EXPECT_EQ(Expand("1L1=Pax [VarPaxNo]"), "Pax 0");
}

TEST_F(LayoutLineTest, AlignsRightAndLeft) {
    EXPECT_EQ(Expand("1R1=[Date]"), std::string(30, ' ') + kDate);
    EXPECT_EQ(Expand("0R1=  ab  "), std::string(38, ' ') + "  ab  ");
    EXPECT_EQ(Expand("0L1=  ab"), "  ab");
    EXPECT_EQ(Expand("0Z1=  ab"), "  ab");
    EXPECT_EQ(Expand("0R1=" + std::string(45, 'w')), std::string(45, 'w'));
}

TEST_F(LayoutLineTest, CentresHalfToEven) {
    // (40 - 31) / 2 = 4.5 gives 4; (40 - 33) / 2 = 3.5 gives 4.
    EXPECT_EQ(Expand("0C1=" + std::string(31, 'a')), std::string(4, ' ') + std::string(31, 'a'));
    EXPECT_EQ(Expand("0C1=" + std::string(33, 'a')), std::string(4, ' ') + std::string(33, 'a'));
    EXPECT_EQ(Expand("0C1=ab"), std::string(19, ' ') + "ab");
    // Font 1 is never cut, and a line too wide gets no spaces.
    EXPECT_EQ(Expand("0C1=" + std::string(50, 'a')), std::string(50, 'a'));
    // Characters, not bytes, are counted.
    EXPECT_EQ(Expand("0C1=caf\xc3\xa9"), std::string(18, ' ') + "caf\xc3\xa9");
}

TEST_F(LayoutLineTest, DoubleWidthFontsCentreWithinTwentyByPrintingType) {
    const std::string text = "ABCDEFGHIJKLMNOPQRSTUVWXY";  // 25 characters
    for (const std::string type : {"O", "D"}) {
        EXPECT_EQ(Expand("0C3=" + text, type), text.substr(0, 20)) << type;
        EXPECT_EQ(Expand("0C4=KITCHEN", type), std::string(6, ' ') + "KITCHEN") << type;
        // Font 2 is not double width here: centred within RowPerLine.
        EXPECT_EQ(Expand("0C2=KITCHEN", type), std::string(16, ' ') + "KITCHEN") << type;
    }
    EXPECT_EQ(Expand("0C3=KITCHEN", "W"), std::string(16, ' ') + "KITCHEN");
    EXPECT_EQ(Expand("0C2=KITCHEN", "W"), std::string(6, ' ') + "KITCHEN");
    EXPECT_EQ(Expand("0C4=" + text, "W"), text.substr(0, 20));
    // Other font digits cut to RowPerLine.
    ticket.RowPerLine = 10;
    EXPECT_EQ(Expand("0C2=" + text, "O"), text.substr(0, 10));
}

TEST_F(LayoutLineTest, WidthZeroMeansFortyAndTheTrimmedResultIsKept) {
    ticket.RowPerLine = 0;
    EXPECT_EQ(Expand("0C1=ab"), std::string(19, ' ') + "ab");
    EXPECT_EQ(ticket.RowPerLine, 40);
    EXPECT_EQ(ticket.CurrentLayoutLine, "ab");
    Expand("0L1= x y ");
    EXPECT_EQ(ticket.CurrentLayoutLine, "x y");
}

TEST_F(LayoutLineTest, LineWithoutEqualsHasAnEmptyTemplate) {
    EXPECT_EQ(Expand("1C1"), std::string(20, ' '));
    EXPECT_EQ(Expand("0L1"), "");
    EXPECT_EQ(Expand("=L1=x"), "x");
    EXPECT_EQ(ticket.CurrentLayoutLine, "x");
}

TEST(CentringSpacesTest, CountsTheTrimmedText) {
    EXPECT_EQ(CentringSpaces(20, "<TakeAway>"), std::string(5, ' '));
    EXPECT_EQ(CentringSpaces(20, "  abc  "), std::string(8, ' '));  // 17 / 2 = 8.5 gives 8
    EXPECT_EQ(CentringSpaces(20, std::string(25, 'x')), "");
}

TEST_F(LayoutLineTest, WideCharactersTakeTwoColumnsInPaddingAndCentring) {
    EXPECT_EQ(CentringSpaces(20, "<麻婆豆腐>"), std::string(5, ' '));  // 10 columns
    EXPECT_EQ(Expand("0R1=牛肉麵"), std::string(34, ' ') + "牛肉麵");
    EXPECT_EQ(Expand("0C1=ต้มยำ"), std::string(18, ' ') + "ต้มยำ");  // 4 columns
}

}  // namespace
}  // namespace kps::test
