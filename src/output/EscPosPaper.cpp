#include "output/EscPosPaper.h"

#include <algorithm>
#include <utility>

#include "output/EscPosCommand.h"
#include "text/Text.h"

namespace kps {

namespace {

struct PrintMode {
    int width = 1;
    int height = 1;
    bool red = false;
    PaperAlign align = PaperAlign::Left;
    int codePage = 1252;
};

PaperAlign AlignOf(unsigned n) {
    switch (n) {
        case 1:
        case '1':
            return PaperAlign::Centre;
        case 2:
        case '2':
            return PaperAlign::Right;
        default:
            return PaperAlign::Left;
    }
}

// Builds the lines; a line takes its alignment when its first character
// is placed, as the printer does.
class Paper {
  public:
    explicit Paper(int columns) : columns_(std::max(columns, 1)) {}

    // Places UTF-8 text character by character; a character that does not
    // fit on the line starts the next one whole.
    void Print(std::string_view utf8, const PrintMode& mode) {
        ForEachChar(utf8, [&](char32_t codePoint, std::string_view bytes) {
            const int cells = ColumnsOf(codePoint) * mode.width;
            if (used_ > 0 && used_ + cells > columns_) {
                EndLine(mode);
            }
            if (used_ == 0 && current_.runs.empty()) {
                current_.align = mode.align;
            }
            if (current_.runs.empty() || current_.runs.back().width != mode.width ||
                current_.runs.back().height != mode.height ||
                current_.runs.back().red != mode.red) {
                current_.runs.push_back({"", mode.width, mode.height, mode.red});
            }
            current_.runs.back().text += bytes;
            used_ += cells;
        });
    }

    void EndLine(const PrintMode& mode) {
        if (current_.runs.empty()) {
            current_.align = mode.align;
            current_.runs.push_back({"", mode.width, mode.height, mode.red});
        }
        lines_.push_back(std::move(current_));
        current_ = {};
        used_ = 0;
    }

    void Image(RasterImage image, const PrintMode& mode) {
        if (used_ > 0) {
            EndLine(mode);
        }
        PaperLine line;
        line.align = mode.align;
        line.image = std::move(image);
        line.imageRed = mode.red;
        lines_.push_back(std::move(line));
    }

    void Cut(const PrintMode& mode) {
        if (used_ > 0) {
            EndLine(mode);
        }
        PaperLine cut;
        cut.cut = true;
        lines_.push_back(cut);
    }

    std::vector<PaperLine> Finish(const PrintMode& mode) {
        if (used_ > 0) {
            EndLine(mode);
        }
        return std::move(lines_);
    }

  private:
    int columns_;
    int used_ = 0;
    PaperLine current_;
    std::vector<PaperLine> lines_;
};

}  // namespace

int PaperLine::Height() const {
    int height = image.Empty() ? 1 : (image.height + kRowDots - 1) / kRowDots;
    for (const PaperRun& run : runs) {
        height = std::max(height, run.height);
    }
    return height;
}

int PaperLine::Columns() const {
    int columns = 0;
    for (const PaperRun& run : runs) {
        columns += static_cast<int>(DisplayWidth(run.text)) * run.width;
    }
    return columns;
}

int AlignedOffset(PaperAlign align, int spare) {
    spare = std::max(spare, 0);
    switch (align) {
        case PaperAlign::Centre:
            return spare / 2;
        case PaperAlign::Right:
            return spare;
        case PaperAlign::Left:
            break;
    }
    return 0;
}

int PaperLine::ImageLeft(int paperDots) const {
    return AlignedOffset(align, paperDots - image.widthBytes * 8);
}

std::string PaperLine::Text() const {
    std::string text;
    for (const PaperRun& run : runs) {
        text += run.text;
    }
    return text;
}

std::vector<PaperLine> ReadEscPosPaper(std::string_view bytes, int columns,
                                       const std::string& doubleByteSet) {
    Paper paper(columns);
    PrintMode mode;
    std::string doubleByte = doubleByteSet;
    bool doubleByteMode = false;
    while (!bytes.empty()) {
        const EscPosCommand command = ReadEscPosCommand(bytes);
        bytes.remove_prefix(command.bytes.size());
        switch (command.kind) {
            case EscPosKind::Text:
                paper.Print(doubleByteMode ? FromCharset(command.bytes, doubleByte)
                                           : FromCodePage(command.bytes, mode.codePage),
                            mode);
                break;
            case EscPosKind::DoubleByteOn:
            case EscPosKind::DoubleByteOff:
                doubleByteMode = command.kind == EscPosKind::DoubleByteOn;
                break;
            case EscPosKind::DoubleByteSet:
                doubleByte =
                    command.parameter == 1 || command.parameter == '1' ? "Shift_JIS" : doubleByte;
                break;
            case EscPosKind::RasterImage:
                paper.Image(RasterImageOf(command.bytes), mode);
                break;
            case EscPosKind::CarriageReturn:
                if (!bytes.empty() && bytes.front() == '\n') {
                    break;  // the LF ends the line
                }
                paper.EndLine(mode);
                break;
            case EscPosKind::LineFeed:
                paper.EndLine(mode);
                break;
            case EscPosKind::Init:
                mode = PrintMode{};
                break;
            case EscPosKind::PrintMode:
                mode.width = (command.parameter & 0x20) != 0 ? 2 : 1;
                mode.height = (command.parameter & 0x10) != 0 ? 2 : 1;
                break;
            case EscPosKind::CharacterSize:
                mode.width = static_cast<int>((command.parameter >> 4) & 0x07) + 1;
                mode.height = static_cast<int>(command.parameter & 0x07) + 1;
                break;
            case EscPosKind::Align:
                mode.align = AlignOf(command.parameter);
                break;
            case EscPosKind::Colour:
                mode.red = command.parameter == 1 || command.parameter == '1';
                break;
            case EscPosKind::CodePage:
                mode.codePage = CodePageOfTable(command.parameter, mode.codePage);
                break;
            case EscPosKind::Cut:
                paper.Cut(mode);
                break;
            default:
                break;
        }
    }
    return paper.Finish(mode);
}

}  // namespace kps
