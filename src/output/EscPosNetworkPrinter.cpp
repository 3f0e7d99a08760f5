#include "output/EscPosNetworkPrinter.h"

#include <chrono>

namespace kps {
namespace {

constexpr char DLE = '\x10';
constexpr char EOT = '\x04';

// Bits of the real-time status answers.
constexpr unsigned char kFixedMask = 0x93;      // bits 0, 1, 4 and 7 have fixed values
constexpr unsigned char kFixedBits = 0x12;      // ... namely 0, 1, 1 and 0
constexpr unsigned char kOffline = 0x08;        // DLE EOT 1
constexpr unsigned char kCoverOpen = 0x04;      // DLE EOT 2
constexpr unsigned char kErrorOccurred = 0x40;  // DLE EOT 2
constexpr unsigned char kPaperEnd = 0x60;       // DLE EOT 4

// A connection that failed mid-exchange: the printer is not there any more.
long CodeOf(NetStatus status) {
    switch (status) {
        case NetStatus::Ok:
            return OPOS_SUCCESS;
        case NetStatus::TimedOut:
            return OPOS_E_TIMEOUT;
        case NetStatus::Refused:
        case NetStatus::Unreachable:
        case NetStatus::Closed:
            return OPOS_E_NOHARDWARE;
        case NetStatus::Failed:
            break;
    }
    return OPOS_E_FAILURE;
}

}  // namespace

EscPosNetworkPrinter::EscPosNetworkPrinter(const PosPrinterRegistry& registry)
    : EscPosNetworkPrinter(registry, Timeouts{}) {}

EscPosNetworkPrinter::EscPosNetworkPrinter(const PosPrinterRegistry& registry, Timeouts timeouts)
    : registry_(registry), timeouts_(timeouts) {}

long EscPosNetworkPrinter::Done(long code) {
    result_ = code;
    return code;
}

long EscPosNetworkPrinter::Usable() const {
    if (!device_) {
        return OPOS_E_CLOSED;
    }
    if (!claimed_) {
        return OPOS_E_NOTCLAIMED;
    }
    return enabled_ ? OPOS_SUCCESS : OPOS_E_DISABLED;
}

long EscPosNetworkPrinter::Open(const std::string& deviceName, const std::string& checkedAddress) {
    if (device_) {
        return Done(OPOS_E_ILLEGAL);
    }
    PosDevice device = registry_.Resolve(deviceName, checkedAddress);
    if (device.host.empty()) {
        return Done(OPOS_E_NOEXIST);
    }
    device_ = device;
    translator_.emplace(device.codePage);
    coverOpen_ = false;
    return Done(OPOS_SUCCESS);
}

long EscPosNetworkPrinter::ClaimDevice(long timeoutMs) {
    if (!device_) {
        return Done(OPOS_E_CLOSED);
    }
    if (claimed_) {
        return Done(OPOS_SUCCESS);
    }
    // OPOS lets -1 mean "wait for ever"; a printer that never answers must
    // not hold the server, so the wait is bounded.
    const int wait = timeoutMs < 0 ? timeouts_.confirmMs : static_cast<int>(timeoutMs);
    const NetStatus status = connection_.Connect(device_->host, device_->port, wait);
    claimed_ = status == NetStatus::Ok;
    claimFailed_ = !claimed_;
    jobStarted_ = false;
    return Done(CodeOf(status));
}

void EscPosNetworkPrinter::SetDeviceEnabled(bool enabled) {
    if (claimFailed_) {
        return;  // the claim's failure stays the result for the opener to read
    }
    if (!device_ || !claimed_) {
        Done(device_ ? OPOS_E_NOTCLAIMED : OPOS_E_CLOSED);
        return;
    }
    enabled_ = enabled;
    Done(OPOS_SUCCESS);
}

long EscPosNetworkPrinter::CheckHealth(long level) {
    // With no connection there is no printer to examine; the failed claim
    // stays the result, which the opener reads, logs and reports.
    if (claimFailed_) {
        return OPOS_SUCCESS;
    }
    if (long usable = Usable(); usable != OPOS_SUCCESS) {
        return Done(usable);
    }
    if (level < 1 || level > 3) {
        return Done(OPOS_E_ILLEGAL);
    }
    unsigned char printer = 0;
    unsigned char cause = 0;
    unsigned char paper = 0;
    for (auto [n, status] :
         {std::pair<char, unsigned char*>{1, &printer}, {2, &cause}, {4, &paper}}) {
        if (long code = QueryStatus(n, *status); code != OPOS_SUCCESS) {
            return Done(code);
        }
    }
    coverOpen_ = (cause & kCoverOpen) != 0;
    const bool ready = (printer & kOffline) == 0 && !coverOpen_ && (cause & kErrorOccurred) == 0 &&
                       (paper & kPaperEnd) == 0;
    return Done(ready ? OPOS_SUCCESS : OPOS_E_OFFLINE);
}

long EscPosNetworkPrinter::QueryStatus(char n, unsigned char& status) {
    // Stale bytes would be taken for the answer; a peer that has gone shows
    // up here before we wait on it.
    if (NetStatus pending = connection_.DiscardPending(); pending != NetStatus::Ok) {
        return CodeOf(pending);
    }
    if (long code = SendOrFail(std::string{DLE, EOT, n}); code != OPOS_SUCCESS) {
        return code;
    }
    std::string answer;
    NetStatus received = connection_.Receive(answer, 1, timeouts_.statusMs);
    if (received != NetStatus::Ok) {
        return CodeOf(received);
    }
    status = static_cast<unsigned char>(answer[0]);
    return (status & kFixedMask) == kFixedBits ? OPOS_SUCCESS : OPOS_E_FAILURE;
}

long EscPosNetworkPrinter::SendOrFail(const std::string& bytes) {
    NetStatus sent = connection_.SendAll(bytes, timeouts_.sendMs);
    if (sent != NetStatus::Ok) {
        connection_.Close();
        claimed_ = false;
        enabled_ = false;
    }
    return CodeOf(sent);
}

long EscPosNetworkPrinter::PrintNormal(long station, const std::string& data) {
    if (long usable = Usable(); usable != OPOS_SUCCESS) {
        return Done(usable);
    }
    if (station != PTR_S_RECEIPT) {
        return Done(OPOS_E_ILLEGAL);
    }
    if (NetStatus pending = connection_.DiscardPending(); pending != NetStatus::Ok) {
        return Done(CodeOf(pending));
    }
    std::string bytes = jobStarted_ ? std::string() : translator_->JobStart();
    jobStarted_ = true;
    bytes += translator_->Translate(data);
    if (long code = SendOrFail(bytes); code != OPOS_SUCCESS) {
        return Done(code);
    }
    // The piece that ends the ticket is followed by a word from the printer,
    // so a printer that dropped the job or went offline is not taken for one
    // that printed it. Without a cutter any piece may be the last.
    const bool closing = translator_->LastCut() || !device_->cutter;
    if (!closing) {
        return Done(OPOS_SUCCESS);
    }
    if (device_->confirmPrinted) {
        return Done(ConfirmPrinted());
    }
    unsigned char printer = 0;
    if (long code = QueryStatus(1, printer); code != OPOS_SUCCESS) {
        return Done(code);
    }
    return Done((printer & kOffline) == 0 ? OPOS_SUCCESS : OPOS_E_OFFLINE);
}

long EscPosNetworkPrinter::ConfirmPrinted() {
    // GS ( H fn 48: the printer answers 37 22 id NUL once everything sent
    // before the request has been printed. The id is four digits.
    confirmations_ = (confirmations_ + 1) % 10000;
    std::string id = std::to_string(confirmations_);
    id.insert(0, 4 - id.size(), '0');
    if (long code = SendOrFail(std::string("\x1D\x28\x48\x06\x00\x30\x30", 7) + id);
        code != OPOS_SUCCESS) {
        return code;
    }
    const std::string expected = std::string("\x37\x22", 2) + id + std::string(1, '\0');
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeouts_.confirmMs);
    std::string answer;
    constexpr std::size_t kMostBytes = 4096;
    while (answer.find(expected) == std::string::npos) {
        if (answer.size() > kMostBytes) {
            return OPOS_E_FAILURE;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) {
            return OPOS_E_TIMEOUT;
        }
        NetStatus received = connection_.Receive(answer, 64, static_cast<int>(left));
        if (received != NetStatus::Ok) {
            return CodeOf(received);
        }
    }
    return OPOS_SUCCESS;
}

bool EscPosNetworkPrinter::CapRecPapercut() const {
    return device_ && device_->cutter;
}

long EscPosNetworkPrinter::Close() {
    if (!device_) {
        return Done(OPOS_E_CLOSED);
    }
    connection_.Close();
    device_.reset();
    translator_.reset();
    claimed_ = claimFailed_ = enabled_ = jobStarted_ = false;
    return Done(OPOS_SUCCESS);
}

}  // namespace kps
