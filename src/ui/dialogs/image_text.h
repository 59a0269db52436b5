#pragma once
#include <gtkmm.h>
#include <string>

// The splash and About windows' face: the image copied unchanged to (0, 0), then, when
// the text is not empty, the text in white "Arial" 9 pt on one line inside the box
// left 193, top 60, right = image width, bottom 80, transparent background. Painting
// again gives the same pixels (the image replaces whatever was there).
void paint_image_with_text(
    const Cairo::RefPtr<Cairo::Context>& cr, const Glib::RefPtr<Gdk::Pixbuf>& image, const std::string& text);
