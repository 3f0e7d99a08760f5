#include "wake/PassScheduler.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>
#include <utility>
#include <vector>

#include "support/FakeChangeSignal.h"

namespace kps::test {
namespace {

using std::chrono::seconds;
using Time = PassScheduler::SteadyTime;

bool Rung(PassScheduler& scheduler) {
    pollfd bell{scheduler.Doorbell().Fd(), POLLIN, 0};
    return ::poll(&bell, 1, 0) == 1;
}

TEST(PassSchedulerTest, WakesBeforeAPassMakeOnePassAndAWakeDuringItExactlyOneMore) {
    PassScheduler scheduler;
    std::vector<std::thread> wakers;
    for (int i = 0; i < 4; ++i) {
        wakers.emplace_back([&] {
            for (int n = 0; n < 100; ++n) {
                scheduler.Wake();
            }
        });
    }
    for (auto& waker : wakers) {
        waker.join();
    }
    int passes = 0;
    const auto pass = [&] {
        if (++passes == 1) {
            scheduler.Wake();
            scheduler.Wake();
        }
    };
    EXPECT_TRUE(scheduler.RunDue(pass, Time{}));
    EXPECT_TRUE(scheduler.RunDue(pass, Time{}));
    EXPECT_FALSE(scheduler.RunDue(pass, Time{}));
    EXPECT_EQ(passes, 2);
}

// The window's event loop runs inside a pass (a dialog): the bell heard
// there starts nothing, and rings again once the pass is over.
TEST(PassSchedulerTest, PassNeverStartsInsideAPassAndItsWakeIsRungAfter) {
    PassScheduler scheduler;
    scheduler.Wake();
    int passes = 0;
    const auto pass = [&] {
        ++passes;
        scheduler.Wake();
        scheduler.Doorbell().Clear();
        EXPECT_FALSE(scheduler.RunDue([&] { ++passes; }, Time{}));
    };
    ASSERT_TRUE(scheduler.RunDue(pass, Time{}));
    EXPECT_EQ(passes, 1);
    EXPECT_TRUE(Rung(scheduler));
}

TEST(PassSchedulerTest, SecondsGoWithoutAPassOnlyWhileIdleBehindALiveSignalUntilTheFallback) {
    FakeChangeSignal signal;
    bool idle = true;
    PassScheduler scheduler([&] { return idle; }, seconds(30));
    const Time start = Time{} + seconds(1000);
    const auto nothing = [] {};

    EXPECT_TRUE(scheduler.ClockSecond(start)) << "the clock alone: every second";
    scheduler.RunDue(nothing, start);
    scheduler.UseSignal(&signal);
    EXPECT_FALSE(scheduler.ClockSecond(start + seconds(1)));
    EXPECT_FALSE(scheduler.ClockSecond(start + seconds(29)));
    EXPECT_TRUE(scheduler.ClockSecond(start + seconds(30))) << "the fallback pass";
    scheduler.RunDue(nothing, start + seconds(30));

    idle = false;
    EXPECT_TRUE(scheduler.ClockSecond(start + seconds(31))) << "work under way";
    scheduler.RunDue(nothing, start + seconds(31));
    idle = true;
    signal.live = false;
    EXPECT_TRUE(scheduler.ClockSecond(start + seconds(32))) << "the signal is lost";
}

TEST(PassSchedulerTest, PolledSignalWakesOnAChangeAndIsNotAskedDuringAPass) {
    FakeChangeSignal signal;
    signal.pollEvery = std::chrono::milliseconds(50);
    PassScheduler scheduler;
    scheduler.UseSignal(&signal);
    EXPECT_EQ(scheduler.PollEvery(), std::chrono::milliseconds(50));
    scheduler.PollSignal();
    EXPECT_FALSE(scheduler.RunDue([] {}, Time{}));
    signal.changed = true;
    scheduler.PollSignal();
    EXPECT_TRUE(scheduler.RunDue(
        [&] {
            signal.changed = true;
            scheduler.PollSignal();
        },
        Time{}));
    EXPECT_EQ(signal.polls, 2);
}

TEST(PassSchedulerTest, SignalHeardIsAskedAtOnceOrRightAfterThePassAtWork) {
    FakeChangeSignal signal;  // told only through its descriptor
    PassScheduler scheduler;
    scheduler.UseSignal(&signal);
    scheduler.SignalHeard();
    EXPECT_EQ(signal.polls, 1);
    EXPECT_FALSE(scheduler.RunDue([] {}, Time{})) << "nothing changed";
    signal.changed = true;
    scheduler.SignalHeard();
    EXPECT_TRUE(scheduler.RunDue(
        [&] {
            signal.changed = true;
            scheduler.SignalHeard();
            EXPECT_EQ(signal.polls, 2) << "not asked during the pass";
        },
        Time{}));
    EXPECT_EQ(signal.polls, 3);
    EXPECT_EQ(signal.clears, 3);
    EXPECT_TRUE(Rung(scheduler));
    EXPECT_TRUE(scheduler.RunDue([] {}, Time{})) << "the change heard during the pass";
}

unsigned ModelSeed() {
    const char* seed = std::getenv("KPS_MODEL_SEED");
    return seed != nullptr ? static_cast<unsigned>(std::atoi(seed)) : 7;
}

// Random interleavings of wakes, passes, wakes inside passes and the event
// loop coming back inside a pass, against the model: a pass runs exactly
// when a wake came since the last one started. KPS_MODEL_SEED changes it.
TEST(PassSchedulerTest, ModelOfInterleavedWakesAndPasses) {
    std::mt19937 random(ModelSeed());
    PassScheduler scheduler;
    bool woken = false;
    for (int step = 0; step < 5000; ++step) {
        if (random() % 3 == 0) {
            scheduler.Wake();
            woken = true;
            continue;
        }
        const bool expected = std::exchange(woken, false);
        const unsigned wakesInside = random() % 3;
        const bool reentered = random() % 2 == 0;
        const bool ran = scheduler.RunDue(
            [&] {
                for (unsigned i = 0; i < wakesInside; ++i) {
                    scheduler.Wake();
                    woken = true;
                }
                if (reentered) {
                    EXPECT_FALSE(
                        scheduler.RunDue([] { ADD_FAILURE() << "overlapping pass"; }, Time{}));
                }
            },
            Time{});
        ASSERT_EQ(ran, expected) << "step " << step;
    }
}

// The same with real threads: wakes from several threads while a runner
// thread, listening to the bell, runs passes of random length. Passes never
// overlap, the last wake is followed by a pass that starts after it, and
// there are never more passes than wakes.
TEST(PassSchedulerTest, ModelOfWakesFromThreadsAndPassesOfRandomLength) {
    const unsigned seed = ModelSeed();
    for (unsigned round = 0; round < 5; ++round) {
        PassScheduler scheduler;
        std::mutex mutex;
        long clock = 0;  // orders wakes and pass starts
        std::vector<long> wakes;
        std::vector<long> starts;
        std::atomic<int> inPass{0};
        std::atomic<bool> overlapped{false};
        std::atomic<bool> stop{false};
        std::mt19937 passLength(seed + round);

        std::thread runner([&] {
            while (true) {
                pollfd bell{scheduler.Doorbell().Fd(), POLLIN, 0};
                ::poll(&bell, 1, 5);
                scheduler.Doorbell().Clear();
                const bool ran = scheduler.RunDue(
                    [&] {
                        overlapped = overlapped || inPass.fetch_add(1) != 0;
                        {
                            std::lock_guard lock(mutex);
                            starts.push_back(++clock);
                        }
                        std::this_thread::sleep_for(std::chrono::microseconds(passLength() % 300));
                        inPass.fetch_sub(1);
                    },
                    std::chrono::steady_clock::now());
                if (!ran && stop) {
                    return;
                }
            }
        });
        std::vector<std::thread> wakers;
        for (unsigned t = 0; t < 3; ++t) {
            wakers.emplace_back([&, t] {
                std::mt19937 pause(seed * 31 + round * 7 + t);
                for (int n = 0; n < 150; ++n) {
                    std::this_thread::sleep_for(std::chrono::microseconds(pause() % 200));
                    {
                        std::lock_guard lock(mutex);
                        wakes.push_back(++clock);
                    }
                    scheduler.Wake();
                }
            });
        }
        for (auto& waker : wakers) {
            waker.join();
        }
        stop = true;
        runner.join();

        EXPECT_FALSE(overlapped) << "round " << round;
        ASSERT_FALSE(starts.empty());
        EXPECT_GT(starts.back(), *std::max_element(wakes.begin(), wakes.end()))
            << "the last wake was not followed by a pass";
        EXPECT_LE(starts.size(), wakes.size());
    }
}

}  // namespace
}  // namespace kps::test
