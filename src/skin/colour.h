#pragma once
#include <cstdint>

namespace Skin {

// Colours as the skin stores them: RGB with red in the low byte.
using Colour = std::uint32_t;

// Asks a region build to use the colour of the image's top-left pixel (no RGB colour
// can have this value).
inline constexpr Colour kTopLeftColour = 0xFF000000u;

constexpr Colour rgb(int r, int g, int b)
{
    return (Colour(r) & 0xFF) | ((Colour(g) & 0xFF) << 8) | ((Colour(b) & 0xFF) << 16);
}
constexpr int red_of(Colour c)
{
    return int(c & 0xFF);
}
constexpr int green_of(Colour c)
{
    return int((c >> 8) & 0xFF);
}
constexpr int blue_of(Colour c)
{
    return int((c >> 16) & 0xFF);
}

} // namespace Skin
