#include "tickets/WaitingItemsPerDevice.h"

#include <strings.h>

#include <cstdlib>

#include "startup/FlagText.h"

namespace kps {

namespace {

// The first column of that name, as Recordset::Field finds it.
std::optional<std::size_t> ColumnOf(const std::vector<std::string>& columns, const char* name) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (strcasecmp(columns[i].c_str(), name) == 0) {
            return i;
        }
    }
    return std::nullopt;
}

// Device code -> name, for the devices the dispatch can load.
std::map<long, std::string> DeviceNames(const ResultTable& devices) {
    std::map<long, std::string> names;
    auto code = ColumnOf(devices.columns, "Devicecode");
    auto name = ColumnOf(devices.columns, "DeviceName");
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

WaitingItemsPerDevice::WaitingItemsPerDevice(const Recordset& devices)
    : deviceNames_(DeviceNames(devices.Rows())) {}

void WaitingItemsPerDevice::Columns(const std::vector<std::string>& names) {
    flagsColumn_ = ColumnOf(names, "RefPrinterGroup");
    idColumn_ = ColumnOf(names, "ID");
}

void WaitingItemsPerDevice::Row(std::vector<Value>& values) {
    ++routing_.waiting;
    const Value* flags = flagsColumn_ ? &values[*flagsColumn_] : nullptr;
    const std::vector<long*>* counters =
        flags != nullptr && !flags->IsNull() ? &Route(flags->AsText()) : nullptr;
    if (counters != nullptr && !counters->empty()) {
        for (long* counter : *counters) {
            ++*counter;
        }
        return;
    }
    ++routing_.unroutable;
    if (idColumn_) {
        routing_.unroutableIds.push_back(values[*idColumn_].AsText());
    }
}

const std::vector<long*>& WaitingItemsPerDevice::Route(const std::string& flags) {
    auto [route, added] = routes_.try_emplace(flags);
    if (added) {
        for (int position : FlaggedPositions(flags)) {
            auto device = deviceNames_.find(position);
            if (device != deviceNames_.end()) {
                // Map nodes stay put, so the counter's address does too.
                route->second.push_back(&routing_.perDevice[device->second]);
            }
        }
    }
    return route->second;
}

}  // namespace kps
