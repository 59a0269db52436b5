#include "skin/bitmap.h"

#include <cairo.h>
#include <cerrno>
#include <cstring>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <sys/stat.h>

namespace Skin {

Bitmap::Bitmap(int width, int height, std::vector<std::uint32_t> argb)
    : m_width(width), m_height(height), m_pixels(std::move(argb))
{
    m_pixels.resize(std::size_t(width) * height);
}

Bitmap::~Bitmap()
{
    if (m_surface)
        cairo_surface_destroy(m_surface);
}

std::unique_ptr<Bitmap> Bitmap::load(const std::string& path, std::string* error)
{
    auto refuse = [error](const std::string& reason) {
        if (error)
            *error = reason;
        return nullptr;
    };
    // A FIFO or device would block the decoder, and a folder cannot be decoded.
    struct stat file { };
    if (::stat(path.c_str(), &file) != 0)
        return refuse(std::string("cannot open: ") + std::strerror(errno));
    if (!S_ISREG(file.st_mode))
        return refuse("not a regular file");
    // The size is read from the header first: a huge image is refused before its pixels
    // are allocated.
    int header_width = 0;
    int header_height = 0;
    if (gdk_pixbuf_get_file_info(path.c_str(), &header_width, &header_height) &&
        (header_width > kMaxSide || header_height > kMaxSide))
        return refuse("the image is " + std::to_string(header_width) + "x" + std::to_string(header_height) +
            " pixels, more than " + std::to_string(kMaxSide) + " a side");
    GError* failure = nullptr;
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(path.c_str(), &failure);
    if (!pixbuf) {
        if (error)
            *error = failure ? failure->message : "cannot decode";
        if (failure)
            g_error_free(failure);
        return nullptr;
    }
    int width = gdk_pixbuf_get_width(pixbuf);
    int height = gdk_pixbuf_get_height(pixbuf);
    if (width > kMaxSide || height > kMaxSide) { // a header that understated the size
        g_object_unref(pixbuf);
        return refuse("the image is " + std::to_string(width) + "x" + std::to_string(height) +
            " pixels, more than " + std::to_string(kMaxSide) + " a side");
    }
    int channels = gdk_pixbuf_get_n_channels(pixbuf);
    int stride = gdk_pixbuf_get_rowstride(pixbuf);
    bool alpha = gdk_pixbuf_get_has_alpha(pixbuf);
    const guchar* data = gdk_pixbuf_read_pixels(pixbuf);
    std::vector<std::uint32_t> pixels(std::size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        const guchar* row = data + std::size_t(y) * stride;
        for (int x = 0; x < width; ++x) {
            const guchar* p = row + x * channels;
            std::uint32_t a = alpha ? p[3] : 0xFF;
            pixels[std::size_t(y) * width + x] =
                (a << 24) | (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
        }
    }
    g_object_unref(pixbuf);
    return std::make_unique<Bitmap>(width, height, std::move(pixels));
}

Colour Bitmap::colour(int x, int y) const
{
    std::uint32_t p = argb(x, y);
    return rgb(int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF));
}

cairo_surface_t* Bitmap::surface() const
{
    if (m_surface)
        return m_surface;
    m_surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, m_width, m_height);
    cairo_surface_flush(m_surface);
    unsigned char* data = cairo_image_surface_get_data(m_surface);
    if (!data)
        return m_surface; // a size cairo cannot hold: an error surface, which draws nothing
    int stride = cairo_image_surface_get_stride(m_surface);
    for (int y = 0; y < m_height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + std::size_t(y) * stride);
        for (int x = 0; x < m_width; ++x) {
            std::uint32_t p = argb(x, y);
            std::uint32_t a = p >> 24;
            auto premultiply = [a](std::uint32_t c) { return (c * a + 127) / 255; };
            row[x] = (a << 24) | (premultiply((p >> 16) & 0xFF) << 16) | (premultiply((p >> 8) & 0xFF) << 8) |
                premultiply(p & 0xFF);
        }
    }
    cairo_surface_mark_dirty(m_surface);
    return m_surface;
}

} // namespace Skin
