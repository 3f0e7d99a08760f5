#include "output/RasterImage.h"

namespace kps {

bool RasterImage::Dot(int x, int y) const {
    if (x < 0 || y < 0 || x >= widthBytes * 8 || y >= height) {
        return false;
    }
    const auto byte = dots[static_cast<std::size_t>(y * widthBytes + x / 8)];
    return (byte & (0x80 >> (x % 8))) != 0;
}

void RasterImage::Set(int x, int y) {
    if (x < 0 || y < 0 || x >= widthBytes * 8 || y >= height) {
        return;
    }
    dots[static_cast<std::size_t>(y * widthBytes + x / 8)] |=
        static_cast<std::uint8_t>(0x80 >> (x % 8));
}

std::string RasterImage::EscPosBytes() const {
    std::string bytes{'\x1D', 'v', '0', '\0'};
    for (const int value : {widthBytes, height}) {
        bytes += static_cast<char>(value & 0xFF);
        bytes += static_cast<char>((value >> 8) & 0xFF);
    }
    bytes.append(dots.begin(), dots.end());
    return bytes;
}

RasterImage RasterImageOf(std::string_view command) {
    RasterImage image;
    if (command.size() < 8) {
        return image;
    }
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(command[i]); };
    image.widthBytes = byte(4) + 256 * byte(5);
    image.height = byte(6) + 256 * byte(7);
    image.dots.assign(command.begin() + 8, command.end());
    image.dots.resize(static_cast<std::size_t>(image.widthBytes * image.height), 0);
    return image;
}

}  // namespace kps
