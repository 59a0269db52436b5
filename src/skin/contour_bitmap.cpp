#include "skin/contour_bitmap.h"

#include <cairo.h>

CContourBitmap::CContourBitmap(const Skin::Bitmap* bitmap) : m_bitmap(bitmap) { }

CContourBitmap::~CContourBitmap() = default;

cairo_region_t* CContourBitmap::GetRegion(Skin::Colour transparent) const
{
    if (!m_bitmap)
        return nullptr;
    const int width = m_bitmap->width();
    const int height = m_bitmap->height();
    if (transparent == Skin::kTopLeftColour && width > 0 && height > 0)
        transparent = m_bitmap->colour(0, 0);

    cairo_rectangle_int_t whole{0, 0, width, height};
    cairo_region_t* region = cairo_region_create_rectangle(&whole);
    for (int y = 0; y < height; ++y) {
        int run_start = -1;
        // Position `width` counts as not transparent, so a run reaching the edge is closed.
        for (int x = 0; x <= width; ++x) {
            bool is_transparent = x < width && m_bitmap->colour(x, y) == transparent;
            if (is_transparent && run_start < 0) {
                run_start = x;
            } else if (!is_transparent && run_start >= 0) {
                cairo_rectangle_int_t run{run_start, y, x - run_start, 1};
                cairo_region_subtract_rectangle(region, &run);
                run_start = -1;
            }
        }
    }
    return region;
}

cairo_region_t* CContourBitmap::GetRegionAt(int x, int y) const
{
    if (!m_bitmap || x < 0 || y < 0 || x >= m_bitmap->width() || y >= m_bitmap->height())
        return nullptr;
    return GetRegion(m_bitmap->colour(x, y));
}

std::pair<int, int> CContourBitmap::GetSize() const
{
    if (!m_bitmap)
        return {0, 0};
    return {m_bitmap->width(), m_bitmap->height()};
}

void CContourBitmap::Draw(cairo_t* cr, int x, int y) const
{
    if (!m_bitmap)
        return;
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, m_bitmap->surface(), x, y);
    cairo_rectangle(cr, x, y, m_bitmap->width(), m_bitmap->height());
    cairo_fill(cr);
    cairo_restore(cr);
}
