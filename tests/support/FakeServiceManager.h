#pragma once

#include <string>
#include <vector>

#include "startup/ServiceManager.h"

namespace kps::test {

// Records each notification in order: "READY", "STATUS=text", "WATCHDOG",
// "STOPPING".
class FakeServiceManager final : public ServiceManager {
  public:
    void NotifyReady() override { calls.push_back("READY"); }
    void NotifyStatus(const std::string& text) override { calls.push_back("STATUS=" + text); }
    void NotifyWatchdog() override { calls.push_back("WATCHDOG"); }
    void NotifyStopping() override { calls.push_back("STOPPING"); }

    std::vector<std::string> calls;
};

}  // namespace kps::test
