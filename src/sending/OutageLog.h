#pragma once

#include <map>
#include <set>
#include <string>

#include "startup/PrintLog.h"

namespace kps {

// A printer's outage runs from its first failure to its next printed
// ticket; in it each failure line reaches the print log once, not on every
// tick.
class OutageLog {
  public:
    explicit OutageLog(const PrintLog& log) : log_(log) {}

    // Writes `line` unless this outage of `device` wrote it already; the
    // outage starts if it was not running. True when the line was written.
    bool Once(const std::string& device, const std::string& line);

    // The device printed: its outage ends. True when one was running.
    bool Recovered(const std::string& device) { return outages_.erase(device) > 0; }

  private:
    const PrintLog& log_;
    std::map<std::string, std::set<std::string>> outages_;  // device, the lines written
};

}  // namespace kps
