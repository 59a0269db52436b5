#pragma once
#include <gtkmm/fixed.h>

namespace Skin {

class Dialog;

// The layer a skinned dialog's controls sit on: it paints the dialog's skin background
// first, then its children at their fixed positions.
class SkinSurface : public Gtk::Fixed {
public:
    explicit SkinSurface(Dialog& dialog);

protected:
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

private:
    Dialog& m_dialog;
};

} // namespace Skin
