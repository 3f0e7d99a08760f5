// What one job costs the whole process while many printers' lanes wait
// idle: a job should wake its own lane and nothing else. The CPU column is
// the process's CPU time per job, all threads together.

#include <benchmark/benchmark.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include "sending/ThreadedPrinterLanes.h"

namespace kps::test {
namespace {

// Counts the jobs run; the benchmark waits for each one.
class Finished {
  public:
    void One() {
        std::lock_guard lock(mutex_);
        ++count_;
        changed_.notify_all();
    }
    void WaitFor(long count) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return count_ >= count; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    long count_ = 0;
};

class FinishingRunner final : public JobRunner {
  public:
    explicit FinishingRunner(Finished& finished) : finished_(finished) {}
    JobReport Run(const PrintJob& job) override {
        JobReport report;
        report.job = job;
        report.printed = true;
        finished_.One();
        return report;
    }

  private:
    Finished& finished_;
};

PrintJob JobFor(const std::string& device) {
    PrintJob job;
    job.device = device;
    return job;
}

void BM_JobBesideIdleLanes(benchmark::State& state) {
    const auto idle = static_cast<long>(state.range(0));
    Finished finished;
    ThreadedPrinterLanes lanes([&finished] { return std::make_unique<FinishingRunner>(finished); });
    for (long lane = 0; lane < idle; ++lane) {
        lanes.Submit(JobFor("IDLE" + std::to_string(lane)));
    }
    finished.WaitFor(idle);
    long done = idle;
    for (auto _ : state) {
        lanes.Submit(JobFor("BUSY"));
        finished.WaitFor(++done);
        benchmark::DoNotOptimize(lanes.TakeReports());
    }
}
BENCHMARK(BM_JobBesideIdleLanes)
    ->Arg(0)
    ->Arg(200)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kps::test
