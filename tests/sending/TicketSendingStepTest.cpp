#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "support/FailAfterPrintPrinter.h"
#include "support/SendingFixture.h"

namespace kps::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

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

TEST_F(OposSending, PrintedTicketIsMarkedInOneTransactionWhenTheLaneReports) {
    ComposeTicket("O");
    sending.SendTicket();
    EXPECT_THAT(posPrinter.Printed(), ElementsAre("L1\r\n", "L2\r\n", "<CUT>"));
    EXPECT_EQ(posPrinter.releases, 1);
    EXPECT_THAT(ticket.List1, IsEmpty());
    // Nothing is marked, and the items are not composed again, until the
    // tick takes the lane's report.
    EXPECT_THAT(recorded.executed, IsEmpty());
    EXPECT_TRUE(records.Holds("2"));

    sending.SettleReports();
    EXPECT_THAT(recorded.executed,
                ElementsAre("BEGIN", PrintingUpdate("1"), BillUpdate("11"), PrintingUpdate("2"),
                            BillUpdate("12"), PrintingUpdate("3"), BillUpdate("13"), "COMMIT"));
    for (long id = 1; id <= 3; ++id) {
        EXPECT_EQ(PrintStatus(id), 1);
        EXPECT_EQ(KitchenStatus(10 + id), 1);
    }
    EXPECT_FALSE(records.Holds("2"));
    EXPECT_EQ(window.Status(), "Last Printed on 07/12/2026 22:05:09");
    EXPECT_EQ(host.shown, 0);
}

TEST_F(OposSending, FailedPrintLeavesItemsWaitingWithoutDivert) {
    FailAfterPrintPrinter failing(posPrinter);
    LaneJobRunner failingRunner(failing, pinger, pause, log);
    InlinePrinterLanes failingLanes(failingRunner, divertRunner);
    TicketSendingStep failingSending(ctx, failingLanes, dialog);
    ComposeTicket("O");
    failingSending.SendTicket();
    failingSending.SettleReports();
    EXPECT_THAT(recorded.executed, IsEmpty());
    EXPECT_EQ(host.shown, 0);
    EXPECT_EQ(PrintStatus(1), 0);
    EXPECT_FALSE(records.Holds("1"));        // composed and sent again by the next pass
    EXPECT_TRUE(records.MayBeOnPaper("1"));  // and labelled: its lines may have come out
    // ... at the next second of the clock, however soon a pass is woken.
    EXPECT_TRUE(records.FailedThisSecond("K1", clock.Now()));
    EXPECT_EQ(window.Status(), "Printer 'K1' not printing");
}

TEST_F(OposSending, MarkingThatFailsHalfWayMarksNoneAndIsRetried) {
    ComposeTicket("O");
    db.failOnce = PrintingUpdate("2");
    sending.SendTicket();
    sending.SettleReports();
    EXPECT_THAT(LogText(), HasSubstr("Error Update Transaction\r\n"));
    EXPECT_EQ(recorded.executed.back(), "ROLLBACK");
    for (long id = 1; id <= 3; ++id) {
        EXPECT_EQ(PrintStatus(id), 0);
        EXPECT_EQ(KitchenStatus(10 + id), 0);
    }
    EXPECT_TRUE(records.Holds("1"));  // printed: never composed again

    sending.SettleReports();
    for (long id = 1; id <= 3; ++id) {
        EXPECT_EQ(PrintStatus(id), 1);
    }
    EXPECT_FALSE(records.Holds("1"));
    EXPECT_EQ(posPrinter.Printed().size(), 3u);  // printed once
}

