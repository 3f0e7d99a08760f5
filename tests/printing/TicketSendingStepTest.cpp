#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "SendingFixture.h"
#include "dialogs/FailAfterPrintPrinter.h"

namespace kps::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

std::string PrintingUpdate(const std::string& id) {
    return "Update Kelt_trs_PrintingDetails Set PrintStatus=1 Where ID=" + id;
}

std::string BillUpdate(const std::string& id) {
    return "Update Kelt_trs_BillDetails Set KitchenStatus=1 Where ID=" + id;
}

class OposSending : public SendingFixture {
  protected:
    OposSending() { pinger.reachable = {"127.0.0.1", "127.0.0.2"}; }
};

TEST_F(OposSending, GoodPrintMarksEveryItemInOrder) {
    ComposeTicket("O");
    divert.DivertBanner = "*Divert From K9";
    sending.SendTicket();
    EXPECT_THAT(posPrinter.Printed(), ElementsAre("L1\r\n", "L2\r\n", "<CUT>"));
    EXPECT_THAT(recorded.executed,
                ElementsAre(PrintingUpdate("1"), BillUpdate("11"), PrintingUpdate("2"),
                            BillUpdate("12"), PrintingUpdate("3"), BillUpdate("13")));
    for (long id = 1; id <= 3; ++id) {
        EXPECT_EQ(PrintStatus(id), 1);
        EXPECT_EQ(KitchenStatus(10 + id), 1);
    }
    EXPECT_THAT(ticket.List1, IsEmpty());
    EXPECT_THAT(ticket.List2, IsEmpty());
    EXPECT_TRUE(divert.DivertBanner.empty());
    EXPECT_EQ(host.shown, 0);
}

TEST_F(OposSending, FailedPrintLeavesItemsWaitingWithoutDivert) {
    FailAfterPrintPrinter failing(posPrinter);
    OposPrinterRoutines failingOpos(failing, pinger, pause, log, op);
    PrintContext failingCtx{db,          log,   clock,  op,     window, systemPrinter,
                            failingOpos, codes, device, ticket, divert};
    TicketSendingStep failingSending(failingCtx, dialog, host);
    ComposeTicket("O");
    failingSending.SendTicket();
    EXPECT_TRUE(ticket.PrintFailed);
    EXPECT_THAT(recorded.executed, IsEmpty());
    EXPECT_THAT(ticket.List1, IsEmpty());
    EXPECT_THAT(ticket.List2, IsEmpty());
    EXPECT_EQ(host.shown, 0);
    EXPECT_EQ(PrintStatus(1), 0);

    // Another printer's good ticket in between marks only its own items.
    posPrinter.resultCode = OPOS_SUCCESS;
    ComposeTicket("O", {"2"});
    sending.SendTicket();
    EXPECT_THAT(recorded.executed, ElementsAre(PrintingUpdate("2"), BillUpdate("12")));
    EXPECT_EQ(PrintStatus(1), 0);
    EXPECT_EQ(PrintStatus(2), 1);
}

TEST_F(OposSending, FailedUpdateKeepsTheListsForTheNextMarking) {
    ComposeTicket("O");
    db.failOnce = PrintingUpdate("2");
    sending.SendTicket();
    EXPECT_THAT(LogText(), HasSubstr("Error Update Transaction\r\n"));
    EXPECT_THAT(ticket.List1, ElementsAre("1", "2", "3"));
    EXPECT_THAT(ticket.List2, ElementsAre("11", "12", "13"));
    EXPECT_EQ(PrintStatus(1), 1);  // executed before the failure, stays in effect
    EXPECT_EQ(PrintStatus(2), 0);
    EXPECT_EQ(PrintStatus(3), 0);

    sending.MarkTicketPrinted();
    for (long id = 1; id <= 3; ++id) {
        EXPECT_EQ(PrintStatus(id), 1);
        EXPECT_EQ(KitchenStatus(10 + id), 1);
    }
    EXPECT_THAT(ticket.List1, IsEmpty());
}

class DivertSending : public SendingFixture {
  protected:
    DivertSending() { pinger.reachable = {"127.0.0.2"}; }  // K1 is down

    void PressRetry() {
        host.presses.push_back([](TRDIVET& d) { d.Command1(); });
    }
    void PressCancel() {
        host.presses.push_back([](TRDIVET& d) { d.Command2(); });
    }
};

