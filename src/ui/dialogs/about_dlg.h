#pragma once
#include <gtkmm.h>
#include <string>

// The About window: a borderless window the size of the skin's about.png, centred on the
// screen, showing the image with the version line drawn on it. A click or the close
// request hides it.
class CAboutDlg : public Gtk::Window {
public:
    // A new About window for each request, shown at once and released when hidden.
    static void Open();

    // The image file (skins folder + "/Kalvo/about.png" when empty) and the product
    // version text.
    explicit CAboutDlg(const std::string& image_path = "", const std::string& product_version = "");

    bool has_image() const { return static_cast<bool>(m_image); }
    // Paints the window's face; the text is built afresh for every paint.
    void Paint(const Cairo::RefPtr<Cairo::Context>& cr);

protected:
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
    bool on_button_press_event(GdkEventButton* event) override;
    bool on_delete_event(GdkEventAny* event) override;

private:
    Glib::RefPtr<Gdk::Pixbuf> m_image;
    std::string m_product_version;
};
