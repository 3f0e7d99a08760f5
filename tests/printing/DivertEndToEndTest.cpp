#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <memory>

#include "KitchenTicketFixture.h"
#include "dialogs/HeadlessDivertPolicy.h"
#include "dialogs/TRDIVET.h"
#include "fake-receipt-printer/FakeReceiptPrinter.h"
#include "output/EscPosNetworkPrinter.h"
#include "output/PosPrinterRegistry.h"
#include "printing/TicketSendingStep.h"

namespace kps::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::unique_ptr<FakeReceiptPrinter> StartPrinter(const std::string& address) {
    FakeReceiptPrinter::Options options;
    options.address = address;
    return std::make_unique<FakeReceiptPrinter>(options);
}

// A headless server on a SQLite outlet: kitchen printer K1 (127.0.0.2) does
// not take connections, its divert printer K2 (127.0.0.3) does. Two items of
// table T5 wait for K1.
class DivertEndToEnd : public KitchenTicketFixture {
  protected:
    DivertEndToEnd() {
        ownPrinter->SetRefusing(true);
        std::ofstream(registry.File(), std::ios::binary)
            << "[K1]\r\nHost=127.0.0.2\r\nPort=" << ownPrinter->Port()
            << "\r\n[K2]\r\nHost=127.0.0.3\r\nPort=" << divertPrinter->Port() << "\r\n";
        const std::string layout = WriteLayout("Kit.ini",
                                               "[BODY]\r\nFormat=2\r\nPosDescriptionLine="
                                               "PosDescription\r\n[GENERAL]\r\nRowPerLine=40\r\n");
        AddGroup("G1", "O");
        AddItem("BURG", "G1");
        AddDevice(1, "K1", "O", layout);
        AddDevice(2, "K2", "O", layout);
        database.Exec(
            "UPDATE Kelt_mt_Device SET LDNName='127.0.0.2', OptionPrinter1=2 WHERE DeviceCode=1");
        database.Exec("UPDATE Kelt_mt_Device SET LDNName='127.0.0.3' WHERE DeviceCode=2");
        window.DeviceList().Requery();
        AddWaiting(1, "T5", "BURG");
        AddWaiting(2, "T5", "BURG");
        pinger.reachable = {"127.0.0.2", "127.0.0.3"};
    }

    std::unique_ptr<FakeReceiptPrinter> ownPrinter = StartPrinter("127.0.0.2");
    std::unique_ptr<FakeReceiptPrinter> divertPrinter = StartPrinter("127.0.0.3");
    PosPrinterRegistry registry{database.Folder() + "/PosPrinters.ini", 1252};
    EscPosNetworkPrinter mainPrinter{registry};
    EscPosNetworkPrinter dialogPrinter{registry};
    OposPrinterRoutines mainOpos{mainPrinter, pinger, pause, log, op};
    PrintContext server{db,       log,   clock,  op,     window, systemPrinter,
                        mainOpos, codes, device, ticket, divert};
    TRDIVET dialog{dialogPrinter, pinger, pause, log, op, codes, divert};
    HeadlessDivertPolicy headless;
    TicketSendingStep sending{server, dialog, headless};
    KitchenTicketComposer serverComposer{server, sending};
    PrintQueueDispatcher serverDispatcher{server, serverComposer};
};

TEST_F(DivertEndToEnd, TicketComesOutOfTheDivertPrinterAndNothingWaits) {
    serverDispatcher.DispatchPrintQueue();

    ASSERT_TRUE(divertPrinter->WaitForJobs(1, std::chrono::seconds(5)));
    const std::string bytes = divertPrinter->Jobs().front().bytes;
    EXPECT_THAT(bytes, HasSubstr("*Divert From K1"));
    EXPECT_THAT(bytes, HasSubstr("Burger"));
    EXPECT_TRUE(ownPrinter->Jobs().empty());
    EXPECT_EQ(PrintStatus(1), 1);
    EXPECT_EQ(PrintStatus(2), 1);
    const std::string logText = LogText();
    EXPECT_THAT(logText, HasSubstr("Error Open Printer 'K1'\r\n"));
    EXPECT_THAT(logText, HasSubstr("Retry Printing at 'K2'\r\n"));
    EXPECT_THAT(logText, HasSubstr("Printing Success divert to 'K2'\r\n"));
}

TEST_F(DivertEndToEnd, BothPrintersDownLeavesTheItemsWaitingUncancelled) {
    divertPrinter->SetRefusing(true);
    serverDispatcher.DispatchPrintQueue();

    EXPECT_EQ(PrintStatus(1), 0);
    EXPECT_EQ(PrintStatus(2), 0);
    EXPECT_TRUE(divert.CancelledPrinters.empty());
    EXPECT_TRUE(divertPrinter->Jobs().empty());
    EXPECT_THAT(LogText(), HasSubstr("Retry Printing at 'K2'\r\n"));
    EXPECT_THAT(LogText(), Not(HasSubstr("Printing Success")));
}

}  // namespace
}  // namespace kps::test
