#include "status/AlertCommand.h"

#include <sstream>

#include "output/BoundedTool.h"

namespace kps {

namespace {

constexpr ToolLimits kAlertLimits{std::chrono::seconds(10), std::chrono::seconds(2)};

std::vector<std::string> SplitAtSpaces(const std::string& command) {
    std::vector<std::string> words;
    std::istringstream in(command);
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

}  // namespace

std::vector<std::string> AlertEnvironment(const AlertEvent& event) {
    return {std::string("KPS_ALERT=") + (event.raised ? "raised" : "ended"),
            "KPS_ALERT_PRINTER=" + event.device, "KPS_ALERT_REASON=" + event.reason,
            "KPS_ALERT_SECONDS=" + std::to_string(event.seconds),
            "KPS_ALERT_TEXT=" + AlertLine(event)};
}

AlertCommand::AlertCommand(const std::string& command, const PrintLog& log)
    : argv_(SplitAtSpaces(command)), log_(log) {
    if (!argv_.empty()) {
        worker_ = std::thread([this] { Work(); });
    }
}

AlertCommand::~AlertCommand() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (worker_.joinable()) {
        worker_.join();
    }
}

void AlertCommand::Run(const AlertEvent& event) {
    if (argv_.empty()) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        if (waiting_.size() >= kMaxWaiting) {
            log_.WriteLog("Alert command '" + argv_[0] + "' is behind; an alert was not passed on");
            return;
        }
        waiting_.push_back(event);
    }
    wake_.notify_one();
}

void AlertCommand::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (stopping_) {
            return;
        }
        const AlertEvent event = waiting_.front();
        waiting_.pop_front();
        lock.unlock();
        if (!RunBoundedTool(argv_, "", nullptr, kAlertLimits, AlertEnvironment(event))) {
            log_.WriteLog("Error Alert command '" + argv_[0] + "' failed");
        }
        lock.lock();
    }
}

}  // namespace kps
