#include "ui/toast/taskbar_notifier.h"

#include <gdkmm/general.h>

#include "log/log_dlg.h"
#include "ui/toast/toast_text.h"
#include "ui/web/command_text.h"

namespace {

// The toast's skin image: its size is the toast's size.
constexpr const char* kSkinResource = "/kalvo/bitmaps/210.png";

toast_slide::Rect to_rect(const GdkRectangle& r)
{
    return {r.x, r.y, r.width, r.height};
}

} // namespace

CTaskbarNotifier::Window::Window(CTaskbarNotifier& owner) : Gtk::Window(Gtk::WINDOW_POPUP), m_owner(owner)
{
    set_app_paintable(true);
    set_decorated(false);
    set_skip_taskbar_hint(true);
    set_type_hint(Gdk::WINDOW_TYPE_HINT_NOTIFICATION);
    add_events(Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK);
}

void CTaskbarNotifier::Window::on_realize()
{
    Gtk::Window::on_realize();
    get_window()->set_cursor(Gdk::Cursor::create(get_display(), "pointer"));
}

bool CTaskbarNotifier::Window::on_draw(const Cairo::RefPtr<Cairo::Context>& cr)
{
    if (m_owner.m_skin) {
        Gdk::Cairo::set_source_pixbuf(cr, m_owner.m_skin, 0, 0);
        cr->paint();
    }
    return Gtk::Window::on_draw(cr);
}

bool CTaskbarNotifier::Window::on_button_release_event(GdkEventButton* event)
{
    if (event->button != 1)
        return false;
    LogDlg::instance().append("********** OnLBUttonUp");
    m_owner.hide_toast();
    return true;
}

CTaskbarNotifier::CTaskbarNotifier()
    : m_window(*this), m_timers([this](unsigned id) { m_slide.on_timer(id); })
{
    m_label.set_text(toast_text::kInitialPage);
    m_label.set_link_handler([this](const std::string& link) { on_link(link); });
    m_clip.set_policy(Gtk::POLICY_NEVER, Gtk::POLICY_EXTERNAL);
    m_clip.set_shadow_type(Gtk::SHADOW_NONE);
    m_clip.add(m_label);
    m_window.add(m_clip);
    m_clip.show_all();
}

CTaskbarNotifier::~CTaskbarNotifier()
{
    m_timers.kill_all();
}

bool CTaskbarNotifier::load_skin()
{
    try {
        m_skin = Gdk::Pixbuf::create_from_resource(kSkinResource);
    } catch (const Glib::Error& error) {
        LogDlg::instance().append(std::string("Toast skin image cannot be loaded: ") + error.what());
        return false;
    }
    m_slide.set_size(m_skin->get_width(), m_skin->get_height());
    m_window.set_size_request(m_slide.width(), m_slide.height());
    return true;
}

void CTaskbarNotifier::show_toast(const std::string& text)
{
    std::string wrapped = toast_text::wrap(text);
    LogDlg::instance().append(wrapped);
    load_skin(); // a failed load keeps the previous size
    m_label.set_text(toast_text::page(wrapped));

    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = display ? gdk_display_get_primary_monitor(display) : nullptr;
    if (!monitor && display)
        monitor = gdk_display_get_monitor(display, 0);
    if (!monitor) {
        LogDlg::instance().append("Toast not shown: no monitor");
        return;
    }
    GdkRectangle work_area{};
    GdkRectangle screen{};
    gdk_monitor_get_workarea(monitor, &work_area);
    gdk_monitor_get_geometry(monitor, &screen);
    if (!m_slide.start(toast_slide::Durations{}, to_rect(work_area), to_rect(screen)))
        LogDlg::instance().append("Toast not shown: it has no size");
}

void CTaskbarNotifier::hide_toast()
{
    m_slide.hide();
}

void CTaskbarNotifier::on_link(const std::string& link)
{
    LogDlg::instance().append("********** OnNotify in taskbarnotifier");
    hide_toast();
    LogDlg::instance().append(link);
    std::optional<std::string> command = command_text::wrap(link);
    if (!command) {
        LogDlg::instance().append("Toast link too long for the command buffer: dropped");
        return;
    }
    if (m_command_handler)
        m_command_handler(*command);
}

void CTaskbarNotifier::place(int x, int y)
{
    m_window.resize(m_slide.width(), m_slide.height());
    m_window.move(x, y);
    m_window.show();
}

void CTaskbarNotifier::show_on_top()
{
    m_window.show();
    if (auto gdk_window = m_window.get_window())
        gdk_window->raise();
}

void CTaskbarNotifier::hide()
{
    m_window.move(0, 0);
    m_window.hide();
}
