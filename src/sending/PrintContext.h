#pragma once

#include <chrono>

#include "database/Connection.h"
#include "output/PosPrinterRegistry.h"
#include "output/PrinterCodes.h"
#include "output/TicketBuffers.h"
#include "reprint/ReprintJournal.h"
#include "sending/DivertState.h"
#include "sending/PrintDeviceSetting.h"
#include "sending/PrintWindow.h"
#include "sending/PrinterStates.h"
#include "sending/TicketRecords.h"
#include "startup/Clock.h"
#include "startup/Operator.h"
#include "startup/PrintLog.h"

namespace kps {

// The process state and ports the printing routines work with, created in
// main() (or a test) and handed in by reference.
struct PrintContext {
    Connection& db;
    const PrintLog& log;
    const Clock& clock;
    Operator& op;
    PrintWindow& window;
    PrinterCodes& codes;
    PrintDeviceSetting& device;
    TicketBuffers& ticket;
    DivertState& divert;
    TicketRecords& records;
    PrinterStates& states;
    ReprintJournal& journal;
    int codePage = 1252;
    std::string settingsFolder;  // where layout files are looked for after the current folder
    // The receipt printers' encodings and paper; null: every printer in codePage.
    const PosPrinterRegistry* printers = nullptr;
    // When the pass that first found the items of the ticket being composed
    // waiting started; set by the dispatcher.
    std::chrono::steady_clock::time_point itemsFound{};
};

}  // namespace kps
