// What recording jobs in the state folder's journal costs lanes that start
// together, before their first bytes: the time from the start of a round to
// the last lane's record being on disk. The second argument 0 runs the
// rounds without records: what waking the lanes costs alone.

#include <benchmark/benchmark.h>

#include <barrier>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "reprint/ReprintJournal.h"
#include "sending/LocalJobJournal.h"
#include "support/Fakes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

void BM_LocalJournalLanesStartingTogether(benchmark::State& state) {
    const auto lanes = static_cast<int>(state.range(0));
    const bool record = state.range(1) != 0;
    TempFolder folder;
    FakeClock clock;
    PrintLog log(folder.Path(), clock);
    ReprintJournal file(folder.File("reprint-journal"), log);
    LocalJobJournal journal(file);
    std::barrier<> round(lanes + 1);
    bool stop = false;
    unsigned long next = 0;
    std::vector<std::thread> threads;
    for (int lane = 0; lane < lanes; ++lane) {
        threads.emplace_back([&, lane] {
            PrintJob job;
            job.device = "K" + std::to_string(lane);
            while (true) {
                round.arrive_and_wait();  // the round starts
                if (stop) {
                    return;
                }
                job.number = next + static_cast<unsigned long>(lane);
                if (record) {
                    job.itemIds = {std::to_string(job.number)};
                }
                benchmark::DoNotOptimize(journal.Starting(job));
                round.arrive_and_wait();  // every record is on disk
            }
        });
    }
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        round.arrive_and_wait();
        round.arrive_and_wait();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        next += static_cast<unsigned long>(lanes);
    }
    stop = true;
    round.arrive_and_wait();
    for (std::thread& thread : threads) {
        thread.join();
    }
}
BENCHMARK(BM_LocalJournalLanesStartingTogether)
    ->Args({1, 1})
    ->Args({200, 0})
    ->Args({200, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kps::test
