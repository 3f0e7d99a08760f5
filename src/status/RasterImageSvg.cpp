#include "status/RasterImageSvg.h"

namespace kps {

std::string RasterImageSvg(const RasterImage& image, bool red, const std::string& style) {
    const int width = image.widthBytes * 8;
    std::string path;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < width;) {
            if (!image.Dot(x, y)) {
                ++x;
                continue;
            }
            int end = x + 1;
            while (end < width && image.Dot(end, y)) {
                ++end;
            }
            // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) at
            // -O3 on a literal + string.
            const std::string run = std::to_string(end - x);
            path += 'M';
            path += std::to_string(x);
            path += ' ';
            path += std::to_string(y);
            path += 'h';
            path += run;
            path += "v1h-";
            path += run;
            path += 'z';
            x = end;
        }
    }
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 ";
    svg += std::to_string(width);
    svg += ' ';
    svg += std::to_string(image.height);
    svg += "\" preserveAspectRatio=\"none\" shape-rendering=\"crispEdges\" style=\"";
    svg += style;
    svg += "\"><path fill=\"";
    svg += red ? "#c00" : "#000";
    svg += "\" d=\"";
    svg += path;
    svg += "\"/></svg>";
    return svg;
}

}  // namespace kps
