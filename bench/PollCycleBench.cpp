#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <string>

#include "mainwindow/FakePrintPasses.h"
#include "mainwindow/HeadlessPollTimer.h"
#include "mainwindow/MDIForm1.h"
#include "support/Fakes.h"
#include "support/TestDatabase.h"

namespace {

// An embedded order database with the given number of waiting items, spread
// over forty tables, every item routed to one kitchen printer.
void AddWaitingItems(kps::test::TestDatabase& database, long items) {
    database.Exec("insert into Kelt_mt_PrinterGroup values ('KIT', 'Kitchen', 'O')");
    database.Exec(
        "insert into mrex_mt_item (ItemCode, ItemName, RefPrinterGroupCode) "
        "values ('I1', 'Rice', 'KIT')");
    database.Exec("insert into Kelt_mt_Service (ServiceType, ServiceName) values ('D', 'Dine')");
    database.Exec(
        "insert into Kelt_mt_Device (DeviceCode, DeviceName, PrinterType) values (1, 'KITCHEN1', "
        "'D')");
    database.Exec("begin");
    for (long i = 0; i < items; ++i) {
        database.Exec(
            "insert into kelt_trs_printingdetails (TableCode, ServiceType, BillNo, "
            "PosDescription, Quantity, ItemCode, PrintStatus) values ('T" +
            std::to_string(i % 40) + "', 'D', 'B" + std::to_string(i) +
            "', 'Fried rice', 2, 'I1', 0)");
    }
    database.Exec("commit");
}

// CPU seconds (user and system) of the children reaped so far.
double ChildCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double PeakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// One tick: the requery of the waiting items, the rebuild of the grid and
// the per-printer counts. The passes print nothing. Run one size per process
// (--benchmark_filter) for a peak resident figure of that size alone.
void BM_PollCycle(benchmark::State& state) {
    kps::test::TestDatabase database;
    AddWaitingItems(database, state.range(0));
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
    state.counters["peak_rss_MiB"] = PeakResidentMiB();
}
BENCHMARK(BM_PollCycle)->Arg(0)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The floor a tick is held against: the sqlite3 shell running the waiting
// items' statement on the same database file, its output thrown away. Its
// CPU time is the shell's, so it compares with the tick's on a busy machine.
void BM_SqliteShellFloor(benchmark::State& state) {
    kps::test::TestDatabase database;
    AddWaitingItems(database, state.range(0));
    kps::test::FakeClock clock;
    kps::test::FakeOperator op;
    kps::TicketBuffers ticket;
    kps::HeadlessPollTimer timer;
    kps::MDIForm1 form(database.Db(), clock, op, ticket, timer, "");
    form.Load();
    const std::string command = "sqlite3 '" + database.Folder() + "/" +
                                database.Setup().DatabaseName + "' \"" + form.PendingItemsSql() +
                                "\" >/dev/null";
    const double cpuBefore = ChildCpuSeconds();
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("the sqlite3 shell failed");
            break;
        }
    }
    state.counters["shell_cpu_ms"] = benchmark::Counter((ChildCpuSeconds() - cpuBefore) * 1000.0,
                                                        benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SqliteShellFloor)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
