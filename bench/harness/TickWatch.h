#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace kps::bench {

// A number of the server's /metrics page on 127.0.0.1:port; nothing when the
// page does not answer or does not have it.
std::optional<double> ReadMetric(int port, const std::string& name);

// The server's own count of its passes by length (its pass histogram): how
// many there were, how many took longer than a second, and the upper bound
// of the longest one's bucket (+inf past the last bound). Nothing when the
// page does not answer or the server has no such histogram.
struct PassLengths {
    long passes = 0;
    long overOneSecond = 0;
    double longestAtMostSeconds = 0;
};
std::optional<PassLengths> ReadPassLengths(int port);

// Watches how long a server's ticks take through its status page: polls
// /metrics and keeps the longest "last tick" seen. A long tick is not
// missed, as it stays the last one until the next tick ends; a tick shorter
// than the poll gap right after another may be.
class TickWatch {
  public:
    explicit TickWatch(int statusPort,
                       std::chrono::milliseconds every = std::chrono::milliseconds(20));
    ~TickWatch();
    TickWatch(const TickWatch&) = delete;
    TickWatch& operator=(const TickWatch&) = delete;

    // Seconds; 0 before the page first answered.
    double LongestSeconds() const;
    // Ticks since the server started, at the last answer.
    long Ticks() const;
    // The length of each tick seen end, in seconds, oldest first.
    std::vector<double> Durations() const;

  private:
    void Watch();

    int port_;
    std::chrono::milliseconds every_;
    mutable std::mutex mutex_;
    double longest_ = 0;
    long ticks_ = 0;
    std::vector<double> durations_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace kps::bench
