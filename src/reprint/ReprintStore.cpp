#include "reprint/ReprintStore.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "startup/IsoDateTime.h"
#include "startup/StateFolder.h"
#include "startup/StateRecord.h"
#include "text/KpsError.h"

namespace kps {

namespace {

// Version 1 files, written before tickets kept their key and paper width,
// are still read.
constexpr std::string_view kKind = "kitchen-print-server reprint 2";
constexpr std::string_view kKindWithoutKey = "kitchen-print-server reprint 1";
constexpr long long kMaxColumns = 10000;
constexpr std::string_view kPrefix = "reprint-";
constexpr std::string_view kSuffix = ".tickets";

// Device names become file names: letters, digits, '-' and '_' stay,
// every other byte is written %XX.
std::string EscapeFileName(const std::string& device) {
    std::string name;
    for (unsigned char c : device) {
        if (std::isalnum(c) != 0 || c == '-' || c == '_') {
            name += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            name += escaped;
        }
    }
    return name;
}

std::string Serialise(const std::string& device, const std::deque<StoredTicket>& tickets) {
    StateRecordWriter record(kKind);
    record.Add(device);
    record.Add(static_cast<long long>(tickets.size()));
    for (const StoredTicket& ticket : tickets) {
        record.Add(FormatIsoDateTime(ticket.time));
        record.Add(ticket.key);
        record.Add(static_cast<long long>(ticket.columns));
        record.Add(static_cast<long long>(ticket.headerEnd));
        record.Add(static_cast<long long>(ticket.lines.size()));
        for (const std::string& line : ticket.lines) {
            record.Add(line);
        }
        record.Add(static_cast<long long>(ticket.itemIds.size()));
        for (const std::string& id : ticket.itemIds) {
            record.Add(id);
        }
    }
    return record.Finish();
}

// Reads `count` text fields; false when one is missing.
bool ReadTexts(StateRecordReader& record, std::vector<std::string>& texts) {
    auto count = record.Number();
    if (!count || *count < 0) {
        return false;
    }
    for (long long i = 0; i < *count; ++i) {
        auto text = record.Text();
        if (!text) {
            return false;
        }
        texts.push_back(std::move(*text));
    }
    return true;
}

std::optional<StoredTicket> ReadTicket(StateRecordReader& record, bool withKey) {
    StoredTicket ticket;
    auto time = record.Text();
    auto parsedTime = time ? ParseIsoDateTime(*time) : std::nullopt;
    if (withKey) {
        auto key = record.Text();
        auto columns = record.Number();
        if (!key || !columns || *columns < 1 || *columns > kMaxColumns) {
            return std::nullopt;
        }
        ticket.key = std::move(*key);
        ticket.columns = static_cast<int>(*columns);
    }
    auto headerEnd = record.Number();
    if (!parsedTime || !headerEnd || *headerEnd < 0 || !ReadTexts(record, ticket.lines) ||
        !ReadTexts(record, ticket.itemIds)) {
        return std::nullopt;
    }
    ticket.time = *parsedTime;
    ticket.headerEnd = static_cast<std::size_t>(*headerEnd);
    return ticket;
}

}  // namespace

ReprintStore::ReprintStore(std::string folder, const PrintLog& log)
    : folder_(std::move(folder)), log_(log) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(kPrefix) && name.ends_with(kSuffix)) {
            Load(entry.path().string());
        }
    }
}

void ReprintStore::Load(const std::string& path) {
    std::optional<std::string> bytes = ReadWholeFile(path);
    std::optional<StateRecordReader> record =
        bytes ? StateRecordReader::Open(*bytes, kKind) : std::nullopt;
    const bool withKey = record.has_value();
    if (!record && bytes) {
        record = StateRecordReader::Open(*bytes, kKindWithoutKey);
    }
    std::optional<std::string> device = record ? record->Text() : std::nullopt;
    std::optional<long long> count = record ? record->Number() : std::nullopt;
    std::deque<StoredTicket> tickets;
    for (long long i = 0; count && i < *count; ++i) {
        std::optional<StoredTicket> ticket = ReadTicket(*record, withKey);
        if (!ticket) {
            count.reset();
            break;
        }
        tickets.push_back(std::move(*ticket));
    }
    if (!device || !count || !record->AtEnd()) {
        SetAsideDamagedFile(path, log_);
        return;
    }
    while (tickets.size() > kKeptPerDevice) {
        tickets.pop_front();
    }
    tickets_[*device] = std::move(tickets);
}

std::map<std::string, std::vector<StoredTicket>> ReprintStore::Everything() const {
    std::lock_guard lock(mutex_);
    std::map<std::string, std::vector<StoredTicket>> everything;
    for (const auto& [device, tickets] : tickets_) {
        everything.emplace(device, std::vector<StoredTicket>(tickets.rbegin(), tickets.rend()));
    }
    return everything;
}

std::size_t ReprintStore::Revision() const {
    std::lock_guard lock(mutex_);
    return revision_;
}

void ReprintStore::Remember(const std::string& device, StoredTicket ticket) {
    std::lock_guard lock(mutex_);
    std::deque<StoredTicket>& tickets = tickets_[device];
    ++revision_;
    tickets.push_back(std::move(ticket));
    if (tickets.size() > kKeptPerDevice) {
        tickets.pop_front();
    }
    unsaved_.insert(device);
}

void ReprintStore::Save() {
    std::lock_guard lock(mutex_);
    for (const std::string& device : std::exchange(unsaved_, {})) {
        SaveDevice(device, tickets_.at(device));
    }
}

std::optional<StoredTicket> ReprintStore::Recent(const std::string& device, int n) const {
    std::lock_guard lock(mutex_);
    auto found = tickets_.find(device);
    if (found == tickets_.end() || n < 1 || static_cast<std::size_t>(n) > found->second.size()) {
        return std::nullopt;
    }
    return found->second[found->second.size() - static_cast<std::size_t>(n)];
}

void ReprintStore::SaveDevice(const std::string& device, const std::deque<StoredTicket>& tickets) {
    try {
        WriteFileAtomically(FileOf(device), Serialise(device, tickets));
        saveFailureLogged_ = false;
    } catch (const KpsError& error) {
        // Printing goes on without the file; one line per outage, not per ticket.
        if (!saveFailureLogged_) {
            log_.WriteLog("State folder cannot be written: " + error.Description());
            saveFailureLogged_ = true;
        }
    }
}

std::string ReprintStore::FileOf(const std::string& device) const {
    return (std::filesystem::path(folder_) /
            (std::string(kPrefix) + EscapeFileName(device) + std::string(kSuffix)))
        .string();
}

}  // namespace kps
