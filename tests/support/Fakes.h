#pragma once

// Hand-written fakes of the server's ports, shared by every test.

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "database/OutletLease.h"
#include "output/Pinger.h"
#include "output/PosPrinter.h"
#include "output/SystemPrinter.h"
#include "output/WaitPause.h"
#include "sending/LeaseFence.h"
#include "sending/PrintWindow.h"
#include "sending/TicketSender.h"
#include "startup/Clock.h"
#include "startup/Operator.h"
#include "text/KpsError.h"

namespace kps::test {

class FakeClock final : public Clock {
  public:
    explicit FakeClock(LocalDateTime now = {2026, 12, 7, 22, 5, 9}) : now_(now) {}
    LocalDateTime Now() const override { return now_; }
    void Set(LocalDateTime now) { now_ = now; }
    // The next second, as a running server's next clock pass sees it.
    void NextSecond() {
        if (++now_.second == 60) {
            now_.second = 0;
            if (++now_.minute == 60) {
                now_.minute = 0;
                ++now_.hour;
            }
        }
    }

  private:
    LocalDateTime now_;
};

struct ShownMessage {
    std::string text;
    std::string caption;
    MessageIcon icon;
    MessageButtons buttons;
};

// Records every message; answers Yes/No questions with `answer`.
class FakeOperator final : public Operator {
  public:
    MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                              MessageButtons buttons) override;
    void ShowErrorReport(const std::string& where, long number, const std::string& description,
                         const std::string& routine) override;

    MessageAnswer answer = MessageAnswer::Yes;
    std::vector<ShownMessage> messages;
    // Runs while a message box is up, as events do under a real one.
    std::function<void()> whileShown;
    std::vector<std::string> errorReports;  // "where|number|description|routine"
};

// One call made on the fake POS printer, in order: "Open KITCHEN1",
// "ClaimDevice 1000", "DeviceEnabled 1", "CheckHealth 1", "PrintNormal 2 <data>",
// "Close".
class FakePosPrinter final : public PosPrinter {
  public:
    long Open(const std::string& deviceName, const std::string& checkedAddress) override;
    long ClaimDevice(long timeoutMs) override;
    void SetDeviceEnabled(bool enabled) override;
    long CheckHealth(long level) override;
    long ResultCode() const override { return resultCode; }
    long PrintNormal(long station, const std::string& data) override;
    bool CapRecPapercut() const override { return canCut; }
    bool CoverOpen() const override { return coverOpen; }
    long Close() override;
    void AwaitRelease() override { ++releases; }
    PrintFault Fault() const override { return fault; }

    // Only the data of the PrintNormal calls.
    std::vector<std::string> Printed() const;

    long resultCode = OPOS_SUCCESS;
    long health = 0;
    bool canCut = true;
    bool coverOpen = false;
    bool open = false;
    bool enabled = false;
    int releases = 0;  // the waits before each close
    PrintFault fault = PrintFault::Offline;
    std::vector<std::string> calls;
    std::function<void()> beforePrint;  // runs as each byte is about to leave
};

class FakePinger final : public Pinger {
  public:
    bool PingAddress(const std::string& address) override;

    std::vector<std::string> reachable;  // addresses that answer
    std::vector<std::string> pinged;
};

class FakeWaitPause final : public WaitPause {
  public:
    void Pause() override { ++pauses; }
    int pauses = 0;
};

// Records "select NAME", "font NAME", "colour R,G,B", "line TEXT", "end".
class FakeSystemPrinter final : public SystemPrinter {
  public:
    std::vector<std::string> PrinterNames() override { return names; }
    void SelectPrinter(const std::string& name) override;
    void SetFontName(const std::string& fontName) override;
    void SetColour(int red, int green, int blue) override;
    void PrintLine(const std::string& text) override;
    bool EndJob() override;

    std::vector<std::string> names;
    std::string current;  // the current printer
    bool endSucceeds = true;
    std::vector<std::string> calls;
};

class FakeTicketSender final : public TicketSender {
  public:
    void SendTicket() override { ++sent; }
    int sent = 0;
};

// An outlet lease that another server holds until `free` is set; clearing
// `held` takes a held lease away, setting `broken` makes asking throw.
class FakeOutletLease final : public OutletLease {
  public:
    bool TryAcquire() override { return held = held || free; }
    bool StillHeld() override {
        if (broken) {
            throw KpsError(kErrLeaseLost, "the lease's session changed");
        }
        return held;
    }
    void Release() override { held = false; }

    std::atomic<bool> free = false;
    std::atomic<bool> held = false;
    std::atomic<bool> broken = false;
};

// Steady time that moves only when a test moves it; lanes' and keepers'
// threads may read it meanwhile.
struct FakeSteadyTime {
    LeaseFence::SteadyNow Source() {
        return [this] { return now.load(); };
    }
    std::atomic<SteadyTime> now{SteadyTime(std::chrono::hours(1))};
};

}  // namespace kps::test
