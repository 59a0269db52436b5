#include "ui/launch_splash/splash_geometry.h"

#include <algorithm>
#include <bit>

namespace launch_splash {

Rect splash_monitor(const std::vector<Monitor>& monitors, const Rect& screen)
{
    auto usable = [](const Monitor& monitor) { return monitor.area.width > 0 && monitor.area.height > 0; };
    auto primary = std::find_if(monitors.begin(), monitors.end(),
        [&](const Monitor& monitor) { return monitor.primary && usable(monitor); });
    if (primary != monitors.end())
        return primary->area;
    auto first = std::find_if(monitors.begin(), monitors.end(), usable);
    return first != monitors.end() ? first->area : screen;
}

Rect centred(const Rect& monitor, int width, int height)
{
    int x = monitor.x + std::max(0, (monitor.width - width) / 2);
    int y = monitor.y + std::max(0, (monitor.height - height) / 2);
    return {x, y, width, height};
}

namespace {

// The shift of an 8-bit channel's mask, or -1 when the mask is not eight contiguous bits.
int channel_shift(uint32_t mask)
{
    if (mask == 0)
        return -1;
    int shift = std::countr_zero(mask);
    return (mask >> shift) == 0xff ? shift : -1;
}

} // namespace

std::optional<std::vector<uint32_t>> display_pixels(
    const std::vector<uint8_t>& rgba, int width, int height, const PixelFormat& format)
{
    const int red = channel_shift(format.red_mask);
    const int green = channel_shift(format.green_mask);
    const int blue = channel_shift(format.blue_mask);
    if (red < 0 || green < 0 || blue < 0 || width <= 0 || height <= 0)
        return std::nullopt;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (rgba.size() != count * 4)
        return std::nullopt;
    std::vector<uint32_t> pixels(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = &rgba[i * 4];
        auto over_black = [alpha = p[3]](uint8_t channel) {
            return static_cast<uint32_t>((channel * alpha + 127) / 255);
        };
        pixels[i] = over_black(p[0]) << red | over_black(p[1]) << green | over_black(p[2]) << blue;
    }
    return pixels;
}

} // namespace launch_splash
