#pragma once
#include "skin/skin_control.h"

#include <gtkmm/comboboxtext.h>

namespace Skin {

// An editable drop-down (the number the user dials).
class SkinInput : public Gtk::ComboBoxText, public SkinControl {
public:
    SkinInput(Definition& skin, Element& element);

    Gtk::Widget& widget() override { return *this; }
    std::string GetText() const;
    void SetText(const std::string& text);
};

} // namespace Skin
