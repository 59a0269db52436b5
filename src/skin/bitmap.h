#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skin/colour.h"

typedef struct _cairo_surface cairo_surface_t;

namespace Skin {

// A decoded 32-bit image that keeps its alpha channel. Pixels are held unpremultiplied
// (0xAARRGGBB), so colour comparisons see the colours the file was drawn with; a
// premultiplied cairo surface for drawing is made on first use.
class Bitmap {
public:
    Bitmap(int width, int height, std::vector<std::uint32_t> argb);
    ~Bitmap();
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    // Largest width and height of an image file the loader takes.
    static constexpr int kMaxSide = 8192;

    // Decodes an image file (PNG with alpha and every other format the platform codec
    // knows); nothing, with the reason in `error`, when the file is missing, not a regular
    // file, larger than kMaxSide a side or cannot be decoded.
    static std::unique_ptr<Bitmap> load(const std::string& path, std::string* error = nullptr);

    int width() const { return m_width; }
    int height() const { return m_height; }
    std::uint32_t argb(int x, int y) const { return m_pixels[std::size_t(y) * m_width + x]; }
    // The RGB colour of a pixel (alpha not included).
    Colour colour(int x, int y) const;

    cairo_surface_t* surface() const;

private:
    int m_width;
    int m_height;
    std::vector<std::uint32_t> m_pixels;
    mutable cairo_surface_t* m_surface = nullptr;
};

} // namespace Skin
