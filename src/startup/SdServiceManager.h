#pragma once

#include "startup/ServiceManager.h"

namespace kps {

// systemd's notification socket ($NOTIFY_SOCKET) through sd_notify. Without
// the variable, as when the server is started by hand, every call does nothing.
class SdServiceManager final : public ServiceManager {
  public:
    void NotifyReady() override;
    void NotifyStatus(const std::string& text) override;
    void NotifyWatchdog() override;
    void NotifyStopping() override;
};

}  // namespace kps
