#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mainwindow/WaitingGrid.h"
#include "output/PosPrinterRegistry.h"
#include "reprint/ReprintStore.h"
#include "sending/PrinterStates.h"
#include "startup/Clock.h"
#include "startup/SecondsHistogram.h"

namespace kps {

using SteadyTime = std::chrono::steady_clock::time_point;

// Every device's kept tickets, the last first.
using KeptTickets = std::map<std::string, std::vector<StoredTicket>>;

struct PrinterSnapshot {
    PrinterStatus status;
    std::string printingType;    // "O", "D" or "W"; empty for a device missing from the device list
    long ticketsOnTheirWay = 0;  // in its lane, or waiting for a divert question
    // Since the tick that first found it not printing (failing, asking or
    // suspended); nothing while it prints.
    std::optional<SteadyTime> notPrintingSince;
    // Since its waiting items last went without a ticket printed on it;
    // nothing while none wait.
    std::optional<SteadyTime> waitingSince;
};

struct ServerSnapshot {
    bool standby = false;
    std::string statusLine;  // the window's status label
    long long ticks = 0;     // polling cycles since the start
    LocalDateTime lastTick;  // when the last one ended
    SteadyTime lastTickEnded;
    std::chrono::steady_clock::duration lastTickTook{};
    long waitingItems = 0;
    long unroutableItems = 0;
    std::chrono::seconds alertAfter{0};  // a printer down this long is an alert; 0: never
    SecondsHistogram::Counts firstByte;  // kitchen tickets' waits to their first byte
    SecondsHistogram::Counts passes;     // how long the passes took
    long long databaseErrors = 0;        // statements that failed since the start
};

// What the server looked like when a tick ended. Built and published by
// the tick thread; read, never changed, by the status server's threads.
struct StatusSnapshot {
    // Waiting items beyond this many are counted, not listed.
    static constexpr std::size_t kMaxWaitingRows = WaitingGrid::kMaxRows;

    ServerSnapshot server;
    std::vector<PrinterSnapshot> printers;
    std::vector<WaitingGrid::Row> waiting;  // the window's grid, its first rows
    std::shared_ptr<const KeptTickets> tickets = std::make_shared<const KeptTickets>();
    int codePage = 1252;  // of printer output
    // Each printer's own encoding, for reading its kept tickets; null: all
    // in codePage. It outlives the status server.
    const PosPrinterRegistry* registry = nullptr;

    // Null when no such printer is known.
    const PrinterSnapshot* FindPrinter(const std::string& device) const;
    // A printer's or a device's kept tickets; null when neither is known.
    const std::vector<StoredTicket>* FindTickets(const std::string& device) const;
};

}  // namespace kps
