#include <gtest/gtest.h>

#include "reprint/ReprintLabel.h"
#include "support/NoticeTestFixture.h"
#include "text/KpsError.h"
#include "tickets/TableExchangeTicket.h"

namespace kps::test {
namespace {

const std::string kEsc = "\x1b";
const std::string kBig = kEsc + "|4C";
const std::string kNormal = kEsc + "|1C";
const std::string kCentre = kEsc + "|cA";

class TableExchangeTicketTest : public NoticeTestFixture {
  protected:
    // Puts one notice into grid row k, with the given remarks in columns 1..5.
    void SetRow(std::size_t k, std::vector<std::string> remarks = {}) {
        ticket.PrtData.resize(k + 1, std::vector<std::string>(15));
        auto& row = ticket.PrtData[k];
        for (std::size_t i = 0; i < remarks.size(); ++i) {
            row[i + 1] = remarks[i];
        }
        row[6] = "T1";
        row[7] = "T5";
        row[8] = "07/12/2026";
        row[9] = "10:05:09 PM";
    }

    // Adds the device and loads it as the dispatch would before printing.
    void UseDevice(int code, const std::string& name, const std::string& type,
                   const std::string& address = "127.0.0.1") {
        AddDevice(code, name, type, "", address);
        dispatcher.LoadDeviceSetting(code);
    }

