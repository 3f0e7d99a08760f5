#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "startup/Clock.h"
#include "startup/PrintLog.h"

namespace kps {

// One ticket as a device printed it, kept for a reprint.
struct StoredTicket {
    std::vector<std::string> lines;  // the List3 entries as sent
    std::size_t headerEnd = 0;       // lines [0, headerEnd) are the header
    std::vector<std::string> itemIds;
    LocalDateTime time;
    std::string key;   // the table or item code it was composed for
    int columns = 40;  // characters per line of its paper

    bool operator==(const StoredTicket&) const = default;
};

// The last tickets of every device, kept in the state folder (one file per
// device) so that they survive a restart; a device's file is written once
// per Save, however many tickets it printed since. A file that cannot be trusted is
// set aside with a log line, never read again; a folder that cannot be written is logged once
// and the tickets are then kept in memory only.
class ReprintStore {
  public:
    static constexpr std::size_t kKeptPerDevice = 50;

    // Loads the files already in `folder`.
    ReprintStore(std::string folder, const PrintLog& log);

    // Kept at once; on disk after the next Save.
    void Remember(const std::string& device, StoredTicket ticket);
    // Writes the file of every device that has a ticket not yet written.
    void Save();

    // n = 1 is the last ticket, n = 2 the one before, ...
    std::optional<StoredTicket> Recent(const std::string& device, int n) const;

    // Every device's kept tickets, the last first.
    std::map<std::string, std::vector<StoredTicket>> Everything() const;
    // Grows with every ticket remembered: Everything() changed when it did.
    std::size_t Revision() const;

  private:
    void Load(const std::string& path);
    void SaveDevice(const std::string& device, const std::deque<StoredTicket>& tickets);
    std::string FileOf(const std::string& device) const;

    std::string folder_;
    const PrintLog& log_;
    mutable std::mutex mutex_;
    std::map<std::string, std::deque<StoredTicket>> tickets_;
    std::set<std::string> unsaved_;
    std::size_t revision_ = 0;
    bool saveFailureLogged_ = false;
};

}  // namespace kps
