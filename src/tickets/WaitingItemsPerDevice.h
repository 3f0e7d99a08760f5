#pragma once

#include <map>
#include <string>
#include <vector>

#include "database/Recordset.h"

namespace kps {

struct WaitingItemsRouting {
    std::map<std::string, long> perDevice;  // DeviceName -> items it would print
    long unroutable = 0;  // items of no item row, no group, or a group naming no device
    std::vector<std::string> unroutableIds;
};

// Counts the waiting items (the main window's PendingItems rows, each joined
// to its printer group's RefPrinterGroup) per device of the device list
// (DeviceList rows: Devicecode, DeviceName). An item counts once for every
// existing device its group flags. Reads the rows only; no cursor moves.
WaitingItemsRouting WaitingItemsPerDevice(const Recordset& items, const Recordset& devices);

}  // namespace kps
