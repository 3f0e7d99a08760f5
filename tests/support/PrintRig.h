#pragma once

#include <string>

#include "database/Connection.h"
#include "sending/LaneJobRunner.h"
#include "sending/PrintContext.h"
#include "sending/SystemPrinterJobRunner.h"
#include "startup/PrintLog.h"
#include "support/FakePrintWindow.h"
#include "support/Fakes.h"
#include "support/InlinePrinterLanes.h"

namespace kps::test {

// The printing process state with every port faked, around a real database
// connection: what main() would build, for tests and benchmarks. Lanes run
// their jobs as they are submitted: tickets on posPrinter, divert prints on
// divertPrinter. A fixture may inherit it after a base owning the
// connection, so the members read as its own.
struct PrintRig {
    PrintRig(Connection& db, const std::string& folder);
    PrintRig(const PrintRig&) = delete;
    PrintRig& operator=(const PrintRig&) = delete;

    // Today's log file as written, or "" before the first line.
    std::string LogText() const;

    FakeClock clock;
    PrintLog log;
    FakeOperator op;
    FakePrintWindow window;
    FakeSystemPrinter systemPrinter;
    FakePosPrinter posPrinter;
    FakePosPrinter divertPrinter;  // for the divert dialog, apart from the window's
    FakePinger pinger;
    FakeWaitPause pause;
    LaneJobRunner laneRunner;
    LaneJobRunner divertRunner;
    SystemPrinterJobRunner systemRunner;
    InlinePrinterLanes lanes;
    PrinterCodes codes;
    PrintDeviceSetting device;
    TicketBuffers ticket;
    DivertState divert;
    TicketRecords records;
    PrinterStates states;
    ReprintJournal journal{"", log};
    PrintContext ctx;
};

}  // namespace kps::test
