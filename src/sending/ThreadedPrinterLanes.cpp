#include "sending/ThreadedPrinterLanes.h"

#include <utility>

namespace kps {

ThreadedPrinterLanes::ThreadedPrinterLanes(RunnerFactory makeRunner, const LeaseFence* fence,
                                           LaneKey laneOf, std::chrono::milliseconds idleLife)
    : makeRunner_(std::move(makeRunner)),
      fence_(fence),
      laneOf_(laneOf ? std::move(laneOf) : [](const PrintJob& job) { return job.device; }),
      idleLife_(idleLife) {}

ThreadedPrinterLanes::~ThreadedPrinterLanes() {
    // Every exchange of a job is bounded in time, so the joins end.
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        for (auto& [name, lane] : lanes_) {
            lane->jobs.clear();
            lane->work.notify_one();
        }
    }
    for (auto& [name, lane] : lanes_) {
        lane->thread.Join();
    }
}

void ThreadedPrinterLanes::Submit(PrintJob job) {
    // The key may be looked up in files: the lanes do not wait for that.
    const std::string key = laneOf_(job);
    std::unique_lock lock(mutex_);
    if (stopping_) {
        return;
    }
    job.number = ++submitted_;
    auto& lane = lanes_[key];
    if (!lane) {
        lane = std::make_unique<Lane>();
        lane->runner = makeRunner_();
    }
    lane->jobs.push_back(std::move(job));
    if (lane->serving) {
        lane->work.notify_one();
        return;
    }
    // Its thread ended (or never started): a thread that ends looks at the
    // queue under the lock first, so this job is either seen by it or by a
    // new one.
    lane->serving = true;
    ++started_;
    lock.unlock();
    Lane* raw = lane.get();
    raw->thread.Join();
    try {
        raw->thread = LaneThread([this, raw] { Serve(*raw); }, kStackBytes);
    } catch (...) {
        // The job waits in the queue; the next one tries again.
        lock.lock();
        raw->serving = false;
        throw;
    }
}

std::vector<JobReport> ThreadedPrinterLanes::TakeReports() {
    JoinEnded();
    std::lock_guard lock(mutex_);
    return std::exchange(reports_, {});
}

void ThreadedPrinterLanes::JoinEnded() {
    std::vector<Lane*> ended;
    {
        std::lock_guard lock(mutex_);
        ended = std::exchange(ended_, {});
        // A lane started again since its thread ended keeps its new thread.
        std::erase_if(ended, [](const Lane* lane) { return lane->serving; });
    }
    // Threads are started on this thread only: none starts meanwhile.
    for (Lane* lane : ended) {
        lane->thread.Join();
    }
}

bool ThreadedPrinterLanes::Finish(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    stopping_ = true;
    for (auto& [name, lane] : lanes_) {
        lane->work.notify_one();
    }
    if (idle_.wait_for(lock, limit, [this] { return AllIdle(); })) {
        return true;
    }
    // Out of time: what no lane has started stays waiting for the next run.
    for (auto& [name, lane] : lanes_) {
        lane->jobs.clear();
    }
    return AllIdle();
}

std::size_t ThreadedPrinterLanes::ServingLanes() const {
    std::lock_guard lock(mutex_);
    std::size_t serving = 0;
    for (const auto& [name, lane] : lanes_) {
        serving += lane->serving ? 1 : 0;
    }
    return serving;
}

std::size_t ThreadedPrinterLanes::ThreadsStarted() const {
    std::lock_guard lock(mutex_);
    return started_;
}

void ThreadedPrinterLanes::Serve(Lane& lane) {
    std::unique_lock lock(mutex_);
    while (true) {
        lane.work.wait_for(lock, idleLife_, [&] { return stopping_ || !lane.jobs.empty(); });
        if (lane.jobs.empty()) {
            // Stopping, or idle for long enough: the next job starts a thread.
            lane.serving = false;
            ended_.push_back(&lane);
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
        if (onReport_) {
            lock.unlock();
            onReport_();
            lock.lock();
        }
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
