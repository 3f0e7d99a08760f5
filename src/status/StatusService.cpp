#include "status/StatusService.h"

namespace kps {

StatusService::StatusService(const StatusSources& sources, const std::string& address,
                             const PrintLog& log)
    : collector_(sources, board_) {
    if (!address.empty()) {
        server_ = std::make_unique<HttpStatusServer>(address, board_, log);
    }
}

TickObserver* StatusService::Observer() {
    return Port() != 0 ? &collector_ : nullptr;
}

}  // namespace kps
