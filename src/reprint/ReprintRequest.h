#pragma once

#include <string>
#include <vector>

namespace kps {

struct ReprintRequestEntry {
    std::string device;
    int n = 1;  // 1: the device's last ticket

    bool operator==(const ReprintRequestEntry&) const = default;
};

// How `--reprint DEVICE [N]` reaches the running server: a request file in
// the state folder, which both processes already share and which outlives a
// restart of the server, so no socket or port has to be agreed on. Each
// request is its own file, written atomically under a unique name.
// Throws KpsError when the folder cannot be written.
void WriteReprintRequest(const std::string& folder, const std::string& device, int n);

// Reads and removes the waiting requests, oldest first. A file that cannot
// be trusted is removed and left out.
std::vector<ReprintRequestEntry> TakeReprintRequests(const std::string& folder);

}  // namespace kps
