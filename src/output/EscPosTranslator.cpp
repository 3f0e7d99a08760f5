#include "output/EscPosTranslator.h"

#include <cctype>

#include "text/Text.h"

namespace kps {
namespace {

constexpr char ESC = '\x1B';
constexpr char GS = '\x1D';
constexpr char kColourOffOpos = '\x0B';

std::string Command(char prefix, char command, char parameter) {
    return std::string{prefix, command, parameter};
}

// How many parameter bytes follow a raw ESC/POS command, so that a parameter
// byte is never taken for text or an OPOS code.
std::size_t RawParameterCount(char prefix, char command, std::string_view rest) {
    static constexpr std::string_view kEscOne = "!-EGMRTVJadert{";
    static constexpr std::string_view kGsOne = "!BHfhwa";
    if (prefix == ESC) {
        if (command == 'p') {
            return 3;
        }
        return kEscOne.find(command) != std::string_view::npos ? 1 : 0;
    }
    if (command == 'V') {
        // GS V m, with a feed amount after the function B forms (m >= 65).
        return !rest.empty() && static_cast<unsigned char>(rest[0]) >= 65 ? 2 : 1;
    }
    return kGsOne.find(command) != std::string_view::npos ? 1 : 0;
}

}  // namespace

EscPosTranslator::EscPosTranslator(int codePage) : codePage_(codePage) {}

std::string EscPosTranslator::JobStart() const {
    std::string start{ESC, '@'};
    switch (codePage_) {
        case 437:
            return start + Command(ESC, 't', 0);
        case 850:
            return start + Command(ESC, 't', 2);
        case 1252:
        case 28591:
            return start + Command(ESC, 't', 16);
        default:
            return start;
    }
}

std::string EscPosTranslator::Translate(std::string_view utf8) {
    lastCut_ = false;
    std::string out;
    std::string text;
    auto flushText = [&] {
        out += ToCodePage(text, codePage_);
        text.clear();
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const char c = utf8[i];
        if (c == ESC && i + 1 < utf8.size() && utf8[i + 1] == '|') {
            flushText();
            // The sequence ends at its first capital letter; digits and small
            // letters before it are its parameters.
            std::size_t end = i + 2;
            while (end < utf8.size() && !std::isupper(static_cast<unsigned char>(utf8[end])) &&
                   (std::isdigit(static_cast<unsigned char>(utf8[end])) ||
                    std::islower(static_cast<unsigned char>(utf8[end])) || utf8[end] == '!')) {
                ++end;
            }
            if (end < utf8.size() && std::isupper(static_cast<unsigned char>(utf8[end]))) {
                out += OposSequence(utf8.substr(i + 2, end - i - 1));
                i = end + 1;
            } else {
                // A broken sequence: the stray ESC is dropped so it cannot
                // swallow the next bytes as a command.
                i += 1;
            }
            continue;
        }
        if ((c == ESC || c == GS) && i + 1 < utf8.size()) {
            flushText();
            std::size_t length = 2 + RawParameterCount(c, utf8[i + 1], utf8.substr(i + 2));
            out.append(utf8.substr(i, length));
            i += length;
            continue;
        }
        if (c == kColourOffOpos) {
            flushText();
            out += Command(ESC, 'r', 0);
            ++i;
            continue;
        }
        text += c;
        ++i;
        if (c == '\n' && aligned_) {
            flushText();
            out += Command(ESC, 'a', 0);
            aligned_ = false;
        }
    }
    flushText();
    return out;
}

std::string EscPosTranslator::OposSequence(std::string_view body) {
    const char kind = body.back();
    std::string_view parameters = body.substr(0, body.size() - 1);
    std::string digits;
    std::string letters;
    for (char c : parameters) {
        (std::isdigit(static_cast<unsigned char>(c)) ? digits : letters) += c;
    }
    if (kind == 'C' && letters.empty()) {
        static constexpr char kModes[] = {0x00, 0x20, 0x10, 0x30};
        long size = LeadingNumber(digits);
        return size >= 1 && size <= 4 ? Command(ESC, '!', kModes[size - 1]) : std::string();
    }
    if (kind == 'C' && letters == "r") {
        return Command(ESC, 'r', 1);
    }
    if (kind == 'C' && letters == "b") {
        return Command(ESC, 'E', 1);
    }
    if (kind == 'C' && letters == "!b") {
        return Command(ESC, 'E', 0);
    }
    if (kind == 'C' && letters == "u") {
        return Command(ESC, '-', 1);
    }
    if (kind == 'C' && letters == "!u") {
        return Command(ESC, '-', 0);
    }
    if (kind == 'A' && (letters == "c" || letters == "r")) {
        aligned_ = true;
        return Command(ESC, 'a', letters == "c" ? 1 : 2);
    }
    if (kind == 'A' && letters == "l") {
        aligned_ = false;
        return Command(ESC, 'a', 0);
    }
    if (kind == 'F' && letters == "l") {
        long lines = digits.empty() ? 1 : LeadingNumber(digits);
        return Command(ESC, 'd', static_cast<char>(lines > 255 ? 255 : lines));
    }
    if (kind == 'P' && (letters.empty() || letters == "f")) {
        // Feed to the cutter and cut (partially, as the printers here do).
        lastCut_ = true;
        return std::string{GS, 'V', 66, 0};
    }
    if (kind == 'N' && letters.empty()) {
        return Command(ESC, '!', 0) + Command(ESC, 'r', 0) + Command(ESC, 'E', 0) +
               Command(ESC, '-', 0);
    }
    // A sequence this printer has no use for prints nothing.
    return {};
}

}  // namespace kps
