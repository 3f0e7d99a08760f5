#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// One line of the paper strip: text runs, or the cut.
struct PaperLine {
    std::vector<PaperRun> runs;
    PaperAlign align = PaperAlign::Left;
    bool cut = false;

    // The line's height in text rows: its tallest run, at least 1.
    int Height() const;
    // Its width in character cells.
    int Columns() const;
    std::string Text() const;
};

// What a receipt printer of `columns` characters per line would print for
// these ESC/POS bytes: text wrapped at the paper's edge, ESC ! and GS !
// sizes, ESC a alignment (taken at the start of a line), ESC r colour, ESC @
// resetting them, ESC t code pages, GS V as the cut. Other commands print
// nothing.
std::vector<PaperLine> ReadEscPosPaper(std::string_view bytes, int columns);

}  // namespace kps
