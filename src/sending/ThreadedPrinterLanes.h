#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "sending/JobRunner.h"
#include "sending/LeaseFence.h"
#include "sending/PrinterLanes.h"

namespace kps {

// One thread per lane, started with its first job, each with a runner of
// its own (its own printer control). The only state shared with the tick
// thread is the job queues and the reports, under one mutex.
class ThreadedPrinterLanes final : public PrinterLanes {
  public:
    using RunnerFactory = std::function<std::unique_ptr<JobRunner>()>;
    // The lane a job goes to; called on the tick thread, outside the lock.
    using LaneKey = std::function<std::string(const PrintJob&)>;

    // Given `fence`, a lane takes up a job only while the fence is open, and
    // reports it NotLeased otherwise (the runner looks again just before the
    // first byte). Jobs with the same `laneOf` share a lane; without it,
    // each device name has a lane of its own.
    explicit ThreadedPrinterLanes(RunnerFactory makeRunner, const LeaseFence* fence = nullptr,
                                  LaneKey laneOf = nullptr);
    ~ThreadedPrinterLanes() override;
    ThreadedPrinterLanes(const ThreadedPrinterLanes&) = delete;
    ThreadedPrinterLanes& operator=(const ThreadedPrinterLanes&) = delete;

    void Submit(PrintJob job) override;
    std::vector<JobReport> TakeReports() override;
    bool Finish(std::chrono::milliseconds limit) override;

  private:
    struct Lane {
        std::unique_ptr<JobRunner> runner;
        std::deque<PrintJob> jobs;
        bool running = false;
        std::thread thread;
    };

    void Serve(Lane& lane);
    bool AllIdle() const;

    JobReport RunLeased(Lane& lane, const PrintJob& job) const;

    RunnerFactory makeRunner_;
    const LeaseFence* fence_;
    LaneKey laneOf_;
    std::mutex mutex_;
    std::condition_variable work_;
    std::condition_variable idle_;
    std::map<std::string, std::unique_ptr<Lane>> lanes_;
    std::vector<JobReport> reports_;
    bool stopping_ = false;
    unsigned long submitted_ = 0;
};

}  // namespace kps
