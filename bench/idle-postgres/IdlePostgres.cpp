// kps-idle-postgres: what idle headless servers cost a PostgreSQL server.
// One outlet: the statements and transactions a second its server sends and
// the server's CPU. Many outlets, each its own database on one PostgreSQL:
// the database's CPU per outlet, and beside it this machine's floor for one
// confirmation a second (bare sessions that answer one Sync a second and do
// nothing else). Figures, not a test: it never fails on a number. Several
// --server options are measured in turn, side by side. The PostgreSQL
// server is the front script's (scripts/idle-postgres).

#include <algorithm>
#include <iomanip>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "harness/FigureRows.h"
#include "harness/RunArguments.h"
#include "idle-postgres/IdleRun.h"
#include "text/KpsError.h"

namespace {

using kps::bench::Figure;
using kps::bench::IdleFigures;
using kps::bench::IdleOptions;

constexpr const char* kUsage =
    "usage: kps-idle-postgres [--server PATH]... [--quick] [--seconds N] [--outlets N]\n"
    "                         [--no-trigger]\n"
    "Defaults: the server of this build, 60 s idle, 20 outlets. --quick is --seconds 10\n"
    "--outlets 3. --no-trigger leaves the change-signal trigger out.\n";

constexpr std::size_t kQueryWidth = 110;

// A statement on one line.
std::string Flattened(std::string query) {
    std::replace_if(
        query.begin(), query.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return query;
}

std::string SessionsLabel(const std::string& applicationName) {
    constexpr std::size_t kWidth = 46;
    std::string label = "      ";
    label += applicationName.empty() ? std::string("sessions without a name")
                                     : applicationName.substr(0, kWidth - label.size());
    return label;
}

void PrintFigures(const std::vector<std::string>& servers, const std::vector<IdleFigures>& figures,
                  const IdleOptions& options, double bareSync) {
    auto row = [&](const std::string& name, auto cell) {
        std::vector<std::string> cells;
        for (const IdleFigures& f : figures) {
            cells.push_back(cell(f));
        }
        kps::bench::PrintRow(name, cells);
    };
    std::cout << "\nIdle outlets on " << options.database.Name() << "\n";
    kps::bench::PrintServers(servers);
    const std::string span = std::to_string(options.seconds) + " s";
    std::cout << "one outlet idle " << span << "\n";
    row("    statements a second",
        [](const IdleFigures& f) { return Figure(f.statementsPerSecond); });
    row("    transactions a second",
        [](const IdleFigures& f) { return Figure(f.transactionsPerSecond); });
    row("    server CPU % of a core",
        [](const IdleFigures& f) { return Figure(f.serverCpuPercent); });
    row("    PostgreSQL CPU, ms a second",
        [](const IdleFigures& f) { return Figure(f.databaseCpuMsPerSecond); });
    std::cout << options.outlets << " outlets on one PostgreSQL idle " << span << "\n";
    row("    PostgreSQL CPU with no server, ms a second",
        [](const IdleFigures& f) { return Figure(f.aloneCpuMsPerSecond); });
    row("    PostgreSQL CPU per outlet, ms a second",
        [](const IdleFigures& f) { return Figure(f.perOutletCpuMsPerSecond); });
    std::cout << "      (all of PostgreSQL over the outlets, its own background processes\n"
                 "      included; below exactly, from /proc/PID/schedstat)\n";
    row("    background processes, ms a second in all",
        [](const IdleFigures& f) { return Figure(f.backgroundCpuMsPerSecond); });
    row("    session backends per outlet, ms a second",
        [](const IdleFigures& f) { return Figure(f.sessionsCpuMsPerSecond); });
    std::set<std::string> names;
    for (const IdleFigures& f : figures) {
        for (const auto& [name, cpu] : f.sessionsCpuMsPerSecondByName) {
            names.insert(name);
        }
    }
    for (const std::string& name : names) {
        row(SessionsLabel(name), [&name](const IdleFigures& f) {
            const auto found = f.sessionsCpuMsPerSecondByName.find(name);
            return found == f.sessionsCpuMsPerSecondByName.end() ? std::string("-")
                                                                 : Figure(found->second);
        });
    }
    row("    servers still running at the end",
        [](const IdleFigures& f) { return std::to_string(f.serversUp); });
    std::cout << "floor: a bare session sending one Sync a second (the lease's confirmation\n"
                 "      and nothing else), its server process's CPU, ms a second: "
              << Figure(bareSync) << "\n";
    for (std::size_t i = 0; i < figures.size(); ++i) {
        std::cout << "\n[" << i + 1 << "] one outlet: its statements over " << span
                  << ", most run first\n";
        for (const auto& [calls, query] : figures[i].topStatements) {
            std::cout << std::setw(8) << std::right << calls << "  "
                      << Flattened(query).substr(0, kQueryWidth) << "\n";
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    IdleOptions options;
    std::vector<std::string> servers;
    kps::bench::RunArguments arguments(argc, argv, "kps-idle-postgres", kUsage);
    while (arguments.Next()) {
        std::string text;
        if (arguments.Current() == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (arguments.Text("--server", text)) {
            servers.push_back(text);
        } else if (arguments.Current() == "--quick") {
            options.seconds = 10;
            options.outlets = 3;
        } else if (arguments.Current() == "--no-trigger") {
            options.database.trigger = false;
        } else if (!arguments.Number("--seconds", options.seconds) &&
                   !arguments.Number("--outlets", options.outlets)) {
            return arguments.Unexpected();
        }
    }
    if (servers.empty()) {
        servers.push_back(KPS_SERVER_EXE);
    }
    options.seconds = std::max(options.seconds, 1);
    options.outlets = std::max(options.outlets, 1);
    try {
        std::vector<IdleFigures> figures;
        for (const std::string& server : servers) {
            figures.push_back(kps::bench::RunIdle(server, options));
        }
        PrintFigures(servers, figures, options, kps::bench::BareSyncCpuMsPerSecond(options));
    } catch (const kps::KpsError& error) {
        std::cerr << "kps-idle-postgres: " << error.Description() << "\n";
        return 1;
    }
    return 0;
}
