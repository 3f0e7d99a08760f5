#include "reprint/ReprintRequest.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>

#include "startup/StateFolder.h"
#include "startup/StateRecord.h"

namespace kps {

namespace {

constexpr std::string_view kKind = "kitchen-print-server reprint request 1";
constexpr std::string_view kPrefix = "reprint-request-";
constexpr std::string_view kSuffix = ".request";

// Names sort by the time of writing, and carry the writer's process and a
// random part so two requests never share a name.
std::string UniqueName() {
    auto now = std::chrono::system_clock::now().time_since_epoch();
    long long nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    std::random_device random;
    char name[96];
    std::snprintf(name, sizeof name, "%s%020lld-%d-%08x%s", kPrefix.data(), nanos,
                  static_cast<int>(::getpid()), random(), kSuffix.data());
    return name;
}

}  // namespace

std::string WriteReprintRequest(const std::string& folder, const std::string& device, int n) {
    StateRecordWriter record(kKind);
    record.Add(device);
    record.Add(n);
    std::string path = (std::filesystem::path(folder) / UniqueName()).string();
    WriteFileAtomically(path, record.Finish());
    return path;
}

bool WithdrawReprintRequest(const std::string& requestFile) {
    return ::unlink(requestFile.c_str()) == 0;
}

namespace {

std::vector<std::string> RequestFiles(const std::string& folder) {
    std::vector<std::string> paths;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(kPrefix) && name.ends_with(kSuffix)) {
            paths.push_back(entry.path().string());
        }
    }
    return paths;
}

}  // namespace

bool ReprintRequestsWaiting(const std::string& folder) {
    return !RequestFiles(folder).empty();
}

std::vector<ReprintRequestEntry> TakeReprintRequests(const std::string& folder,
                                                     const PrintLog& log) {
    std::vector<std::string> paths = RequestFiles(folder);
    std::error_code ec;
    std::sort(paths.begin(), paths.end());
    std::vector<ReprintRequestEntry> requests;
    for (const std::string& path : paths) {
        // Claimed by a rename before it is read: the command's withdrawal
        // (an unlink of the same name) and this claim cannot both succeed,
        // so a request is either served or withdrawn, never both.
        const std::string claimed = path + ".taken";
        if (::rename(path.c_str(), claimed.c_str()) != 0) {
            continue;
        }
        std::optional<std::string> bytes = ReadWholeFile(claimed);
        auto record = bytes ? StateRecordReader::Open(*bytes, kKind) : std::nullopt;
        auto device = record ? record->Text() : std::nullopt;
        auto n = record ? record->Number() : std::nullopt;
        if (device && n && record->AtEnd()) {
            std::filesystem::remove(claimed, ec);
            requests.push_back({*device, static_cast<int>(*n)});
        } else {
            ::rename(claimed.c_str(), path.c_str());
            SetAsideDamagedFile(path, log);
        }
    }
    return requests;
}

}  // namespace kps
