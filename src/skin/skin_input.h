#pragma once
#include <gtkmm/comboboxtext.h>

#include "skin/skin_control.h"

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
