#include "status/StatusService.h"

#include "status/StatusToken.h"
#include "text/KpsError.h"

namespace kps {

namespace {

// A page's request waits this long for the tick to act; a tick that takes
// longer answers "on its way".
constexpr std::chrono::milliseconds kActionWait{3000};

}  // namespace

StatusService::StatusService(const StatusSources& sources, const Options& options,
                             const PrintLog& log)
    : log_(log),
      alerting_(sources.alertAfter.count() > 0),
      collector_(sources, board_),
      alertCommand_(options.alertCommand, log) {
    if (options.address.empty()) {
        return;
    }
    try {
        door_ = std::make_unique<ActionDoor>();
        door_->token = LoadStatusToken(options.stateFolder);
        door_->answersQuestions = options.answersQuestions;
        door_->act = [this](StatusAction action) {
            return SubmitAndWait(desk_, std::move(action), kActionWait);
        };
    } catch (const KpsError& error) {
        door_.reset();
        log.WriteLog("Status page shows only: " + error.Description());
    }
    server_ = std::make_unique<HttpStatusServer>(options.address, board_, log, door_.get());
}

StatusService::~StatusService() {
    StopActing();
}

TickObserver* StatusService::Observer() {
    return Port() != 0 || alerting_ ? this : nullptr;
}

void StatusService::TickStarted() {
    if (handler_ != nullptr) {
        desk_.RunWaiting(*handler_);
    }
    collector_.TickStarted();
}

void StatusService::TickEnded(bool passRan) {
    collector_.TickEnded(passRan);
    if (alerting_) {
        RaiseAlerts();
    }
}

void StatusService::RaiseAlerts() {
    const std::shared_ptr<const StatusSnapshot> snapshot = board_.Latest();
    for (const AlertEvent& event : alerts_.Check(*snapshot, std::chrono::steady_clock::now())) {
        log_.WriteLog(AlertLine(event));
        alertCommand_.Run(event);
    }
}

}  // namespace kps
