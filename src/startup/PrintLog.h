#pragma once

#include <string>

#include "startup/Clock.h"

namespace kps {

// The daily log of printer trouble and operator decisions:
// DrivePath/LOG/Prt_ddmmyyyy.Log, one "dd/mm/yy hh:mm:ss message" line each,
// CR LF ended, in the configured code page.
class PrintLog {
  public:
    PrintLog(std::string drivePath, const Clock& clock, int codePage = 1252);

    // Appends one line; never fails its caller (an error loses the line).
    void WriteLog(const std::string& message) const;

    // The file a line written now goes to.
    std::string TodayFile() const;

  private:
    std::string drivePath_;
    const Clock& clock_;
    int codePage_;
};

}  // namespace kps
