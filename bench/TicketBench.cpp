// Kitchen ticket throughput: composition alone, and whole dispatch passes
// that print on direct ports (files) and mark the items printed, on a
// SQLite file with its default durability.

#include <benchmark/benchmark.h>

#include <string>

#include <fstream>

#include "dialogs/DivertDialogHost.h"
#include "sending/TicketSendingStep.h"
#include "support/Fakes.h"
#include "support/NoQuestions.h"
#include "support/PrintRig.h"
#include "support/TestDatabase.h"
#include "tickets/KitchenTicketComposer.h"
#include "tickets/PrintQueueDispatcher.h"

namespace kps::test {
namespace {

const char* const kLayout =
    "[BODY]\r\nFont=2\r\nFormat=2\r\nPosDescriptionLine=PosDescription\r\n"
    "PosDescriptionLine1=PosDescription1\r\n[GENERAL]\r\nRowPerLine=42\r\n"
    "[HEADER]\r\nL1=0C4=KITCHEN\r\nL2=1L2=Table: [VarTableNo]\r\n"
    "L3=2L1=No [VarTicketNo] /Pax [VarPax]\r\nL4=1R1=[Date]\r\n"
    "[FOOTER]\r\nL1=1C1=[PR_DefPrinterName]\r\n";

// A SQLite outlet with one direct-port device printing group G1.
struct Outlet {
    Outlet() {
        layout = database.Folder() + "/Kit.ini";
        std::ofstream(layout, std::ios::binary) << kLayout;
        database.Exec(
            "INSERT INTO Kelt_mt_PrinterGroup (PrinterGroupCode, RefPrinterGroup) "
            "VALUES ('G1', 'O')");
        database.Exec(
            "INSERT INTO mrex_mt_item (ItemCode, ItemName, RefPrinterGroupCode) "
            "VALUES ('BURG', 'Burger', 'G1')");
        database.Exec(
            "INSERT INTO Kelt_mt_Device (DeviceCode, DeviceName, PrinterType, DirectPort,"
            " WP_FileName) VALUES (1, 'KITCHEN1', 'D', '" +
            database.Folder() + "/LPT1', '" + layout + "')");
        rig.window.DeviceList().Requery();
    }

    // `count` waiting items spread evenly over `tables` tables.
    void AddItems(int count, int tables) {
        database.Exec("BEGIN");
        for (int id = 1; id <= count; ++id) {
            const std::string n = std::to_string(id);
            database.Exec(
                "INSERT INTO kelt_trs_printingdetails (ID, TRSID, TableCode, ItemCode, Quantity,"
                " BillNo, PosDescription, PosDescription1, Remark1, PaxNo, StaffName, PrintStatus)"
                " VALUES (" +
                n + ", " + n + ", 'T" + std::to_string(id % tables) +
                "', 'BURG', 2, 'B1', 'Burger " + n + "', 'well done', 'no onion', 4, 'Anna', 0)");
            database.Exec("INSERT INTO Kelt_trs_BillDetails (ID, KitchenStatus) VALUES (" + n +
                          ", 0)");
        }
        database.Exec("COMMIT");
    }

    TestDatabase database;
    std::string layout;
    PrintRig rig{database.Db(), database.Folder()};
};

void BM_ComposeTenItemTicket(benchmark::State& state) {
    Outlet outlet;
    outlet.AddItems(10, 1);
    FakeTicketSender sender;  // marks nothing, so the same ticket waits every time
    KitchenTicketComposer composer(outlet.rig.ctx, sender);
    PR_LoadOposSetting(outlet.rig.codes, "D");
    for (auto _ : state) {
        composer.ComposeKitchenTicket("KITCHEN1", "D", "G1", Value::Text("T0"), 0, outlet.layout,
                                      "TableCode");
        outlet.rig.ticket.List1.clear();
        outlet.rig.ticket.List2.clear();
        benchmark::DoNotOptimize(outlet.rig.ticket.RTF.data());
    }
    state.counters["tickets/s"] =
        benchmark::Counter(static_cast<double>(sender.sent), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ComposeTenItemTicket)->Unit(benchmark::kMicrosecond);

void BM_DispatchThousandItemsOnTwentyTickets(benchmark::State& state) {
    Outlet outlet;
    outlet.AddItems(1000, 20);
    PrintRig& rig = outlet.rig;
    NoQuestions questions;
    TicketSendingStep sending(rig.ctx, rig.lanes, questions);
    KitchenTicketComposer composer(outlet.rig.ctx, sending);
    PrintQueueDispatcher dispatcher(outlet.rig.ctx, composer);
    for (auto _ : state) {
        state.PauseTiming();
        outlet.database.Exec("UPDATE kelt_trs_printingdetails SET PrintStatus=0");
        outlet.database.Exec("UPDATE Kelt_trs_BillDetails SET KitchenStatus=0");
        state.ResumeTiming();
        // The lanes here print as tickets are handed over; the next tick's
        // settling marks them, one transaction per ticket.
        dispatcher.DispatchPrintQueue();
        sending.SettleReports();
    }
    const auto waiting = outlet.database.Db().Query(
        "SELECT COUNT(*) FROM kelt_trs_printingdetails WHERE PrintStatus=0");
    if (waiting.rows.at(0).at(0).AsText() != "0") {
        state.SkipWithError("the pass left items waiting");
    }
    state.counters["items/s"] = benchmark::Counter(1000.0 * static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
    state.counters["tickets/s"] = benchmark::Counter(20.0 * static_cast<double>(state.iterations()),
                                                     benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DispatchThousandItemsOnTwentyTickets)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kps::test
