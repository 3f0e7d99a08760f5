#include "sending/LaneDestination.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "text/Text.h"

namespace kps {
namespace {

// LPTn, COMn and PRN, in any case and with or without the colon, name a
// port of the machine rather than a file.
std::string PortName(const std::string& directPort) {
    std::string name = UpperCase(directPort);
    if (name.ends_with(':')) {
        name.pop_back();
    }
    const bool numbered =
        (name.starts_with("LPT") || name.starts_with("COM")) && name.size() > 3 &&
        name.size() <= 6 &&
        std::all_of(name.begin() + 3, name.end(), [](char c) { return c >= '0' && c <= '9'; });
    return numbered || name == "PRN" ? name : std::string();
}

std::string NormalDirectPort(const std::string& directPort) {
    if (std::string port = PortName(directPort); !port.empty()) {
        return port;
    }
    std::error_code error;
    const std::filesystem::path file =
        std::filesystem::weakly_canonical(std::filesystem::path(directPort), error);
    return error ? std::filesystem::path(directPort).lexically_normal().string() : file.string();
}

// Host names are ASCII and compare without regard to case.
std::string LowerHost(std::string host) {
    std::transform(host.begin(), host.end(), host.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return host;
}

}  // namespace

std::string LaneDestination(const PrintJob& job, const PosPrinterRegistry& registry) {
    if (job.printingType == "O") {
        const PosDevice device = registry.Resolve(job.device, job.address);
        return LowerHost(device.host) + ":" + std::to_string(device.port);
    }
    if (job.printingType == "D") {
        return NormalDirectPort(job.directPort);
    }
    return job.device;
}

}  // namespace kps
