#include "output/EscPosCommand.h"

namespace kps {
namespace {

constexpr unsigned char kLf = 0x0A;
constexpr unsigned char kCr = 0x0D;
constexpr unsigned char kDle = 0x10;
constexpr unsigned char kEsc = 0x1B;
constexpr unsigned char kGs = 0x1D;
constexpr unsigned char kFs = 0x1C;
constexpr unsigned char kEot = 0x04;

unsigned char ByteAt(std::string_view data, std::size_t i) {
    return static_cast<unsigned char>(data[i]);
}

// A command of `length` bytes whose last byte is its parameter.
EscPosCommand Fixed(std::string_view data, EscPosKind kind, std::size_t length) {
    if (data.size() < length) {
        return {EscPosKind::Incomplete, data, 0};
    }
    const unsigned parameter = length > 2 ? ByteAt(data, length - 1) : 0;
    return {kind, data.substr(0, length), parameter};
}

EscPosCommand ReadEsc(std::string_view data) {
    if (data.size() < 2) {
        return {EscPosKind::Incomplete, data, 0};
    }
    switch (data[1]) {
        case '@':
            return Fixed(data, EscPosKind::Init, 2);
        case '!':
            return Fixed(data, EscPosKind::PrintMode, 3);
        case 'a':
            return Fixed(data, EscPosKind::Align, 3);
        case 'r':
            return Fixed(data, EscPosKind::Colour, 3);
        case 't':
            return Fixed(data, EscPosKind::CodePage, 3);
        // Emphasis, underline, font, feeds, line spacing, upside down.
        case 'E':
        case '-':
        case 'M':
        case 'd':
        case 'J':
        case '3':
        case '{':
        case 'G':
            return Fixed(data, EscPosKind::Other, 3);
        default:
            return Fixed(data, EscPosKind::Other, 2);
    }
}

EscPosCommand ReadProcessId(std::string_view data) {
    // GS ( H pL pH fn m d1 d2 d3 d4; any other function of GS ( H is
    // skipped by its length.
    if (data.size() < 5) {
        return {EscPosKind::Incomplete, data, 0};
    }
    const std::size_t length = 5 + ByteAt(data, 3) + 256u * ByteAt(data, 4);
    if (data.size() < length) {
        return {EscPosKind::Incomplete, data, 0};
    }
    const bool processId = length == 11 && data[5] == 0x30 && data[6] == 0x30;
    return {processId ? EscPosKind::ProcessIdQuery : EscPosKind::Other, data.substr(0, length), 0};
}

EscPosCommand ReadRaster(std::string_view data) {
    // GS v 0 m xL xH yL yH: x bytes a row, y rows.
    if (data.size() < 8) {
        return {EscPosKind::Incomplete, data, 0};
    }
    const std::size_t rowBytes = ByteAt(data, 4) + 256u * ByteAt(data, 5);
    const std::size_t rows = ByteAt(data, 6) + 256u * ByteAt(data, 7);
    const std::size_t length = 8 + rowBytes * rows;
    if (data.size() < length) {
        return {EscPosKind::Incomplete, data, 0};
    }
    return {EscPosKind::RasterImage, data.substr(0, length), 0};
}

EscPosCommand ReadFs(std::string_view data) {
    if (data.size() < 2) {
        return {EscPosKind::Incomplete, data, 0};
    }
    switch (data[1]) {
        case '&':
            return Fixed(data, EscPosKind::DoubleByteOn, 2);
        case '.':
            return Fixed(data, EscPosKind::DoubleByteOff, 2);
        case 'C':
            return Fixed(data, EscPosKind::DoubleByteSet, 3);
        // Character mode, underline, size of the double-byte font.
        case '!':
        case '-':
        case 'W':
            return Fixed(data, EscPosKind::Other, 3);
        default:
            return Fixed(data, EscPosKind::Other, 2);
    }
}

EscPosCommand ReadGs(std::string_view data) {
    if (data.size() < 2) {
        return {EscPosKind::Incomplete, data, 0};
    }
    switch (data[1]) {
        case '!':
            return Fixed(data, EscPosKind::CharacterSize, 3);
        case 'r':
            return Fixed(data, EscPosKind::TransmitStatus, 3);
        case 'V': {
            if (data.size() < 3) {
                return {EscPosKind::Incomplete, data, 0};
            }
            // Modes 0, 1, 48, 49 cut at once; the others feed n first.
            const unsigned mode = ByteAt(data, 2);
            const bool plain = mode == 0 || mode == 1 || mode == 48 || mode == 49;
            EscPosCommand cut = Fixed(data, EscPosKind::Cut, plain ? 3 : 4);
            cut.parameter = mode;
            return cut;
        }
        case 'v':
            return ReadRaster(data);
        case '(':
            if (data.size() < 3) {
                return {EscPosKind::Incomplete, data, 0};
            }
            if (data[2] == 'H') {
                return ReadProcessId(data);
            }
            return Fixed(data, EscPosKind::Other, 3);
        default:
            return Fixed(data, EscPosKind::Other, 2);
    }
}

}  // namespace

EscPosCommand ReadEscPosCommand(std::string_view data) {
    const unsigned char first = ByteAt(data, 0);
    switch (first) {
        case kLf:
            return {EscPosKind::LineFeed, data.substr(0, 1), 0};
        case kCr:
            return {EscPosKind::CarriageReturn, data.substr(0, 1), 0};
        case kEsc:
            return ReadEsc(data);
        case kGs:
            return ReadGs(data);
        case kFs:
            return ReadFs(data);
        case kDle:
            if (data.size() >= 2 && ByteAt(data, 1) != kEot) {
                return {EscPosKind::Control, data.substr(0, 1), 0};
            }
            return Fixed(data, EscPosKind::StatusQuery, 3);
        default:
            break;
    }
    if (first < 0x20 && first != '\t') {
        return {EscPosKind::Control, data.substr(0, 1), first};
    }
    std::size_t end = 1;
    while (end < data.size()) {
        const unsigned char c = ByteAt(data, end);
        if (c < 0x20 && c != '\t') {
            break;
        }
        ++end;
    }
    return {EscPosKind::Text, data.substr(0, end), 0};
}

int CodePageOfTable(unsigned table, int current) {
    switch (table) {
        case 0:
            return 437;
        case 2:
            return 850;
        case 16:
            return 1252;
        default:
            return current;
    }
}

}  // namespace kps
