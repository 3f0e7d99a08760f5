#include <benchmark/benchmark.h>

#include <string>

#include "mainwindow/FakePrintPasses.h"
#include "mainwindow/HeadlessPollTimer.h"
#include "mainwindow/MDIForm1.h"
#include "support/Fakes.h"
#include "support/TestDatabase.h"

namespace {

// One tick on an embedded order database with the given number of waiting
// items: the requery of the waiting items and the rebuild of the grid. The
// passes print nothing.
void BM_PollCycle(benchmark::State& state) {
    kps::test::TestDatabase database;
    database.Exec("insert into Kelt_mt_PrinterGroup values ('KIT', 'Kitchen', 'O')");
    database.Exec(
        "insert into mrex_mt_item (ItemCode, ItemName, RefPrinterGroupCode) "
        "values ('I1', 'Rice', 'KIT')");
    database.Exec("insert into Kelt_mt_Service (ServiceType, ServiceName) values ('D', 'Dine')");
    const long items = state.range(0);
    database.Exec("begin");
    for (long i = 0; i < items; ++i) {
        database.Exec(
            "insert into kelt_trs_printingdetails (TableCode, ServiceType, BillNo, "
            "PosDescription, Quantity, ItemCode, PrintStatus) values ('T" +
            std::to_string(i % 40) + "', 'D', 'B" + std::to_string(i) +
            "', 'Fried rice', 2, 'I1', 0)");
    }
    database.Exec("commit");

    kps::test::FakeClock clock;
    kps::test::FakeOperator op;
    kps::TicketBuffers ticket;
    kps::HeadlessPollTimer timer;
    kps::test::FakePrintPasses passes;
    kps::MDIForm1 form(database.Db(), clock, op, ticket, timer, "");
    form.Load();
    for (auto _ : state) {
        form.PollCycle(passes);
        benchmark::DoNotOptimize(form.FlxData().RowCount());
    }
    state.counters["rows"] = static_cast<double>(form.FlxData().RowCount() - 1);
}
BENCHMARK(BM_PollCycle)->Arg(0)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
