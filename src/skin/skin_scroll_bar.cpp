#include "skin/skin_scroll_bar.h"

#include "skin/definition.h"

namespace Skin {

SkinScrollBar::SkinScrollBar(Definition& skin, Element& element)
    : Gtk::Scale(Gtk::ORIENTATION_VERTICAL), SkinControl(skin, element)
{
    set_draw_value(false);
    set_range(kMinimum, kMaximum);
    set_increments(1, 10);
    set_value(kMinimum);
    m_changed =
        signal_value_changed().connect([this] { this->skin().FireCommand(this->element().command, false); });
}

void SkinScrollBar::SetPos(int position)
{
    m_changed.block();
    set_value(position);
    m_changed.unblock();
}

} // namespace Skin
