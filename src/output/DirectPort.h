#pragma once

#include <chrono>
#include <string>

#include "output/EscPosTranslator.h"
#include "output/PrintFault.h"

namespace kps {

// The bytes a direct port receives for a ticket text: ESC @, ESC ! "0", the
// text in the code page, GS V 66 0.
std::string DirectTicketBytes(const std::string& ticketText, int codePage);

// The same framing for a port whose printer has an encoding of its own: its
// character table selected after ESC @, the text rendered by `translator`
// (made for that encoding), so a line may go out in a double-byte mode or
// as an image.
std::string DirectTicketBytes(const std::string& ticketText, EscPosTranslator& translator);

// How long a direct port may take to accept a ticket before it counts as
// missing.
constexpr std::chrono::milliseconds kDirectPortLimit{5000};

// Writes `bytes` to the direct port (a device, pipe or file name, created or
// truncated) within `limit`: a pipe nobody reads, or a device that takes
// nothing, fails like a missing port instead of holding the server.
// `opened`, when given, tells whether the port was opened, so that bytes
// may have reached it.
PrintFault WriteDirectPort(const std::string& directPort, const std::string& bytes,
                           std::chrono::milliseconds limit = kDirectPortLimit,
                           bool* opened = nullptr);

}  // namespace kps
