#pragma once

#include <string>

#include "output/RasterImage.h"

namespace kps {

// A printed image as inline SVG, one rectangle per run of ink in a row,
// sized by the caller's CSS `style` (the viewBox is in dots).
std::string RasterImageSvg(const RasterImage& image, bool red, const std::string& style);

}  // namespace kps
