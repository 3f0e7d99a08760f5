#pragma once

#include <memory>
#include <mutex>

#include "status/StatusSnapshot.h"

namespace kps {

// Where the tick thread leaves the latest snapshot for the status server's
// threads. Either side holds the lock only to swap or copy the pointer.
class StatusBoard {
  public:
    void Publish(std::shared_ptr<const StatusSnapshot> snapshot);
    // Null before the first Publish.
    std::shared_ptr<const StatusSnapshot> Latest() const;

  private:
    mutable std::mutex mutex_;
    std::shared_ptr<const StatusSnapshot> latest_;
};

}  // namespace kps
