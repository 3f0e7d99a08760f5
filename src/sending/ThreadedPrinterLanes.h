#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sending/JobRunner.h"
#include "sending/LaneThread.h"
#include "sending/LeaseFence.h"
#include "sending/PrinterLanes.h"

namespace kps {

// One thread per lane, started with its first job, each with a runner of
// its own (its own printer control). A job wakes its own lane only; a lane
// idle for a while ends its thread, and its next job starts another. The
// only state shared with the tick thread is the job queues and the reports,
// under one mutex.
class ThreadedPrinterLanes final : public PrinterLanes {
  public:
    using RunnerFactory = std::function<std::unique_ptr<JobRunner>()>;
    // The lane a job goes to; called on the tick thread, outside the lock.
    using LaneKey = std::function<std::string(const PrintJob&)>;

    static constexpr std::chrono::milliseconds kIdleLife{60'000};
    // Runners open sockets and write files; none keeps much on its stack.
    static constexpr std::size_t kStackBytes = 256 * 1024;

    // Given `fence`, a lane takes up a job only while the fence is open, and
    // reports it NotLeased otherwise (the runner looks again just before the
    // first byte). Jobs with the same `laneOf` share a lane; without it,
    // each device name has a lane of its own. A lane's thread ends after
    // `idleLife` without a job.
    explicit ThreadedPrinterLanes(RunnerFactory makeRunner, const LeaseFence* fence = nullptr,
                                  LaneKey laneOf = nullptr,
                                  std::chrono::milliseconds idleLife = kIdleLife);
    ~ThreadedPrinterLanes() override;
    ThreadedPrinterLanes(const ThreadedPrinterLanes&) = delete;
    ThreadedPrinterLanes& operator=(const ThreadedPrinterLanes&) = delete;

    // `hook` is called on a lane's thread, without the lock, after each
    // report it posts: a pass may take it at once. Set before the first job.
    void OnReport(std::function<void()> hook) { onReport_ = std::move(hook); }

    void Submit(PrintJob job) override;
    std::vector<JobReport> TakeReports() override;
    bool Finish(std::chrono::milliseconds limit) override;

    // How many lanes have a thread now, and how many threads were started.
    std::size_t ServingLanes() const;
    std::size_t ThreadsStarted() const;

  private:
    struct Lane {
        std::unique_ptr<JobRunner> runner;
        std::deque<PrintJob> jobs;
        std::condition_variable work;
        bool running = false;  // a job is being run
        bool serving = false;  // its thread waits for or runs jobs
        LaneThread thread;     // started and joined on the tick thread only
    };

    void Serve(Lane& lane);
    void JoinEnded();
    bool AllIdle() const;

    JobReport RunLeased(Lane& lane, const PrintJob& job) const;

    RunnerFactory makeRunner_;
    const LeaseFence* fence_;
    LaneKey laneOf_;
    std::chrono::milliseconds idleLife_;
    std::function<void()> onReport_;
    mutable std::mutex mutex_;
    std::condition_variable idle_;
    std::map<std::string, std::unique_ptr<Lane>> lanes_;
    std::vector<Lane*> ended_;  // their threads ended and are still to be joined
    std::vector<JobReport> reports_;
    bool stopping_ = false;
    unsigned long submitted_ = 0;
    std::size_t started_ = 0;
};

}  // namespace kps
