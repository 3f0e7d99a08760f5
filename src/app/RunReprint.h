#pragma once

#include <ostream>
#include <string>

namespace kps {

// --reprint DEVICE [N]: while a server runs on the settings file, leaves it
// a request that its next tick serves; with none running, prints the kept
// ticket itself through the device's lane and waits for the printer's word.
// Returns the exit status.
int RunReprint(const std::string& iniPath, const std::string& device, int n, std::ostream& out,
               std::ostream& err);

}  // namespace kps
