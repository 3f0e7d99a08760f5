#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <thread>

#include "dialogs/TRDIVET.h"
#include "fake-receipt-printer/FakeReceiptPrinter.h"
#include "output/EscPosDecoder.h"
#include "output/EscPosNetworkPrinter.h"
#include "output/PosPrinterRegistry.h"
#include "sending/LaneJobRunner.h"
#include "sending/SystemPrinterJobRunner.h"
#include "sending/ThreadedPrinterLanes.h"
#include "sending/TicketSendingStep.h"
#include "support/FileBytes.h"
#include "support/KitchenTicketFixture.h"
#include "tickets/SentTicketBytes.h"
#include "tickets/TicketPreview.h"

namespace kps::test {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

std::unique_ptr<FakeReceiptPrinter> StartPrinter(const std::string& address) {
    FakeReceiptPrinter::Options options;
    options.address = address;
    return std::make_unique<FakeReceiptPrinter>(options);
}

// Every loopback address answers; the lanes' printer connections tell the rest.
class LoopbackPinger final : public Pinger {
  public:
    bool PingAddress(const std::string&) override { return true; }
};

// A lane's own printer control on the registry, as the server builds it.
class LoopbackLaneRunner final : public JobRunner {
  public:
    LoopbackLaneRunner(const PosPrinterRegistry& registry, const PrintLog& log,
                       SystemPrinter& systemPrinter, const Clock& clock)
        : printer_(registry, log),
          runner_(printer_, pinger_, pause_, log),
          systemRunner_(systemPrinter, clock, nullptr) {}
    JobReport Run(const PrintJob& job) override {
        return job.printingType == "W" ? systemRunner_.Run(job) : runner_.Run(job);
    }

  private:
    EscPosNetworkPrinter printer_;
    LoopbackPinger pinger_;
    FakeWaitPause pause_;
    LaneJobRunner runner_;
    SystemPrinterJobRunner systemRunner_;
};

// Keeps the question open, as a window does until the operator answers.
class WaitingHost final : public DivertDialogHost, private DivertDialogView {
  public:
    void Show(TRDIVET& dialog) override {
        ++shown;
        dialog.Open(*this);
    }
    bool KeepAsking(TRDIVET&) override { return true; }
    void Hide(TRDIVET&) override {}
    int shown = 0;

  private:
    int SetWindowTopmost(bool) override { return 1; }
    void Repaint() override {}
};

// Network printer K1 (127.0.0.2) refuses connections and diverts to K2
// (127.0.0.3); K3 (127.0.0.4) is healthy; D1 is a direct port. Table T5
// orders one item for each, table T6 a second one for K3.
class LanesEndToEnd : public KitchenTicketFixture {
  protected:
    LanesEndToEnd() {
        lease.Confirm(steady.now.load());
        lease.Publish(true);
        k1->SetRefusing(true);
        std::ofstream(registry.File(), std::ios::binary)
            << "[K1]\r\nHost=127.0.0.2\r\nPort=" << k1->Port()
            << "\r\n[K2]\r\nHost=127.0.0.3\r\nPort=" << k2->Port()
            << "\r\nReleasePause=0\r\n[K3]\r\nHost=127.0.0.4\r\nPort=" << k3->Port()
            << "\r\nReleasePause=0\r\n";
        const std::string layout = WriteLayout("Kit.ini",
                                               "[BODY]\r\nFormat=2\r\nPosDescriptionLine="
                                               "PosDescription\r\n[GENERAL]\r\nRowPerLine=40\r\n");
        AddGroup("G1", "O");
        AddGroup("G3", "XXO");
        AddGroup("G4", "XXXO");
        AddItem("BURG", "G1");
        AddItem("FRY", "G3");
        AddItem("SOUP", "G4");
        for (const auto& [code, name, type] :
             {std::tuple{1, "K1", "O"}, {2, "K2", "O"}, {3, "K3", "O"}, {4, "D1", "D"}}) {
            AddDevice(code, name, type, layout);
        }
        database.Exec(
            "UPDATE Kelt_mt_Device SET LDNName='127.0.0.2', OptionPrinter1=2 WHERE DeviceCode=1");
        database.Exec("UPDATE Kelt_mt_Device SET LDNName='127.0.0.3' WHERE DeviceCode=2");
        database.Exec("UPDATE Kelt_mt_Device SET LDNName='127.0.0.4' WHERE DeviceCode=3");
        database.Exec("UPDATE Kelt_mt_Device SET DirectPort='" + port + "' WHERE DeviceCode=4");
        window.DeviceList().Requery();
        AddWaiting(1, "T5", "BURG");
        AddWaiting(2, "T5", "FRY", {{"PosDescription", "'Fries first'"}});
        AddWaiting(3, "T5", "SOUP", {{"PosDescription", "'Soup'"}});
        AddWaiting(4, "T6", "FRY", {{"PosDescription", "'Fries second'"}});
    }

