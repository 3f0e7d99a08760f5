#pragma once

#include <mutex>
#include <ostream>
#include <string>

#include "startup/Clock.h"

namespace kps {

// The daily log of printer trouble and operator decisions:
// DrivePath/LOG/Prt_ddmmyyyy.Log, one "dd/mm/yy hh:mm:ss message" line each,
// CR LF ended, in the configured code page. With a journal stream, every
// line also goes there with a syslog priority prefix, whether or not the
// file could be written. Safe to call from several threads.
class PrintLog {
  public:
    // `keepDays` > 0 removes day files older than that many days, judged by
    // the date in their name, when the first line of a day is written.
    PrintLog(std::string drivePath, const Clock& clock, int codePage = 1252,
             std::ostream* journal = nullptr, int keepDays = 0);

    // Appends one line; never fails its caller (an error loses the line).
    void WriteLog(const std::string& message) const;

    // Removes the day files older than `keepDays` (nothing when it is 0).
    void RemoveOldFiles() const;

    // The file a line written now goes to.
    std::string TodayFile() const;

  private:
    void WriteFile(const LocalDateTime& now, const std::string& message) const;
    void RemoveOldFilesLocked(const LocalDateTime& now) const;
    void ReportUnwritable(const std::string& reason) const;

    std::string drivePath_;
    const Clock& clock_;
    int codePage_;
    std::ostream* journal_;
    int keepDays_;

    mutable std::mutex mutex_;
    mutable int prunedDay_ = 0;  // yyyymmdd of the last removal of old files
    mutable bool unwritableReported_ = false;
};

// The syslog priority of a log line: 3 for errors, 4 for warnings, retries,
// diverts and cancellations, 5 for the rest.
int LogPriority(const std::string& message);

}  // namespace kps
