#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include "support/test_paths.h"
#include "ui/launch_splash/png_rgba.h"
#include "ui/launch_splash/splash_geometry.h"

namespace {

using namespace launch_splash;

TEST(LaunchSplashPlace, PrimaryMonitorElseFirstUsableElseTheScreen)
{
    const Rect screen {0, 0, 3840, 1080};
    const Monitor left {{0, 0, 1920, 1080}, false};
    const Monitor right {{1920, 0, 1920, 1080}, true};
    const Monitor empty {{0, 0, 0, 0}, true};

    EXPECT_EQ(splash_monitor({left, right}, screen).x, 1920);
    EXPECT_EQ(splash_monitor({left, {right.area, false}}, screen).x, 0);
    // A monitor without a size (a disconnected output listed anyway) is passed over.
    EXPECT_EQ(splash_monitor({empty, right}, screen).x, 1920);
    EXPECT_EQ(splash_monitor({empty}, screen).width, 3840);
    EXPECT_EQ(splash_monitor({}, screen).width, 3840);
}

TEST(LaunchSplashPlace, CentredOnTheMonitorAndNeverAboveOrLeftOfIt)
{
    Rect at = centred({1920, 100, 1920, 1080}, 500, 300);
    EXPECT_EQ(at.x, 1920 + 710);
    EXPECT_EQ(at.y, 100 + 390);
    EXPECT_EQ(at.width, 500);
    EXPECT_EQ(at.height, 300);

    Rect larger = centred({1920, 100, 400, 200}, 500, 300);
    EXPECT_EQ(larger.x, 1920);
    EXPECT_EQ(larger.y, 100);
}

TEST(LaunchSplashPixels, ChannelsGoWhereTheMasksSayAndTranslucencyDarkens)
{
    // Opaque red, half-transparent white, fully transparent green.
    const std::vector<uint8_t> rgba = {255, 0, 0, 255, 255, 255, 255, 128, 0, 255, 0, 0};
    auto rgb = display_pixels(rgba, 3, 1, {0xff0000, 0x00ff00, 0x0000ff});
    ASSERT_TRUE(rgb);
    EXPECT_EQ((*rgb)[0], 0xff0000u);
    EXPECT_EQ((*rgb)[1], 0x808080u);
    EXPECT_EQ((*rgb)[2], 0x000000u);

    auto bgr = display_pixels(rgba, 3, 1, {0x0000ff, 0x00ff00, 0xff0000});
    ASSERT_TRUE(bgr);
    EXPECT_EQ((*bgr)[0], 0x0000ffu);

    // Not 8-bit channels (a 16-bit display), or pixels that do not match the size.
    EXPECT_FALSE(display_pixels(rgba, 3, 1, {0xf800, 0x07e0, 0x001f}));
    EXPECT_FALSE(display_pixels(rgba, 2, 1, {0xff0000, 0x00ff00, 0x0000ff}));
    EXPECT_FALSE(display_pixels(rgba, 0, 0, {0xff0000, 0x00ff00, 0x0000ff}));
}

// Writes a real PNG with libpng's own writer.
void write_png(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba)
{
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr)) << image.message;
}

TEST(LaunchSplashImage, ReadsAPngAndRefusesDamagedForeignOrHugeOnes)
{
    test_support::TempDir folder;
    const std::string good = folder.path() + "/good.png";
    write_png(good, 2, 1, {10, 20, 30, 255, 40, 50, 60, 0});
    auto image = read_png(good);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 1);
    EXPECT_EQ(image->rgba, (std::vector<uint8_t> {10, 20, 30, 255, 40, 50, 60, 0}));

    const std::string cut = folder.path() + "/cut.png";
    std::string bytes = test_support::read_file(good);
    test_support::write_file(cut, bytes.substr(0, bytes.size() / 2));
    EXPECT_FALSE(read_png(cut));

    const std::string text = folder.path() + "/text.png";
    test_support::write_file(text, "<svg/>");
    EXPECT_FALSE(read_png(text));
    EXPECT_FALSE(read_png(folder.path() + "/missing.png"));

    const std::string wide = folder.path() + "/wide.png";
    write_png(wide, kLargestSide + 1, 1, std::vector<uint8_t>((kLargestSide + 1) * 4, 0));
    EXPECT_FALSE(read_png(wide));
}

} // namespace
