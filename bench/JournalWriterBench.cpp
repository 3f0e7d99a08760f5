// What recording a job in the print journal table costs a lane before its
// first byte: one lane alone, and several lanes starting together, which
// share commits. "commits/round" says how many commits a round of lanes took.

#include <benchmark/benchmark.h>

#include <atomic>
#include <latch>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "sending/JournalWriter.h"
#include "startup/ConnectionFactory.h"
#include "support/Fakes.h"
#include "support/TempFolder.h"
#include "support/TestDatabase.h"

namespace kps::test {
namespace {

// The writer's own connection, counting its commits.
class CountingConnection final : public Connection {
  public:
    CountingConnection(std::unique_ptr<Connection> inner, std::atomic<int>& commits)
        : inner_(std::move(inner)), commits_(commits) {}
    void Execute(const std::string& sql) override { inner_->Execute(sql); }
    ResultTable Query(const std::string& sql) override { return inner_->Query(sql); }
    std::unique_ptr<Statement> Prepare(const std::string& sql) override {
        return inner_->Prepare(sql);
    }
    void BeginTransaction() override { inner_->BeginTransaction(); }
    void CommitTransaction() override {
        inner_->CommitTransaction();
        ++commits_;
    }
    void RollbackTransaction() override { inner_->RollbackTransaction(); }
    std::string DbmsName() const override { return inner_->DbmsName(); }

  private:
    std::unique_ptr<Connection> inner_;
    std::atomic<int>& commits_;
};

void BM_JournalRecordBeforeFirstByte(benchmark::State& state) {
    const auto lanes = static_cast<int>(state.range(0));
    TestDatabase database;
    TempFolder folder;
    FakeClock clock;
    PrintLog log(folder.Path(), clock);
    std::atomic<int> commits = 0;
    JournalWriter writer(
        [&] {
            return std::make_unique<CountingConnection>(
                OpenDatabaseConnection(database.Setup(), AdoConnectionString(database.Setup())),
                commits);
        },
        "bench/1/1", clock, log);
    unsigned long job = 0;
    int rounds = 0;
    for (auto _ : state) {
        std::latch start(lanes);
        std::vector<std::thread> threads;
        for (int lane = 0; lane < lanes; ++lane) {
            PrintJob printJob;
            printJob.number = ++job;
            printJob.device = "K" + std::to_string(lane);
            printJob.itemIds = {std::to_string(job * 10), std::to_string(job * 10 + 1)};
            threads.emplace_back([&, printJob] {
                start.arrive_and_wait();
                benchmark::DoNotOptimize(writer.Starting(printJob));
            });
        }
        for (auto& thread : threads) {
            thread.join();
        }
        ++rounds;
    }
    state.counters["commits/round"] = static_cast<double>(commits) / rounds;
}
BENCHMARK(BM_JournalRecordBeforeFirstByte)
    ->Arg(1)
    ->Arg(4)
    ->Arg(8)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

}  // namespace
}  // namespace kps::test
