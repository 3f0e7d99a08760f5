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
            path += "M" + std::to_string(x) + " " + std::to_string(y) + "h" +
                    std::to_string(end - x) + "v1h-" + std::to_string(end - x) + "z";
            x = end;
        }
    }
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + std::to_string(width) +
           " " + std::to_string(image.height) +
           "\" preserveAspectRatio=\"none\" shape-rendering=\"crispEdges\" style=\"" + style +
           "\"><path fill=\"" + (red ? "#c00" : "#000") + "\" d=\"" + path + "\"/></svg>";
}

}  // namespace kps
