#include "output/EscPosDecoder.h"

#include <cstdio>

#include "output/EscPosCommand.h"
#include "output/RasterImage.h"
#include "text/Text.h"

namespace kps {
namespace {

std::string Hex(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(c));
        if (!out.empty()) {
            out += ' ';
        }
        out += digits;
    }
    return out;
}

// Process IDs are usually digits; anything else is shown in hex.
std::string ProcessId(std::string_view id) {
    for (const char c : id) {
        if (c < 0x20 || c > 0x7E) {
            return Hex(id);
        }
    }
    return std::string(id);
}

std::string SizeMarker(unsigned width, unsigned height) {
    const std::string w = std::to_string(width);
    const std::string h = std::to_string(height);
    if (width == height) {
        return "[size " + w + "x" + h + "]";
    }
    if (height == 1) {
        return "[size " + w + "w]";
    }
    if (width == 1) {
        return "[size " + h + "h]";
    }
    return "[size " + w + "x" + h + "]";
}

std::string AlignMarker(unsigned n) {
    switch (n) {
        case 0:
        case '0':
            return "[left]";
        case 1:
        case '1':
            return "[centre]";
        case 2:
        case '2':
            return "[right]";
        default:
            return "[align " + std::to_string(n) + "]";
    }
}

std::string ColourMarker(unsigned n) {
    switch (n) {
        case 0:
        case '0':
            return "[black]";
        case 1:
        case '1':
            return "[red]";
        default:
            return "[colour " + std::to_string(n) + "]";
    }
}

}  // namespace

std::string DecodeEscPos(std::string_view bytes, const std::string& doubleByteSet) {
    std::string out;
    int codePage = 1252;
    std::string doubleByte = doubleByteSet;
    bool doubleByteMode = false;
    while (!bytes.empty()) {
        const EscPosCommand command = ReadEscPosCommand(bytes);
        bytes.remove_prefix(command.bytes.size());
        switch (command.kind) {
            case EscPosKind::Text:
                out += doubleByteMode ? FromCharset(command.bytes, doubleByte)
                                      : FromCodePage(command.bytes, codePage);
                break;
            case EscPosKind::DoubleByteOn:
                doubleByteMode = true;
                break;
            case EscPosKind::DoubleByteOff:
                doubleByteMode = false;
                break;
            case EscPosKind::DoubleByteSet:
                doubleByte =
                    command.parameter == 1 || command.parameter == '1' ? "Shift_JIS" : doubleByte;
                break;
            case EscPosKind::RasterImage: {
                const RasterImage image = RasterImageOf(command.bytes);
                out += "[raster " + std::to_string(image.widthBytes * 8) + "x" +
                       std::to_string(image.height) + "]\n";
                break;
            }
            case EscPosKind::LineFeed:
                out += '\n';
                break;
            case EscPosKind::CarriageReturn:
                if (!bytes.empty() && bytes.front() == '\n') {
                    break;  // the LF ends the line
                }
                out += '\n';
                break;
            case EscPosKind::Init:
                out += "[init]";
                break;
            case EscPosKind::PrintMode:
                out += SizeMarker((command.parameter & 0x20) != 0 ? 2 : 1,
                                  (command.parameter & 0x10) != 0 ? 2 : 1);
                break;
            case EscPosKind::CharacterSize:
                out += SizeMarker((command.parameter >> 4) + 1, (command.parameter & 0x0F) + 1);
                break;
            case EscPosKind::Align:
                out += AlignMarker(command.parameter);
                break;
            case EscPosKind::Colour:
                out += ColourMarker(command.parameter);
                break;
            case EscPosKind::CodePage:
                out += "[codepage " + std::to_string(command.parameter) + "]";
                codePage = CodePageOfTable(command.parameter, codePage);
                break;
            case EscPosKind::Cut:
                out += "[cut]";
                break;
            case EscPosKind::StatusQuery:
                out += "[status?]";
                break;
            case EscPosKind::TransmitStatus:
                out += "[transmit status " + std::to_string(command.parameter) + "?]";
                break;
            case EscPosKind::ProcessIdQuery:
                out += "[process id " + ProcessId(command.bytes.substr(7)) + "]";
                break;
            case EscPosKind::Other:
            case EscPosKind::Control:
                // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on
                // "[" + text at -O3.
                out += '[';
                out += Hex(command.bytes);
                out += ']';
                break;
            case EscPosKind::Incomplete:
                out += "[incomplete " + Hex(command.bytes) + "]";
                break;
        }
    }
    return out;
}

}  // namespace kps
