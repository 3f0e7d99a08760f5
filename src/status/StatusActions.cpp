#include "status/StatusActions.h"

#include <iterator>

#include "text/KpsError.h"

namespace kps {

namespace {

const char* const kStopping = "The server is stopping";

}  // namespace

StatusActionDesk::~StatusActionDesk() {
    Close();
}

void StatusActionDesk::Close() {
    std::deque<Waiting> taken;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        taken.swap(waiting_);
    }
    for (Waiting& waiting : taken) {
        waiting.outcome.set_value({false, kStopping});
    }
}

std::future<StatusActionOutcome> StatusActionDesk::Submit(StatusAction action) {
    std::promise<StatusActionOutcome> outcome;
    std::future<StatusActionOutcome> future = outcome.get_future();
    std::lock_guard lock(mutex_);
    if (closed_) {
        outcome.set_value({false, kStopping});
    } else if (waiting_.size() >= kMaxWaiting) {
        outcome.set_value({false, "Too many actions are waiting; try again in a moment"});
    } else {
        waiting_.push_back({std::move(action), std::move(outcome)});
    }
    return future;
}

void StatusActionDesk::RunWaiting(StatusActionHandler& handler) {
    std::deque<Waiting> taken;
    {
        std::lock_guard lock(mutex_);
        taken.swap(waiting_);
    }
    for (auto it = taken.begin(); it != taken.end(); ++it) {
        // An action that throws ends the tick like any other fault; whoever
        // asked, and whoever waits behind, hears that it did not happen.
        try {
            it->outcome.set_value(handler.Run(it->action));
        } catch (const KpsError& error) {
            it->outcome.set_value({false, error.Description()});
            for (auto rest = std::next(it); rest != taken.end(); ++rest) {
                rest->outcome.set_value({false, "The server's polling cycle failed"});
            }
            throw;
        }
    }
}

StatusActionOutcome SubmitAndWait(StatusActionDesk& desk, StatusAction action,
                                  std::chrono::milliseconds limit) {
    std::future<StatusActionOutcome> outcome = desk.Submit(std::move(action));
    if (outcome.wait_for(limit) != std::future_status::ready) {
        return {true, "On its way: the server acts on it at its next polling cycle"};
    }
    return outcome.get();
}

}  // namespace kps
