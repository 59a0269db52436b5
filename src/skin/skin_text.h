#pragma once
#include <gtkmm/drawingarea.h>
#include <string>

#include "skin/skin_control.h"

namespace Skin {

// A single-line label in its element's font (size in points at the screen's
// resolution, bold for style "bold"), colour and alignment; the default GUI font and
// text colour without a font.
class SkinText : public Gtk::DrawingArea, public SkinControl {
public:
    SkinText(Definition& skin, Element& element);

    Gtk::Widget& widget() override { return *this; }
    void SetText(const std::string& text);
    const std::string& GetText() const { return m_text; }

protected:
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

private:
    std::string m_text;
};

} // namespace Skin
