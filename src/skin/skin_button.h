#pragma once
#include <gtkmm/drawingarea.h>

#include "skin/skin_control.h"

namespace Skin {

// A button drawn from its element's image states: the base sprite, or the down sprite
// while pressed. Fires its command with true on press and false on release.
class SkinButton : public Gtk::DrawingArea, public SkinControl {
public:
    SkinButton(Definition& skin, Element& element);

    Gtk::Widget& widget() override { return *this; }
    void Redraw() override { queue_draw(); }

protected:
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
    bool on_button_press_event(GdkEventButton* event) override;
    bool on_button_release_event(GdkEventButton* event) override;

    bool m_pressed = false;
};

} // namespace Skin
