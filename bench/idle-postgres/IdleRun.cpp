#include "idle-postgres/IdleRun.h"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <memory>
#include <thread>
#include <vector>

#include "database/PostgresLibpqSession.h"
#include "harness/BenchOutlet.h"
#include "harness/PostgresStats.h"
#include "harness/PrintRoom.h"
#include "harness/ProcFs.h"
#include "harness/ServerProcess.h"
#include "harness/TickWatch.h"
#include "text/KpsError.h"

namespace kps::bench {
namespace {

using namespace std::chrono_literals;

constexpr auto kStopGrace = std::chrono::seconds(30);
constexpr double kSettleTicks = 3;
constexpr auto kSettleLongest = std::chrono::seconds(60);
constexpr int kAloneLongest = 20;  // seconds of PostgreSQL with no server
constexpr int kTopStatements = 8;
// A server's start-up is no idle work: its first passes, and its start-up
// transactions, which an idle session hands to the statistics views up to
// 10 s late.
constexpr auto kStartUpOver = std::chrono::seconds(11);

// An outlet with one fake network printer and nothing to print, and its
// server.
class QuietOutlet {
  public:
    QuietOutlet(const std::string& server, const OutletDatabase& where, PrintRoom& room,
                const std::string& printer) {
        OutletPlan plan;
        plan.devices.push_back({1, printer, 'O', room.AddNetworkPrinter(printer, 0).Port(), 0});
        plan.groups.push_back({"G1", "O"});
        plan.items.push_back({"I1", "G1"});
        outlet_ = std::make_unique<BenchOutlet>(plan, where);
        server_ = std::make_unique<ServerProcess>(server, outlet_->Settings(), outlet_->Folder());
    }

    void Start() { server_->Start(); }

    // Waits until the server has ticked a few times, as it goes on doing
    // while idle.
    void Settle() {
        const auto deadline = std::chrono::steady_clock::now() + kSettleLongest;
        while (ReadMetric(outlet_->StatusPort(), "kps_server_ticks_total").value_or(0) <
               kSettleTicks) {
            if (!server_->Running() || std::chrono::steady_clock::now() > deadline) {
                throw KpsError(kErrFile, "The server of " + outlet_->Folder() +
                                             " did not settle; see server.err there");
            }
            std::this_thread::sleep_for(100ms);
        }
    }

    const BenchOutlet& Outlet() const { return *outlet_; }
    ServerProcess& Server() { return *server_; }

