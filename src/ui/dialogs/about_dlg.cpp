#include "ui/dialogs/about_dlg.h"

#include "log/log_dlg.h"
#include "skin/kalvo_skin_file.h"
#include "ui/dialogs/about_text.h"
#include "ui/dialogs/image_text.h"
#include "version.h"

namespace {

constexpr int kFallbackWidth = 300;
constexpr int kFallbackHeight = 100;

} // namespace

void CAboutDlg::Open()
{
    auto* about = new CAboutDlg();
    about->signal_hide().connect([about] { Glib::signal_idle().connect_once([about] { delete about; }); });
    about->show();
}

CAboutDlg::CAboutDlg(const std::string& image_path, const std::string& product_version)
    : m_product_version(product_version.empty() ? KALVO_PRODUCT_VERSION : product_version)
{
    std::string path = image_path.empty() ? kalvo_skin_file("about.png") : image_path;
    try {
        m_image = Gdk::Pixbuf::create_from_file(path);
    } catch (const Glib::Error& error) {
        LogDlg::instance().append("About image " + path + " not loaded: " + error.what());
    }
    set_title("About Kalvo");
    set_decorated(false);
    set_resizable(false);
    set_type_hint(Gdk::WINDOW_TYPE_HINT_DIALOG);
    set_app_paintable(true);
    int width = m_image ? m_image->get_width() : kFallbackWidth;
    int height = m_image ? m_image->get_height() : kFallbackHeight;
    set_default_size(width, height);
    set_size_request(width, height);
    set_position(Gtk::WIN_POS_CENTER);
    add_events(Gdk::BUTTON_PRESS_MASK);
}

void CAboutDlg::Paint(const Cairo::RefPtr<Cairo::Context>& cr)
{
    if (!m_image) {
        cr->set_source_rgb(0.12, 0.14, 0.17);
        cr->paint();
        return;
    }
    paint_image_with_text(cr, m_image, about_version_text(m_product_version));
}

bool CAboutDlg::on_draw(const Cairo::RefPtr<Cairo::Context>& cr)
{
    Paint(cr);
    return true;
}

bool CAboutDlg::on_button_press_event(GdkEventButton* event)
{
    if (event->button == 1)
        hide();
    return true;
}

bool CAboutDlg::on_delete_event(GdkEventAny*)
{
    hide();
    return true;
}
