#include "ui/launch_splash/png_rgba.h"

#include <png.h>

namespace launch_splash {

std::optional<RgbaImage> read_png(const std::string& path)
{
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return std::nullopt;
    if (image.width == 0 || image.height == 0 || image.width > kLargestSide || image.height > kLargestSide) {
        png_image_free(&image);
        return std::nullopt;
    }
    image.format = PNG_FORMAT_RGBA;
    RgbaImage result { static_cast<int>(image.width), static_cast<int>(image.height), {} };
    result.rgba.resize(PNG_IMAGE_SIZE(image));
    // finish_read frees libpng's state whether or not it succeeds.
    if (!png_image_finish_read(&image, nullptr, result.rgba.data(), 0, nullptr))
        return std::nullopt;
    return result;
}

} // namespace launch_splash
