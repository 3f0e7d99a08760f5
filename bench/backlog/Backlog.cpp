// kps-backlog: whole-process figures of a backlog waiting when the headless
// server starts. A drain: items over tickets queued while the server was
// stopped, on instant network printers; the time from the last ticket's
// first byte to every item marked printed, the longest tick meanwhile (from
// the status page's metrics) and the disk syncs a ticket (strace). A big
// backlog that no printer takes (always on SQLite): the server's peak
// resident size after its first passes and its tick time beside the sqlite3
// tool running the waiting-items grid's query. Figures, not a test: it never
// fails on a number. Several --server options are measured in turn.

#include <iostream>
#include <string>
#include <vector>

#include "backlog/BacklogRun.h"
#include "harness/FigureRows.h"
#include "harness/RunArguments.h"
#include "text/KpsError.h"

namespace {

using kps::bench::BacklogFigures;
using kps::bench::BacklogOptions;
using kps::bench::Figure;

constexpr const char* kUsage =
    "usage: kps-backlog [--server PATH]... [--quick] [--items N] [--tickets N]\n"
    "                   [--printers N] [--big-items N] [--drain-seconds N] [--no-strace]\n"
    "                   [--database sqlite|postgres] [--no-trigger]\n"
    "Defaults: the server of this build, 5000 items on 3250 tickets over 10 printers,\n"
    "a big backlog of 100000 items. --quick is --items 500 --tickets 325 --big-items 10000.\n"
    "--no-strace leaves the disk syncs uncounted. --database applies to the drain.\n";

std::string Usage() {
    return std::string(kUsage) + kps::bench::kDatabaseUsage;
}

void PrintFigures(const std::vector<std::string>& servers,
                  const std::vector<BacklogFigures>& figures, const BacklogOptions& options) {
    auto row = [&](const std::string& name, auto cell) {
        std::vector<std::string> cells;
        for (const BacklogFigures& f : figures) {
            cells.push_back(cell(f));
        }
        kps::bench::PrintRow(name, cells);
    };
    std::cout << "\n";
    kps::bench::PrintServers(servers);
    std::cout << "drain of " << options.items << " items on " << options.tickets << " tickets, "
              << options.printers << " instant printers (" << options.database.Name() << ")\n";
    row("    tickets printed", [](const BacklogFigures& f) {
        return std::to_string(f.ticketsPrinted) +
               (f.itemsLeft > 0 ? " (" + std::to_string(f.itemsLeft) + " items left)" : "");
    });
    row("    start to last ticket's first byte, s",
        [](const BacklogFigures& f) { return Figure(f.lastByteSeconds); });
    row("    last first byte to all marked printed, ms", [](const BacklogFigures& f) {
        return f.settleMs < 0 ? std::string("never") : Figure(f.settleMs);
    });
    row("    longest tick seen, ms",
        [](const BacklogFigures& f) { return Figure(f.longestTickMs); });
    row("    passes: all / over 1 s / longest at most, s", [](const BacklogFigures& f) {
        if (!f.passes) {
            return std::string("-");
        }
        return std::to_string(f.passes->passes) + " / " + std::to_string(f.passes->overOneSecond) +
               " / " + Figure(f.passes->longestAtMostSeconds);
    });
    row("    disk syncs a ticket", [](const BacklogFigures& f) {
        if (f.syncs < 0 || f.ticketsPrinted == 0) {
            return std::string("-");
        }
        return Figure(static_cast<double>(f.syncs) / static_cast<double>(f.ticketsPrinted)) + " (" +
               std::to_string(f.syncs) + ")";
    });
    std::cout << options.bigItems << " items no printer takes (SQLite)\n";
    row("    peak resident KiB after the first passes",
        [](const BacklogFigures& f) { return std::to_string(f.bigPeakKb); });
    row("    first tick, ms", [](const BacklogFigures& f) { return Figure(f.bigFirstTickMs); });
    row("    later ticks, median ms", [](const BacklogFigures& f) { return Figure(f.bigTickMs); });
    row("    sqlite3 tool, the grid's query, ms",
        [](const BacklogFigures& f) { return Figure(f.cliQueryMs); });
    row("    ticks seen", [](const BacklogFigures& f) { return std::to_string(f.bigTicks); });
}

}  // namespace

int main(int argc, char** argv) {
    BacklogOptions options;
    std::vector<std::string> servers;
    kps::bench::RunArguments arguments(argc, argv, "kps-backlog", Usage());
    while (arguments.Next()) {
        std::string text;
        if (arguments.Current() == "--help") {
            std::cout << Usage();
            return 0;
        } else if (arguments.Text("--server", text)) {
            servers.push_back(text);
        } else if (arguments.Current() == "--quick") {
            options.items = 500;
            options.tickets = 325;
            options.bigItems = 10000;
        } else if (arguments.Current() == "--no-strace") {
            options.strace = false;
        } else if (!options.database.Take(arguments) &&
                   !arguments.Number("--items", options.items) &&
                   !arguments.Number("--tickets", options.tickets) &&
                   !arguments.Number("--printers", options.printers) &&
                   !arguments.Number("--big-items", options.bigItems) &&
                   !arguments.Number("--drain-seconds", options.drainSeconds)) {
            return arguments.Unexpected();
        }
    }
    if (servers.empty()) {
        servers.push_back(KPS_SERVER_EXE);
    }
    options.printers = std::max(options.printers, 1);
    options.tickets = std::max(options.tickets, 1);
    options.items = std::max(options.items, options.tickets);
    try {
        std::vector<BacklogFigures> figures;
        for (const std::string& server : servers) {
            figures.push_back(kps::bench::RunBacklog(server, options));
        }
        PrintFigures(servers, figures, options);
    } catch (const kps::KpsError& error) {
        std::cerr << "kps-backlog: " << error.Description() << "\n";
        return 1;
    }
    return 0;
}
