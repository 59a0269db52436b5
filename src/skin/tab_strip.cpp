#include "skin/tab_strip.h"

#include <algorithm>
#include <cairo.h>
#include <limits>
#include <pango/pangocairo.h>

namespace Skin {

PangoFontDescription* tab_label_font(int font_size)
{
    PangoFontDescription* font = pango_font_description_from_string("Verdana");
    pango_font_description_set_absolute_size(font, double(font_size) * PANGO_SCALE);
    return font;
}

LabelSize measure_tab_label(const std::string& label, int font_size)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(surface);
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = tab_label_font(font_size);
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, label.c_str(), -1);
    LabelSize size;
    pango_layout_get_pixel_size(layout, &size.width, &size.height);
    pango_font_description_free(font);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return size;
}

namespace {

// The strip's numbers come from the skin and may be anything: sums saturate rather than
// overflow.
int saturated(long long value)
{
    return int(std::clamp<long long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

void lay_out_tab_items(
    const std::vector<Element*>& items, const TabStripLayout& layout, const LabelMeasure& measure)
{
    int running_x = layout.x;
    for (Element* item : items) {
        LabelSize label = measure(item->tab.label, item->tab.font_size);
        item->tab.left_width = layout.cap_width;
        item->tab.right_width = layout.cap_width;
        item->tab.label_width = saturated(label.width + 4LL);
        item->tab.label_height = label.height;
        item->x = running_x;
        item->y = layout.y;
        item->width = saturated(
            (long long)item->tab.left_width + item->tab.right_width + item->tab.label_width);
        item->height = layout.item_height;
        running_x = saturated((long long)running_x + item->width + 2LL * layout.padding);
    }
}

} // namespace Skin
