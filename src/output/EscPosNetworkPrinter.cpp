#include "output/EscPosNetworkPrinter.h"

#include <algorithm>
#include <chrono>
#include <thread>

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
// GS r 1 answers the paper sensor status; bits 4 and 7 are always 0.
constexpr unsigned char kSensorFixedMask = 0x90;
// More than any answer we wait for: a printer that says this much is babbling.
constexpr std::size_t kMostAnswerBytes = 4096;

using SteadyClock = std::chrono::steady_clock;

// The first real-time status byte in `answer` from `from` on. The digits of
// a job-printed report can look like one, so they are passed over; its other
// bytes never have the fixed bits.
std::optional<unsigned char> StatusAfter(const std::string& answer, std::size_t from) {
    for (std::size_t i = from; i < answer.size(); ++i) {
        const auto byte = static_cast<unsigned char>(answer[i]);
        if ((byte & kFixedMask) == kFixedBits && (byte < '0' || byte > '9')) {
            return byte;
        }
    }
    return std::nullopt;
}

PrintFault FaultOf(NetStatus status) {
    switch (status) {
        case NetStatus::Ok:
            return PrintFault::None;
        case NetStatus::Refused:
            return PrintFault::Refused;
        case NetStatus::Unreachable:
            return PrintFault::Unreachable;
        case NetStatus::TimedOut:
            return PrintFault::NoAnswer;
        case NetStatus::Closed:
        case NetStatus::Failed:
            break;
    }
    return PrintFault::Failed;
}

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

EscPosNetworkPrinter::EscPosNetworkPrinter(const PosPrinterRegistry& registry, const PrintLog& log)
    : EscPosNetworkPrinter(registry, log, Timeouts{}) {}

EscPosNetworkPrinter::EscPosNetworkPrinter(const PosPrinterRegistry& registry, const PrintLog& log,
                                           Timeouts timeouts)
    : registry_(registry), log_(log), timeouts_(timeouts), text_(registry.RasterFont(), log) {}

long EscPosNetworkPrinter::Done(long code) {
    result_ = code;
    if (code == OPOS_SUCCESS) {
        return code;
    }
    if (fault_ == PrintFault::None) {
        fault_ = PrintFault::Failed;
    }
    return code;
}

long EscPosNetworkPrinter::Failed(NetStatus status) {
    fault_ = FaultOf(status);
    return Done(CodeOf(status));
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
    translator_.emplace(device.encoding, text_.RasterizerFor(device.encoding), device.paperDots,
                        text_.ReportFor(device.name));
    coverOpen_ = false;
    printAwaited_ = false;
    fault_ = PrintFault::None;
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
    const int wait = timeoutMs < 0 ? timeouts_.claimMs : static_cast<int>(timeoutMs);
    const NetStatus status = connection_.Connect(device_->host, device_->port, wait);
    claimed_ = status == NetStatus::Ok;
    claimFailed_ = !claimed_;
    jobStarted_ = false;
    linesSent_ = 0;
    return Failed(status);
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
    if (coverOpen_) {
        fault_ = PrintFault::CoverOpen;
    } else if ((paper & kPaperEnd) != 0) {
        fault_ = PrintFault::PaperOut;
    } else if ((printer & kOffline) != 0 || (cause & kErrorOccurred) != 0) {
        fault_ = PrintFault::Offline;
    } else {
        return Done(OPOS_SUCCESS);
    }
    return Done(OPOS_E_OFFLINE);
}

long EscPosNetworkPrinter::QueryStatus(char n, unsigned char& status) {
    // Stale bytes would be taken for the answer; a peer that has gone shows
    // up here before we wait on it.
    if (NetStatus pending = connection_.DiscardPending(); pending != NetStatus::Ok) {
        return Failed(pending);
    }
    if (long code = SendOrFail(std::string{DLE, EOT, n}); code != OPOS_SUCCESS) {
        return code;
    }
    std::string answer;
    NetStatus received = connection_.Receive(answer, 1, timeouts_.statusMs);
    if (received != NetStatus::Ok) {
        return Failed(received);
    }
    status = static_cast<unsigned char>(answer[0]);
    return (status & kFixedMask) == kFixedBits ? OPOS_SUCCESS : OPOS_E_FAILURE;
}

long EscPosNetworkPrinter::SendOrFail(const std::string& bytes) {
    NetStatus sent = connection_.SendAll(bytes, timeouts_.sendMs);
    if (sent == NetStatus::Ok) {
        return OPOS_SUCCESS;
    }
    connection_.Close();
    claimed_ = false;
    enabled_ = false;
    return Failed(sent);
}

