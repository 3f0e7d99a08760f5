#pragma once

#include <optional>
#include <string_view>

namespace kps {

// What the fake receipt printer pretends to be.
enum class FakePrinterState {
    Online,
    Offline,
    PaperOut,
    CoverOpen,
    Silent,  // stalled: accepts and records, never answers anything
};

// "online", "offline", "paperout", "coveropen", "silent" (or "stall").
std::optional<FakePrinterState> ParseFakePrinterState(std::string_view name);

// The real-time status byte answered to DLE EOT n (n = 1 printer, 2 offline
// cause, 3 error cause, 4 roll paper sensor); nothing for a silent printer
// or an unknown n.
std::optional<unsigned char> RealTimeStatus(FakePrinterState state, unsigned n);

}  // namespace kps
