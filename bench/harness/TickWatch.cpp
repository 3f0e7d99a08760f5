#include "harness/TickWatch.h"

#include <httplib.h>

#include <algorithm>
#include <limits>
#include <sstream>

namespace kps::bench {
namespace {

constexpr const char* kLastTick = "kps_server_last_tick_duration_seconds";
constexpr const char* kTicks = "kps_server_ticks_total";

// The value of an unlabelled sample line "name value".
std::optional<double> SampleOf(const std::string& page, const std::string& name) {
    std::istringstream lines(page);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(name + " ")) {
            return std::stod(line.substr(name.size() + 1));
        }
    }
    return std::nullopt;
}

std::optional<std::string> MetricsPage(httplib::Client& client) {
    const httplib::Result reply = client.Get("/metrics");
    if (!reply || reply->status != 200) {
        return std::nullopt;
    }
    return reply->body;
}

httplib::Client ClientOf(int port) {
    httplib::Client client("127.0.0.1", port);
    client.set_connection_timeout(std::chrono::seconds(1));
    client.set_read_timeout(std::chrono::seconds(5));
    return client;
}

}  // namespace

std::optional<double> ReadMetric(int port, const std::string& name) {
    httplib::Client client = ClientOf(port);
    const std::optional<std::string> page = MetricsPage(client);
    return page ? SampleOf(*page, name) : std::nullopt;
}

std::optional<PassLengths> ReadPassLengths(int port) {
    constexpr std::string_view kName = "kps_server_pass_duration_seconds";
    httplib::Client client = ClientOf(port);
    const std::optional<std::string> page = MetricsPage(client);
    const std::optional<double> count =
        page ? SampleOf(*page, std::string(kName) + "_count") : std::nullopt;
    if (!count) {
        return std::nullopt;
    }
    PassLengths lengths;
    lengths.passes = static_cast<long>(*count);
    lengths.longestAtMostSeconds = std::numeric_limits<double>::infinity();
    // Bucket lines are cumulative, in rising order of their bounds.
    std::istringstream lines(*page);
    const std::string bucket = std::string(kName) + "_bucket{le=\"";
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with(bucket) || line.find("+Inf") != std::string::npos) {
            continue;
        }
        const double bound = std::stod(line.substr(bucket.size()));
        const long upTo = std::stol(line.substr(line.rfind(' ') + 1));
        if (bound == 1.0) {
            lengths.overOneSecond = lengths.passes - upTo;
        }
        if (upTo == lengths.passes) {
            lengths.longestAtMostSeconds = std::min(lengths.longestAtMostSeconds, bound);
        }
    }
    return lengths;
}

TickWatch::TickWatch(int statusPort, std::chrono::milliseconds every)
    : port_(statusPort), every_(every), thread_([this] { Watch(); }) {}

TickWatch::~TickWatch() {
    stop_ = true;
    thread_.join();
}

double TickWatch::LongestSeconds() const {
    std::lock_guard lock(mutex_);
    return longest_;
}

long TickWatch::Ticks() const {
    std::lock_guard lock(mutex_);
    return ticks_;
}

std::vector<double> TickWatch::Durations() const {
    std::lock_guard lock(mutex_);
    return durations_;
}

void TickWatch::Watch() {
    httplib::Client client = ClientOf(port_);
    client.set_keep_alive(true);
    while (!stop_) {
        if (const std::optional<std::string> page = MetricsPage(client)) {
            const std::optional<double> last = SampleOf(*page, kLastTick);
            const std::optional<double> ticks = SampleOf(*page, kTicks);
            std::lock_guard lock(mutex_);
            longest_ = std::max(longest_, last.value_or(0));
            const long now = static_cast<long>(ticks.value_or(static_cast<double>(ticks_)));
            if (now != ticks_ && last) {
                durations_.push_back(*last);
            }
            ticks_ = now;
        }
        std::this_thread::sleep_for(every_);
    }
}

}  // namespace kps::bench
