#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "database/Recordset.h"
#include "database/RowSink.h"

namespace kps {

struct WaitingItemsRouting {
    long waiting = 0;                       // every waiting item
    std::map<std::string, long> perDevice;  // DeviceName -> items it would print
    long unroutable = 0;  // items of no item row, no group, or a group naming no device
    std::vector<std::string> unroutableIds;
};

// Counts the waiting items (the main window's PendingItems rows, each joined
// to its printer group's RefPrinterGroup) per device of the device list
// (DeviceList rows: Devicecode, DeviceName), one row at a time as they are
// read, holding none. An item counts once for every existing device its
// group flags.
class WaitingItemsPerDevice final : public RowSink {
  public:
    // Reads the device list's rows only; no cursor moves.
    explicit WaitingItemsPerDevice(const Recordset& devices);
    // Holds pointers into itself.
    WaitingItemsPerDevice(const WaitingItemsPerDevice&) = delete;
    WaitingItemsPerDevice& operator=(const WaitingItemsPerDevice&) = delete;

    void Columns(const std::vector<std::string>& names) override;
    void Row(std::vector<Value>& values) override;

    const WaitingItemsRouting& Routing() const { return routing_; }

  private:
    // The counters of the devices a flag text names; found once per text.
    const std::vector<long*>& Route(const std::string& flags);

    std::map<long, std::string> deviceNames_;  // code -> name
    std::unordered_map<std::string, std::vector<long*>> routes_;
    std::optional<std::size_t> flagsColumn_;
    std::optional<std::size_t> idColumn_;
    WaitingItemsRouting routing_;
};

}  // namespace kps
