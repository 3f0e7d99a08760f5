#pragma once

#include <memory>
#include <string>
#include <vector>

#include "output/EscPosPaper.h"
#include "output/RasterImage.h"

namespace kps {

// Draws a ticket line as a one-bit image for a printer that lacks its
// characters: bidirectional order (ICU), shaping (HarfBuzz) and glyphs
// (FreeType) from fonts that fontconfig finds for each script. A character
// cell is 12 by 24 dots as on a receipt printer's font A, a line 30 dots
// high; double width and height double both. A space takes one cell so that
// columns laid out with spaces stay where they were.
class LineRasterizer {
  public:
    // `fontChoice`: a font file, or a fontconfig pattern such as a family
    // name, drawn in first; empty: the best font for each script.
    explicit LineRasterizer(const std::string& fontChoice);
    ~LineRasterizer();
    LineRasterizer(const LineRasterizer&) = delete;
    LineRasterizer& operator=(const LineRasterizer&) = delete;

    // False when no font could be found at all.
    bool HasFont() const;

    // The runs (logical order) laid out for paper `paperDots` wide: a left
    // line from the paper's left edge, as narrow as its ink allows; a
    // centred or right line as its ink in whole bytes, centred or to the
    // right within them, for the printer to justify on the paper
    // (ImageLeft). Nothing past the paper's edge is drawn, and what lies
    // far past it is not even laid out. A line without ink gives an empty
    // image.
    RasterImage Draw(const std::vector<PaperRun>& runs, PaperAlign align, int paperDots);

  private:
    struct Fonts;
    std::unique_ptr<Fonts> fonts_;
};

}  // namespace kps
