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
// Text is read as code page 1252 until ESC t selects table 0 (437),
// 2 (850) or 16 (1252).
std::string DecodeEscPos(std::string_view bytes);

}  // namespace kps
