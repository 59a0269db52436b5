// A skin image file of any content: decoded, and made into the surface that is drawn.
#include "fuzz_support.h"
#include "skin/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = fuzz_support::private_home() + "/image";
    fuzz_support::write_file(path, fuzz_support::text(data, size));
    std::string error;
    auto bitmap = Skin::Bitmap::load(path, &error);
    fuzz_support::check(bitmap || !error.empty(), "a refused image says why");
    if (bitmap) {
        fuzz_support::check(
            bitmap->width() <= Skin::Bitmap::kMaxSide && bitmap->height() <= Skin::Bitmap::kMaxSide,
            "size limit");
        bitmap->surface();
    }
    return 0;
}
