#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "harness/DatabaseChoice.h"

namespace kps::bench {

struct IdleOptions {
    int seconds = 60;  // span of each measurement
    int outlets = 20;  // servers side by side on one PostgreSQL
    DatabaseChoice database{true, true};
};

struct IdleFigures {
    // One outlet.
    double statementsPerSecond = 0;
    double transactionsPerSecond = 0;
    double serverCpuPercent = 0;        // of one core
    double databaseCpuMsPerSecond = 0;  // every PostgreSQL process
    // What it ran most often over the span, with the counts.
    std::vector<std::pair<long, std::string>> topStatements;
    // Many outlets: PostgreSQL's CPU with no server running, and per outlet
    // with all of them running (the instance's own share included).
    double aloneCpuMsPerSecond = 0;
    double perOutletCpuMsPerSecond = 0;
    // Of that, exactly: the processes serving the outlets' sessions, per
    // outlet, in all and by the application name of the session; and
    // PostgreSQL's own background processes, in all.
    double sessionsCpuMsPerSecond = 0;
    std::map<std::string, double> sessionsCpuMsPerSecondByName;
    double backgroundCpuMsPerSecond = 0;
    int serversUp = 0;  // of the outlets, servers that were still running at the end
};

IdleFigures RunIdle(const std::string& server, const IdleOptions& options);

// This machine's floor for the lease's confirmation: `options.outlets` bare
// libpq sessions on the same PostgreSQL, each sending one protocol Sync a
// second and nothing else for `options.seconds`; their server processes'
// CPU, in ms a second per session.
double BareSyncCpuMsPerSecond(const IdleOptions& options);

}  // namespace kps::bench
