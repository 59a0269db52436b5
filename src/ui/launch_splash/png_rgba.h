#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace launch_splash {

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba; // straight (not premultiplied) RGBA rows, no padding
};

// Images beyond this in either direction are not shown (no monitor is that large, and a
// hostile file must not make the launcher allocate gigabytes).
inline constexpr int kLargestSide = 4096;

// Empty when the file is missing, not a PNG, damaged or too large.
std::optional<RgbaImage> read_png(const std::string& path);

} // namespace launch_splash
