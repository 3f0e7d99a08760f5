// Kitchen ticket throughput: composition alone, and whole dispatch passes
// that print on direct ports (files) and mark the items printed.

#include <benchmark/benchmark.h>

#include <string>

#include <fstream>

#include "dialogs/DivertDialogHost.h"
#include "dialogs/TRDIVET.h"
#include "output/OposPrinterRoutines.h"
#include "printing/KitchenTicketComposer.h"
#include "printing/PrintContext.h"
#include "printing/PrintQueueDispatcher.h"
#include "printing/TicketSendingStep.h"
#include "support/FakePrintWindow.h"
#include "support/Fakes.h"
#include "support/TestDatabase.h"

namespace kps::test {
namespace {

// Direct-port tickets never divert; the dialog is never shown.
class NoDivertHost final : public DivertDialogHost {
  public:
    void ShowModal(TRDIVET&) override {}
};

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
        window.DeviceList().Requery();
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
    FakeClock clock;
    PrintLog log{database.Folder(), clock};
    FakeOperator op;
    FakePrintWindow window{database.Db()};
    FakeSystemPrinter systemPrinter;
    FakePosPrinter posPrinter;
    FakePinger pinger;
    FakeWaitPause pause;
    OposPrinterRoutines opos{posPrinter, pinger, pause, log, op};
    PrinterCodes codes;
    PrintDeviceSetting device;
    TicketBuffers ticket;
    DivertState divert;
    PrintContext ctx{database.Db(), log,   clock,  op,     window, systemPrinter,
                     opos,          codes, device, ticket, divert};
};

void BM_ComposeTenItemTicket(benchmark::State& state) {
    Outlet outlet;
    outlet.AddItems(10, 1);
    FakeTicketSender sender;  // marks nothing, so the same ticket waits every time
    KitchenTicketComposer composer(outlet.ctx, sender);
    PR_LoadOposSetting(outlet.codes, "D");
    for (auto _ : state) {
        composer.ComposeKitchenTicket("KITCHEN1", "D", "G1", "T0", 0, outlet.layout, "TableCode");
        outlet.ticket.List1.clear();
        outlet.ticket.List2.clear();
        benchmark::DoNotOptimize(outlet.ticket.RTF.data());
    }
    state.counters["tickets/s"] =
        benchmark::Counter(static_cast<double>(sender.sent), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ComposeTenItemTicket)->Unit(benchmark::kMicrosecond);

void BM_DispatchThousandItemsOnTwentyTickets(benchmark::State& state) {
    Outlet outlet;
    outlet.AddItems(1000, 20);
    TRDIVET dialog(outlet.posPrinter, outlet.pinger, outlet.pause, outlet.log, outlet.op,
                   outlet.codes, outlet.divert);
    NoDivertHost host;
    TicketSendingStep sending(outlet.ctx, dialog, host);
    KitchenTicketComposer composer(outlet.ctx, sending);
    PrintQueueDispatcher dispatcher(outlet.ctx, composer);
    for (auto _ : state) {
        state.PauseTiming();
        outlet.database.Exec("UPDATE kelt_trs_printingdetails SET PrintStatus=0");
        outlet.database.Exec("UPDATE Kelt_trs_BillDetails SET KitchenStatus=0");
        state.ResumeTiming();
        dispatcher.DispatchPrintQueue();
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
