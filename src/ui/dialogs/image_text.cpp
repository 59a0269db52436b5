#include "ui/dialogs/image_text.h"

#include <algorithm>

namespace {

constexpr int kTextLeft = 193;
constexpr int kTextTop = 60;
constexpr int kTextBottom = 80;
constexpr double kFallbackDpi = 96.0;

// The screen's resolution, so 9 points are 9 points on this screen.
double screen_dpi()
{
    auto screen = Gdk::Screen::get_default();
    double dpi = screen ? screen->get_resolution() : -1;
    return dpi > 0 ? dpi : kFallbackDpi;
}

} // namespace

void paint_image_with_text(
    const Cairo::RefPtr<Cairo::Context>& cr, const Glib::RefPtr<Gdk::Pixbuf>& image, const std::string& text)
{
    cr->save();
    cr->set_operator(Cairo::OPERATOR_SOURCE);
    Gdk::Cairo::set_source_pixbuf(cr, image, 0, 0);
    cr->rectangle(0, 0, image->get_width(), image->get_height());
    cr->fill();
    cr->restore();
    if (text.empty())
        return;

    const int width = std::max(0, image->get_width() - kTextLeft);
    auto layout = Pango::Layout::create(cr);
    pango_cairo_context_set_resolution(layout->get_context()->gobj(), screen_dpi());
    layout->context_changed();
    layout->set_font_description(Pango::FontDescription("Arial 9"));
    layout->set_text(text);
    layout->set_width(-1); // one line, never wrapped: the box clips it
    cr->save();
    cr->rectangle(kTextLeft, kTextTop, width, kTextBottom - kTextTop);
    cr->clip();
    cr->set_source_rgb(1, 1, 1);
    cr->move_to(kTextLeft, kTextTop);
    layout->show_in_cairo_context(cr);
    cr->restore();
}
