#include "output/EncodingResources.h"

#include <cstdio>

namespace kps {

bool DrawsLines(const PrinterEncoding& encoding) {
    return encoding.mode == EncodingMode::Raster || encoding.mode == EncodingMode::Auto;
}

EncodingResources::EncodingResources(std::string rasterFont, const PrintLog& log)
    : rasterFont_(std::move(rasterFont)), log_(log) {}

LineRasterizer* EncodingResources::RasterizerFor(const PrinterEncoding& encoding) {
    if (!DrawsLines(encoding)) {
        return nullptr;
    }
    if (!rasterizer_) {
        rasterizer_ = std::make_unique<LineRasterizer>(rasterFont_);
    }
    return rasterizer_.get();
}

TranslatorReport EncodingResources::ReportFor(const std::string& deviceName) {
    TranslatorReport report;
    report.unprintable = [this, deviceName](char32_t codePoint) {
        if (unprintableLogged_.emplace(deviceName, codePoint).second) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(codePoint));
            log_.WriteLog("Printer '" + deviceName + "' has no character " + code +
                          ", printed as ?");
        }
    };
    report.noFont = [this, deviceName] {
        if (noFontLogged_.insert(deviceName).second) {
            log_.WriteLog("No font to draw lines for '" + deviceName +
                          "', printed in its code page");
        }
    };
    return report;
}

}  // namespace kps
