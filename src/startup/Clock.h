#pragma once

#include <string>

namespace kps {

// A local calendar date and wall-clock time.
struct LocalDateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const LocalDateTime&) const = default;
};

// The time as the rules see it; tests hand in a clock they set themselves.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() const = 0;
};

class SystemClock final : public Clock {
  public:
    LocalDateTime Now() const override;
};

// Seconds from a fixed day to `t`, for intervals between two readings.
long long SecondsOf(const LocalDateTime& t);

// The server's regional forms: "/" and ":" separators, day before month.
std::string FormatShortDate(const LocalDateTime& t);    // dd/mm/yyyy
std::string FormatLongTime(const LocalDateTime& t);     // hh:mm:ss, 24-hour
std::string FormatGeneralDate(const LocalDateTime& t);  // dd/mm/yyyy hh:mm:ss
std::string FormatTime12(const LocalDateTime& t);       // hh:mm:ss AM or PM

}  // namespace kps
