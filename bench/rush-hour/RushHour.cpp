// kps-rush-hour: whole-process figures of the headless server on a fresh
// outlet with loopback fake printers that take a while to print: order to
// first byte at a dinner rush, a burst of tables, a stalled printer beside
// healthy ones, and the idle cost. Figures, not a test: it never fails on
// a number. Several --server options are measured in turn, side by side.

#include <iostream>
#include <string>
#include <vector>

#include "harness/FigureRows.h"
#include "harness/RunArguments.h"
#include "rush-hour/RushHourRun.h"
#include "text/KpsError.h"

namespace {

using kps::bench::Figure;
using kps::bench::PrintRow;
using kps::bench::PrintServers;
using kps::bench::RushHourFigures;
using kps::bench::RushHourOptions;

constexpr const char* kUsage =
    "usage: kps-rush-hour [--server PATH]... [--quick] [--orders N] [--burst N]\n"
    "                     [--stall-orders N] [--idle-seconds N] [--print-ms N]\n"
    "                     [--drain-seconds N] [--seed N] [--release-pause VALUE]\n"
    "                     [--database sqlite|postgres] [--no-trigger]\n"
    "Defaults: the server of this build, 200 orders 0.3-2.5 s apart, a burst of 20,\n"
    "30 orders with a stalled printer, 60 s idle, 150 ms print time. --quick is\n"
    "--orders 10 --burst 5 --stall-orders 4 --idle-seconds 10.\n";

std::string Usage() {
    return std::string(kUsage) + kps::bench::kDatabaseUsage;
}

void PrintFigures(const std::vector<std::string>& servers,
                  const std::vector<RushHourFigures>& figures, const RushHourOptions& options) {
    auto row = [&](const std::string& name, auto cell) {
        std::vector<std::string> cells;
        for (const RushHourFigures& f : figures) {
            cells.push_back(cell(f));
        }
        PrintRow(name, cells);
    };
    std::cout << "\nOutlets on " << options.database.Name() << "\n";
    PrintServers(servers);
    std::cout << "(a) order to first byte, ms: median / p99 / max (" << options.orders
              << " orders)\n";
    for (const auto& [printer, spread] : figures.front().perPrinter) {
        row("    " + printer, [&](const RushHourFigures& f) {
            const auto missing = f.missing.at(printer);
            return kps::bench::Show(f.perPrinter.at(printer)) +
                   (missing > 0 ? " (" + std::to_string(missing) + " never)" : "");
        });
    }
    row("(b) burst of " + std::to_string(options.burst) + " tables on NET1: to last, ms",
        [](const RushHourFigures& f) {
            return f.burstMs < 0 ? std::to_string(f.burstMissing) + " never came"
                                 : Figure(f.burstMs);
        });
    row("(c) one printer stalled: healthy median, ms", [](const RushHourFigures& f) {
        return Figure(f.healthyWhileStalled.median) +
               (f.stalledMissing > 0 ? " (" + std::to_string(f.stalledMissing) + " never)" : "");
    });
    row("(d) idle " + std::to_string(options.idleSeconds) + " s: CPU % of a core",
        [](const RushHourFigures& f) { return Figure(f.idleCpuPercent); });
    row("    idle: peak resident KiB",
        [](const RushHourFigures& f) { return std::to_string(f.idlePeakKb); });
}

}  // namespace

int main(int argc, char** argv) {
    RushHourOptions options;
    std::vector<std::string> servers;
    kps::bench::RunArguments arguments(argc, argv, "kps-rush-hour", Usage());
    while (arguments.Next()) {
        std::string text;
        int seed = 0;
        if (arguments.Current() == "--help") {
            std::cout << Usage();
            return 0;
        } else if (arguments.Text("--server", text)) {
            servers.push_back(text);
        } else if (arguments.Text("--release-pause", options.releasePause) ||
                   options.database.Take(arguments)) {
        } else if (arguments.Current() == "--quick") {
            options.orders = 10;
            options.burst = 5;
            options.stallOrders = 4;
            options.idleSeconds = 10;
        } else if (arguments.Number("--seed", seed)) {
            options.seed = static_cast<unsigned>(seed);
        } else if (!arguments.Number("--orders", options.orders) &&
                   !arguments.Number("--burst", options.burst) &&
                   !arguments.Number("--stall-orders", options.stallOrders) &&
                   !arguments.Number("--idle-seconds", options.idleSeconds) &&
                   !arguments.Number("--print-ms", options.printMs) &&
                   !arguments.Number("--drain-seconds", options.drainSeconds)) {
            return arguments.Unexpected();
        }
    }
    if (servers.empty()) {
        servers.push_back(KPS_SERVER_EXE);
    }
    if (options.idleSeconds == 0) {
        options.idleSeconds = 1;
    }
    try {
        std::vector<RushHourFigures> figures;
        for (const std::string& server : servers) {
            figures.push_back(kps::bench::RunRushHour(server, options));
        }
        PrintFigures(servers, figures, options);
    } catch (const kps::KpsError& error) {
        std::cerr << "kps-rush-hour: " << error.Description() << "\n";
        return 1;
    }
    return 0;
}
