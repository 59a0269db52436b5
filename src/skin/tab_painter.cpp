#include "skin/tab_painter.h"

#include <pango/pangocairo.h>

#include "skin/blend.h"
#include "skin/definition.h"
#include "skin/tab_strip.h"

namespace Skin {

DrawState tab_item_look(const Element& item, DrawState state)
{
    return item.tab.selected ? DrawState::Hover : state;
}

void paint_tab_item(cairo_t* cr, const Definition& skin, const Element& item, DrawState state)
{
    const TabItem& tab = item.tab;
    Colour colour = tab.plain_colour;
    if (tab_item_look(item, state) != DrawState::Plain) {
        if (const Bitmap* left = skin.FindImage(tab.left))
            blend_whole(cr, *left, 0, 0);
        if (const Bitmap* right = skin.FindImage(tab.right))
            blend_whole(cr, *right, item.width - right->width(), 0);
        if (const Bitmap* mid = skin.FindImage(tab.mid))
            blend(cr, *mid, {tab.left_width, 0, tab.label_width, item.height},
                {tab.left_width, 0, tab.label_width, mid->height()});
        colour = tab.highlight_colour;
    } else if (const Bitmap* background = skin.FindImage(tab.background)) {
        blend(cr, *background, {0, 0, item.width, item.height}, {0, 0, item.width, background->height()});
    }

    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = tab_label_font(tab.font_size);
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, tab.label.c_str(), -1);
    cairo_set_source_rgb(cr, red_of(colour) / 255.0, green_of(colour) / 255.0, blue_of(colour) / 255.0);
    cairo_move_to(cr, tab.left_width + 2, (item.height - tab.label_height) / 2);
    pango_cairo_show_layout(cr, layout);
    pango_font_description_free(font);
    g_object_unref(layout);
}

} // namespace Skin
