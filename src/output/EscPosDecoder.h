#pragma once

#include <string>
#include <string_view>

namespace kps {

// Turns the bytes a receipt printer received into UTF-8 text a person can
// read: printable text as it stands, a line end for LF (CR LF counts once),
// and a bracketed marker for each command, e.g. "[init]", "[size 2x2]",
// "[centre]", "[red]", "[cut]", "[codepage 16]", "[status?]",
// "[transmit status 1?]". Commands
// without a marker of their own show their bytes in hex, "[1B 45 01]".
// Text is read as code page 1252 until ESC t selects a table; between FS &
// and FS . it is read in `doubleByteSet` (ICU's name; FS C 1 selects
// Shift_JIS). A raster image shows as "[raster WxH]" (dots) on a line of its own.
std::string DecodeEscPos(std::string_view bytes, const std::string& doubleByteSet = "GB18030");

}  // namespace kps
