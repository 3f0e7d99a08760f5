#include "output/EscPosPaper.h"

#include <algorithm>

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

    void Print(std::string_view bytes, const PrintMode& mode) {
        for (char byte : bytes) {
            if (used_ > 0 && used_ + mode.width > columns_) {
                EndLine(mode);
            }
            if (used_ == 0 && current_.runs.empty()) {
                current_.align = mode.align;
            }
            if (current_.runs.empty() || current_.runs.back().width != mode.width ||
                current_.runs.back().height != mode.height ||
                current_.runs.back().red != mode.red) {
                current_.runs.push_back({"", mode.width, mode.height, mode.red});
                pending_.emplace_back();
            }
            pending_.back() += byte;
            used_ += mode.width;
        }
        codePage_ = mode.codePage;
    }

    void EndLine(const PrintMode& mode) {
        if (current_.runs.empty()) {
            current_.align = mode.align;
            current_.runs.push_back({"", mode.width, mode.height, mode.red});
            pending_.emplace_back();
        }
        for (std::size_t i = 0; i < current_.runs.size(); ++i) {
            current_.runs[i].text = FromCodePage(pending_[i], codePage_);
        }
        lines_.push_back(std::move(current_));
        current_ = {};
        pending_.clear();
        used_ = 0;
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
    int codePage_ = 1252;
    PaperLine current_;
    std::vector<std::string> pending_;  // each run's bytes, still in the code page
    std::vector<PaperLine> lines_;
};

}  // namespace

int PaperLine::Height() const {
    int height = 1;
    for (const PaperRun& run : runs) {
        height = std::max(height, run.height);
    }
    return height;
}

int PaperLine::Columns() const {
    int columns = 0;
    for (const PaperRun& run : runs) {
        columns += static_cast<int>(CharCount(run.text)) * run.width;
    }
    return columns;
}

std::string PaperLine::Text() const {
    std::string text;
    for (const PaperRun& run : runs) {
        text += run.text;
    }
    return text;
}

std::vector<PaperLine> ReadEscPosPaper(std::string_view bytes, int columns) {
    Paper paper(columns);
    PrintMode mode;
    while (!bytes.empty()) {
        const EscPosCommand command = ReadEscPosCommand(bytes);
        bytes.remove_prefix(command.bytes.size());
        switch (command.kind) {
            case EscPosKind::Text:
                paper.Print(command.bytes, mode);
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
