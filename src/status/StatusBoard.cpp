#include "status/StatusBoard.h"

namespace kps {

void StatusBoard::Publish(std::shared_ptr<const StatusSnapshot> snapshot) {
    std::lock_guard lock(mutex_);
    latest_.swap(snapshot);
    // The snapshot replaced goes with `snapshot`, once the lock is released.
}

std::shared_ptr<const StatusSnapshot> StatusBoard::Latest() const {
    std::lock_guard lock(mutex_);
    return latest_;
}

}  // namespace kps
