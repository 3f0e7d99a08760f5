#pragma once

#include <signal.h>

#include <chrono>
#include <ostream>

#include "mainwindow/HeadlessOperator.h"
#include "mainwindow/MDIForm1.h"
#include "sending/DivertState.h"
#include "sending/PrintPasses.h"
#include "sending/PrinterStates.h"
#include "startup/Clock.h"
#include "startup/ServiceManager.h"
#include "wake/PassScheduler.h"

namespace kps {

// Blocks SIGTERM, SIGINT and SIGHUP in the calling thread, and so in every
// thread started from it, while it lives: they wait for the runner's
// signalfd instead of ending the process in whichever thread the kernel
// hands them to. Made before the server's threads start.
class BlockedRunnerSignals {
  public:
    BlockedRunnerSignals();
    ~BlockedRunnerSignals();
    BlockedRunnerSignals(const BlockedRunnerSignals&) = delete;
    BlockedRunnerSignals& operator=(const BlockedRunnerSignals&) = delete;

  private:
    sigset_t previous_;
};

struct HeadlessOptions {
    long ticks = 0;  // stop after this many seconds of the clock; 0 runs until stopped
    std::chrono::milliseconds interval{1000};
    ServiceManager* service = nullptr;  // told: ready, each second's status, stopping
    // When passes run besides the clock's; null: a pass at every second.
    PassScheduler* scheduler = nullptr;
};

// Runs the main window without windows: Load, then a clock that ticks every
// interval measured from each tick's start (status, watchdog, the count of
// ticks), with PollCycle's passes as the scheduler says: at a tick, or at
// once when woken. Status lines on `out`. SIGTERM and SIGINT answer the
// shut-down question Yes and end the run after the current pass; SIGHUP
// does what "Restart" does. Call it from the main thread before any other
// thread starts: it blocks those signals and takes them between passes.
class HeadlessRunner {
  public:
    HeadlessRunner(MDIForm1& form, PrintPasses& passes, DivertState& divert, PrinterStates& states,
                   HeadlessOperator& op, const Clock& clock, std::ostream& out);

    // The exit status: kExitNormal, or kExitFatalError after the fatal
    // error report of an error at the top of the load or a tick.
    int Run(const HeadlessOptions& options);

  private:
    // Waits until `deadline`, a signal, the scheduler's bell or its change
    // signal's descriptor (asked at once); false when a stop was asked for.
    bool WaitUntil(std::chrono::steady_clock::time_point deadline, int signals,
                   PassScheduler& scheduler);
    int RunLoaded(const HeadlessOptions& options);

    MDIForm1& form_;
    PrintPasses& passes_;
    DivertState& divert_;
    PrinterStates& states_;
    HeadlessOperator& operator_;
    const Clock& clock_;
    std::ostream& out_;
};

}  // namespace kps
