#pragma once

#include <optional>
#include <string>

#include "harness/DatabaseChoice.h"
#include "harness/TickWatch.h"

namespace kps::bench {

struct BacklogOptions {
    int items = 5000;       // waiting when the server starts, over
    int tickets = 3250;     // one table a ticket, one or two items each
    int printers = 10;      // instant network printers
    int bigItems = 100000;  // waiting with no device to print them
    int drainSeconds = 900;
    bool strace = true;  // count the server's disk syncs
    DatabaseChoice database;
};

struct BacklogFigures {
    // The drain.
    long ticketsPrinted = 0;
    long itemsLeft = 0;          // still waiting at the deadline
    double lastByteSeconds = 0;  // from the start to the last ticket's first byte
    double settleMs = -1;        // from that byte to every item marked printed
    double longestTickMs = 0;
    std::optional<PassLengths> passes;  // the server's own count; none from an older server
    long syncs = -1;                    // -1: not counted
    // The big backlog (SQLite).
    long bigPeakKb = 0;
    double bigTickMs = 0;  // median of the ticks after the first
    double bigFirstTickMs = 0;
    double cliQueryMs = 0;  // the sqlite3 tool running the grid's query, median of three
    long bigTicks = 0;
};

BacklogFigures RunBacklog(const std::string& server, const BacklogOptions& options);

}  // namespace kps::bench
