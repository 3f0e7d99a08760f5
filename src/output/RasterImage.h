#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kps {

// A one-bit image, rows top to bottom, each row whole bytes with the leftmost
// dot in the highest bit, as ESC/POS raster commands take it.
struct RasterImage {
    int widthBytes = 0;
    int height = 0;
    std::vector<std::uint8_t> dots;  // widthBytes * height bytes

    bool Empty() const { return height == 0 || widthBytes == 0; }
    bool Dot(int x, int y) const;
    void Set(int x, int y);

    // GS v 0 0 xL xH yL yH and the dots.
    std::string EscPosBytes() const;
};

// The image of a whole GS v 0 command, as ReadEscPosCommand delimits it.
RasterImage RasterImageOf(std::string_view command);

}  // namespace kps
