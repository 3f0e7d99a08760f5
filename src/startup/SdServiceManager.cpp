#include "startup/SdServiceManager.h"

#include <systemd/sd-daemon.h>

namespace kps {

// A failed notification is no reason to stop printing; systemd's watchdog
// notices a server that really stopped.
void SdServiceManager::NotifyReady() {
    sd_notify(0, "READY=1");
}

void SdServiceManager::NotifyStatus(const std::string& text) {
    // One line: the status ends at the first line break.
    sd_notify(0, ("STATUS=" + text.substr(0, text.find('\n'))).c_str());
}

void SdServiceManager::NotifyWatchdog() {
    sd_notify(0, "WATCHDOG=1");
}

void SdServiceManager::NotifyStopping() {
    sd_notify(0, "STOPPING=1");
}

}  // namespace kps
