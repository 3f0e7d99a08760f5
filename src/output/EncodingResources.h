#pragma once

#include <memory>
#include <set>
#include <string>
#include <utility>

#include "output/EscPosTranslator.h"
#include "output/LineRasterizer.h"
#include "output/PrinterEncoding.h"
#include "startup/PrintLog.h"

namespace kps {

// What a lane needs besides a printer's encoding to put its text on paper:
// the rasterizer its lines are drawn with, made when a printer first needs
// one, and the print log lines about what a printer could not print, each
// written once (per device and character; per device for a missing font).
class EncodingResources {
  public:
    // `rasterFont`: a font file or fontconfig pattern, empty for the best
    // font of each script.
    EncodingResources(std::string rasterFont, const PrintLog& log);

    // The rasterizer for an encoding that draws lines; null for one that does not.
    LineRasterizer* RasterizerFor(const PrinterEncoding& encoding);

    TranslatorReport ReportFor(const std::string& deviceName);

  private:
    std::string rasterFont_;
    const PrintLog& log_;
    std::unique_ptr<LineRasterizer> rasterizer_;
    std::set<std::pair<std::string, char32_t>> unprintableLogged_;
    std::set<std::string> noFontLogged_;
};

// True when the encoding draws some or all of its lines as images.
bool DrawsLines(const PrinterEncoding& encoding);

}  // namespace kps
