#include "support/KitchenTicketFixture.h"

namespace kps::test {
namespace {

class PrintQueueDispatcherTest : public KitchenTicketFixture {
  protected:
    PrintQueueDispatcherTest() {
        layout_ =
            WriteLayout("Kit.ini", "[BODY]\r\nFormat=2\r\nPosDescriptionLine=PosDescription\r\n");
    }

    void AddDevices(int count, const std::string& type = "D") {
        for (int code = 1; code <= count; ++code) {
            AddDevice(code, "KITCHEN" + std::to_string(code), type, layout_);
        }
    }

    std::vector<std::string> SentDevices() const {
        std::vector<std::string> names;
        for (const auto& s : sender.sent) {
            names.push_back(s.device);
        }
        return names;
    }

    std::string layout_;
};

TEST_F(PrintQueueDispatcherTest, WalksCapitalOFlagsInDeviceOrder) {
    AddDevices(3);
    AddGroup("G1", "OXO");
    AddItem("BURG", "G1");
    AddWaiting(1, "T5", "BURG");
    dispatcher.DispatchPrintQueue();

    EXPECT_EQ(SentDevices(), (std::vector<std::string>{"KITCHEN1", "KITCHEN3"}));
    EXPECT_EQ(window.captions, (std::vector<std::string>{"Sending to Printer 'KITCHEN1'",
                                                         "Sending to Printer 'KITCHEN3'"}));
    EXPECT_EQ(dispatcher.TicketKeyColumn(), "TableCode");
    EXPECT_EQ(dispatcher.TicketKeyValue().AsText(), "T5");
    EXPECT_EQ(device.PrinterGroupCode, "G1");
    // The dispatch itself writes nothing.
    EXPECT_TRUE(db.executed.empty());
}

TEST_F(PrintQueueDispatcherTest, ATicketsWaitCountsFromThePassThatFirstFoundIt) {
    AddDevices(1);
    AddGroup("G1", "O");
    AddItem("BURG", "G1");
    AddWaiting(1, "T5", "BURG");
    dispatcher.DispatchPrintQueue();
    AddWaiting(2, "T6", "BURG");
    dispatcher.DispatchPrintQueue();
    ASSERT_EQ(sender.sent.size(), 3u);
    // T5 still waits (its printer kept it): found by the first pass, as T6 by
    // the second.
    EXPECT_EQ(sender.sent[1].ids, std::vector<std::string>{"1"});
    EXPECT_EQ(sender.sent[1].found, sender.sent[0].found);
    EXPECT_EQ(sender.sent[2].ids, std::vector<std::string>{"2"});
    EXPECT_GT(sender.sent[2].found, sender.sent[0].found);
    // Once T5 is no longer waiting, its key is forgotten.
    database.Exec("UPDATE kelt_trs_printingdetails SET PrintStatus=1 WHERE ID=1");
    dispatcher.DispatchPrintQueue();
    AddWaiting(3, "T5", "BURG");
    dispatcher.DispatchPrintQueue();
    EXPECT_GT(sender.sent.back().found, sender.sent[2].found);
    // Another group's items of that table, found later, wait from then.
    const auto burgerFound = sender.sent.back().found;
    AddGroup("G2", "O");
    AddItem("COLA", "G2");
    AddWaiting(4, "T5", "COLA");
    dispatcher.DispatchPrintQueue();
    ASSERT_EQ(sender.sent.back().ids, std::vector<std::string>{"4"});
    EXPECT_GT(sender.sent.back().found, burgerFound);
}

TEST_F(PrintQueueDispatcherTest, ALimitedPassLeavesTheRestToTheNextAndNoTicketIsPassedOver) {
    AddDevices(1);
    AddGroup("G1", "O");
    AddItem("BURG", "G1");
    for (int id = 1; id <= 3; ++id) {
        AddWaiting(id, "T" + std::to_string(id),
                   "BURG");  // each stays waiting: its printer keeps it
    }
    int moreLeft = 0;
    dispatcher.LimitPasses(std::chrono::steady_clock::duration::zero(), [&] { ++moreLeft; });
    for (int pass = 0; pass < 4; ++pass) {
        dispatcher.DispatchPrintQueue();
    }
    // One ticket a pass; T1, which keeps waiting, comes again only after T3.
    ASSERT_EQ(sender.sent.size(), 4u);
    EXPECT_EQ(sender.sent[0].ids, std::vector<std::string>{"1"});
    EXPECT_EQ(sender.sent[1].ids, std::vector<std::string>{"2"});
    EXPECT_EQ(sender.sent[2].ids, std::vector<std::string>{"3"});
    EXPECT_EQ(sender.sent[3].ids, std::vector<std::string>{"1"});
    EXPECT_EQ(moreLeft, 3);  // the third pass reached the end; the fourth did not
    EXPECT_EQ(sender.sent[2].found, sender.sent[0].found);  // found by the first pass
}

TEST_F(PrintQueueDispatcherTest, ALimitedPassTriesEachGroupsTicketOfAKeyAndKeysOfOneModeOnly) {
    AddDevices(2);
    AddGroup("G1", "O");
    AddGroup("G2", "XO");
    AddItem("BURG", "G1");
    AddItem("COLA", "G2");
    AddWaiting(1, "T1", "BURG");
    AddWaiting(2, "T1", "COLA");
    AddWaiting(3, "T2", "BURG");
    int moreLeft = 0;
    dispatcher.LimitPasses(std::chrono::hours(1), [&] { ++moreLeft; });
    // Both groups' tickets of table T1 are sent, though the first one keeps
    // its items waiting.
    dispatcher.DispatchPrintQueue();
    ASSERT_EQ(SentDevices(), (std::vector<std::string>{"KITCHEN1", "KITCHEN2", "KITCHEN1"}));
    EXPECT_EQ(moreLeft, 0);
    // Cut short after T1's first ticket, the next pass goes on with the rest.
    sender.sent.clear();
    dispatcher.LimitPasses(std::chrono::steady_clock::duration::zero(), [&] { ++moreLeft; });
    dispatcher.DispatchPrintQueue();
    dispatcher.DispatchPrintQueue();
    ASSERT_EQ(sender.sent.size(), 2u);
    EXPECT_EQ(sender.sent[0].ids, std::vector<std::string>{"1"});
    EXPECT_EQ(sender.sent[1].ids, std::vector<std::string>{"2"});
    // A switch of mode starts over: an item code tried is no table tried.
    database.Exec("UPDATE kelt_trs_printingdetails SET TableCode='BURG' WHERE ID=3");
    window.individualMode = true;
    dispatcher.DispatchPrintQueue();
    window.individualMode = false;
    dispatcher.DispatchPrintQueue();
    ASSERT_EQ(sender.sent.size(), 4u);
    EXPECT_EQ(sender.sent[3].ids, std::vector<std::string>{"1"});
}

TEST_F(PrintQueueDispatcherTest, GroupsWithoutACapitalOSendNowhere) {
    AddDevices(2);
    AddGroup("LOWER", "oo");
    AddGroup("EMPTY", "");
    AddItem("A", "LOWER");
    AddItem("B", "EMPTY");
    AddItem("C", "NOGROUP");  // its group does not exist
    AddWaiting(1, "T1", "A");
    AddWaiting(2, "T2", "B");
    AddWaiting(3, "T3", "C");
    AddWaiting(4, "T4", "UNKNOWN");  // no item row at all
    dispatcher.DispatchPrintQueue();

    EXPECT_TRUE(sender.sent.empty());
    EXPECT_TRUE(window.captions.empty());
    for (long id = 1; id <= 4; ++id) {
        EXPECT_EQ(PrintStatus(id), 0) << id;
    }
}

TEST_F(PrintQueueDispatcherTest, CancelledPrinterIsLoadedButGetsNothing) {
    AddDevices(2);
    AddGroup("G1", "OO");
    AddItem("BURG", "G1");
    AddWaiting(1, "T5", "BURG");
    divert.CancelledPrinters = {"KITCHEN2"};
    dispatcher.DispatchPrintQueue();
    EXPECT_EQ(SentDevices(), std::vector<std::string>{"KITCHEN1"});
    EXPECT_EQ(window.Status(), "Sending to Printer 'KITCHEN2'");

    // A name that differs only in case is not the cancelled printer.
    divert.CancelledPrinters = {"kitchen2"};
    dispatcher.DispatchPrintQueue();
    EXPECT_EQ(SentDevices(), (std::vector<std::string>{"KITCHEN1", "KITCHEN1", "KITCHEN2"}));

    // So is one whose divert question waits for the operator.
    divert.CancelledPrinters.clear();
    PrintJob asking;
    asking.device = "KITCHEN1";
    records.OpenQuestion(records.Compose(asking));
    dispatcher.DispatchPrintQueue();
    EXPECT_EQ(SentDevices().back(), "KITCHEN2");
    EXPECT_EQ(SentDevices().size(), 4u);
}

TEST_F(PrintQueueDispatcherTest, APrinterThatJustFailedIsTriedAgainAtTheNextSecondOnly) {
    AddDevices(1);
    AddGroup("G1", "O");
    AddItem("BURG", "G1");
    AddWaiting(1, "T5", "BURG");
    records.DeviceFailed("KITCHEN1", clock.Now());
    // Passes woken within that second (a report, an order) leave it alone.
    dispatcher.DispatchPrintQueue();
    EXPECT_TRUE(sender.sent.empty());
    clock.Set({2026, 12, 7, 22, 5, 10});
    dispatcher.DispatchPrintQueue();
    EXPECT_EQ(SentDevices(), std::vector<std::string>{"KITCHEN1"});
}

TEST_F(PrintQueueDispatcherTest, FlaggedDevicesThatCannotPrintAreSkipped) {
    AddDevice(1, "KITCHEN1", "D", layout_);
    database.Exec(
        "INSERT INTO Kelt_mt_Device (DeviceCode, DeviceName, PrinterType) VALUES (3, "
        "NULL, 'D'), (4, 'NOTYPE', NULL), (6, 'LOWER', 'w')");
    window.DeviceList().Requery();
    AddGroup("G1", "OOOOOO");  // device 2 and 5 do not exist
    AddItem("BURG", "G1");
    AddWaiting(1, "T5", "BURG");
    dispatcher.DispatchPrintQueue();
    dispatcher.DispatchPrintQueue();
    EXPECT_EQ(SentDevices(), (std::vector<std::string>{"KITCHEN1", "KITCHEN1"}));
    EXPECT_TRUE(systemPrinter.calls.empty());  // "w" draws nothing anywhere
    EXPECT_EQ(device.DeviceName, "KITCHEN1");
    for (int code : {2, 3, 4, 6}) {
        EXPECT_FALSE(dispatcher.LoadDeviceSetting(code)) << code;
    }
    EXPECT_EQ(device.DeviceName, "KITCHEN1");
    const std::string logText = LogText();
    const std::string unknown = "Printing type 'w' of 'LOWER' is unknown";
    EXPECT_NE(logText.find(unknown), std::string::npos);
    EXPECT_EQ(logText.find(unknown), logText.rfind(unknown));  // once, not every pass
}

TEST_F(PrintQueueDispatcherTest, NullDeviceColumnsTakeTheirDefaults) {
    database.Exec(
        "INSERT INTO Kelt_mt_Device (DeviceCode, DeviceName, PrinterType, PrinterFont1)"
        " VALUES (1, 'LASER', 'W', 'Courier'), (2, 'BAR', 'O', 'Courier')");
    window.DeviceList().Requery();

    ASSERT_TRUE(dispatcher.LoadDeviceSetting(1));
    EXPECT_EQ(device.DeviceName, "LASER");
    EXPECT_EQ(device.PrintingType, "W");
    EXPECT_EQ(device.OptionPrinter1, 0);
    EXPECT_EQ(device.DirectPort, "LPT1");
    EXPECT_EQ(device.LDNName, "");
    EXPECT_EQ(device.PrinterFont1, "Courier");
    EXPECT_EQ(device.PrinterFont2, "FONTB1X2");
    EXPECT_EQ(device.PrinterFont3, "FONTB2X1");
    EXPECT_EQ(device.PrinterFont4, "FONTB2X1");
    EXPECT_EQ(device.PrinterRowLine, 40);
    EXPECT_EQ(device.WP_FileName, "Kit001.ini");
    EXPECT_EQ(window.Status(), "Sending to Printer 'LASER'");

    // OPOS and direct-port devices hold the size codes whatever the columns say.
    ASSERT_TRUE(dispatcher.LoadDeviceSetting(2));
    EXPECT_EQ(device.PrinterFont1, "\x1b|1C");
    EXPECT_EQ(device.PrinterFont4, "\x1b|4C");
    EXPECT_EQ(codes.CodeColourOff, "\x0b");
}

TEST_F(PrintQueueDispatcherTest, DeviceColumnsAndDirectSizeCodesAreLoaded) {
    database.Exec(
        "INSERT INTO Kelt_mt_Device (DeviceCode, DeviceName, PrinterType, OptionPrinter1,"
        " DirectPort, LDNName, PrinterFont1, PrinterRowLine, WP_FileName) VALUES"
        " (12, 'PASS', 'D', 3, '/dev/usb/lp0', '127.0.0.5', 'Courier', 42, 'Pass.ini')");
    window.DeviceList().Requery();
    ASSERT_TRUE(dispatcher.LoadDeviceSetting(12));
    EXPECT_EQ(device.OptionPrinter1, 3);
    EXPECT_EQ(device.DirectPort, "/dev/usb/lp0");
    EXPECT_EQ(device.LDNName, "127.0.0.5");
    EXPECT_EQ(device.PrinterRowLine, 42);
    EXPECT_EQ(device.WP_FileName, "Pass.ini");
    EXPECT_EQ(device.PrinterFont1, std::string("\x1b!\x00", 3));
    EXPECT_EQ(device.PrinterFont3, "\x1b! ");
    EXPECT_EQ(codes.FontCode2, "\x1b!\x10");
}

}  // namespace
}  // namespace kps::test
