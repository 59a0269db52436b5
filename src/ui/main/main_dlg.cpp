#include "ui/main/main_dlg.h"

#include "app/crash_reporter.h"
#include "app/messages.h"
#include "app/single_instance.h"
#include "log/log_dlg.h"
#include "settings/app_settings.h"
#include "settings/registry.h"
#include "ui/dialogs/log_window.h"
#include "ui/gui_loop.h"
#include "ui/main/window_placement.h"

#include <curl/curl.h>
#include <gtkmm.h>

class CMainDlg::Window : public Gtk::Window {
public:
    explicit Window(CMainDlg& owner)
        : m_owner(owner)
    {
        set_title("Kalvo");
        set_default_size(kMainWindowWidth, kMainWindowHeight);
        set_size_request(kMainWindowWidth, kMainWindowHeight);
        set_resizable(false);
        try {
            set_icon(Gdk::Pixbuf::create_from_resource("/kalvo/res/kalvo.png"));
        } catch (const Glib::Error&) {
        }
        m_label.set_text("Kalvo");
        add(m_label);
        m_label.show();
        add_events(Gdk::KEY_PRESS_MASK);
    }

protected:
    bool on_delete_event(GdkEventAny*) override
    {
        // Closing hides the window; the program keeps running until Exit.
        hide();
        return true;
    }

    bool on_key_press_event(GdkEventKey* event) override
    {
        if (event->keyval == GDK_KEY_Escape) {
            m_owner.OnCommand(ID_CANCEL);
            return true;
        }
        if ((event->state & GDK_CONTROL_MASK) && (event->keyval == GDK_KEY_q || event->keyval == GDK_KEY_Q)) {
            m_owner.OnCommand(ID_EXIT_FILE);
            return true;
        }
        return Gtk::Window::on_key_press_event(event);
    }

private:
    CMainDlg& m_owner;
    Gtk::Label m_label;
};

CMainDlg::CMainDlg(std::string command_line)
    : m_command_line(std::move(command_line))
{
}

CMainDlg::~CMainDlg() = default;

bool CMainDlg::Create()
{
    m_window = std::make_unique<Window>(*this);
    OnInitDialog();
    return true;
}

bool CMainDlg::IsWindow() const
{
    return m_window != nullptr;
}

void CMainDlg::ShowWindow(bool visible)
{
    if (!m_window)
        return;
    if (visible) {
        m_window->show();
        m_window->present();
    } else {
        m_window->hide();
    }
}

bool CMainDlg::IsVisible() const
{
    return m_window && m_window->get_visible();
}

void CMainDlg::OnInitDialog()
{
    registry_string install_path(settings_path("install_path"));
    crash_reporter::Install("[Kalvo] Application crash report", install_path.get());

    AppSettings settings;
    settings.load();
    GdkRectangle screen { 0, 0, 1024, 768 };
    if (GdkMonitor* monitor = gdk_display_get_primary_monitor(gdk_display_get_default()))
        gdk_monitor_get_geometry(monitor, &screen);
    else if (GdkMonitor* first = gdk_display_get_monitor(gdk_display_get_default(), 0))
        gdk_monitor_get_geometry(first, &screen);
    WindowPosition position = initial_window_position(screen.width, screen.height, settings.window_x, settings.window_y);
    m_window->move(position.x, position.y);

    curl_global_init(CURL_GLOBAL_ALL);
    m_instance_server = std::make_unique<single_instance::Server>(this);
}

ui_thread::Result CMainDlg::handle_message(ui_thread::Message message, ui_thread::WParam wparam, ui_thread::LParam lparam)
{
    switch (message) {
    case messages::UWM_IS_ME:
        return messages::UWM_IS_ME;
    case messages::WM_COPYDATA:
        OnCopyData(reinterpret_cast<const char*>(lparam));
        return 1;
    case messages::WM_COMMAND:
        OnCommand(static_cast<unsigned>(wparam));
        return 0;
    case messages::WM_CLOSE:
        ShowWindow(false);
        return 0;
    default:
        return 0;
    }
}

void CMainDlg::OnCommand(unsigned id)
{
    switch (id) {
    case ID_SHOW:
        ShowWindow(true);
        break;
    case ID_SHOW_LOG:
        LogWindow::instance().present();
        break;
    case ID_EXIT_TRAY:
    case ID_EXIT_FILE:
    case ID_CANCEL:
        Exit();
        break;
    default:
        break;
    }
}

void CMainDlg::OnCopyData(const std::string& text)
{
    // A later start of the program handed over its command line: come forward.
    LogDlg::instance().append("Command line from a later start: " + text);
    ShowWindow(true);
}

void CMainDlg::Exit()
{
    m_instance_server.reset();
    if (m_window)
        m_window->hide();
    gui_loop::quit(0);
}
