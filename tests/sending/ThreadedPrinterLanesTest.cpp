#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "sending/ThreadedPrinterLanes.h"

namespace kps::test {
namespace {

using namespace std::chrono_literals;

constexpr auto kFinishLimit = 10s;

// What the lanes' runners saw: the jobs in the order they started, and the
// most that were running at once.
class Meeting {
  public:
    // Each job stays until a second job runs beside it, or for `stay`.
    explicit Meeting(std::chrono::milliseconds stay) : stay_(stay) {}

    void Run(const PrintJob& job) {
        std::unique_lock lock(mutex_);
        started_.push_back(job.number);
        mostRunning_ = std::max(mostRunning_, ++running_);
        met_.notify_all();
        met_.wait_for(lock, stay_, [this] { return mostRunning_ >= 2; });
        --running_;
    }

    std::vector<unsigned long> Started() {
        std::lock_guard lock(mutex_);
        return started_;
    }

    int MostRunning() {
        std::lock_guard lock(mutex_);
        return mostRunning_;
    }

  private:
    std::chrono::milliseconds stay_;
    std::mutex mutex_;
    std::condition_variable met_;
    std::vector<unsigned long> started_;
    int running_ = 0;
    int mostRunning_ = 0;
};

class MeetingRunner final : public JobRunner {
  public:
    explicit MeetingRunner(Meeting& meeting) : meeting_(meeting) {}
    JobReport Run(const PrintJob& job) override {
        meeting_.Run(job);
        JobReport report;
        report.job = job;
        report.printed = true;
        return report;
    }

  private:
    Meeting& meeting_;
};

// Prints everything at once.
class PrintingRunner final : public JobRunner {
  public:
    JobReport Run(const PrintJob& job) override {
        JobReport report;
        report.job = job;
        report.printed = true;
        return report;
    }
};

// What the lanes' report hook heard, from any lane's thread.
class HeardReports {
  public:
    void Heard() {
        std::lock_guard lock(mutex_);
        ++heard_;
        changed_.notify_all();
    }
    bool WaitFor(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kFinishLimit, [&] { return heard_ >= count; });
    }
    int Count() {
        std::lock_guard lock(mutex_);
        return heard_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int heard_ = 0;
};

// Lanes by the job's address, standing for where its device leads.
ThreadedPrinterLanes LanesByAddress(Meeting& meeting) {
    return ThreadedPrinterLanes([&meeting] { return std::make_unique<MeetingRunner>(meeting); },
                                nullptr, [](const PrintJob& job) { return job.address; });
}

PrintJob JobFor(const std::string& device, const std::string& address) {
    PrintJob job;
    job.device = device;
    job.address = address;
    return job;
}

TEST(ThreadedPrinterLanesTest, DeviceNamesOfOnePrinterShareItsLaneInOrder) {
    // Long enough for a second lane's thread to start beside the first job.
    Meeting meeting(200ms);
    ThreadedPrinterLanes lanes = LanesByAddress(meeting);
    for (const char* device : {"K1", "K2", "K1", "K2"}) {
        lanes.Submit(JobFor(device, "printer-a"));
    }
    ASSERT_TRUE(lanes.Finish(kFinishLimit));
    EXPECT_EQ(meeting.Started(), (std::vector<unsigned long>{1, 2, 3, 4}));
    EXPECT_EQ(meeting.MostRunning(), 1);
    EXPECT_EQ(lanes.TakeReports().size(), 4u);
}

TEST(ThreadedPrinterLanesTest, TwoPrintersPrintAtTheSameTime) {
    // Each job waits for the other; only two lanes running at once let them
    // both end before the bound.
    Meeting meeting(kFinishLimit / 2);
    ThreadedPrinterLanes lanes = LanesByAddress(meeting);
    lanes.Submit(JobFor("K1", "printer-a"));
    lanes.Submit(JobFor("K3", "printer-b"));
    ASSERT_TRUE(lanes.Finish(kFinishLimit));
    EXPECT_EQ(meeting.MostRunning(), 2);
}

TEST(ThreadedPrinterLanesTest, IdleLanesEndTheirThreadsAndNoJobIsLostToTheEndingOrUnheard) {
    HeardReports heard;
    // Threads end after 1 ms without a job: jobs come before, during and
    // after their ending.
    ThreadedPrinterLanes lanes([] { return std::make_unique<PrintingRunner>(); }, nullptr, nullptr,
                               1ms);
    lanes.OnReport([&heard] { heard.Heard(); });
    constexpr int kJobs = 200;
    std::vector<JobReport> reports;
    for (int i = 0; i < kJobs; ++i) {
        lanes.Submit(JobFor(i % 2 == 0 ? "K1" : "K2", ""));
        ASSERT_TRUE(heard.WaitFor(i + 1)) << "job " << i + 1 << " never reported";
        std::this_thread::sleep_for(std::chrono::microseconds(400 * (i % 5)));
        for (JobReport& report : lanes.TakeReports()) {
            reports.push_back(std::move(report));
        }
    }
    for (int wait = 0; lanes.ServingLanes() > 0 && wait < 1000; ++wait) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_EQ(lanes.ServingLanes(), 0u);
    const std::size_t started = lanes.ThreadsStarted();
    lanes.Submit(JobFor("K1", ""));
    ASSERT_TRUE(lanes.Finish(kFinishLimit));
    EXPECT_EQ(lanes.ThreadsStarted(), started + 1);
    for (JobReport& report : lanes.TakeReports()) {
        reports.push_back(std::move(report));
    }
    std::set<unsigned long> numbers;
    for (const JobReport& report : reports) {
        numbers.insert(report.job.number);
    }
    EXPECT_EQ(reports.size(), kJobs + 1u);
    EXPECT_EQ(numbers.size(), kJobs + 1u);
    EXPECT_TRUE(heard.WaitFor(kJobs + 1));
    EXPECT_EQ(heard.Count(), kJobs + 1);  // once per report
}

}  // namespace
}  // namespace kps::test
