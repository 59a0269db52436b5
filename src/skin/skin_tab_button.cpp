#include "skin/skin_tab_button.h"

#include "skin/definition.h"
#include "skin/tab_painter.h"

namespace Skin {

SkinTabButton::SkinTabButton(Definition& skin, Element& element) : SkinButton(skin, element)
{
    add_events(Gdk::ENTER_NOTIFY_MASK | Gdk::LEAVE_NOTIFY_MASK);
}

bool SkinTabButton::on_draw(const Cairo::RefPtr<Cairo::Context>& cr)
{
    DrawState state = m_pressed ? DrawState::Pressed : m_hovering ? DrawState::Hover : DrawState::Plain;
    paint_tab_item(cr->cobj(), skin(), element(), state);
    return true;
}

bool SkinTabButton::on_button_press_event(GdkEventButton* event)
{
    if (!SkinButton::on_button_press_event(event))
        return false;
    // The selection moves as the press begins, not at a later paint (which may come
    // only after the release).
    if (element().tab.sticky && !element().tab.selected)
        skin().SelectPressedItem(element());
    return true;
}

bool SkinTabButton::on_enter_notify_event(GdkEventCrossing*)
{
    m_hovering = true;
    queue_draw();
    return false;
}

bool SkinTabButton::on_leave_notify_event(GdkEventCrossing*)
{
    m_hovering = false;
    queue_draw();
    return false;
}

} // namespace Skin
