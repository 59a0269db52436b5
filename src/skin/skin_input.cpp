#include "skin/skin_input.h"

#include <gtkmm/entry.h>

namespace Skin {

SkinInput::SkinInput(Definition& skin, Element& element) : Gtk::ComboBoxText(true), SkinControl(skin, element)
{
    // The element's width rules: the entry must not ask for more than it.
    if (Gtk::Entry* entry = get_entry())
        entry->set_width_chars(1);
}

std::string SkinInput::GetText() const
{
    const Gtk::Entry* entry = get_entry();
    return entry ? std::string(entry->get_text()) : std::string();
}

void SkinInput::SetText(const std::string& text)
{
    if (Gtk::Entry* entry = get_entry())
        entry->set_text(text);
}

} // namespace Skin
