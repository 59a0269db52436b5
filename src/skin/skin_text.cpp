#include "skin/skin_text.h"

#include <gdkmm/screen.h>
#include <gtkmm/stylecontext.h>
#include <pango/pangocairo.h>

#include "skin/definition.h"

namespace Skin {

SkinText::SkinText(Definition& skin, Element& element) : SkinControl(skin, element) { }

void SkinText::SetText(const std::string& text)
{
    // Labels are set again on every clock tick: repaint only what changed.
    if (text == m_text)
        return;
    m_text = text;
    queue_draw();
}

bool SkinText::on_draw(const Cairo::RefPtr<Cairo::Context>& cr)
{
    const Font* font = element().font.get();
    auto layout = create_pango_layout(m_text);
    layout->set_single_paragraph_mode(true);
    if (font && !font->name.empty()) {
        double dpi = get_screen() ? get_screen()->get_resolution() : 96.0;
        if (dpi <= 0)
            dpi = 96.0;
        Pango::FontDescription description(font->name);
        description.set_absolute_size(font->size * dpi / 72.0 * PANGO_SCALE);
        if (font->style == "bold")
            description.set_weight(Pango::WEIGHT_BOLD);
        layout->set_font_description(description);
    }
    if (font) {
        cr->set_source_rgb(
            red_of(font->colour) / 255.0, green_of(font->colour) / 255.0, blue_of(font->colour) / 255.0);
    } else {
        Gdk::RGBA colour = get_style_context()->get_color(get_state_flags());
        cr->set_source_rgba(colour.get_red(), colour.get_green(), colour.get_blue(), colour.get_alpha());
    }
    int text_width = 0;
    int text_height = 0;
    layout->get_pixel_size(text_width, text_height);
    int align = font ? font->align : 0;
    int x = align == 1 ? (get_allocated_width() - text_width) / 2
        : align == 2   ? get_allocated_width() - text_width
                       : 0;
    cr->rectangle(0, 0, get_allocated_width(), get_allocated_height());
    cr->clip();
    cr->move_to(x, 0);
    layout->show_in_cairo_context(cr);
    return true;
}

} // namespace Skin
