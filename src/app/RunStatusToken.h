#pragma once

#include <ostream>
#include <string>

namespace kps {

// --status-token: prints the link to the status page with the token of the
// server that runs on the settings file. Returns the exit status.
int RunStatusToken(const std::string& iniPath, std::ostream& out, std::ostream& err);

}  // namespace kps
