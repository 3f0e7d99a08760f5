#pragma once

#include <functional>
#include <string>

#include "sending/PrintPasses.h"

namespace kps::test {

// Counts the passes of each tick; a hook may act inside a pass (re-enter the
// tick, change the status, raise a signal).
class FakePrintPasses final : public PrintPasses {
  public:
    void SettleReports() override {
        ++settles;
        order += "settle ";
    }
    void DispatchPrintQueue() override {
        ++dispatches;
        order += "dispatch ";
        if (onDispatch) {
            onDispatch();
        }
    }
    void PrintKitchenNotices() override {
        ++notices;
        order += "notices ";
        if (onNotices) {
            onNotices();
        }
    }

    bool FinishSending(std::chrono::milliseconds) override { return true; }

    int settles = 0;
    int dispatches = 0;
    int notices = 0;
    std::string order;
    std::function<void()> onDispatch;
    std::function<void()> onNotices;
};

}  // namespace kps::test
