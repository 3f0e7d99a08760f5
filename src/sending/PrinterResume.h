#pragma once

#include <string>

#include "sending/DivertState.h"
#include "sending/PrinterStates.h"

namespace kps {

// "Resume" on one suspended printer, from the window or the status page:
// it alone prints again. False when it was not suspended.
bool ResumePrinter(DivertState& divert, PrinterStates& states, const std::string& device);

}  // namespace kps
