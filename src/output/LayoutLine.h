#pragma once

#include <cstddef>
#include <string>

#include "output/TicketBuffers.h"

namespace kps {

// Expands one HEADER or FOOTER layout line ("1C4=Table [VarTableNo]") with the
// header values of the ticket being composed and aligns it within
// ticket.RowPerLine. `printingType` decides which font digits are double
// width; `shortDate` is today's date for the Date variable. Stores the trimmed
// result in ticket.CurrentLayoutLine; a RowPerLine of 0 becomes 40, and a Null
// guest number or table code becomes 0 or "-" for the rest of the ticket.
std::string ExpandLayoutLine(const std::string& line, TicketBuffers& ticket,
                             const std::string& printingType, const std::string& shortDate);

// The spaces that centre `text` (its display columns, trimmed) within `width`
// columns; a
// half is rounded to the even neighbour, a text wider than `width` gets none.
std::string CentringSpaces(std::size_t width, const std::string& text);

}  // namespace kps
