#include "sending/ThreadedPrinterLanes.h"

#include <utility>

namespace kps {

ThreadedPrinterLanes::ThreadedPrinterLanes(RunnerFactory makeRunner, const LeaseFence* fence,
                                           LaneKey laneOf)
    : makeRunner_(std::move(makeRunner)),
      fence_(fence),
      laneOf_(laneOf ? std::move(laneOf) : [](const PrintJob& job) { return job.device; }) {}

ThreadedPrinterLanes::~ThreadedPrinterLanes() {
    // Every exchange of a job is bounded in time, so the wait ends.
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        for (auto& [name, lane] : lanes_) {
            lane->jobs.clear();
        }
    }
    work_.notify_all();
    for (auto& [name, lane] : lanes_) {
        if (lane->thread.joinable()) {
            lane->thread.join();
        }
    }
}

void ThreadedPrinterLanes::Submit(PrintJob job) {
    // The key may be looked up in files: the lanes do not wait for that.
    const std::string key = laneOf_(job);
    std::lock_guard lock(mutex_);
    if (stopping_) {
        return;
    }
    job.number = ++submitted_;
    auto& lane = lanes_[key];
    if (!lane) {
        lane = std::make_unique<Lane>();
        lane->runner = makeRunner_();
        lane->jobs.push_back(std::move(job));
        lane->thread = std::thread([this, raw = lane.get()] { Serve(*raw); });
        return;
    }
    lane->jobs.push_back(std::move(job));
    work_.notify_all();
}

std::vector<JobReport> ThreadedPrinterLanes::TakeReports() {
    std::lock_guard lock(mutex_);
    return std::exchange(reports_, {});
}

bool ThreadedPrinterLanes::Finish(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    stopping_ = true;
    work_.notify_all();
    if (idle_.wait_for(lock, limit, [this] { return AllIdle(); })) {
        return true;
    }
    // Out of time: what no lane has started stays waiting for the next run.
    for (auto& [name, lane] : lanes_) {
        lane->jobs.clear();
    }
    return AllIdle();
}

void ThreadedPrinterLanes::Serve(Lane& lane) {
    std::unique_lock lock(mutex_);
    while (true) {
        work_.wait(lock, [&] { return stopping_ || !lane.jobs.empty(); });
        if (lane.jobs.empty()) {
            return;
        }
        PrintJob job = std::move(lane.jobs.front());
        lane.jobs.pop_front();
        lane.running = true;
        lock.unlock();
        JobReport report = RunLeased(lane, job);
        lock.lock();
        lane.running = false;
        reports_.push_back(std::move(report));
        idle_.notify_all();
    }
}

JobReport ThreadedPrinterLanes::RunLeased(Lane& lane, const PrintJob& job) const {
    if (fence_ != nullptr && !fence_->Open()) {
        JobReport report;
        report.job = job;
        report.fault = PrintFault::NotLeased;
        return report;
    }
    return lane.runner->Run(job);
}

bool ThreadedPrinterLanes::AllIdle() const {
    for (const auto& [name, lane] : lanes_) {
        if (lane->running || !lane->jobs.empty()) {
            return false;
        }
    }
    return true;
}

}  // namespace kps
