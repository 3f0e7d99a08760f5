#pragma once

#include <string>

#include "output/PosPrinterRegistry.h"
#include "sending/PrintJob.h"

namespace kps {

// The printer a job goes to, as a lane's key: the same for every device name
// that leads to one printer, so that their tickets never interleave there.
// A network printer ("O") is its host in lower case and its port, as the
// registry resolves the device name; a direct port ("D") is the port's name
// in capitals (LPT1, COM1, PRN) or the file's full path; any other job keeps
// its device name.
std::string LaneDestination(const PrintJob& job, const PosPrinterRegistry& registry);

}  // namespace kps
