#include "sending/TicketReprinter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "output/DirectPort.h"
#include "reprint/ReprintRequest.h"
#include "support/FileBytes.h"
#include "support/SendingFixture.h"

namespace kps::test {
namespace {

using namespace std::string_literals;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// K1 printed a ticket whose first line is its header; the store kept it.
class Reprinting : public SendingFixture {
  protected:
    Reprinting() {
        pinger.reachable = {"127.0.0.1"};
        sending.KeepPrintedTickets(&store);
        ComposeTicket("O");
        ticket.HeaderEnd = 1;
        ticket.TicketKey = "T5";
        ticket.RowPerLine = 42;
        sending.SendTicket();
        sending.SettleReports();
        recorded.executed.clear();
        posPrinter.calls.clear();
        PR_LoadOposSetting(oposCodes, "O");
    }

    std::string state = database.Folder();
    ReprintStore store{state, log};
    TicketReprinter reprinter{db, log, store, sending, 1252};
    PrinterCodes oposCodes;
};

TEST_F(Reprinting, PrintedTicketIsKeptWithItsHeaderItemsKeyAndPaperWidth) {
    const auto kept = store.Recent("K1", 1);
    ASSERT_TRUE(kept);
    EXPECT_THAT(kept->lines, ElementsAre("L1\r\n", "L2\r\n"));
    EXPECT_EQ(kept->headerEnd, 1u);
    EXPECT_THAT(kept->itemIds, ElementsAre("1", "2", "3"));
    EXPECT_EQ(kept->key, "T5");
    EXPECT_EQ(kept->columns, 42);
}

TEST_F(Reprinting, RequestPrintsALabelledCopyAndMarksNothing) {
    WriteReprintRequest(state, "K1", 1);
    reprinter.TakeRequests(state);
    sending.SettleReports();

    ASSERT_EQ(lanes.submitted.size(), 2u);
    const PrintJob& copy = lanes.submitted.back();
    EXPECT_EQ(copy.kind, JobKind::Reprint);
    EXPECT_THAT(copy.itemIds, IsEmpty());
    EXPECT_THAT(posPrinter.Printed(),
                ElementsAre("L1\r\n", oposCodes.CodeCentre + "*** REPRINT ***\r\n", "L2\r\n",
                            oposCodes.CodeFeedCut));
    EXPECT_THAT(recorded.executed, IsEmpty());
    EXPECT_THAT(LogText(), HasSubstr("Reprint 'K1' on request\r\n"));
    // The copy is not kept in place of the ticket, and the request is gone.
    EXPECT_EQ(store.Recent("K1", 2), std::nullopt);
    EXPECT_THAT(TakeReprintRequests(state, log), IsEmpty());
}

TEST_F(Reprinting, AReprintAServerOnStandbyCannotSendIsLoggedRatherThanLostSilently) {
    LeaseFence standby;  // never confirmed: another server prints for the outlet
    LaneJobRunner fenced(posPrinter, pinger, pause, log, nullptr, &standby);
    InlinePrinterLanes fencedLanes(fenced, fenced);
    TicketSendingStep step(ctx, fencedLanes, dialog);
    TicketReprinter onStandby{db, log, store, step, 1252};

    ASSERT_TRUE(onStandby.Reprint("K1", 1));
    step.SettleReports();
    EXPECT_THAT(posPrinter.Printed(), IsEmpty());
    EXPECT_THAT(LogText(), HasSubstr("Error Reprint at 'K1'"));
}

TEST_F(Reprinting, DirectPortKeepsItsTextAndGetsTheLabelInEscPos) {
    database.Exec("UPDATE Kelt_mt_Device SET PrinterType='D', DirectPort='" + PortPath("port.prn") +
                  "' WHERE DeviceName='K1'");
    ComposeTicket("D");
    ticket.RTF = "<C>L1\r\nL2\r\n";
    ticket.HeaderEndInRTF = 7;
    sending.SendTicket();
    sending.SettleReports();
    recorded.executed.clear();

    ASSERT_TRUE(reprinter.Reprint("K1", 1));
    sending.SettleReports();
    EXPECT_EQ(ReadBytes(PortPath("port.prn")), DirectTicketBytes("<C>L1\r\n\x1b"
                                                                 "a\x01*** REPRINT ***\r\n\x1b"
                                                                 "a"s +
                                                                     '\0' + "L2\r\n",
                                                                 1252));
    EXPECT_THAT(recorded.executed, IsEmpty());
}

TEST_F(Reprinting, TestPrintNamesThePrinterAndShowsEveryCharacterOfTheCodePage) {
    ASSERT_TRUE(reprinter.TestPrint("K1", {2026, 12, 9, 6, 0, 0}));
    sending.SettleReports();

    ASSERT_EQ(lanes.submitted.size(), 2u);
    const PrintJob& test = lanes.submitted.back();
    EXPECT_THAT(test.itemIds, IsEmpty());
    const std::vector<std::string> printed = posPrinter.Printed();
    ASSERT_GE(printed.size(), 8u);
    EXPECT_EQ(printed[0], oposCodes.CodeCentre + "TEST PRINT\r\n");
    EXPECT_EQ(printed[1], "Printer: K1\r\n");
    EXPECT_EQ(printed[2], "Address: " + test.address + "\r\n");
    EXPECT_EQ(printed[3], "2026-12-09 06:00:00\r\n");
    EXPECT_EQ(printed[5], "!\"#$%&'()*+,-./0123456789:;<=>?@\r\n");
    std::string all;
    for (const std::string& line : printed) {
        all += line;
    }
    EXPECT_THAT(all, HasSubstr("\u20AC"));  // 0x80 of 1252
    EXPECT_THAT(all, HasSubstr("\u00FF\r\n"));
    EXPECT_EQ(printed.back(), oposCodes.CodeFeedCut);
    EXPECT_THAT(recorded.executed, IsEmpty());
    EXPECT_FALSE(reprinter.TestPrint("K9", {2026, 12, 9, 6, 0, 0}));
}

TEST_F(Reprinting, UnknownTicketOrPrinterIsLoggedAndNothingIsSent) {
    EXPECT_FALSE(reprinter.Reprint("K1", 2));
    EXPECT_FALSE(reprinter.Reprint("K9", 1));
    EXPECT_EQ(lanes.submitted.size(), 1u);
    EXPECT_THAT(LogText(), HasSubstr("No ticket 2 of 'K1' to reprint"));
}

}  // namespace
}  // namespace kps::test
