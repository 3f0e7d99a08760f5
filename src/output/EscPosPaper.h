#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "output/RasterImage.h"

namespace kps {

// A piece of a printed line in one print mode.
struct PaperRun {
    std::string text;  // UTF-8
    int width = 1;     // character width and height multipliers
    int height = 1;
    bool red = false;

    bool operator==(const PaperRun&) const = default;
};

enum class PaperAlign { Left, Centre, Right };

// How far from the left a line justified by `align` starts, given the
// `spare` room beside it (none when it is negative).
int AlignedOffset(PaperAlign align, int spare);

// Dots of a text row on the paper, for lines printed as images.
constexpr int kRowDots = 30;
constexpr int kColumnDots = 12;

// One line of the paper strip: text runs, an image, or the cut.
struct PaperLine {
    std::vector<PaperRun> runs;
    PaperAlign align = PaperAlign::Left;
    bool cut = false;
    RasterImage image;  // placed on the paper by the line's alignment (ImageLeft)
    bool imageRed = false;

    // The line's height in text rows: its tallest run or its image, at least 1.
    int Height() const;
    // Its width in character cells.
    int Columns() const;
    std::string Text() const;
    // Where the printer puts the image's left edge on paper `paperDots`
    // wide: justified as the line is, never left of the paper's edge.
    int ImageLeft(int paperDots) const;
};

// What a receipt printer of `columns` characters per line would print for
// these ESC/POS bytes: text wrapped at the paper's edge (a wide character
// takes two columns and is never split), ESC ! and GS ! sizes, ESC a
// alignment (taken at the start of a line), ESC r colour, ESC @ resetting
// them, ESC t code pages, double-byte text between FS & and FS . in
// `doubleByteSet` (FS C 1: Shift_JIS), GS v 0 images on lines of their own,
// GS V as the cut. Other commands print nothing.
std::vector<PaperLine> ReadEscPosPaper(std::string_view bytes, int columns,
                                       const std::string& doubleByteSet = "GB18030");

}  // namespace kps
