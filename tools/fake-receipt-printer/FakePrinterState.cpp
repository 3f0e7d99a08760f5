#include "fake-receipt-printer/FakePrinterState.h"

namespace kps {
namespace {

// Bits 1 and 4 are always set in every real-time status byte.
constexpr unsigned char kFixedBits = 0x12;
constexpr unsigned char kOffline = 0x08;          // n = 1
constexpr unsigned char kCoverOpen = 0x04;        // n = 2
constexpr unsigned char kStoppedPaperEnd = 0x20;  // n = 2
constexpr unsigned char kPaperEnd = 0x60;         // n = 4, both sensor bits

}  // namespace

std::optional<FakePrinterState> ParseFakePrinterState(std::string_view name) {
    if (name == "online") {
        return FakePrinterState::Online;
    }
    if (name == "offline") {
        return FakePrinterState::Offline;
    }
    if (name == "paperout") {
        return FakePrinterState::PaperOut;
    }
    if (name == "coveropen") {
        return FakePrinterState::CoverOpen;
    }
    if (name == "silent" || name == "stall") {
        return FakePrinterState::Silent;
    }
    return std::nullopt;
}

std::optional<unsigned char> RealTimeStatus(FakePrinterState state, unsigned n) {
    if (state == FakePrinterState::Silent) {
        return std::nullopt;
    }
    const bool online = state == FakePrinterState::Online;
    switch (n) {
        case 1:
            return static_cast<unsigned char>(kFixedBits | (online ? 0 : kOffline));
        case 2:
            if (state == FakePrinterState::CoverOpen) {
                return static_cast<unsigned char>(kFixedBits | kCoverOpen);
            }
            if (state == FakePrinterState::PaperOut) {
                return static_cast<unsigned char>(kFixedBits | kStoppedPaperEnd);
            }
            return kFixedBits;
        case 3:
            return kFixedBits;
        case 4:
            return static_cast<unsigned char>(
                kFixedBits | (state == FakePrinterState::PaperOut ? kPaperEnd : 0));
        default:
            return std::nullopt;
    }
}

}  // namespace kps
