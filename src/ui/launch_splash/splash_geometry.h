#pragma once
#include <cstdint>
#include <optional>
#include <vector>

// The plain decisions behind the launcher's splash: where it stands and how its pixels
// are laid out for the display.
namespace launch_splash {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct Monitor {
    Rect area;
    bool primary = false;
};

// The primary monitor, else the first one the display lists, else the whole screen.
Rect splash_monitor(const std::vector<Monitor>& monitors, const Rect& screen);

// Centred on the monitor; an image larger than the monitor keeps its top-left corner on it.
Rect centred(const Rect& monitor, int width, int height);

// How the display stores one pixel of a 32-bit image: its colour masks.
struct PixelFormat {
    uint32_t red_mask = 0;
    uint32_t green_mask = 0;
    uint32_t blue_mask = 0;
};

// Straight RGBA rows (four bytes a pixel) as the display's 32-bit pixels, translucent
// pixels darkened as the program's own splash paints them (over black). Empty when the
// masks are not 8-bit colour channels or the pixel count does not match the size.
std::optional<std::vector<uint32_t>> display_pixels(
    const std::vector<uint8_t>& rgba, int width, int height, const PixelFormat& format);

} // namespace launch_splash
