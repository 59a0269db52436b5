#include "skin/skin_button.h"

#include <gtkmm/widget.h>

#include "skin/definition.h"
#include "skin/element_painter.h"

namespace Skin {

void SkinControl::Show()
{
    widget().show();
}

void SkinControl::Hide()
{
    widget().hide();
}

SkinButton::SkinButton(Definition& skin, Element& element) : SkinControl(skin, element)
{
    add_events(Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK);
}

bool SkinButton::on_draw(const Cairo::RefPtr<Cairo::Context>& cr)
{
    paint_element(cr->cobj(), skin(), element(), m_pressed ? DrawState::Pressed : DrawState::Plain);
    return true;
}

bool SkinButton::on_button_press_event(GdkEventButton* event)
{
    if (event->button != 1 || event->type != GDK_BUTTON_PRESS)
        return false;
    skin().FireCommand(element().command, true);
    m_pressed = true;
    queue_draw();
    return true;
}

bool SkinButton::on_button_release_event(GdkEventButton* event)
{
    if (event->button != 1)
        return false;
    skin().FireCommand(element().command, false);
    m_pressed = false;
    queue_draw();
    return true;
}

} // namespace Skin
