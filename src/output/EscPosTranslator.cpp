#include "output/EscPosTranslator.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "output/EscPosCommand.h"
#include "output/LineRasterizer.h"
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

EscPosTranslator::EscPosTranslator(int codePage)
    : EscPosTranslator(PrinterEncoding::OfCodePage(codePage), nullptr, 0, {}) {}

EscPosTranslator::EscPosTranslator(const PrinterEncoding& encoding, LineRasterizer* rasterizer,
                                   int paperDots, TranslatorReport report)
    : encoding_(encoding),
      encoder_(encoding),
      rasterizer_(rasterizer),
      paperDots_(paperDots),
      report_(std::move(report)) {}

EscPosTranslator::~EscPosTranslator() = default;

std::string EscPosTranslator::JobStart() const {
    std::string start{ESC, '@'};
    if (encoding_.table >= 0) {
        start += Command(ESC, 't', static_cast<char>(encoding_.table));
    }
    if (encoding_.japanese) {
        start += std::string{'\x1C', 'C', '\x01'};  // FS C 1: Shift_JIS
    }
    return start;
}

bool EscPosTranslator::Drawn() const {
    return encoding_.mode == EncodingMode::Raster || encoding_.mode == EncodingMode::Auto;
}

void EscPosTranslator::EmitCommand(std::string_view bytes) {
    if (!Drawn()) {
        out_ += bytes;
        return;
    }
    line_.push_back({false, std::string(bytes), mode_});
    // Follow the size, colour and alignment the commands leave.
    for (std::string_view rest = bytes; !rest.empty();) {
        const EscPosCommand command = ReadEscPosCommand(rest);
        rest.remove_prefix(command.bytes.size());
        const unsigned n = command.parameter;
        switch (command.kind) {
            case EscPosKind::Init:
                mode_ = PaperRun{};
                align_ = PaperAlign::Left;
                break;
            case EscPosKind::PrintMode:
                mode_.width = (n & 0x20) != 0 ? 2 : 1;
                mode_.height = (n & 0x10) != 0 ? 2 : 1;
                break;
            case EscPosKind::CharacterSize:
                mode_.width = static_cast<int>((n >> 4) & 0x07) + 1;
                mode_.height = static_cast<int>(n & 0x07) + 1;
                break;
            case EscPosKind::Colour:
                mode_.red = n == 1 || n == '1';
                break;
            case EscPosKind::Align:
                align_ = n == 1 || n == '1'   ? PaperAlign::Centre
                         : n == 2 || n == '2' ? PaperAlign::Right
                                              : PaperAlign::Left;
                break;
            default:
                break;
        }
    }
}

void EscPosTranslator::EmitText(std::string_view utf8) {
    if (utf8.empty()) {
        return;
    }
    if (!Drawn()) {
        out_ += encoder_.Encode(utf8, report_.unprintable);
        return;
    }
    while (!utf8.empty()) {
        const auto end = utf8.find('\n');
        const std::string_view piece =
            utf8.substr(0, end == std::string_view::npos ? utf8.size() : end + 1);
        if (std::none_of(line_.begin(), line_.end(), [](const Item& item) { return item.text; })) {
            lineAlign_ = align_;
        }
        PaperRun run = mode_;
        line_.push_back({true, std::string(piece), run});
        utf8.remove_prefix(piece.size());
        if (piece.back() == '\n') {
            EndLine();
        }
    }
}

void EscPosTranslator::AsText(const std::vector<Item>& items, bool reportUnprintable) {
    static const std::function<void(char32_t)> kQuiet;
    for (const Item& item : items) {
        out_ += item.text
                    ? encoder_.Encode(item.bytes, reportUnprintable ? report_.unprintable : kQuiet)
                    : item.bytes;
    }
}

void EscPosTranslator::AsImage(const std::vector<Item>& items) {
    std::size_t lastText = 0;
    std::vector<PaperRun> runs;
    bool red = false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!items[i].text) {
            continue;
        }
        lastText = i;
        PaperRun run = items[i].run;
        for (const char c : items[i].bytes) {
            if (c != '\r' && c != '\n') {
                run.text += c;
            }
        }
        red = red || (run.red && !Trim(run.text).empty());
        runs.push_back(std::move(run));
    }
    const RasterImage image = rasterizer_->Draw(runs, lineAlign_, paperDots_);
    if (image.Empty()) {
        AsText(items, true);  // a blank line: its line end is all it needs
        return;
    }
    for (std::size_t i = 0; i < lastText; ++i) {
        if (!items[i].text) {
            out_ += items[i].bytes;
        }
    }
    if (red) {
        out_ += Command(ESC, 'r', 1);
    }
    out_ += image.EscPosBytes();
    if (red) {
        out_ += Command(ESC, 'r', items[lastText].run.red ? 1 : 0);
    }
    for (std::size_t i = lastText + 1; i < items.size(); ++i) {
        out_ += items[i].bytes;
    }
}

void EscPosTranslator::EndLine() {
    std::vector<Item> items = std::move(line_);
    line_.clear();
    std::string text;
    for (const Item& item : items) {
        if (item.text) {
            text += item.bytes;
        }
    }
    if (text.empty()) {
        AsText(items, true);
        return;
    }
    if (encoding_.mode == EncodingMode::Auto && encoder_.Fits(text)) {
        AsText(items, true);
        return;
    }
    if (rasterizer_ == nullptr || !rasterizer_->HasFont()) {
        if (!fontMissingReported_ && report_.noFont) {
            report_.noFont();
        }
        fontMissingReported_ = true;
        AsText(items, false);
        return;
    }
    AsImage(items);
}

std::string EscPosTranslator::Translate(std::string_view utf8) {
    lastCut_ = false;
    std::string text;
    auto flushText = [&] {
        EmitText(text);
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
                EmitCommand(OposSequence(utf8.substr(i + 2, end - i - 1)));
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
            EmitCommand(utf8.substr(i, length));
            i += length;
            continue;
        }
        if (c == kColourOffOpos) {
            flushText();
            EmitCommand(Command(ESC, 'r', 0));
            ++i;
            continue;
        }
        text += c;
        ++i;
        if (c == '\n' && aligned_) {
            flushText();
            EmitCommand(Command(ESC, 'a', 0));
            aligned_ = false;
        }
    }
    flushText();
    const bool textWaits =
        std::any_of(line_.begin(), line_.end(), [](const Item& item) { return item.text; });
    if (lastCut_ || !textWaits) {
        // Commands alone go out at once; the cut ends the job, so a line
        // without its line end prints now.
        EndLine();
    }
    return std::exchange(out_, std::string());
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
