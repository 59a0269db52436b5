#include "ui/info/info_dlg.h"

#include <gtkmm/window.h>

#include "log/log_dlg.h"
#include "skin/definition.h"
#include "skin/skin_web.h"
#include "ui/info/info_keys.h"
#include "ui/info/info_version.h"

namespace {
// 244 x 218 dialog units, until the skin gives the window its size.
constexpr int kDefaultWidth = 366;
constexpr int kDefaultHeight = 354;
} // namespace

InfoDlg& InfoDlg::instance()
{
    static InfoDlg* dialog = new InfoDlg; // process-wide, never destroyed
    return *dialog;
}

InfoDlg::~InfoDlg() = default;

void InfoDlg::Create()
{
    if (m_gtk)
        return;
    m_gtk = std::make_unique<Gtk::Window>(Gtk::WINDOW_TOPLEVEL);
    m_gtk->set_title("Important information");
    m_gtk->set_resizable(false);
    m_gtk->set_default_size(kDefaultWidth, kDefaultHeight);
    m_gtk->set_position(Gtk::WIN_POS_CENTER);
    m_gtk->signal_delete_event().connect([this](GdkEventAny*) {
        Hide();
        return true;
    });
    // Before the window's own handling, so the page gets keys whatever has the focus.
    m_gtk->signal_key_press_event().connect([this](GdkEventKey* event) { return OnKey(event); }, false);
    m_gtk->signal_key_release_event().connect([this](GdkEventKey* event) { return OnKey(event); }, false);
}

void InfoDlg::Destroy()
{
    m_close.disconnect();
    if (m_web)
        m_web->SetOwnerWindow(nullptr);
    m_web = nullptr;
    m_gtk.reset();
}

void InfoDlg::SkinApplied()
{
    m_web = nullptr;
    if (Skin::Window* window = this->window()) {
        for (const auto& element : window->elements) {
            if (element->command == "info" && (m_web = dynamic_cast<Skin::SkinWeb*>(element->control)))
                break;
        }
    }
    if (m_web)
        m_web->SetOwnerWindow(m_gtk.get());
    // The window is exactly its skin's size; a page never stretches it.
    Skin::Window* window = this->window();
    if (m_gtk && window && window->width > 0 && window->height > 0) {
        // A window that is not resizable takes its content's natural size, and a web view's
        // can be far taller than the skin: fix the size through the geometry hints instead.
        Gdk::Geometry fixed{};
        fixed.min_width = fixed.max_width = window->width;
        fixed.min_height = fixed.max_height = window->height;
        m_gtk->set_resizable(true);
        m_gtk->set_geometry_hints(*m_gtk, fixed, Gdk::HINT_MIN_SIZE | Gdk::HINT_MAX_SIZE);
        m_gtk->set_default_size(window->width, window->height);
        m_gtk->resize(window->width, window->height);
    }
    if (Skin::Definition* skin = this->skin()) {
        m_close = skin->ConnectCommand("info_close", [this](const std::string&, bool pressed) {
            if (!pressed)
                Hide();
        });
    }
    LogDlg::instance().append("skin_applied in InfoDlg");
}

void InfoDlg::Show()
{
    if (m_gtk)
        m_gtk->show();
}

void InfoDlg::Hide()
{
    if (m_gtk)
        m_gtk->hide();
}

bool InfoDlg::IsVisible() const
{
    return m_gtk && m_gtk->get_visible();
}

void InfoDlg::BringToTopIfVisible()
{
    if (IsVisible())
        m_gtk->present();
}

void InfoDlg::Navigate(const std::string& address)
{
    if (m_web)
        m_web->Navigate(address);
    else
        LogDlg::instance().append("InfoDlg: no info element to open " + address);
}

void InfoDlg::OnLoginInfoVersion(const std::string& version_text, bool show_requested)
{
    if (info_version::take(version_text, show_requested))
        Show();
}

bool InfoDlg::OnKey(GdkEventKey* event)
{
    switch (info_key_action(event->keyval)) {
    case InfoKeyAction::Swallow:
        return true;
    case InfoKeyAction::Hide:
        if (event->type == GDK_KEY_PRESS)
            Hide();
        return true;
    case InfoKeyAction::Page:
        break;
    }
    if (!m_web)
        return false;
    GtkWidget* page = GTK_WIDGET(m_web->view());
    if (gtk_widget_has_focus(page))
        return false; // the normal dispatch delivers it there already
    return gtk_widget_event(page, reinterpret_cast<GdkEvent*>(event));
}
