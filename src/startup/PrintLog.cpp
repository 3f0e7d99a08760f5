#include "startup/PrintLog.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "text/Text.h"

namespace kps {
namespace {

std::filesystem::path LogFolder(const std::string& drivePath) {
    return drivePath + std::string(1, std::filesystem::path::preferred_separator) + "LOG";
}

std::string FileName(const LocalDateTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "Prt_%02d%02d%04d.Log", t.day, t.month, t.year);
    return buf;
}

// Each line starts "dd/mm/yy hh:mm:ss ", with a two-digit year.
std::string LineStart(const LocalDateTime& t) {
    char date[16];
    std::snprintf(date, sizeof date, "%02d/%02d/%02d ", t.day, t.month, t.year % 100);
    return date + FormatLongTime(t) + " ";
}

}  // namespace

PrintLog::PrintLog(std::string drivePath, const Clock& clock, int codePage)
    : drivePath_(std::move(drivePath)), clock_(clock), codePage_(codePage) {}

std::string PrintLog::TodayFile() const {
    return (LogFolder(drivePath_) / FileName(clock_.Now())).string();
}

void PrintLog::WriteLog(const std::string& message) const {
    try {
        std::error_code ec;
        const auto folder = LogFolder(drivePath_);
        if (!std::filesystem::is_directory(folder, ec)) {
            std::filesystem::create_directory(folder, ec);
            if (ec) {
                return;
            }
        }
        if (message.empty()) {
            return;
        }
        // One reading of the clock, so a line written at midnight never lands
        // in the file of the other day.
        const LocalDateTime now = clock_.Now();
        std::ofstream out(folder / FileName(now), std::ios::binary | std::ios::app);
        if (!out) {
            return;
        }
        out << LineStart(now) << ToCodePage(message, codePage_) << "\r\n";
    } catch (...) {
        // A log line must never stop the printing; it is lost instead.
    }
}

}  // namespace kps
