#include "mainwindow/HeadlessRunner.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "mainwindow/ConsoleStatusWriter.h"
#include "mainwindow/ServiceStatus.h"
#include "sending/PrinterResume.h"
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

// The runner's blocked signals as a descriptor its poll can wait on.
class SignalDescriptor {
  public:
    SignalDescriptor() {
        const sigset_t set = RunnerSignals();
        fd_ = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
        if (fd_ < 0) {
            throw KpsError(errno, "The wait between polling cycles failed.");
        }
    }
    ~SignalDescriptor() { ::close(fd_); }
    SignalDescriptor(const SignalDescriptor&) = delete;
    SignalDescriptor& operator=(const SignalDescriptor&) = delete;
    int Fd() const { return fd_; }

  private:
    int fd_;
};

int MillisecondsUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left = deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) {
        return 0;
    }
    // Rounded up: a wait that ends early only spins once more.
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

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
                               PrinterStates& states, HeadlessOperator& op, const Clock& clock,
                               std::ostream& out)
    : form_(form),
      passes_(passes),
      divert_(divert),
      states_(states),
      operator_(op),
      clock_(clock),
      out_(out) {}

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
    PassScheduler everySecond;
    PassScheduler& scheduler = options.scheduler != nullptr ? *options.scheduler : everySecond;
    SignalDescriptor signals;
    const std::chrono::milliseconds pollEvery = scheduler.PollEvery();
    long ticks = 0;
    auto now = std::chrono::steady_clock::now();
    auto nextTick = now + options.interval;
    auto nextPoll = now + pollEvery;
    while (true) {
        const auto deadline = pollEvery.count() > 0 ? std::min(nextTick, nextPoll) : nextTick;
        bool stopAsked = !WaitUntil(deadline, signals.Fd(), scheduler);
        bool ticked = false;
        if (!stopAsked) {
            now = std::chrono::steady_clock::now();
            if (pollEvery.count() > 0 && now >= nextPoll) {
                scheduler.PollSignal();
                nextPoll = now + pollEvery;
            }
            if (now >= nextTick) {
                ticked = true;
                nextTick = now + options.interval;
                ++ticks;
                if (!scheduler.ClockSecond(now)) {
                    form_.KeepTime();
                }
            }
            scheduler.RunDue([this] { form_.PollCycle(passes_); }, now);
            if (ticked && service != nullptr) {
                service->NotifyStatus(ServiceStatusText(form_));
                service->NotifyWatchdog();
            }
        }
        if (stopAsked || (ticked && options.ticks > 0 && ticks >= options.ticks)) {
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

bool HeadlessRunner::WaitUntil(std::chrono::steady_clock::time_point deadline, int signals,
                               PassScheduler& scheduler) {
    // Signals are looked at even when a pass overran the deadline, so a stop
    // or a restart is never passed over. A change signal without a
    // descriptor (-1) is left out by poll.
    pollfd watched[3] = {{signals, POLLIN, 0},
                         {scheduler.Doorbell().Fd(), POLLIN, 0},
                         {scheduler.SignalFd(), POLLIN, 0}};
    if (::poll(watched, 3, MillisecondsUntil(deadline)) < 0 && errno != EINTR) {
        throw KpsError(errno, "The wait between polling cycles failed.");
    }
    if ((watched[1].revents & POLLIN) != 0) {
        scheduler.Doorbell().Clear();
    }
    if ((watched[2].revents & POLLIN) != 0) {
        scheduler.SignalHeard();
    }
    bool stop = false;
    signalfd_siginfo info{};
    while (::read(signals, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        if (info.ssi_signo == SIGHUP) {
            RestartPrinters(divert_, states_);
            out_ << '[' << FormatLongTime(clock_.Now()) << "] Restart" << std::endl;
        } else if (info.ssi_signo == SIGTERM || info.ssi_signo == SIGINT) {
            stop = true;
        }
    }
    return !stop;
}

}  // namespace kps
