#pragma once
#include <gtkmm/scale.h>

#include "skin/skin_control.h"

namespace Skin {

// A vertical slider over the window's background, ranging from −100 at the top to −1
// at the bottom; every change the user makes fires its command with false.
class SkinScrollBar : public Gtk::Scale, public SkinControl {
public:
    static constexpr int kMinimum = -100;
    static constexpr int kMaximum = -1;

    SkinScrollBar(Definition& skin, Element& element);

    Gtk::Widget& widget() override { return *this; }
    int GetPos() const { return int(get_value()); }
    // Moves the thumb without firing the command.
    void SetPos(int position);

private:
    sigc::connection m_changed;
};

} // namespace Skin
