#pragma once

#include <memory>
#include <string>

#include "startup/PrintLog.h"
#include "status/HttpStatusServer.h"
#include "status/StatusBoard.h"
#include "status/StatusCollector.h"

namespace kps {

// The web status page of a running server: the snapshots the ticks take
// and the HTTP server that shows them at `address` ([PrintServer]
// StatusAddress; empty: none).
class StatusService {
  public:
    StatusService(const StatusSources& sources, const std::string& address, const PrintLog& log);

    // What the form tells of its ticks; null when no page is served.
    TickObserver* Observer();
    // The port the page is served on; 0 when it is not.
    int Port() const { return server_ ? server_->Port() : 0; }

  private:
    StatusBoard board_;
    StatusCollector collector_;
    std::unique_ptr<HttpStatusServer> server_;
};

}  // namespace kps
