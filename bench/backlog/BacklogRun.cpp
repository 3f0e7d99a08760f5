#include "backlog/BacklogRun.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "harness/BenchOutlet.h"
#include "harness/OrderDesk.h"
#include "harness/PrintRoom.h"
#include "harness/Program.h"
#include "harness/ServerProcess.h"
#include "harness/Spread.h"
#include "harness/TickWatch.h"
#include "harness/TicketText.h"
#include "text/KpsError.h"

namespace kps::bench {
namespace {

using namespace std::chrono_literals;

constexpr auto kStopGrace = std::chrono::seconds(60);
constexpr auto kPollEvery = 50ms;
// The big backlog is measured once the server has made this many passes.
constexpr long kBigTicks = 4;
constexpr auto kBigLongest = std::chrono::seconds(600);
constexpr int kCliRuns = 3;
constexpr const char* kSyncCalls = "fsync,fdatasync,sync_file_range,msync";

// The waiting-items grid's query as the server runs it at every pass.
constexpr const char* kGridQuery =
    "select * from kelt_trs_printingdetails as a"
    " left outer join mrex_mt_item as b on b.itemcode=a.itemcode"
    " Left Outer Join Kelt_mt_Service As C On A.ServiceType=C.ServiceType "
    " left outer join kelt_mt_printergroup as D on D.PrinterGroupCode=b.RefPrinterGroupCode"
    " WHERE A.PrintStatus=0 order by id";

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The calls of strace -c's summary that are disk syncs.
long SyncsIn(const std::string& summary) {
    std::ifstream file(summary);
    const std::set<std::string> syncs = {"fsync", "fdatasync", "sync_file_range", "msync"};
    long calls = 0;
    for (std::string line; std::getline(file, line);) {
        std::istringstream words(line);
        std::vector<std::string> fields;
        for (std::string word; words >> word;) {
            fields.push_back(word);
        }
        if (fields.size() >= 5 && syncs.contains(fields.back())) {
            calls += std::stol(fields[3]);
        }
    }
    return calls;
}

// `tickets` tables, the first ones with two items and the rest with one,
// `items` in all; table t goes to printer t modulo `printers`, so each
// table makes one ticket.
std::vector<Order> BacklogOrders(const BacklogOptions& options) {
    std::vector<Order> orders;
    int item = 0;
    for (int t = 1; t <= options.tickets; ++t) {
        const std::string itemCode = Code("I", (t - 1) % options.printers + 1, 1);
        Order order{Code("TBL", t, 5), {}};
        const int count = t <= options.items - options.tickets ? 2 : 1;
        for (int i = 0; i < count; ++i) {
            order.items.push_back({itemCode, Code("ITEM", ++item, 6)});
        }
        orders.push_back(order);
    }
    return orders;
}

void Drain(const std::string& server, const BacklogOptions& options, BacklogFigures& figures) {
    std::cerr << "  " << options.items << " items on " << options.tickets << " tickets, "
              << options.printers << " printers\n";
    PrintRoom room;
    OutletPlan plan;
    for (int n = 1; n <= options.printers; ++n) {
        const std::string name = Code("NET", n, 2);
        plan.devices.push_back({n, name, 'O', room.AddNetworkPrinter(name, 0).Port(), 0});
        plan.groups.push_back(
            {Code("G", n, 1), std::string(static_cast<std::size_t>(n - 1), 'X') + "O"});
        plan.items.push_back({Code("I", n, 1), Code("G", n, 1)});
    }
    const BenchOutlet outlet(plan, options.database.For(server));
    std::cerr << "    outlet " << outlet.Folder() << " on " << options.database.Name() << "\n";
    OrderDesk desk(outlet);
    desk.Queue(BacklogOrders(options));
    std::vector<std::string> wrapper;
    const std::string summary = outlet.Folder() + "/syncs.txt";
    if (options.strace) {
        wrapper = {"strace", "-f",   "--seccomp-bpf",
                   "-c",     "-e",   std::string("trace=") + kSyncCalls,
                   "-o",     summary};
    }
    ServerProcess process(server, outlet.Settings(), outlet.Folder(), wrapper);
    process.Start();
    const auto started = std::chrono::steady_clock::now();
    const std::int64_t startedUs = NowUs();
    std::int64_t allMarkedUs = 0;
    {
        TickWatch ticks(outlet.StatusPort());
        const auto deadline = started + std::chrono::seconds(options.drainSeconds);
        while ((figures.itemsLeft = desk.WaitingItems()) > 0 &&
               std::chrono::steady_clock::now() < deadline && process.Running()) {
            std::this_thread::sleep_for(kPollEvery);
        }
        allMarkedUs = NowUs();
        figures.longestTickMs = 1000.0 * ticks.LongestSeconds();
        figures.passes = ReadPassLengths(outlet.StatusPort());  // exact, where the watch samples
    }
    std::cerr << "    drained in " << SecondsSince(started) << " s\n";
    const std::vector<PrintedTicket> printed = room.Tickets();
    figures.ticketsPrinted = static_cast<long>(printed.size());
    std::int64_t lastUs = startedUs;
    for (const PrintedTicket& ticket : printed) {
        lastUs = std::max(lastUs, ticket.arrivedUs);
    }
    figures.lastByteSeconds = static_cast<double>(lastUs - startedUs) / 1e6;
    if (figures.itemsLeft == 0) {
        figures.settleMs = static_cast<double>(allMarkedUs - lastUs) / 1000.0;
    }
    process.Stop(kStopGrace);
    if (options.strace) {
        figures.syncs = SyncsIn(summary);
    }
}

double CliQueryMs(const std::string& database) {
    std::vector<double> runs;
    for (int i = 0; i < kCliRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        RunProgramOrThrow({"sqlite3", database, kGridQuery});
        runs.push_back(1000.0 * SecondsSince(start));
    }
    return SpreadOf(runs).median;
}

void BigBacklog(const std::string& server, const BacklogOptions& options, BacklogFigures& figures) {
    std::cerr << "  " << options.bigItems << " items that no printer takes (SQLite)\n";
    PrintRoom room;
    OutletPlan plan;
    plan.devices.push_back({1, "NET01", 'O', room.AddNetworkPrinter("NET01", 0).Port(), 0});
    plan.groups.push_back({"G1", "O"});
    plan.groups.push_back({"G0", "X"});  // no device
    plan.items.push_back({"I1", "G1"});
    plan.items.push_back({"I0", "G0"});
    OutletDatabase where = options.database.For(server);
    where.postgres.reset();
    const BenchOutlet outlet(plan, where);
    std::cerr << "    outlet " << outlet.Folder() << "\n";
    {
        OrderDesk desk(outlet);
        constexpr int kPerTable = 5;
        std::vector<Order> orders;
        for (int item = 0; item < options.bigItems; ++item) {
            if (item % kPerTable == 0) {
                orders.push_back({Code("TBL", item / kPerTable + 1, 6), {}});
            }
            orders.back().items.push_back({"I0", Code("ITEM", item + 1, 7)});
        }
        desk.Queue(orders);
    }
    ServerProcess process(server, outlet.Settings(), outlet.Folder());
    process.Start();
    const auto deadline = std::chrono::steady_clock::now() + kBigLongest;
    std::vector<double> durations;
    {
        TickWatch ticks(outlet.StatusPort());
        while (ticks.Ticks() < kBigTicks && process.Running() &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(kPollEvery);
        }
        durations = ticks.Durations();
        figures.bigTicks = ticks.Ticks();
    }
    figures.bigPeakKb = process.PeakResidentKb();
    process.Stop(kStopGrace);
    if (!durations.empty()) {
        figures.bigFirstTickMs = 1000.0 * durations.front();
        durations.erase(durations.begin());
    }
    figures.bigTickMs = 1000.0 * SpreadOf(durations).median;
    figures.cliQueryMs = CliQueryMs(outlet.Database());
}

}  // namespace

BacklogFigures RunBacklog(const std::string& server, const BacklogOptions& options) {
    std::cerr << server << "\n";
    BacklogFigures figures;
    Drain(server, options, figures);
    BigBacklog(server, options, figures);
    return figures;
}

}  // namespace kps::bench
