#pragma once

#include <string>
#include <vector>

#include "startup/PrintLog.h"

namespace kps {

struct ReprintRequestEntry {
    std::string device;
    int n = 1;  // 1: the device's last ticket

    bool operator==(const ReprintRequestEntry&) const = default;
};

// How `--reprint DEVICE [N]` reaches the running server: a request file in
// the state folder, which both processes already share and which outlives a
// restart of the server, so no socket or port has to be agreed on. Each
// request is its own file, written atomically under a unique name; the
// server removes it when it takes it. Returns the request file's path.
// Throws KpsError when the folder cannot be written.
std::string WriteReprintRequest(const std::string& folder, const std::string& device, int n);

// Takes back a request nobody took. False when it was gone already: a
// server took it after all.
bool WithdrawReprintRequest(const std::string& requestFile);

// Whether a request waits to be taken; reads no file.
bool ReprintRequestsWaiting(const std::string& folder);

// Reads and removes the waiting requests, oldest first. A file that cannot
// be trusted is set aside (and logged), never acted on.
std::vector<ReprintRequestEntry> TakeReprintRequests(const std::string& folder,
                                                     const PrintLog& log);

}  // namespace kps
