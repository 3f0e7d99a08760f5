#pragma once

#include <string>

namespace kps {

// The service manager that started the server, told how it is doing: ready
// once it prints, alive at every polling cycle, a one-line status, stopping.
class ServiceManager {
  public:
    virtual ~ServiceManager() = default;

    virtual void NotifyReady() = 0;
    virtual void NotifyStatus(const std::string& text) = 0;
    virtual void NotifyWatchdog() = 0;
    virtual void NotifyStopping() = 0;
};

}  // namespace kps
