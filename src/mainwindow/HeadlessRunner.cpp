#include "mainwindow/HeadlessRunner.h"

#include <signal.h>

#include <cerrno>
#include <ctime>

#include "mainwindow/ConsoleStatusWriter.h"
#include "mainwindow/ServiceStatus.h"
#include "startup/ExitStatus.h"
#include "text/KpsError.h"

namespace kps {

namespace {

constexpr long kInternalError = 51;

sigset_t RunnerSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

// Detaches the console writer from the form however the run ends.
class ObserverScope {
  public:
    ObserverScope(MDIForm1& form, MainWindowObserver& observer) : form_(form) {
        form_.SetObserver(&observer);
    }
    ~ObserverScope() { form_.SetObserver(nullptr); }
    ObserverScope(const ObserverScope&) = delete;
    ObserverScope& operator=(const ObserverScope&) = delete;

  private:
    MDIForm1& form_;
};

}  // namespace

BlockedRunnerSignals::BlockedRunnerSignals() {
    sigset_t set = RunnerSignals();
    pthread_sigmask(SIG_BLOCK, &set, &previous_);
}

BlockedRunnerSignals::~BlockedRunnerSignals() {
    // A signal that came during the last tick must not hit the process
    // after the run has ended.
    sigset_t set = RunnerSignals();
    timespec none{0, 0};
    while (sigtimedwait(&set, nullptr, &none) > 0) {
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

HeadlessRunner::HeadlessRunner(MDIForm1& form, PrintPasses& passes, DivertState& divert,
                               HeadlessOperator& op, const Clock& clock, std::ostream& out)
    : form_(form), passes_(passes), divert_(divert), operator_(op), clock_(clock), out_(out) {}

int HeadlessRunner::Run(const HeadlessOptions& options) {
    BlockedRunnerSignals blocked;
    ConsoleStatusWriter writer(form_, clock_, out_);
    ObserverScope observed(form_, writer);
    try {
        return RunLoaded(options);
    } catch (const KpsError& error) {
        ShowFatalErrorReport(operator_, error.Number(), error.Description());
    } catch (const std::exception& error) {
        ShowFatalErrorReport(operator_, kInternalError, error.what());
    }
    return kExitFatalError;
}

int HeadlessRunner::RunLoaded(const HeadlessOptions& options) {
    form_.Load();
    ServiceManager* service = options.service;
    if (service != nullptr) {
        service->NotifyReady();
    }
    long ticks = 0;
    auto tickStart = std::chrono::steady_clock::now();
    while (true) {
        bool stopAsked = !WaitUntil(tickStart + options.interval);
        if (!stopAsked) {
            tickStart = std::chrono::steady_clock::now();
            form_.PollCycle(passes_);
            ++ticks;
            if (service != nullptr) {
                service->NotifyStatus(ServiceStatusText(form_));
                service->NotifyWatchdog();
            }
        }
        if (stopAsked || (options.ticks > 0 && ticks >= options.ticks)) {
            operator_.RequestStop();
            if (form_.Unload()) {
                if (service != nullptr) {
                    service->NotifyStopping();
                }
                return kExitNormal;
            }
        }
    }
}

bool HeadlessRunner::WaitUntil(std::chrono::steady_clock::time_point deadline) {
    const sigset_t set = RunnerSignals();
    // Signals are looked at even when a tick overran its second, so a stop
    // or a restart is never passed over.
    bool looked = false;
    while (true) {
        auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) {
            if (looked) {
                return true;
            }
            left = std::chrono::steady_clock::duration::zero();
        }
        looked = true;
        auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        auto nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds);
        timespec timeout{static_cast<time_t>(seconds.count()), static_cast<long>(nanos.count())};
        int signal = sigtimedwait(&set, nullptr, &timeout);
        if (signal == SIGHUP) {
            divert_.CancelledPrinters.clear();
            out_ << '[' << FormatLongTime(clock_.Now()) << "] Restart" << std::endl;
        } else if (signal == SIGTERM || signal == SIGINT) {
            return false;
        } else if (signal < 0 && errno != EAGAIN && errno != EINTR) {
            throw KpsError(errno, "The wait between polling cycles failed.");
        }
    }
}

}  // namespace kps
