#include <gtest/gtest.h>

#include <filesystem>

#include "dialogs/HeadlessDivertPolicy.h"
#include "dialogs/TRDIVET.h"
#include "output/PosPrinterRegistry.h"
#include "sending/TicketSendingStep.h"
#include "support/FileBytes.h"
#include "support/KitchenTicketFixture.h"
#include "text/Text.h"

namespace kps::test {
namespace {

const std::string kCrLf = "\r\n";
const std::string kFont1(std::string("\x1b!\x00", 3));

// What a direct port receives for a ticket whose text is `rtf`.
std::string PortBytes(const std::string& rtf) {
    return std::string("\x1b@\r\n\x1b!0\r\n") + rtf + kCrLf + std::string("\x1dV\x42\x00", 4);
}

// An outlet whose kitchen (device 1, group G1) and bar (device 2, group G2)
// print on direct ports that are files, with the server's real sending step.
class DirectPortEndToEndTest : public KitchenTicketFixture,
                               public ::testing::WithParamInterface<Backend> {
  protected:
    DirectPortEndToEndTest() : KitchenTicketFixture(GetParam()) {
        const std::string layout = WriteLayout(
            "Kit.ini",
            "[BODY]\r\nFormat=2\r\nPosDescriptionLine=PosDescription\r\n"
            "[GENERAL]\r\nRowPerLine=40\r\n[HEADER]\r\nL1=1L1=Table [VarTableNo]\r\nL2=X\r\n");
        AddDevice(1, "KITCHEN1", "D", layout);
        AddDevice(2, "BAR1", "D", layout);
        SetPort(1, Port("KITCHEN1"));
        SetPort(2, Port("BAR1"));
        AddGroup("G1", "O");
        AddGroup("G2", "XO");
        AddItem("BURG", "G1");
        AddItem("FRY", "G1");
        AddItem("BEER", "G2");
    }

    std::string Port(const std::string& name) const {
        return database.Folder() + "/" + name + ".prn";
    }

    void SetPort(int device, const std::string& port) {
        database.Exec("UPDATE Kelt_mt_Device SET DirectPort='" + port +
                      "' WHERE DeviceCode=" + std::to_string(device));
        window.DeviceList().Requery();
    }

    void AddWaiting(long id, const std::string& table, const std::string& item,
                    const std::string& description, int quantity) {
        KitchenTicketFixture::AddWaiting(
            id, table, item,
            {{"PosDescription", "'" + description + "'"}, {"Quantity", std::to_string(quantity)}});
    }

    // PrintStatus of the printing row and KitchenStatus of its bill line.
    std::pair<long, long> Marks(long id) {
        const auto rows = database.Db().Query(
            "SELECT KitchenStatus FROM Kelt_trs_BillDetails WHERE ID=" + std::to_string(id + 100));
        return {PrintStatus(id), rows.rows.empty() ? -1 : LeadingNumber(rows.rows[0][0].AsText())};
    }

    static std::string Line(const std::string& text) { return kFont1 + text + kCrLf; }

    // One tick's dispatch, with the lanes' reports settled before and after.
    void Pass() {
        sending.SettleReports();
        serverDispatcher.DispatchPrintQueue();
        sending.SettleReports();
        clock.NextSecond();
    }

    HeadlessDivertPolicy host;
    TRDIVET dialog{sending, host, log, op};
    TicketSendingStep sending{ctx, lanes, dialog};
    KitchenTicketComposer serverComposer{ctx, sending};
    PrintQueueDispatcher serverDispatcher{ctx, serverComposer};
};

TEST_P(DirectPortEndToEndTest, TableModePrintsOneTicketPerGroupAndMarksItsItems) {
    AddWaiting(1, "T5", "BURG", "Burger", 2);
    AddWaiting(2, "T5", "BEER", "Beer", 1);
    AddWaiting(3, "T5", "FRY", "Fries", 1);
    Pass();

    EXPECT_EQ(ReadBytes(Port("KITCHEN1")),
              PortBytes(Line("Table T5") + Line("2  Burger") + Line("1  Fries")));
    EXPECT_EQ(ReadBytes(Port("BAR1")), PortBytes(Line("Table T5") + Line("1  Beer")));
    for (long id = 1; id <= 3; ++id) {
        EXPECT_EQ(Marks(id), std::make_pair(1L, 1L)) << id;
    }
    EXPECT_TRUE(op.messages.empty());

    // Nothing waits any more: a second pass prints nothing.
    std::filesystem::remove(Port("KITCHEN1"));
    std::filesystem::remove(Port("BAR1"));
    const auto updates = db.executed.size();
    Pass();
    EXPECT_FALSE(std::filesystem::exists(Port("KITCHEN1")));
    EXPECT_FALSE(std::filesystem::exists(Port("BAR1")));
    EXPECT_EQ(db.executed.size(), updates);
}

TEST_P(DirectPortEndToEndTest, IndividualModeJoinsTablesOfOneItem) {
    AddWaiting(1, "T5", "BURG", "Burger", 2);
    AddWaiting(2, "T6", "BURG", "Burger", 1);
    window.individualMode = true;
    Pass();

    // The header shows the table of the ticket's first item.
    EXPECT_EQ(ReadBytes(Port("KITCHEN1")),
              PortBytes(Line("Table T5") + Line("2  Burger") + Line("1  Burger")));
    EXPECT_FALSE(std::filesystem::exists(Port("BAR1")));
    EXPECT_EQ(Marks(1), std::make_pair(1L, 1L));
    EXPECT_EQ(Marks(2), std::make_pair(1L, 1L));
}

TEST_P(DirectPortEndToEndTest, UnwritablePortLeavesItsItemsWaiting) {
    const std::string badPort = database.Folder() + "/no-such-folder/KITCHEN1.prn";
    SetPort(1, badPort);
    AddWaiting(1, "T5", "BURG", "Burger", 2);
    AddWaiting(2, "T5", "BEER", "Beer", 1);
    Pass();

    EXPECT_EQ(Marks(1), std::make_pair(0L, 0L));
    EXPECT_EQ(Marks(2), std::make_pair(1L, 1L));
    EXPECT_NE(LogText().find("Error Open direct Port " + badPort), std::string::npos);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Printer Error !!!");

    // Once the port works again the next pass prints what was left.
    SetPort(1, Port("KITCHEN1"));
    Pass();
    EXPECT_EQ(ReadBytes(Port("KITCHEN1")), PortBytes(Line("Table T5") + Line("2  Burger")));
    EXPECT_EQ(Marks(1), std::make_pair(1L, 1L));
}

TEST_P(DirectPortEndToEndTest, ATakeAwayWithoutATablePrintsInTableMode) {
    KitchenTicketFixture::AddWaiting(1, "", "BURG",
                                     {{"TableCode", "NULL"}, {"PosDescription", "'Burger'"}});
    Pass();
    EXPECT_EQ(ReadBytes(Port("KITCHEN1")), PortBytes(Line("Table -") + Line("2  Burger")));
    EXPECT_EQ(Marks(1), std::make_pair(1L, 1L));
}

TEST_P(DirectPortEndToEndTest, APortWithAnEncodingPrintsInItAndOneWithoutIsAsBefore) {
    const std::string registryFile = database.Folder() + "/PosPrinters.ini";
    WriteBytes(registryFile, "[KITCHEN1]\r\nEncoding=gb18030\r\n");
    const PosPrinterRegistry printers(registryFile, 1252);
    ctx.printers = &printers;
    AddWaiting(1, "T5", "BURG", "\u9EBB\u5A46\u8C46\u8150", 2);  // mapo tofu
    AddWaiting(2, "T5", "BEER", "Bi\u00E8re", 1);
    Pass();

    // ESC t 16 after the reset keeps the page beside the double-byte font;
    // the dish goes out in GB18030 between FS & and FS .
    const std::string dish = "\x1c&\xc2\xe9\xc6\xc5\xb6\xb9\xb8\xaf\x1c.";
    EXPECT_EQ(ReadBytes(Port("KITCHEN1")), std::string("\x1b@\x1bt\x10\r\n\x1b!0\r\n") +
                                               Line("Table T5") + Line("2  " + dish) + kCrLf +
                                               std::string("\x1dV\x42\x00", 4));
    EXPECT_EQ(ReadBytes(Port("BAR1")), PortBytes(Line("Table T5") + Line("1  Bi\xe8re")));
}

std::vector<Backend> AvailableBackends() {
    std::vector<Backend> backends = {Backend::Sqlite};
    if (TestDatabase::IsAvailable(Backend::Postgres)) {
        backends.push_back(Backend::Postgres);
    }
    return backends;
}

INSTANTIATE_TEST_SUITE_P(Backends, DirectPortEndToEndTest, ::testing::ValuesIn(AvailableBackends()),
                         [](const auto& info) { return BackendName(info.param); });

}  // namespace
}  // namespace kps::test
