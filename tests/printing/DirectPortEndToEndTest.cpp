#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "RecordedDatabase.h"
#include "dialogs/HeadlessDivertPolicy.h"
#include "dialogs/TRDIVET.h"
#include "printing/KitchenTicketComposer.h"
#include "printing/PrintQueueDispatcher.h"
#include "printing/TicketSendingStep.h"
#include "startup/Text.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/PrintRig.h"
#include "support/TestDatabase.h"

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
class DirectPortEndToEndTest : public ::testing::TestWithParam<Backend>,
                               protected RecordedDatabase,
                               protected PrintRig {
  protected:
    DirectPortEndToEndTest() : RecordedDatabase(GetParam()), PrintRig(db, database.Folder()) {
        const std::string layout = database.Folder() + "/Kit.ini";
        std::ofstream(layout, std::ios::binary)
            << "[BODY]\r\nFormat=2\r\nPosDescriptionLine=PosDescription\r\n"
               "[GENERAL]\r\nRowPerLine=40\r\n[HEADER]\r\nL1=1L1=Table [VarTableNo]\r\nL2=X\r\n";
        for (const auto& [code, name] : {std::pair{1, "KITCHEN1"}, std::pair{2, "BAR1"}}) {
            database.Exec(
                "INSERT INTO Kelt_mt_Device (DeviceCode, DeviceName, PrinterType, DirectPort,"
                " WP_FileName) VALUES (" +
                std::to_string(code) + ", '" + name + "', 'D', '" + Port(name) + "', '" + layout +
                "')");
        }
        database.Exec(
            "INSERT INTO Kelt_mt_PrinterGroup (PrinterGroupCode, RefPrinterGroup) "
            "VALUES ('G1', 'O')");
        database.Exec(
            "INSERT INTO Kelt_mt_PrinterGroup (PrinterGroupCode, RefPrinterGroup) "
            "VALUES ('G2', 'XO')");
        database.Exec(
            "INSERT INTO mrex_mt_item (ItemCode, ItemName, RefPrinterGroupCode) VALUES "
            "('BURG', 'Burger', 'G1')");
        database.Exec(
            "INSERT INTO mrex_mt_item (ItemCode, ItemName, RefPrinterGroupCode) VALUES "
            "('FRY', 'Fries', 'G1')");
        database.Exec(
            "INSERT INTO mrex_mt_item (ItemCode, ItemName, RefPrinterGroupCode) VALUES "
            "('BEER', 'Beer', 'G2')");
        window.DeviceList().Requery();
    }

    std::string Port(const std::string& name) const {
        return database.Folder() + "/" + name + ".prn";
    }

    void AddWaiting(long id, const std::string& table, const std::string& item,
                    const std::string& description, int quantity) {
        database.Exec(
            "INSERT INTO kelt_trs_printingdetails (ID, TRSID, TableCode, ItemCode, Quantity,"
            " BillNo, PosDescription, PaxNo, PrintStatus) VALUES (" +
            std::to_string(id) + ", " + std::to_string(id + 10) + ", '" + table + "', '" + item +
            "', " + std::to_string(quantity) + ", 'B1', '" + description + "', 2, 0)");
        database.Exec("INSERT INTO Kelt_trs_BillDetails (ID, KitchenStatus) VALUES (" +
                      std::to_string(id + 10) + ", 0)");
    }

    long Status(const std::string& table, const std::string& column, long id) {
        const auto rows = database.Db().Query("SELECT " + column + " FROM " + table +
                                              " WHERE ID=" + std::to_string(id));
        return rows.rows.empty() ? -1 : LeadingNumber(rows.rows[0][0].AsText());
    }

    // PrintStatus of the printing row and KitchenStatus of its bill line.
    std::pair<long, long> Marks(long id) {
        return {Status("kelt_trs_printingdetails", "PrintStatus", id),
                Status("Kelt_trs_BillDetails", "KitchenStatus", id + 10)};
    }

    static std::string Line(const std::string& text) { return kFont1 + text + kCrLf; }

    TRDIVET dialog{divertPrinter, pinger, pause, log, op, codes, divert};
    HeadlessDivertPolicy host;
    TicketSendingStep sending{ctx, dialog, host};
    KitchenTicketComposer composer{ctx, sending};
    PrintQueueDispatcher dispatcher{ctx, composer};
};

TEST_P(DirectPortEndToEndTest, TableModePrintsOneTicketPerGroupAndMarksItsItems) {
    AddWaiting(1, "T5", "BURG", "Burger", 2);
    AddWaiting(2, "T5", "BEER", "Beer", 1);
    AddWaiting(3, "T5", "FRY", "Fries", 1);
    dispatcher.DispatchPrintQueue();

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
    dispatcher.DispatchPrintQueue();
    EXPECT_FALSE(std::filesystem::exists(Port("KITCHEN1")));
    EXPECT_FALSE(std::filesystem::exists(Port("BAR1")));
    EXPECT_EQ(db.executed.size(), updates);
}

TEST_P(DirectPortEndToEndTest, IndividualModeJoinsTablesOfOneItem) {
    AddWaiting(1, "T5", "BURG", "Burger", 2);
    AddWaiting(2, "T6", "BURG", "Burger", 1);
    window.individualMode = true;
    dispatcher.DispatchPrintQueue();

    // The header shows the table of the ticket's first item.
    EXPECT_EQ(ReadBytes(Port("KITCHEN1")),
              PortBytes(Line("Table T5") + Line("2  Burger") + Line("1  Burger")));
    EXPECT_FALSE(std::filesystem::exists(Port("BAR1")));
    EXPECT_EQ(Marks(1), std::make_pair(1L, 1L));
    EXPECT_EQ(Marks(2), std::make_pair(1L, 1L));
}

TEST_P(DirectPortEndToEndTest, UnwritablePortLeavesItsItemsWaiting) {
    const std::string badPort = database.Folder() + "/no-such-folder/KITCHEN1.prn";
    database.Exec("UPDATE Kelt_mt_Device SET DirectPort='" + badPort + "' WHERE DeviceCode=1");
    AddWaiting(1, "T5", "BURG", "Burger", 2);
    AddWaiting(2, "T5", "BEER", "Beer", 1);
    dispatcher.DispatchPrintQueue();

    EXPECT_EQ(Marks(1), std::make_pair(0L, 0L));
    EXPECT_EQ(Marks(2), std::make_pair(1L, 1L));
    EXPECT_NE(ReadBytes(log.TodayFile()).find("Error Open direct Port " + badPort),
              std::string::npos);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Printer Error !!!");

    // Once the port works again the next pass prints what was left.
    database.Exec("UPDATE Kelt_mt_Device SET DirectPort='" + Port("KITCHEN1") +
                  "' WHERE DeviceCode=1");
    dispatcher.DispatchPrintQueue();
    EXPECT_EQ(ReadBytes(Port("KITCHEN1")), PortBytes(Line("Table T5") + Line("2  Burger")));
    EXPECT_EQ(Marks(1), std::make_pair(1L, 1L));
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
