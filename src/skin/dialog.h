#pragma once

typedef struct _cairo cairo_t;
namespace Gtk {
class Fixed;
class Window;
} // namespace Gtk

namespace Skin {

class Definition;
struct Window;

// Base of every skinned dialog: the main window, the information window, the tab
// windows. `Definition::ApplyWindow` binds it to a skin window; `CreateControls` then
// places the window's controls on its control layer.
class Dialog {
public:
    Dialog() = default;
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // The dialog's own top-level window.
    virtual Gtk::Window* GetWindow() = 0;
    // Called once the dialog's controls exist.
    virtual void SkinApplied() { }
    // Repaints the dialog at once, then every control of its skin window in element order.
    virtual void Redraw();
    // The container the controls are placed on. By default a surface that paints the
    // skin background, made the window's child on first use.
    virtual Gtk::Fixed& ControlLayer();
    // Blends the window's background image (a tab window: its current sprite) at (0, 0).
    virtual void PaintBackground(cairo_t* cr);

    void Bind(Definition* skin, Window* window);
    Definition* skin() const { return m_skin; }
    Window* window() const { return m_window; }

private:
    Definition* m_skin = nullptr;
    Window* m_window = nullptr;
    Gtk::Fixed* m_layer = nullptr; // owned by the window once added
};

} // namespace Skin