TEST_F(OposSending, TicketsPrintedSinceThePassAreMarkedTogetherAndOneThatFailsAlone) {
    ComposeTicket("O", {"1"});
    sending.SendTicket();
    ComposeTicket("O", {"2", "3"});
    sending.SendTicket();
    database.Exec(
        "CREATE TRIGGER refuse_two BEFORE UPDATE ON kelt_trs_printingdetails WHEN OLD.ID = 2"
        " BEGIN SELECT RAISE(ABORT, 'refused'); END");
    sending.SettleReports();
    // The pass's transaction fails on item 2; each ticket is then tried alone.
    EXPECT_THAT(recorded.executed,
                ElementsAre("BEGIN", PrintingUpdate("1"), BillUpdate("11"), PrintingUpdate("2"),
                            "ROLLBACK", "BEGIN", PrintingUpdate("1"), BillUpdate("11"), "COMMIT",
                            "BEGIN", PrintingUpdate("2"), "ROLLBACK"));
    EXPECT_EQ(PrintStatus(1), 1);
    EXPECT_EQ(PrintStatus(3), 0);
    EXPECT_EQ(KitchenStatus(13), 0);
    EXPECT_TRUE(records.Holds("3"));  // printed: kept and tried again, never composed again
    EXPECT_THAT(LogText(), HasSubstr("Error Update Transaction\r\n"));

    database.Exec("DROP TRIGGER refuse_two");
    recorded.executed.clear();
    sending.SettleReports();
    EXPECT_THAT(recorded.executed, ElementsAre("BEGIN", PrintingUpdate("2"), BillUpdate("12"),
                                               PrintingUpdate("3"), BillUpdate("13"), "COMMIT"));
    EXPECT_FALSE(records.Holds("3"));
    EXPECT_EQ(posPrinter.Printed().size(), 6u);  // each ticket printed once
}

class DivertSending : public SendingFixture {
  protected:
    DivertSending() { pinger.reachable = {"127.0.0.2"}; }  // K1 is down
};

TEST_F(DivertSending, AsksWithoutWaitingThenPrintsOnTheDivertPrinterAndMarks) {
    ComposeTicket("O");
    sending.SendTicket();
    sending.SettleReports();
    EXPECT_EQ(host.shown, 1);
    EXPECT_EQ(host.openedLabel, " Error Sending item to Printer 'K1'");
    EXPECT_EQ(host.printerName, "K2");
    EXPECT_EQ(host.address, "127.0.0.2");
    EXPECT_EQ(host.ownPrinter, "K1");
    EXPECT_TRUE(records.Questioned("K1"));
    EXPECT_TRUE(records.Holds("3"));

    dialog.Command1();
    EXPECT_FALSE(dialog.Command1Enabled);  // until the divert printer's lane reports
    sending.SettleReports();
    EXPECT_TRUE(posPrinter.calls.empty());
    EXPECT_THAT(divertPrinter.Printed(),
                ElementsAre("<C>*Divert From K1\r\n", "L1\r\n", "L2\r\n", "<CUT>"));
    EXPECT_EQ(PrintStatus(3), 1);
    EXPECT_EQ(KitchenStatus(13), 1);
    EXPECT_EQ(host.hidden, 1);
    EXPECT_FALSE(records.Questioned("K1"));
    const std::string logText = LogText();
    EXPECT_THAT(logText, HasSubstr("Error Open Printer 'K1'\r\n"));
    EXPECT_THAT(logText, HasSubstr("Retry Printing at 'K2'\r\n"));
    EXPECT_THAT(logText, HasSubstr("Printing Success divert to 'K2'\r\n"));
}

TEST_F(DivertSending, CancelAfterTwoFailedAttemptsLeavesItemsWaiting) {
    pinger.reachable.clear();
    ComposeTicket("O");
    sending.SendTicket();
    sending.SettleReports();
    for (int attempt = 0; attempt < 2; ++attempt) {
        dialog.Command1();
        sending.SettleReports();
    }
    EXPECT_EQ(dialog.Label1, "ERROR Open Printer 'K2' 2 time(s)");
    EXPECT_TRUE(dialog.Command2Enabled);
    dialog.Command2();
    sending.SettleReports();
    EXPECT_EQ(divert.CancelledPrinters, std::set<std::string>{"K1"});
    EXPECT_THAT(recorded.executed, IsEmpty());
    EXPECT_EQ(PrintStatus(1), 0);
    EXPECT_FALSE(records.Holds("1"));
    EXPECT_THAT(LogText(), HasSubstr("Cancel Printing at printer 'K2'\r\n"));
}

