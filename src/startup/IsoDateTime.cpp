#include "startup/IsoDateTime.h"

#include <cstddef>
#include <cstdio>

namespace kps {

namespace {

// Reads exactly `digits` decimal digits at `pos` and moves past them.
std::optional<int> ReadNumber(std::string_view text, std::size_t& pos, std::size_t digits) {
    if (pos + digits > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        char c = text[pos + i];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    pos += digits;
    return value;
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool ReadDate(std::string_view text, std::size_t& pos, LocalDateTime& out) {
    auto year = ReadNumber(text, pos, 4);
    if (!year || !Expect(text, pos, '-')) {
        return false;
    }
    auto month = ReadNumber(text, pos, 2);
    if (!month || *month < 1 || *month > 12 || !Expect(text, pos, '-')) {
        return false;
    }
    auto day = ReadNumber(text, pos, 2);
    if (!day || *day < 1 || *day > DaysInMonth(*year, *month)) {
        return false;
    }
    out.year = *year;
    out.month = *month;
    out.day = *day;
    return true;
}

bool ReadTime(std::string_view text, std::size_t& pos, LocalDateTime& out) {
    auto hour = ReadNumber(text, pos, 2);
    if (!hour || *hour > 23 || !Expect(text, pos, ':')) {
        return false;
    }
    auto minute = ReadNumber(text, pos, 2);
    if (!minute || *minute > 59) {
        return false;
    }
    int second = 0;
    if (Expect(text, pos, ':')) {
        auto read = ReadNumber(text, pos, 2);
        if (!read || *read > 59) {
            return false;
        }
        second = *read;
        if (Expect(text, pos, '.')) {
            std::size_t start = pos;
            while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
                ++pos;
            }
            if (pos == start) {
                return false;
            }
        }
    }
    out.hour = *hour;
    out.minute = *minute;
    out.second = second;
    return true;
}

bool LooksLikeDate(std::string_view text) {
    return text.size() >= 5 && text[4] == '-';
}

std::string FormatCell(const Value& value, std::string (*format)(const LocalDateTime&)) {
    if (value.IsNull()) {
        return "";
    }
    auto parsed = ParseIsoDateTime(value.AsText());
    return parsed ? format(*parsed) : value.AsText();
}

}  // namespace

std::optional<LocalDateTime> ParseIsoDateTime(std::string_view text) {
    LocalDateTime out;
    std::size_t pos = 0;
    bool hasDate = LooksLikeDate(text);
    if (hasDate && !ReadDate(text, pos, out)) {
        return std::nullopt;
    }
    if (!hasDate || pos < text.size()) {
        if (hasDate && !Expect(text, pos, ' ') && !Expect(text, pos, 'T')) {
            return std::nullopt;
        }
        if (!ReadTime(text, pos, out)) {
            return std::nullopt;
        }
    }
    if (pos != text.size()) {
        return std::nullopt;
    }
    return out;
}

std::string FormatNoticeDate(const Value& value) {
    return FormatCell(value, FormatShortDate);
}

std::string FormatNoticeTime(const Value& value) {
    return FormatCell(value, FormatTime12);
}

std::string FormatIsoDateTime(const LocalDateTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

}  // namespace kps
