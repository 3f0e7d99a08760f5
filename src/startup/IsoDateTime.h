#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "database/Value.h"
#include "startup/Clock.h"

namespace kps {

// Reads ISO 8601 text holding a date ("2026-12-07"), a time ("22:05:09",
// "22:05", "22:05:09.250") or both, separated by a blank or "T". A missing
// part keeps the neutral value of LocalDateTime (30/12/1899, midnight);
// fractional seconds are dropped. Nothing for text that is not such a value.
std::optional<LocalDateTime> ParseIsoDateTime(std::string_view text);

// "2026-12-07 22:05:09", which ParseIsoDateTime reads back.
std::string FormatIsoDateTime(const LocalDateTime& t);

// A notice's date and time cells: the date part as "dd/mm/yyyy", the time
// part as "hh:mm:ss AM/PM". Null gives ""; text that is not ISO is shown as
// it stands.
std::string FormatNoticeDate(const Value& value);
std::string FormatNoticeTime(const Value& value);

}  // namespace kps