long EscPosNetworkPrinter::PrintNormal(long station, const std::string& data) {
    if (long usable = Usable(); usable != OPOS_SUCCESS) {
        return Done(usable);
    }
    if (station != PTR_S_RECEIPT) {
        return Done(OPOS_E_ILLEGAL);
    }
    if (NetStatus pending = connection_.DiscardPending(); pending != NetStatus::Ok) {
        return Failed(pending);
    }
    std::string bytes = jobStarted_ ? std::string() : translator_->JobStart();
    jobStarted_ = true;
    bytes += translator_->Translate(data);
    if (long code = SendOrFail(bytes); code != OPOS_SUCCESS) {
        return Done(code);
    }
    linesSent_ += static_cast<std::size_t>(std::count(data.begin(), data.end(), '\n'));
    // The piece that ends the ticket is followed by a word from the printer,
    // so a printer that dropped the job or went offline is not taken for one
    // that printed it. Without a cutter any piece may be the last.
    const bool closing = translator_->LastCut() || !device_->cutter;
    if (!closing) {
        return Done(OPOS_SUCCESS);
    }
    if (device_->confirmPrinted) {
        const long code = ConfirmPrinted();
        printAwaited_ = code == OPOS_SUCCESS;
        return Done(code);
    }
    unsigned char printer = 0;
    if (long code = QueryStatus(1, printer); code != OPOS_SUCCESS) {
        return Done(code);
    }
    if ((printer & kOffline) != 0) {
        fault_ = PrintFault::Offline;
        return Done(OPOS_E_OFFLINE);
    }
    return Done(OPOS_SUCCESS);
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
    const auto wait =
        std::chrono::milliseconds(timeouts_.confirmMs) +
        std::chrono::milliseconds(timeouts_.confirmPerLineMs) * static_cast<long long>(linesSent_);
    linesSent_ = 0;
    std::string answer;
    const NetStatus received =
        ReceiveUntil(answer, SteadyClock::now() + wait,
                     [&](const std::string& a) { return a.find(expected) != std::string::npos; });
    if (received == NetStatus::TimedOut) {
        return NotConfirmed(answer, expected);
    }
    return received == NetStatus::Ok ? OPOS_SUCCESS : Failed(received);
}

long EscPosNetworkPrinter::NotConfirmed(std::string& answer, const std::string& expected) {
    // The whole wait passed on an open connection. Only the printer's own
    // word that it is in trouble fails the ticket now: a printer that says
    // nothing of the kind most likely printed it, and a second copy in the
    // kitchen is worse than a ticket nobody confirmed.
    const std::size_t asked = answer.size();
    if (long code = SendOrFail(std::string{DLE, EOT, 1}); code != OPOS_SUCCESS) {
        return code;
    }
    const NetStatus received = ReceiveUntil(
        answer, SteadyClock::now() + std::chrono::milliseconds(timeouts_.statusMs),
        [&](const std::string& a) {
            return a.find(expected) != std::string::npos || StatusAfter(a, asked).has_value();
        });
    if (received != NetStatus::Ok && received != NetStatus::TimedOut) {
        return Failed(received);
    }
    if (answer.find(expected) != std::string::npos) {
        return OPOS_SUCCESS;  // it came just now
    }
    if (const auto status = StatusAfter(answer, asked); status && (*status & kOffline) != 0) {
        fault_ = PrintFault::Offline;
        return OPOS_E_OFFLINE;
    }
    log_.WriteLog("Printer '" + device_->name + "' did not confirm the ticket");
    return OPOS_SUCCESS;
}

NetStatus EscPosNetworkPrinter::ReceiveUntil(
    std::string& answer, SteadyClock::time_point deadline,
    const std::function<bool(const std::string&)>& enough) {
    while (!enough(answer)) {
        if (answer.size() > kMostAnswerBytes) {
            return NetStatus::Failed;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now())
                .count();
        if (left <= 0) {
            return NetStatus::TimedOut;
        }
        if (NetStatus received = connection_.Receive(answer, 64, static_cast<int>(left));
            received != NetStatus::Ok) {
            return received;
        }
    }
    return NetStatus::Ok;
}

bool EscPosNetworkPrinter::CapRecPapercut() const {
    return device_ && device_->cutter;
}

void EscPosNetworkPrinter::AwaitRelease() {
    if (!device_) {
        return;
    }
    if (device_->releasePauseMs >= 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(device_->releasePauseMs));
        return;
    }
    // The ticket's printing was waited for already; with nothing sent there
    // is nothing to wait for.
    if (printAwaited_ || !jobStarted_ || !connection_.IsOpen()) {
        return;
    }
    // GS r 1 is answered in sequence, once everything before it has been
    // printed; a real-time status answer would come at once and prove nothing.
    if (connection_.DiscardPending() != NetStatus::Ok ||
        connection_.SendAll(std::string("\x1Dr\x01", 3), timeouts_.sendMs) != NetStatus::Ok) {
        return;
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kMostReleaseWaitMs);
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        std::string answer;
        if (left <= 0 || connection_.Receive(answer, 1, static_cast<int>(left)) != NetStatus::Ok) {
            return;
        }
        if ((static_cast<unsigned char>(answer[0]) & kSensorFixedMask) == 0) {
            printAwaited_ = true;
            return;
        }
    }
}

long EscPosNetworkPrinter::Close() {
    if (!device_) {
        return Done(OPOS_E_CLOSED);
    }
    connection_.Close();
    device_.reset();
    translator_.reset();
    claimed_ = claimFailed_ = enabled_ = jobStarted_ = printAwaited_ = false;
    linesSent_ = 0;
    return Done(OPOS_SUCCESS);
}

}  // namespace kps
