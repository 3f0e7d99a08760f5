#include "tickets/WaitingItemsPerDevice.h"

#include <strings.h>

#include <optional>

#include "startup/FlagText.h"

namespace kps {

namespace {

// The first column of that name, as Recordset::Field finds it.
std::optional<std::size_t> ColumnOf(const ResultTable& table, const char* name) {
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (strcasecmp(table.columns[i].c_str(), name) == 0) {
            return i;
        }
    }
    return std::nullopt;
}

// Device code -> name, for the devices the dispatch can load.
std::map<long, std::string> DeviceNames(const ResultTable& devices) {
    std::map<long, std::string> names;
    auto code = ColumnOf(devices, "Devicecode");
    auto name = ColumnOf(devices, "DeviceName");
    if (!code || !name) {
        return names;
    }
    for (const auto& row : devices.rows) {
        const Value& deviceName = row[*name];
        if (!row[*code].IsNull() && !deviceName.IsNull()) {
            names.emplace(std::strtol(row[*code].AsText().c_str(), nullptr, 10),
                          deviceName.AsText());
        }
    }
    return names;
}

}  // namespace

WaitingItemsRouting WaitingItemsPerDevice(const Recordset& items, const Recordset& devices) {
    WaitingItemsRouting routing;
    const std::map<long, std::string> names = DeviceNames(devices.Rows());
    const ResultTable& table = items.Rows();
    auto flagsColumn = ColumnOf(table, "RefPrinterGroup");
    auto idColumn = ColumnOf(table, "ID");
    for (const auto& row : table.rows) {
        bool routed = false;
        if (flagsColumn && !row[*flagsColumn].IsNull()) {
            for (int position : FlaggedPositions(row[*flagsColumn].AsText())) {
                auto device = names.find(position);
                if (device != names.end()) {
                    ++routing.perDevice[device->second];
                    routed = true;
                }
            }
        }
        if (!routed) {
            ++routing.unroutable;
            if (idColumn) {
                routing.unroutableIds.push_back(row[*idColumn].AsText());
            }
        }
    }
    return routing;
}

}  // namespace kps
