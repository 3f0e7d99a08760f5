#pragma once

#include <set>
#include <string>

namespace kps {

// Which printers are failing, so that a failure is reported once when it
// starts and once when the printer prints again, not on every tick.
class PrinterOutages {
  public:
    // True when `device` was not failing until now: the failure is news.
    bool Failed(const std::string& device) { return failing_.insert(device).second; }
    // True when `device` had been failing: it is back.
    bool Recovered(const std::string& device) { return failing_.erase(device) > 0; }

  private:
    std::set<std::string> failing_;
};

}  // namespace kps