    // Settles reports, as ticks do, until `done` or five seconds passed.
    bool SettleUntil(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            sending.SettleReports();
            if (done()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    std::unique_ptr<FakeReceiptPrinter> k1 = StartPrinter("127.0.0.2");
    std::unique_ptr<FakeReceiptPrinter> k2 = StartPrinter("127.0.0.3");
    std::unique_ptr<FakeReceiptPrinter> k3 = StartPrinter("127.0.0.4");
    std::string port = database.Folder() + "/d1.prn";
    PosPrinterRegistry registry{database.Folder() + "/PosPrinters.ini", 1252};
    FakeSteadyTime steady;
    LeaseFence lease{kLeaseFenceBound, steady.Source()};
    ThreadedPrinterLanes threaded{[this] {
                                      return std::make_unique<LoopbackLaneRunner>(
                                          registry, log, systemPrinter, clock);
                                  },
                                  &lease};
    WaitingHost host;
    TRDIVET dialog{sending, host, log, op};
    TicketSendingStep sending{ctx, threaded, dialog};
    KitchenTicketComposer serverComposer{ctx, sending};
    PrintQueueDispatcher serverDispatcher{ctx, serverComposer};
};

TEST_F(LanesEndToEnd, AFailingPrinterDelaysOnlyItselfAndDivertsWhenAsked) {
    serverDispatcher.DispatchPrintQueue();

    ASSERT_TRUE(SettleUntil([&] {
        return PrintStatus(2) == 1 && PrintStatus(3) == 1 && PrintStatus(4) == 1 && host.shown == 1;
    }));
    ASSERT_EQ(k3->Jobs().size(), 2u);
    EXPECT_THAT(k3->Jobs()[0].bytes, HasSubstr("Fries first"));
    EXPECT_THAT(k3->Jobs()[1].bytes, HasSubstr("Fries second"));
    EXPECT_THAT(ReadBytes(port), HasSubstr("Soup"));
    // K1's question waits for the operator; its item waits too.
    EXPECT_EQ(PrintStatus(1), 0);
    EXPECT_EQ(dialog.OriPrinter, "K1");
    EXPECT_TRUE(k1->Jobs().empty());
    serverDispatcher.DispatchPrintQueue();
    EXPECT_EQ(k3->Jobs().size(), 2u);

    dialog.Command1();
    ASSERT_TRUE(SettleUntil([&] { return PrintStatus(1) == 1; }));
    ASSERT_EQ(k2->Jobs().size(), 1u);
    EXPECT_THAT(k2->Jobs()[0].bytes, HasSubstr("*Divert From K1"));
    EXPECT_THAT(k2->Jobs()[0].bytes, HasSubstr("Burger"));
    const std::string logText = LogText();
    EXPECT_THAT(logText, HasSubstr("Error Open Printer 'K1'\r\n"));
    EXPECT_THAT(logText, HasSubstr("Printing Success divert to 'K2'\r\n"));
}

TEST_F(LanesEndToEnd, WithoutTheLeaseNoLaneSendsAByteAndEveryItemStaysWaiting) {
    lease.Publish(false);
    serverDispatcher.DispatchPrintQueue();

    ASSERT_TRUE(SettleUntil([&] {
        return !records.Holds("1") && !records.Holds("2") && !records.Holds("3") &&
               !records.Holds("4");
    }));
    EXPECT_TRUE(k2->Jobs().empty());
    EXPECT_TRUE(k3->Jobs().empty());
    EXPECT_EQ(ReadBytes(port), "");
    EXPECT_EQ(host.shown, 0) << "no divert question for a ticket never sent";
    for (int id = 1; id <= 4; ++id) {
        EXPECT_EQ(PrintStatus(id), 0);
    }
}

TEST_F(LanesEndToEnd, PreviewHoldsTheBytesTheServerThenSendsAndMarksNothing) {
    std::map<std::string, PreviewTicket> preview;
    for (const PreviewTicket& ticket :
         PreviewPrintQueue(db, log, clock, op, window, ctx.codePage, ctx.settingsFolder)) {
        preview[ticket.job.device + "/" + ticket.key] = ticket;
    }
    ASSERT_EQ(preview.size(), 4u);
    EXPECT_THAT(db.executed, IsEmpty());
    EXPECT_TRUE(k3->Jobs().empty());
    EXPECT_THAT(PreviewText(preview["K1/T5"]), HasSubstr("Burger"));
    EXPECT_EQ(PreviewFileStem(preview["K3/T6"], 4), "04-K3-T6");

    serverDispatcher.DispatchPrintQueue();
    ASSERT_TRUE(SettleUntil([&] { return PrintStatus(2) == 1 && PrintStatus(4) == 1; }));
    const auto jobs = k3->Jobs();
    ASSERT_EQ(jobs.size(), 2u);
    // After the cut the printer is asked whether it printed.
    EXPECT_THAT(std::string(FakeReceiptPrinter::TicketBytes(jobs[0]).at(0)),
                StartsWith(SentTicketBytes(preview["K3/T5"].job)));
    EXPECT_THAT(std::string(FakeReceiptPrinter::TicketBytes(jobs[1]).at(0)),
                StartsWith(SentTicketBytes(preview["K3/T6"].job)));
    EXPECT_EQ(ReadBytes(port), SentTicketBytes(preview["D1/T5"].job));
}

// Every item line form, on the network and the direct-port printer.
TEST_F(LanesEndToEnd, PreviewInEveryFormatIsWhatThePrintersGet) {
    database.Exec("UPDATE kelt_trs_printingdetails SET PluCode='P12', Remark1='no salt'");
    for (int format = 1; format <= 4; ++format) {
        SCOPED_TRACE(format);
        const std::string layout = WriteLayout(
            "F" + std::to_string(format) + ".ini",
            "[BODY]\r\nFormat=" + std::to_string(format) +
                "\r\nPosDescriptionLine=PosDescription\r\nPosDescriptionLine1=ItemName\r\n"
                "[GENERAL]\r\nRowPerLine=40\r\n[HEADER]\r\nL1=1C4=Table [VarTableNo]\r\n");
        database.Exec("UPDATE Kelt_mt_Device SET WP_FileName='" + layout + "'");
        database.Exec("UPDATE kelt_trs_printingdetails SET PrintStatus=0 WHERE ID IN (2, 3, 4)");
        window.DeviceList().Requery();
        std::set<std::string> k3Tickets;
        std::string d1Ticket;
        for (const PreviewTicket& ticket :
             PreviewPrintQueue(db, log, clock, op, window, ctx.codePage, ctx.settingsFolder)) {
            if (ticket.job.device == "K3") {
                k3Tickets.insert(SentTicketBytes(ticket.job));
            } else if (ticket.job.device == "D1") {
                d1Ticket = SentTicketBytes(ticket.job);
            }
        }
        ASSERT_EQ(k3Tickets.size(), 2u);
        EXPECT_THAT(DecodeEscPos(d1Ticket), HasSubstr("* no salt"));

        const std::size_t before = k3->Jobs().size();
        serverDispatcher.DispatchPrintQueue();
        ASSERT_TRUE(SettleUntil(
            [&] { return PrintStatus(2) == 1 && PrintStatus(3) == 1 && PrintStatus(4) == 1; }));
        const auto jobs = k3->Jobs();
        ASSERT_EQ(jobs.size(), before + 2);
        for (std::size_t j = before; j < jobs.size(); ++j) {
            const std::string sent(FakeReceiptPrinter::TicketBytes(jobs[j]).at(0));
            EXPECT_TRUE(std::any_of(k3Tickets.begin(), k3Tickets.end(), [&](const std::string& p) {
                return sent.starts_with(p);
            })) << DecodeEscPos(sent);
        }
        EXPECT_EQ(ReadBytes(port), d1Ticket);
    }
}

TEST_F(LanesEndToEnd, PreviewOfASystemPrinterTicketIsTheLinesItDraws) {
    // Two system printers in the group: the first takes the items.
    AddGroup("G5", "XXXXOO");
    AddItem("CAKE", "G5");
    const std::string layout =
        WriteLayout("W.ini",
                    "[BODY]\r\nFormat=2\r\nPosDescriptionLine=PosDescription\r\n"
                    "[GENERAL]\r\nRowPerLine=40\r\n[HEADER]\r\nL1=0C4=KITCHEN\r\n");
    AddDevice(5, "W1", "W", layout);
    AddDevice(6, "W2", "W", layout);
    AddWaiting(5, "T7", "CAKE", {{"PosDescription", "'Cake'"}, {"Remark1", "'warm'"}});
    std::vector<std::string> previewed;
    for (const PreviewTicket& ticket :
         PreviewPrintQueue(db, log, clock, op, window, ctx.codePage, ctx.settingsFolder)) {
        for (const SystemPrinterLine& line : ticket.page) {
            previewed.push_back(line.text);
        }
        if (ticket.job.device == "W1") {
            EXPECT_EQ(ticket.page.back().red, 255);
        }
    }
    EXPECT_TRUE(systemPrinter.calls.empty());

    serverDispatcher.DispatchPrintQueue();
    ASSERT_TRUE(threaded.Finish(std::chrono::seconds(10)));
    std::vector<std::string> drawn;
    for (const std::string& call : systemPrinter.calls) {
        if (call.starts_with("line ")) {
            drawn.push_back(call.substr(5));
        }
    }
    EXPECT_EQ(previewed, drawn);
    EXPECT_THAT(drawn, ::testing::Contains("   * warm"));
}

}  // namespace
}  // namespace kps::test
