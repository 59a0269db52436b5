#include <cairo.h>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "skin/contour_bitmap.h"

namespace {

constexpr std::uint32_t kMagenta = 0xFFFF00FF;
constexpr std::uint32_t kInk = 0xFF204060;

std::unique_ptr<Skin::Bitmap> bitmap_of(const std::vector<std::string>& rows)
{
    // '.' is magenta (the outside), '#' ink, 'n' magenta one step off in blue,
    // 'a' magenta with zero alpha.
    int height = int(rows.size());
    int width = int(rows[0].size());
    std::vector<std::uint32_t> pixels;
    for (const std::string& row : rows) {
        for (char c : row) {
            pixels.push_back(c == '.' ? kMagenta : c == 'n' ? 0xFFFF00FE : c == 'a' ? 0x00FF00FF : kInk);
        }
    }
    return std::make_unique<Skin::Bitmap>(width, height, std::move(pixels));
}

struct Region {
    explicit Region(cairo_region_t* r) : region(r) { }
    ~Region()
    {
        if (region)
            cairo_region_destroy(region);
    }
    bool contains(int x, int y) const { return cairo_region_contains_point(region, x, y); }
    cairo_region_t* region;
};

// The region as rows of '#' (inside) and '.' (outside).
std::vector<std::string> picture(const Region& region, int width, int height)
{
    std::vector<std::string> rows;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x)
            row += region.contains(x, y) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

TEST(ContourBitmap, TopLeftColourIsCutOutIncludingRunsToTheEdge)
{
    auto bitmap = bitmap_of({
        "..##..",
        ".####.",
        "######",
        "##....",
    });
    CContourBitmap contour(bitmap.get());
    Region region(contour.GetRegion(Skin::kTopLeftColour));
    ASSERT_TRUE(region.region);
    EXPECT_EQ(picture(region, 6, 4), (std::vector<std::string>{"..##..", ".####.", "######", "##...."}));
    EXPECT_FALSE(region.contains(5, 3)); // last pixel of a run reaching the right edge
    EXPECT_FALSE(region.contains(6, 2)); // nothing beyond the image
    EXPECT_FALSE(region.contains(0, 4));
}

TEST(ContourBitmap, OnlyTheExactColourIsRemoved)
{
    auto bitmap = bitmap_of({".n.a#"});
    CContourBitmap contour(bitmap.get());
    Region region(contour.GetRegion(Skin::rgb(255, 0, 255)));
    // One step off in blue stays; alpha is not looked at.
    EXPECT_EQ(picture(region, 5, 1), (std::vector<std::string>{".#..#"}));
}

TEST(ContourBitmap, FullyTransparentImageGivesAnEmptyRegion)
{
    auto bitmap = bitmap_of({"....", "...."});
    CContourBitmap contour(bitmap.get());
    Region region(contour.GetRegion(Skin::kTopLeftColour));
    ASSERT_TRUE(region.region);
    EXPECT_TRUE(cairo_region_is_empty(region.region));
}

TEST(ContourBitmap, ColourNotInTheImageKeepsTheWholeRectangle)
{
    auto bitmap = bitmap_of({"#.#", "..."});
    CContourBitmap contour(bitmap.get());
    Region region(contour.GetRegion(Skin::rgb(1, 2, 3)));
    cairo_rectangle_int_t extents;
    cairo_region_get_extents(region.region, &extents);
    EXPECT_EQ(cairo_region_num_rectangles(region.region), 1);
    EXPECT_EQ(extents.width, 3);
    EXPECT_EQ(extents.height, 2);
}

TEST(ContourBitmap, RegionAtTakesThatPixelsColour)
{
    auto bitmap = bitmap_of({"..#", "#.#"});
    CContourBitmap contour(bitmap.get());
    Region ink(contour.GetRegionAt(2, 0)); // cut the ink, keep the magenta
    EXPECT_EQ(picture(ink, 3, 2), (std::vector<std::string>{"##.", ".#."}));
    EXPECT_EQ(contour.GetRegionAt(3, 0), nullptr);
    EXPECT_EQ(contour.GetRegionAt(0, -1), nullptr);
}

TEST(ContourBitmap, WithoutABitmapThereIsNothing)
{
    CContourBitmap contour;
    EXPECT_EQ(contour.GetRegion(Skin::kTopLeftColour), nullptr);
    EXPECT_EQ(contour.GetRegionAt(0, 0), nullptr);
    EXPECT_EQ(contour.GetSize(), std::make_pair(0, 0));

    auto bitmap = bitmap_of({"##", "##", "##"});
    contour.Attach(bitmap.get());
    EXPECT_EQ(contour.GetSize(), std::make_pair(2, 3));
    EXPECT_EQ(contour.Detach(), bitmap.get());
    EXPECT_EQ(contour.GetSize(), std::make_pair(0, 0));
}

TEST(ContourBitmap, DrawCopiesThePixelsUnchanged)
{
    auto bitmap = bitmap_of({"#.", ".#"});
    CContourBitmap contour(bitmap.get());
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 4);
    cairo_t* cr = cairo_create(target);
    contour.Draw(cr, 1, 1);
    cairo_surface_flush(target);
    auto* data = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(target));
    int stride = cairo_image_surface_get_stride(target) / 4;
    EXPECT_EQ(data[1 * stride + 1], kInk);
    EXPECT_EQ(data[1 * stride + 2], kMagenta);
    EXPECT_EQ(data[0], 0u);
    cairo_destroy(cr);
    cairo_surface_destroy(target);
}

} // namespace
