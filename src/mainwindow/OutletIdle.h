#pragma once

#include <string>

#include "mainwindow/MDIForm1.h"
#include "sending/PrinterStates.h"
#include "sending/TicketRecords.h"

namespace kps {

// What the server looks at to tell an idle outlet, read on the tick thread.
struct OutletActivity {
    MDIForm1& form;
    const PrinterStates& states;
    const TicketRecords& records;
    const std::string& stateFolder;  // where reprint requests arrive
};

// True when nothing the clock drives is under way: no item or notice waits
// (the last pass found none), every printer prints, no question is open, no
// ticket is on its way or waiting to be marked, no reprint request waits,
// and the server is not on standby. Retries, divert questions, outage
// probes and take-overs all run on the clock's passes.
bool OutletIdle(const OutletActivity& outlet);

}  // namespace kps