  private:
    std::unique_ptr<BenchOutlet> outlet_;
    std::unique_ptr<ServerProcess> server_;
};

using ProcessCpu = std::map<pid_t, double>;

// The CPU so far of the processes serving the sessions of `databases`, by
// the sessions' application name.
std::map<std::string, ProcessCpu> SessionCpu(PostgresStats& stats,
                                             const std::vector<std::string>& databases) {
    std::map<std::string, ProcessCpu> cpu;
    for (const auto& [name, pids] : stats.SessionBackends(databases)) {
        cpu[name] = ScheduledCpu(pids);
    }
    return cpu;
}

void OneOutlet(const std::string& server, const IdleOptions& options, IdleFigures& figures) {
    std::cerr << "  one outlet, idle for " << options.seconds << " s\n";
    const OutletDatabase where = options.database.For(server);
    PostgresStats stats(*where.postgres);
    PrintRoom room;
    QuietOutlet outlet(server, where, room, "KITCHEN1");
    std::cerr << "    " << outlet.Outlet().Folder()
              << (outlet.Outlet().LoadedSignalScript().empty()
                      ? ", no change-signal trigger"
                      : ", with " + outlet.Outlet().LoadedSignalScript())
              << "\n";
    outlet.Start();
    outlet.Settle();
    std::this_thread::sleep_for(kStartUpOver);
    const std::string database = outlet.Outlet().Database();
    stats.ForgetStatements();
    const double transactions = stats.Transactions(database);
    const double cpu = outlet.Server().CpuSeconds();
    const auto databaseCpu = stats.ServerCpu();
    std::this_thread::sleep_for(std::chrono::seconds(options.seconds));
    const double span = options.seconds;
    figures.statementsPerSecond = stats.Statements(database) / span;
    figures.topStatements = stats.TopStatements(database, kTopStatements);
    figures.transactionsPerSecond = (stats.Transactions(database) - transactions) / span;
    figures.serverCpuPercent = 100.0 * (outlet.Server().CpuSeconds() - cpu) / span;
    figures.databaseCpuMsPerSecond = 1000.0 * CpuBetween(databaseCpu, stats.ServerCpu()) / span;
    outlet.Server().Stop(kStopGrace);
}

void ManyOutlets(const std::string& server, const IdleOptions& options, IdleFigures& figures) {
    std::cerr << "  " << options.outlets << " outlets, idle for " << options.seconds << " s\n";
    const OutletDatabase where = options.database.For(server);
    PostgresStats stats(*where.postgres);
    PrintRoom room;
    std::vector<std::unique_ptr<QuietOutlet>> outlets;
    for (int i = 1; i <= options.outlets; ++i) {
        outlets.push_back(
            std::make_unique<QuietOutlet>(server, where, room, "KITCHEN" + std::to_string(i)));
    }
    const int alone = std::min(options.seconds, kAloneLongest);
    auto before = stats.ServerCpu();
    std::this_thread::sleep_for(std::chrono::seconds(alone));
    figures.aloneCpuMsPerSecond = 1000.0 * CpuBetween(before, stats.ServerCpu()) / alone;
    for (auto& outlet : outlets) {
        outlet->Start();
    }
    std::vector<std::string> databases;
    for (auto& outlet : outlets) {
        outlet->Settle();
        databases.push_back(outlet->Outlet().Database());
    }
    std::this_thread::sleep_for(kStartUpOver);
    const auto sessionsBefore = SessionCpu(stats, databases);
    const ProcessCpu backgroundBefore = ScheduledCpu(stats.BackgroundProcesses());
    before = stats.ServerCpu();
    std::this_thread::sleep_for(std::chrono::seconds(options.seconds));
    const double outletSeconds = static_cast<double>(options.outlets) * options.seconds;
    figures.perOutletCpuMsPerSecond =
        1000.0 * CpuBetween(before, stats.ServerCpu()) / outletSeconds;
    figures.backgroundCpuMsPerSecond =
        1000.0 * CpuBetween(backgroundBefore, ScheduledCpu(stats.BackgroundProcesses())) /
        options.seconds;
    for (const auto& [name, after] : SessionCpu(stats, databases)) {
        const auto earlier = sessionsBefore.find(name);
        const double used =
            1000.0 *
            CpuBetween(earlier == sessionsBefore.end() ? ProcessCpu{} : earlier->second, after) /
            outletSeconds;
        figures.sessionsCpuMsPerSecondByName[name] = used;
        figures.sessionsCpuMsPerSecond += used;
    }
    figures.serversUp = static_cast<int>(std::count_if(
        outlets.begin(), outlets.end(), [](auto& outlet) { return outlet->Server().Running(); }));
    // The servers are killed with their outlets: nothing is left to print.
}

}  // namespace

double BareSyncCpuMsPerSecond(const IdleOptions& options) {
    std::cerr << "  " << options.outlets << " bare sessions, one Sync a second for "
              << options.seconds << " s\n";
    const PostgresLogin login = PostgresLogin::FromEnvironment();
    const PostgresParameters parameters{
        {"host", "127.0.0.1"},        {"port", std::to_string(login.port)},
        {"dbname", "postgres"},       {"user", login.user},
        {"password", login.password}, {"application_name", "kps-idle-postgres bare Sync"}};
    std::vector<std::unique_ptr<PostgresLibpqSession>> sessions;
    std::vector<pid_t> backends;
    for (int i = 0; i < options.outlets; ++i) {
        sessions.push_back(
            std::make_unique<PostgresLibpqSession>(parameters, std::chrono::seconds(10)));
        backends.push_back(static_cast<pid_t>(sessions.back()->Backend()));
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const ProcessCpu before = ScheduledCpu(backends);
    // Spread over the second, as independent servers' confirmations are.
    const auto gap =
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::seconds(1)) /
        options.outlets;
    auto next = std::chrono::steady_clock::now();
    for (int second = 0; second < options.seconds; ++second) {
        for (auto& session : sessions) {
            if (!session->Sync()) {
                throw KpsError(kErrStatement, "A bare PostgreSQL session did not answer a Sync");
            }
            next += gap;
            std::this_thread::sleep_until(next);
        }
    }
    return 1000.0 * CpuBetween(before, ScheduledCpu(backends)) /
           (static_cast<double>(options.outlets) * options.seconds);
}

IdleFigures RunIdle(const std::string& server, const IdleOptions& options) {
    std::cerr << server << "\n";
    IdleFigures figures;
    OneOutlet(server, options, figures);
    ManyOutlets(server, options, figures);
    return figures;
}

}  // namespace kps::bench
