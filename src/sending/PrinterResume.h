#pragma once

#include <string>

#include "sending/DivertState.h"
#include "sending/PrinterStates.h"

namespace kps {

// "Resume" on one suspended printer, from the window or the status page:
// it alone prints again. False when it was not suspended.
bool ResumePrinter(DivertState& divert, PrinterStates& states, const std::string& device);

// "Restart" (the window's button, a headless server's SIGHUP): every
// suspended printer prints again, and says so.
void RestartPrinters(DivertState& divert, PrinterStates& states);

}  // namespace kps