    // True when the device took the ticket, as its lane reported.
    bool Print(int k = 0) {
        TableExchangeTicket(ctx, sending).PrintTableExchangeTicket(k, "1");
        sending.SettleReports();
        const bool delivered = records.Delivered("1", device.DeviceName);
        records.ForgetNotice("1");
        return delivered;
    }
};

TEST_F(TableExchangeTicketTest, OposTicketLinesCarryTheirCodesAndEndWithTheCut) {
    UseDevice(1, "KITCHEN1", "O");
    SetRow(0, {"No onions"});
    ticket.List3 = {"left over"};

    EXPECT_TRUE(Print());

    const std::vector<std::string> lines = {
        kBig + kCentre + "*TABLE EXCHANGE*\r\n",
        "\r\n",
        kBig + "From -> T1\r\n",
        kBig + "To   -> T5\r\n",
        kBig + "\r\n",
        kNormal + "No onions\r\n",
        kNormal + kCentre + "07/12/2026 10:05:09 PM\r\n",
        kNormal + kCentre + "\r\n\r\n",
    };
    EXPECT_EQ(ticket.List3, lines);
    std::string text;
    for (const auto& line : lines) {
        text += line;
    }
    EXPECT_EQ(ticket.RTF, text);
    EXPECT_EQ(ticket.OutputMode, "O");

    auto printed = lines;
    printed.push_back(kEsc + "|fP");
    EXPECT_EQ(posPrinter.Printed(), printed);
    EXPECT_EQ(posPrinter.calls.front(), "Open KITCHEN1");
    EXPECT_FALSE(posPrinter.open);
}

TEST_F(TableExchangeTicketTest, RemarksPrintInOrderOnlyWhenFilledAndNeverTheFifth) {
    UseDevice(1, "KITCHEN1", "O");

    SetRow(0, {"First", "", "Third", "", "Fifth"});
    ASSERT_TRUE(Print());
    ASSERT_EQ(ticket.List3.size(), 9u);
    EXPECT_EQ(ticket.List3[5], kNormal + "First\r\n");
    EXPECT_EQ(ticket.List3[6], kNormal + "Third\r\n");

    SetRow(0, {"", "", "", "", "Only the fifth"});
    ASSERT_TRUE(Print());
    EXPECT_EQ(ticket.List3.size(), 7u);
    EXPECT_EQ(ticket.RTF.find("Only the fifth"), std::string::npos);
}

TEST_F(TableExchangeTicketTest, OposPrinterThatDoesNotOpenPrintsNothing) {
    UseDevice(1, "KITCHEN1", "O", "127.0.0.9");
    pinger.reachable.clear();
    SetRow(0);

    EXPECT_FALSE(Print());
    EXPECT_TRUE(posPrinter.calls.empty());
    EXPECT_EQ(pinger.pinged, std::vector<std::string>{"127.0.0.9"});

    pinger.reachable = {"127.0.0.9"};
    posPrinter.coverOpen = true;
    EXPECT_FALSE(Print());
    EXPECT_TRUE(posPrinter.Printed().empty());
}

TEST_F(TableExchangeTicketTest, DirectPortReceivesTheWholeTicketAsBytes) {
    UseDevice(2, "BAR", "D");
    SetRow(0, {"Fish first"});

    EXPECT_TRUE(Print());

    const std::string big = std::string("\x1b!0");
    const std::string normal = std::string("\x1b!\0", 3);
    const std::string expected = std::string("\x1b@\r\n\x1b!0\r\n") + big + kCentre +
                                 "*TABLE EXCHANGE*\r\n\r\n" + big + "From -> T1\r\n" + big +
                                 "To   -> T5\r\n" + big + "\r\n" + normal + "Fish first\r\n" +
                                 normal + kCentre + "07/12/2026 10:05:09 PM\r\n" + normal +
                                 kCentre + "\r\n\r\n" + "\r\n" + std::string("\x1dVB\0", 4);
    EXPECT_EQ(ReadBytes(PortPath("BAR.prn")), expected);
}

TEST_F(TableExchangeTicketTest, SystemPrinterIsFoundByTrimmedCapitalNameAndPrintsLineByLine) {
    systemPrinter.names = {"Office", "PASS PRINTER", "Pass Printer"};
    systemPrinter.current = "Office";
    UseDevice(3, " pass printer", "W");
    SetRow(0, {"", "Allergy"});

    EXPECT_TRUE(Print());

    EXPECT_EQ(systemPrinter.current, "PASS PRINTER");
    EXPECT_EQ(ticket.OutputMode, "W");
    std::vector<std::string> calls = {"select PASS PRINTER"};
    for (const auto& [font, text] :
         std::vector<std::pair<std::string, std::string>>{{"LARGE", "*TABLE EXCHANGE*"},
                                                          {"LARGE", "\r\n"},
                                                          {"LARGE", "From -> T1"},
                                                          {"LARGE", "To   -> T5"},
                                                          {"LARGE", ""},
                                                          {"LARGE", "Allergy"},
                                                          {"SMALL", "07/12/2026 10:05:09 PM"},
                                                          {"SMALL", "\r\n"}}) {
        calls.insert(calls.end(), {"font " + font, "colour 0,0,0", "line " + text});
    }
    calls.push_back("end");
    EXPECT_EQ(systemPrinter.calls, calls);
    EXPECT_TRUE(ticket.List3.empty());
    EXPECT_TRUE(ticket.RTF.empty());
}

TEST_F(TableExchangeTicketTest, APossibleSecondCopySaysSoAfterTheHeading) {
    UseDevice(1, "KITCHEN1", "O");
    SetRow(0);
    records.NoteMayBeOnPaper({NoticeCopyKey("1", "KITCHEN1")});
    EXPECT_TRUE(Print());
    ASSERT_GE(ticket.List3.size(), 2u);
    EXPECT_EQ(ticket.List3[0], kBig + kCentre + "*TABLE EXCHANGE*\r\n");
    EXPECT_EQ(ticket.List3[1], kCentre + "*** REPRINT ***\r\n");
}

TEST_F(TableExchangeTicketTest, RowOutsideTheGridIsAnError) {
    UseDevice(1, "KITCHEN1", "O");
    SetRow(0);
    EXPECT_THROW(Print(1), KpsError);
    EXPECT_TRUE(posPrinter.calls.empty());
}

}  // namespace
}  // namespace kps::test
