#pragma once

#include <chrono>
#include <deque>
#include <future>
#include <mutex>
#include <string>

namespace kps {

enum class StatusActionKind {
    Resume,     // a suspended printer prints again, as the window's "Resume"
    Reprint,    // one of a printer's kept tickets once more, labelled
    TestPrint,  // a short ticket naming the printer
    Answer,     // an open divert question answered (the window build only)
};

// The divert question's answers from the page.
enum class QuestionAnswer { Divert, EveryTicket, Cancel };

struct StatusAction {
    StatusActionKind kind = StatusActionKind::Resume;
    std::string device;
    int n = 0;  // Reprint: 1 is the device's last ticket
    // Reprint: the TicketIdentity of the ticket the page showed as n, which
    // newer tickets may have moved; empty: the n-th as it is now.
    std::string ticket;
    QuestionAnswer answer = QuestionAnswer::Divert;
    std::string client;  // the address the request came from
};

struct StatusActionOutcome {
    bool done = false;
    std::string message;  // for the person who asked
};

// Carries out actions on the tick thread, through the same state the
// window's buttons change.
class StatusActionHandler {
  public:
    virtual ~StatusActionHandler() = default;
    virtual StatusActionOutcome Run(const StatusAction& action) = 0;
};

// Where the status server's threads leave actions for the tick thread,
// which runs them at the start of its next tick: nothing the page does
// touches the server's state from another thread.
class StatusActionDesk {
  public:
    // Waiting actions beyond this many are refused: a page cannot pile up
    // work for the kitchen's server.
    static constexpr std::size_t kMaxWaiting = 16;

    ~StatusActionDesk();

    // The action's outcome once the tick thread has run it; an outcome
    // that says so at once when too many wait.
    std::future<StatusActionOutcome> Submit(StatusAction action);

    // Runs every waiting action, in the order they came; on the tick thread.
    void RunWaiting(StatusActionHandler& handler);

    // The server stops ticking: every waiting action, and every one asked
    // for from now on, hears at once that it will not happen.
    void Close();

  private:
    struct Waiting {
        StatusAction action;
        std::promise<StatusActionOutcome> outcome;
    };

    std::mutex mutex_;
    std::deque<Waiting> waiting_;
    bool closed_ = false;
};

// Submits and waits up to `limit` for the outcome; one that says the action
// is on its way when the tick has not come to it by then.
StatusActionOutcome SubmitAndWait(StatusActionDesk& desk, StatusAction action,
                                  std::chrono::milliseconds limit);

}  // namespace kps
