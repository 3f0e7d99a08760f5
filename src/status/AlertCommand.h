#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "startup/PrintLog.h"
#include "status/PrinterAlerts.h"

namespace kps {

// [PrintServer] AlertCommand, run for each alert and its end on a thread of
// its own, so a slow command never holds a tick. No shell: the setting is
// split at spaces into the program and its arguments; what the alert is
// about reaches it only through its environment (KPS_ALERT=raised|ended,
// KPS_ALERT_PRINTER, KPS_ALERT_REASON, KPS_ALERT_SECONDS, KPS_ALERT_TEXT).
// Each run is ended after 10 s; a failed run is logged.
class AlertCommand {
  public:
    // Runs waiting beyond this many are dropped, with a log line.
    static constexpr std::size_t kMaxWaiting = 16;

    AlertCommand(const std::string& command, const PrintLog& log);
    // Lets the run under way end (within its bound) and drops the rest.
    ~AlertCommand();
    AlertCommand(const AlertCommand&) = delete;
    AlertCommand& operator=(const AlertCommand&) = delete;

    void Run(const AlertEvent& event);

  private:
    void Work();

    std::vector<std::string> argv_;
    const PrintLog& log_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<AlertEvent> waiting_;
    bool stopping_ = false;
    std::thread worker_;
};

// The command's environment entries for `event`.
std::vector<std::string> AlertEnvironment(const AlertEvent& event);

}  // namespace kps
