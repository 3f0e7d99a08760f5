#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "startup/PrintLog.h"
#include "status/StatusBoard.h"
#include "status/StatusRouter.h"

namespace httplib {
class Server;
}

namespace kps {

// The status router served over HTTP by cpp-httplib, from the board's
// latest snapshot, on threads of its own that block every signal (the
// runners take them on the tick thread). It binds at once: an address that
// is not host:port or cannot be bound is logged once and nothing is
// served; printing goes on either way.
class HttpStatusServer {
  public:
    // Without a door, every action is refused.
    HttpStatusServer(const std::string& address, const StatusBoard& board, const PrintLog& log,
                     const ActionDoor* door = nullptr);
    // Stops listening and waits for its threads.
    ~HttpStatusServer();
    HttpStatusServer(const HttpStatusServer&) = delete;
    HttpStatusServer& operator=(const HttpStatusServer&) = delete;

    // The port it listens on; 0 when it serves nothing.
    int Port() const { return port_; }

  private:
    std::unique_ptr<httplib::Server> server_;
    std::thread listener_;
    std::atomic<bool> listenerEnded_{false};
    int port_ = 0;
};

}  // namespace kps
