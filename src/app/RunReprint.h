#pragma once

#include <chrono>
#include <ostream>
#include <string>

namespace kps {

// How long --reprint waits for a server to take its request: a running
// server takes it at its next tick.
inline constexpr std::chrono::milliseconds kReprintTakeWait{5000};

// --reprint DEVICE [N]: leaves the server that runs on the settings file a
// request in its state folder and waits up to `wait` for the server to take
// it (the server removes the file then). It never takes the server's lock
// or lease and creates no folder, so it cannot stand in the way of a server
// that is starting, nor leave files the server cannot read. Returns the
// exit status: kExitNotReprinted when no server took the request (which is
// then withdrawn) or the state folder is missing.
int RunReprint(const std::string& iniPath, const std::string& device, int n, std::ostream& out,
               std::ostream& err, std::chrono::milliseconds wait = kReprintTakeWait);

}  // namespace kps
