#include "skin/skin_surface.h"

#include "skin/dialog.h"

namespace Skin {

SkinSurface::SkinSurface(Dialog& dialog) : m_dialog(dialog)
{
    set_has_window(false);
}

bool SkinSurface::on_draw(const Cairo::RefPtr<Cairo::Context>& cr)
{
    m_dialog.PaintBackground(cr->cobj());
    return Gtk::Fixed::on_draw(cr);
}

} // namespace Skin
