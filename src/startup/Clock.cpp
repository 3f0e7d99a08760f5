#include "startup/Clock.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace kps {

LocalDateTime SystemClock::Now() const {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

long long SecondsOf(const LocalDateTime& t) {
    using namespace std::chrono;
    const sys_days day{year{t.year} / month{static_cast<unsigned>(t.month)} /
                       std::chrono::day{static_cast<unsigned>(t.day)}};
    return day.time_since_epoch().count() * 86400LL + t.hour * 3600LL + t.minute * 60LL + t.second;
}

std::string FormatShortDate(const LocalDateTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", t.day, t.month, t.year);
    return buf;
}

std::string FormatLongTime(const LocalDateTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return buf;
}

std::string FormatGeneralDate(const LocalDateTime& t) {
    return FormatShortDate(t) + " " + FormatLongTime(t);
}

std::string FormatTime12(const LocalDateTime& t) {
    int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    char buf[24];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d %s", hour12, t.minute, t.second,
                  t.hour < 12 ? "AM" : "PM");
    return buf;
}

}  // namespace kps
