#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "output/EscPosPaper.h"
#include "output/EscPosTextEncoder.h"
#include "output/PrinterEncoding.h"

namespace kps {

class LineRasterizer;

// What the translator tells its printer's owner: each character that fits
// neither the page nor the double-byte set, and a raster line that had to be
// printed as text for want of a font.
struct TranslatorReport {
    std::function<void(char32_t)> unprintable;
    std::function<void()> noFont;
};

// Renders the text of PrintNormal for an ESC/POS printer: OPOS escape
// sequences (ESC "|" ... ending in a capital letter) become ESC/POS commands,
// raw ESC/POS commands pass through with their parameters, and text goes out
// in the printer's encoding: its code page, its double-byte mode, or lines
// drawn as images. Alignment chosen for a line ends with that line, even
// when the line arrives in several pieces.
class EscPosTranslator {
  public:
    explicit EscPosTranslator(int codePage);
    // `rasterizer` draws the lines of a raster or auto printer; without one
    // they print as text.
    EscPosTranslator(const PrinterEncoding& encoding, LineRasterizer* rasterizer, int paperDots,
                     TranslatorReport report);
    ~EscPosTranslator();

    // ESC @ and the character table of the code page: what a job begins with.
    std::string JobStart() const;

    std::string Translate(std::string_view utf8);

    // True when the piece last translated cut the paper.
    bool LastCut() const { return lastCut_; }

  private:
    struct Item {
        bool text = false;
        std::string bytes;  // a command's bytes, or UTF-8 text
        PaperRun run;       // the text's size and colour
    };

    std::string OposSequence(std::string_view body);
    void EmitCommand(std::string_view bytes);
    void EmitText(std::string_view utf8);
    void EndLine();
    void AsText(const std::vector<Item>& items, bool reportUnprintable);
    void AsImage(const std::vector<Item>& items);
    bool Drawn() const;

    PrinterEncoding encoding_;
    EscPosTextEncoder encoder_;
    LineRasterizer* rasterizer_ = nullptr;
    int paperDots_ = 576;
    TranslatorReport report_;
    std::string out_;
    std::vector<Item> line_;  // the line being gathered for a raster or auto printer
    PaperRun mode_;           // size and colour as the commands so far left them
    PaperAlign align_ = PaperAlign::Left;
    PaperAlign lineAlign_ = PaperAlign::Left;
    bool aligned_ = false;
    bool lastCut_ = false;
    bool fontMissingReported_ = false;
};

}  // namespace kps
