#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "startup/GroupCommit.h"

namespace kps::test {
namespace {

using namespace std::chrono_literals;

TEST(GroupCommitTest, EachCallerReturnsOnlyAfterTheCommitHoldingItsPartAndHearsHowItWent) {
    std::mutex mutex;
    std::map<int, bool> committed;  // part, whether the commit holding it succeeded
    int parts = 0;
    int commits = 0;
    GroupCommit<int> group([&](std::vector<int>& batch) {
        std::this_thread::sleep_for(1ms);  // as long as a sync: later callers queue meanwhile
        std::lock_guard lock(mutex);
        const bool written = ++commits % 3 != 0;
        for (int part : batch) {
            committed[part] = written;
            ++parts;
        }
        return written;
    });
    constexpr int kCallers = 24;
    std::vector<int> wrong;
    std::vector<std::thread> callers;
    for (int part = 0; part < kCallers; ++part) {
        callers.emplace_back([&, part] {
            const bool written = group.Add(part);
            // What the caller does next (send the first byte) needs its part durable.
            std::lock_guard lock(mutex);
            const auto found = committed.find(part);
            if (found == committed.end() || found->second != written) {
                wrong.push_back(part);
            }
        });
    }
    for (std::thread& caller : callers) {
        caller.join();
    }
    EXPECT_TRUE(wrong.empty());
    EXPECT_EQ(parts, kCallers);  // each part in exactly one commit
}

}  // namespace
}  // namespace kps::test
