#include "startup/PrintLog.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>

#include "text/Text.h"

namespace kps {
namespace {

namespace fs = std::filesystem;

fs::path LogFolder(const std::string& drivePath) {
    return drivePath + std::string(1, fs::path::preferred_separator) + "LOG";
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

std::chrono::year_month_day Date(int year, int month, int day) {
    return std::chrono::year_month_day(std::chrono::year(year),
                                       std::chrono::month(static_cast<unsigned>(month)),
                                       std::chrono::day(static_cast<unsigned>(day)));
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

int LogPriority(const std::string& message) {
    if (StartsWith(message, "Error") || StartsWith(message, "Alert:")) {
        return 3;
    }
    if (StartsWith(message, "Warning") || StartsWith(message, "Retry") ||
        StartsWith(message, "Cancel") || message.find("divert") != std::string::npos ||
        message.find("Divert") != std::string::npos) {
        return 4;
    }
    return 5;
}

PrintLog::PrintLog(std::string drivePath, const Clock& clock, int codePage, std::ostream* journal,
                   int keepDays)
    : drivePath_(std::move(drivePath)),
      clock_(clock),
      codePage_(codePage),
      journal_(journal),
      keepDays_(keepDays) {}

std::string PrintLog::TodayFile() const {
    return (LogFolder(drivePath_) / FileName(clock_.Now())).string();
}

void PrintLog::WriteLog(const std::string& message) const {
    // One reading of the clock, so a line written at midnight never lands
    // in the file of the other day.
    const LocalDateTime now = clock_.Now();
    // One event, one line, whatever a device name or request carried.
    const std::string line = EscapeControls(message);
    std::lock_guard lock(mutex_);
    try {
        WriteFile(now, line);
        RemoveOldFilesLocked(now);
    } catch (...) {
        // A log line must never stop the printing; it is lost instead.
    }
    if (journal_ != nullptr && !line.empty()) {
        *journal_ << '<' << LogPriority(line) << '>' << line << std::endl;
    }
}

void PrintLog::WriteFile(const LocalDateTime& now, const std::string& message) const {
    std::error_code ec;
    const auto folder = LogFolder(drivePath_);
    if (!fs::is_directory(folder, ec)) {
        fs::create_directory(folder, ec);
        if (ec) {
            ReportUnwritable(ec.message());
            return;
        }
    }
    if (message.empty()) {
        return;
    }
    std::ofstream out(folder / FileName(now), std::ios::binary | std::ios::app);
    if (out) {
        out << LineStart(now) << ToCodePage(message, codePage_) << "\r\n";
    }
    if (!out) {
        ReportUnwritable("the day's file cannot be written");
    }
}

void PrintLog::ReportUnwritable(const std::string& reason) const {
    if (journal_ == nullptr || unwritableReported_) {
        return;
    }
    unwritableReported_ = true;
    *journal_ << "<3>The print log cannot be written in " << LogFolder(drivePath_).string() << " ("
              << reason << "); its lines go only here." << std::endl;
}

void PrintLog::RemoveOldFiles() const {
    const LocalDateTime now = clock_.Now();
    std::lock_guard lock(mutex_);
    prunedDay_ = 0;
    RemoveOldFilesLocked(now);
}

void PrintLog::RemoveOldFilesLocked(const LocalDateTime& now) const {
    const int today = now.year * 10000 + now.month * 100 + now.day;
    if (keepDays_ <= 0 || prunedDay_ == today) {
        return;
    }
    prunedDay_ = today;
    const auto oldest =
        std::chrono::sys_days(Date(now.year, now.month, now.day)) - std::chrono::days(keepDays_);
    static const std::regex kDayFile(R"(Prt_(\d\d)(\d\d)(\d{4})\.Log)");
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(LogFolder(drivePath_), ec)) {
        std::smatch m;
        const std::string name = entry.path().filename().string();
        if (!std::regex_match(name, m, kDayFile)) {
            continue;
        }
        const auto date = Date(std::stoi(m[3]), std::stoi(m[2]), std::stoi(m[1]));
        if (date.ok() && std::chrono::sys_days(date) < oldest) {
            fs::remove(entry.path(), ec);
        }
    }
}

}  // namespace kps