TEST_F(DivertSending, ASecondFailingPrinterWaitsItsTurnAndHeadlessGivesUpAfterOneTry) {
    AddDevice(3, "K3", "127.0.0.3");
    host.keepAsking = false;  // as nobody is there to answer
    ComposeTicket("O", {"1"}, "K1");
    sending.SendTicket();
    ComposeTicket("O", {"2"}, "K3");
    sending.SendTicket();
    sending.SettleReports();
    EXPECT_EQ(host.shown, 1);
    EXPECT_EQ(host.ownPrinter, "K1");
    EXPECT_TRUE(records.Questioned("K3"));

    pinger.reachable.clear();  // the divert printer is down too
    dialog.Command1();
    sending.SettleReports();
    EXPECT_EQ(host.shown, 2);
    EXPECT_EQ(host.ownPrinter, "K3");
    EXPECT_FALSE(records.Holds("1"));  // waiting again, nothing cancelled
    EXPECT_TRUE(divert.CancelledPrinters.empty());
}

TEST_F(DivertSending, LoadDivertDeviceQuotesTheCode) {
    std::string address;
    EXPECT_EQ(sending.LoadDivertDevice("2", address), "K2");
    EXPECT_EQ(address, "127.0.0.2");
    EXPECT_EQ(sending.LoadDivertDevice("2' OR '1'='1", address), "");
    EXPECT_EQ(address, "");
}

using OtherPathSending = SendingFixture;

TEST_F(OtherPathSending, DirectPortFailureIsReportedOncePerOutage) {
    ComposeTicket("D");
    device.DirectPort = PortPath("no-such-folder/port.prn");
    for (int tick = 0; tick < 2; ++tick) {
        sending.SendTicket();
        sending.SettleReports();
        ComposeTicket("D");
        device.DirectPort = PortPath("no-such-folder/port.prn");
    }
    EXPECT_THAT(recorded.executed, IsEmpty());
    EXPECT_EQ(PrintStatus(2), 0);
    EXPECT_EQ(host.shown, 0);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Printer Error !!!");
    EXPECT_EQ(op.messages[0].caption, "Message");

    ComposeTicket("D");
    sending.SendTicket();
    sending.SettleReports();
    EXPECT_EQ(PrintStatus(2), 1);
    const std::string logText = LogText();
    EXPECT_EQ(logText.find("Error Open direct Port"), logText.rfind("Error Open direct Port"));
    EXPECT_THAT(logText, HasSubstr("Printer 'K1' is back\r\n"));
}

TEST_F(OtherPathSending, SystemPrinterMarksWhenItsLaneEndsTheJobAndSaysAnOutageOnce) {
    ComposeTicket("W");
    sending.SendTicket();
    EXPECT_EQ(PrintStatus(1), 0);  // until the tick takes the lane's report
    sending.SettleReports();
    EXPECT_THAT(systemPrinter.calls, ElementsAre("end"));
    EXPECT_EQ(PrintStatus(1), 1);

    database.Exec("UPDATE kelt_trs_printingdetails SET PrintStatus=0");
    systemPrinter.endSucceeds = false;
    recorded.executed.clear();
    for (int second = 10; second < 13; ++second) {
        ComposeTicket("W", {"2"});
        clock.Set({2026, 12, 7, 22, 5, second});
        sending.SendTicket();
        sending.SettleReports();
    }
    EXPECT_THAT(recorded.executed, IsEmpty());
    EXPECT_EQ(PrintStatus(2), 0);
    const std::string logText = LogText();
    EXPECT_NE(logText.find("Error Printing at 'K1'\r\n"), std::string::npos);
    EXPECT_EQ(logText.find("Error Printing at 'K1'"), logText.rfind("Error Printing at 'K1'"));
    // Backed off: tried at 10 s and, a second later, at 11 s; not at 12 s.
    EXPECT_EQ(std::count(systemPrinter.calls.begin(), systemPrinter.calls.end(), "end"), 3);
}

}  // namespace
}  // namespace kps::test
