#include "skin/dialog.h"

#include <gtkmm/window.h>

#include "skin/blend.h"
#include "skin/definition.h"
#include "skin/skin_surface.h"

namespace Skin {

Dialog::~Dialog() = default;

void Dialog::Bind(Definition* skin, Window* window)
{
    m_skin = skin;
    m_window = window;
}

Gtk::Fixed& Dialog::ControlLayer()
{
    if (!m_layer) {
        m_layer = Gtk::manage(new SkinSurface(*this));
        if (Gtk::Window* window = GetWindow()) {
            window->add(*m_layer);
            m_layer->show();
        }
    }
    return *m_layer;
}

void Dialog::Redraw()
{
    if (Gtk::Window* window = GetWindow())
        window->queue_draw();
    if (!m_window)
        return;
    for (const auto& element : m_window->elements) {
        if (element->control)
            element->control->Redraw();
    }
}

void Dialog::PaintBackground(cairo_t* cr)
{
    if (!m_skin || !m_window)
        return;
    const std::string& name =
        m_window->tab && m_window->tab->current ? m_window->tab->current->file : m_window->background;
    if (const Bitmap* image = m_skin->FindImage(name))
        blend_whole(cr, *image, 0, 0);
}

} // namespace Skin
