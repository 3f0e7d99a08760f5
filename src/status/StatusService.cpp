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
    : collector_(sources, board_) {
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

TickObserver* StatusService::Observer() {
    return Port() != 0 ? this : nullptr;
}

void StatusService::TickStarted() {
    if (handler_ != nullptr) {
        desk_.RunWaiting(*handler_);
    }
    collector_.TickStarted();
}

void StatusService::TickEnded() {
    collector_.TickEnded();
}

}  // namespace kps