TEST_F(DivertSending, PrintsOnTheDivertPrinterAndMarksTheItems) {
    ComposeTicket("O");
    PressRetry();
    sending.SendTicket();
    EXPECT_EQ(host.shown, 1);
    EXPECT_EQ(host.openedLabel, " Error Sending item to Printer 'K1'");
    EXPECT_EQ(host.printerName, "K2");
    EXPECT_EQ(host.address, "127.0.0.2");
    EXPECT_EQ(host.ownPrinter, "K1");
    EXPECT_THAT(host.lines, ElementsAre("L1\r\n", "L2\r\n"));
    EXPECT_THAT(host.printingIds, ElementsAre("1", "2", "3"));
    EXPECT_THAT(host.billIds, ElementsAre("11", "12", "13"));
    EXPECT_EQ(divert.DivertBanner, "*Divert From K1");
    EXPECT_TRUE(posPrinter.calls.empty());
    EXPECT_THAT(divertPrinter.Printed(),
                ElementsAre("<C>*Divert From K1\r\n", "L1\r\n", "L2\r\n", "<CUT>"));
    EXPECT_EQ(recorded.executed.size(), 6u);
    EXPECT_EQ(PrintStatus(3), 1);
    EXPECT_EQ(KitchenStatus(13), 1);
    EXPECT_THAT(ticket.List1, IsEmpty());
    EXPECT_THAT(dialog.List1, IsEmpty());
    const std::string logText = LogText();
    EXPECT_THAT(logText, HasSubstr("Error Open Printer 'K1'\r\n"));
    EXPECT_THAT(logText, HasSubstr("Retry Printing at 'K2'\r\n"));
    EXPECT_THAT(logText, HasSubstr("Printing Success divert to 'K2'\r\n"));
}

TEST_F(DivertSending, CancelAfterTwoFailedAttemptsLeavesItemsWaiting) {
    pinger.reachable.clear();
    ComposeTicket("O");
    PressRetry();
    PressRetry();
    PressCancel();
    sending.SendTicket();
    EXPECT_EQ(host.lastLabel, "ERROR Open Printer 'K2' 2 time(s)");
    EXPECT_EQ(divert.CancelledPrinters, std::set<std::string>{"K1"});
    EXPECT_TRUE(ticket.PrintFailed);
    EXPECT_THAT(recorded.executed, IsEmpty());
    EXPECT_THAT(ticket.List1, IsEmpty());
    EXPECT_THAT(ticket.List2, IsEmpty());
    EXPECT_EQ(PrintStatus(1), 0);
    EXPECT_THAT(LogText(), HasSubstr("Cancel Printing at printer 'K2'\r\n"));
}

TEST_F(DivertSending, LoadDivertDeviceQuotesTheCode) {
    EXPECT_EQ(sending.LoadDivertDevice("2"), "K2");
    EXPECT_EQ(ticket.DivertAddress, "127.0.0.2");
    EXPECT_EQ(sending.LoadDivertDevice("2' OR '1'='1"), "");
    EXPECT_EQ(ticket.DivertAddress, "");
}

using OtherPathSending = SendingFixture;

TEST_F(OtherPathSending, DirectPortMarksOnlyAfterAGoodWrite) {
    ComposeTicket("D");
    sending.SendTicket();
    EXPECT_EQ(recorded.executed.size(), 6u);
    EXPECT_EQ(PrintStatus(2), 1);
    EXPECT_THAT(ticket.List1, IsEmpty());

    ComposeTicket("D");
    device.DirectPort = PortPath("no-such-folder/port.prn");
    recorded.executed.clear();
    database.Exec("UPDATE kelt_trs_printingdetails SET PrintStatus=0");
    sending.SendTicket();
    EXPECT_TRUE(ticket.PrintFailed);
    EXPECT_THAT(recorded.executed, IsEmpty());
    EXPECT_THAT(ticket.List1, IsEmpty());
    EXPECT_EQ(PrintStatus(2), 0);
    EXPECT_EQ(host.shown, 0);
}

TEST_F(OtherPathSending, SystemPrinterMarksWhenTheJobEnds) {
    ComposeTicket("W");
    sending.SendTicket();
    EXPECT_THAT(systemPrinter.calls, ElementsAre("end"));
    EXPECT_EQ(PrintStatus(1), 1);

    ComposeTicket("W", {"2"});
    database.Exec("UPDATE kelt_trs_printingdetails SET PrintStatus=0");
    systemPrinter.endSucceeds = false;
    recorded.executed.clear();
    sending.SendTicket();
    EXPECT_THAT(recorded.executed, IsEmpty());
    EXPECT_THAT(ticket.List1, IsEmpty());
    EXPECT_EQ(PrintStatus(2), 0);
    EXPECT_THAT(LogText(), HasSubstr("Error Printing at 'K1'\r\n"));
}

}  // namespace
}  // namespace kps::test
