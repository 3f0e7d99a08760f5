// A backlog of kitchen tickets, one per table, dispatched to a network
// printer and settled in one pass, with everything kept on disk as a server
// keeps it: the SQLite order file, the lanes' local journal, the kept
// tickets for reprint. Syncs per ticket are counted from outside:
//   strace -f -c -e trace=fsync,fdatasync kps_bench
//       --benchmark_filter='BM_SettleBacklog/500$'
// minus the same for BM_SettleBacklog/0 (the outlet's own set-up), over 500.

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "dialogs/DivertDialogHost.h"
#include "reprint/ReprintJournal.h"
#include "reprint/ReprintStore.h"
#include "sending/LocalJobJournal.h"
#include "sending/TicketSendingStep.h"
#include "support/NoQuestions.h"
#include "support/PrintRig.h"
#include "support/TestDatabase.h"
#include "tickets/KitchenTicketComposer.h"
#include "tickets/PrintQueueDispatcher.h"

namespace kps::test {
namespace {

void BM_SettleBacklog(benchmark::State& state) {
    const auto tickets = static_cast<int>(state.range(0));
    TestDatabase database;
    const std::string layout = database.Folder() + "/Kit.ini";
    std::ofstream(layout, std::ios::binary)
        << "[BODY]\r\nFont=2\r\nFormat=2\r\nPosDescriptionLine=PosDescription\r\n"
           "[GENERAL]\r\nRowPerLine=42\r\n[HEADER]\r\nL1=1L2=Table: [VarTableNo]\r\n";
    database.Exec(
        "INSERT INTO Kelt_mt_PrinterGroup (PrinterGroupCode, RefPrinterGroup) VALUES ('G1', 'O')");
    database.Exec(
        "INSERT INTO mrex_mt_item (ItemCode, ItemName, RefPrinterGroupCode) "
        "VALUES ('BURG', 'Burger', 'G1')");
    database.Exec(
        "INSERT INTO Kelt_mt_Device (DeviceCode, DeviceName, PrinterType, LDNName, WP_FileName)"
        " VALUES (1, 'KITCHEN1', 'O', '127.0.0.1', '" +
        layout + "')");
    database.Exec("BEGIN");
    for (int id = 1; id <= tickets; ++id) {
        const std::string n = std::to_string(id);
        database.Exec(
            "INSERT INTO kelt_trs_printingdetails (ID, TRSID, TableCode, ItemCode, Quantity,"
            " BillNo, PosDescription, PrintStatus) VALUES (" +
            n + ", " + n + ", 'T" + n + "', 'BURG', 1, 'B" + n + "', 'Burger', 0)");
        database.Exec("INSERT INTO Kelt_trs_BillDetails (ID, KitchenStatus) VALUES (" + n + ", 0)");
    }
    database.Exec("COMMIT");

    PrintRig rig(database.Db(), database.Folder());
    rig.pinger.reachable = {"127.0.0.1"};
    rig.window.DeviceList().Requery();
    ReprintJournal journal(database.Folder() + "/state/reprint-journal", rig.log);
    journal.Load();
    ReprintStore kept(database.Folder() + "/state", rig.log);
    LocalJobJournal laneJournal(journal);
    LaneJobRunner runner(rig.posPrinter, rig.pinger, rig.pause, rig.log, &laneJournal);
    InlinePrinterLanes lanes(runner, rig.divertRunner);
    PrintContext ctx{database.Db(), rig.log,    rig.clock,  rig.op,     rig.window,
                     rig.codes,     rig.device, rig.ticket, rig.divert, rig.records,
                     rig.states,    journal,    1252,       ""};
    NoQuestions questions;
    TicketSendingStep sending(ctx, lanes, questions);
    sending.KeepPrintedTickets(&kept);
    KitchenTicketComposer composer(ctx, sending);
    PrintQueueDispatcher dispatcher(ctx, composer);
    for (auto _ : state) {
        // Every ticket is on paper when the pass settles: the backlog.
        dispatcher.DispatchPrintQueue();
        sending.SettleReports();
    }
    const auto waiting =
        database.Db().Query("SELECT COUNT(*) FROM kelt_trs_printingdetails WHERE PrintStatus=0");
    if (waiting.rows.at(0).at(0).AsText() != "0") {
        state.SkipWithError("the pass left items waiting");
    }
    state.counters["tickets"] = tickets;
}
BENCHMARK(BM_SettleBacklog)->Arg(0)->Arg(500)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kps::test
