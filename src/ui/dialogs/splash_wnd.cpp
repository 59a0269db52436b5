#include "ui/dialogs/splash_wnd.h"

#include <gtkmm.h>

#include "base/messages.h"
#include "log/log_dlg.h"
#include "settings/registry.h"
#include "ui/dialogs/image_text.h"

namespace {

constexpr unsigned kSplashTimer = 1001;
constexpr int kFallbackWidth = 500;
constexpr int kFallbackHeight = 300;

const char* const kSyncModePath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\SyncMode5";
const char* const kSyncModeMessage =
    "Internet Explorer is set to check for a new version of the page on each visit.\n"
    "This setting is known to cause issues\nwith the Kalvo client.\n"
    "To fix it, please update your Temporary Internet Files settings in Internet Explorer.";

} // namespace

class CSplashWnd::Window : public Gtk::Window {
public:
    explicit Window(const std::string& image_path)
    {
        set_decorated(false);
        set_type_hint(Gdk::WINDOW_TYPE_HINT_SPLASHSCREEN);
        set_resizable(false);
        set_title("Kalvo");
        try {
            m_image = Gdk::Pixbuf::create_from_file(image_path);
        } catch (const Glib::Error& error) {
            LogDlg::instance().append("Splash image " + image_path + " not loaded: " + error.what());
        }
        int width = m_image ? m_image->get_width() : kFallbackWidth;
        int height = m_image ? m_image->get_height() : kFallbackHeight;
        set_default_size(width, height);
        set_size_request(width, height);
        set_app_paintable(true);
    }

    bool has_image() const { return static_cast<bool>(m_image); }
    void set_status(const std::string& text) { m_status = text; }
    void set_paint_image(bool paint) { m_paint_image = paint; }

protected:
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override
    {
        if (!m_image || !m_paint_image) {
            cr->set_source_rgb(0.12, 0.14, 0.17);
            cr->paint();
            return true;
        }
        paint_image_with_text(cr, m_image, m_status);
        return true;
    }

    bool on_delete_event(GdkEventAny*) override
    {
        return m_close_handler ? (m_close_handler(), true) : false;
    }

public:
    std::function<void()> m_close_handler;

private:
    Glib::RefPtr<Gdk::Pixbuf> m_image;
    std::string m_status;
    bool m_paint_image = true;
};

CSplashWnd::CSplashWnd(std::string image_path, bool paint_image, std::optional<Position> position, Steps steps)
    : m_image_path(std::move(image_path)), m_paint_image(paint_image), m_position(position),
      m_steps(std::move(steps)),
      m_timers([this](unsigned id) { OnTimer(id); })
{
}

CSplashWnd::~CSplashWnd()
{
    TellOnScreen();
}

void CSplashWnd::Create()
{
    m_window = std::make_unique<Window>(m_image_path);
    m_window->m_close_handler = [this] { OnClose(); };
    m_window->signal_map_event().connect([this](GdkEventAny*) {
        TellOnScreen();
        return false;
    });
    m_window->move(0, 0);
    OnCreate();
    SetStatus("");
}

void CSplashWnd::SetStatus(const std::string& text)
{
    if (!m_window)
        return;
    m_window->set_status(text);
    m_window->queue_draw();
    // Paint now: the start-up steps that follow block the interface thread.
    if (auto gdk_window = m_window->get_window()) {
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        gdk_window_process_updates(gdk_window->gobj(), TRUE);
        G_GNUC_END_IGNORE_DEPRECATIONS
    }
    gdk_display_flush(gdk_display_get_default());
}

void CSplashWnd::OnCreate()
{
    m_window->set_paint_image(m_paint_image);
    if (m_position) {
        m_window->set_position(Gtk::WIN_POS_NONE);
        m_window->move(m_position->x, m_position->y);
    } else {
        m_window->set_position(Gtk::WIN_POS_CENTER_ALWAYS);
    }
    m_window->show();
    ui_thread::post(this, messages::UWM_STARTUP_MSG);
    m_timers.set_timer(kSplashTimer, m_period_ms);
}

void CSplashWnd::OnStartup()
{
    if (m_steps.startup)
        m_steps.startup();
    m_finished = true;
}

void CSplashWnd::CheckBrowserSetting()
{
    registry_int sync_mode(kSyncModePath);
    if (sync_mode.exists() && sync_mode.get() == 3) {
        Gtk::MessageDialog box(*m_window, kSyncModeMessage, false, Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK, true);
        box.set_title("Settings error");
        box.run();
    }
}

void CSplashWnd::OnTimer(unsigned id)
{
    if (id != kSplashTimer)
        return;
    if (m_finished) {
        m_timers.kill_timer(kSplashTimer);
        Hide();
    } else {
        m_timers.set_timer(kSplashTimer, m_period_ms / 2);
    }
}

void CSplashWnd::OnClose()
{
    if (m_steps.closed)
        m_steps.closed();
    Hide();
}

void CSplashWnd::Hide()
{
    m_window->hide();
    TellOnScreen();
}

void CSplashWnd::TellOnScreen()
{
    if (m_told_on_screen || !m_steps.on_screen)
        return;
    m_told_on_screen = true;
    m_steps.on_screen();
}

ui_thread::Result CSplashWnd::handle_message(ui_thread::Message message, ui_thread::WParam, ui_thread::LParam)
{
    if (message == messages::UWM_STARTUP_MSG)
        OnStartup();
    else if (message == messages::WM_CLOSE)
        OnClose();
    return 0;
}
