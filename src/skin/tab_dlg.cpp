#include "skin/tab_dlg.h"

#include <gdk/gdkkeysyms.h>
#include <glibmm/main.h>
#include <gtkmm/window.h>

#include "skin/definition.h"
#include "skin/skin_web.h"

namespace Skin {
namespace {
constexpr unsigned kSlideTimer = 0;
}

TabDlg::TabDlg(Window& window)
    : m_skin_window(window), m_slide(window.width, window.tab ? window.tab->width : 0),
      m_timers([this](unsigned) { OnTimer(); })
{
    Bind(window.skin, &window);
}

TabDlg::~TabDlg()
{
    m_timers.kill_all();
    m_parent_moved.disconnect();
    m_pending_hide.disconnect();
}

void TabDlg::Create()
{
    if (m_gtk)
        return;
    m_gtk = std::make_unique<Gtk::Window>(Gtk::WINDOW_TOPLEVEL);
    m_gtk->set_decorated(false);
    m_gtk->set_resizable(false);
    m_gtk->set_skip_taskbar_hint(true);
    m_gtk->set_skip_pager_hint(true);
    m_gtk->set_title("");
    m_gtk->add_events(Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK);
    m_gtk->signal_button_release_event().connect(
        [this](GdkEventButton* event) { return OnButtonRelease(event); });
    // Before the window's own handling, so keys reach the page whatever has the focus.
    m_gtk->signal_key_press_event().connect([this](GdkEventKey* event) { return OnKey(event); }, false);
    m_gtk->signal_key_release_event().connect([this](GdkEventKey* event) { return OnKey(event); }, false);
    if (Gtk::Window* parent = ParentWindow()) {
        // Follow the parent when it moves.
        m_parent_moved = parent->signal_configure_event().connect(
            [this](GdkEventConfigure*) {
                Reposition();
                return false;
            },
            false);
    }
    gtk_widget_realize(GTK_WIDGET(m_gtk->gobj())); // created hidden: the main window shows it after login
}

Gtk::Window* TabDlg::ParentWindow() const
{
    const TabInfo* tab = m_skin_window.tab.get();
    if (!tab || !tab->parent || !tab->parent->dialog)
        return nullptr;
    return tab->parent->dialog->GetWindow();
}

void TabDlg::SkinApplied()
{
    ShowControls(false);
    m_timers.kill_timer(kSlideTimer);
    m_slide.Reset();
    Reposition();
    m_web = nullptr;
    for (const auto& element : m_skin_window.elements) {
        if (element->command == "tab" && (m_web = dynamic_cast<SkinWeb*>(element->control)))
            break;
    }
    if (m_web)
        m_web->SetOwnerWindow(m_gtk.get());
}

void TabDlg::Open()
{
    ShowControls(true);
    m_slide.Open();
    m_timers.set_timer(kSlideTimer, TabSlide::kTickMilliseconds);
}

void TabDlg::Close()
{
    m_slide.Close();
    m_timers.set_timer(kSlideTimer, TabSlide::kTickMilliseconds);
}

void TabDlg::OnTimer()
{
    TabInfo& tab = *m_skin_window.tab;
    switch (m_slide.Advance()) {
    case TabSlide::Tick::Opened:
        m_timers.kill_timer(kSlideTimer);
        tab.current = &tab.close;
        if (m_gtk)
            m_gtk->queue_draw();
        break;
    case TabSlide::Tick::Closed:
        ShowControls(false);
        m_timers.kill_timer(kSlideTimer);
        tab.current = &tab.open;
        if (m_gtk)
            m_gtk->queue_draw();
        break;
    case TabSlide::Tick::Moving:
        break;
    }
    Reposition();
}

void TabDlg::ShowControls(bool show)
{
    for (const auto& element : m_skin_window.elements) {
        if (!element->control)
            continue;
        if (show)
            element->control->Show();
        else
            element->control->Hide();
    }
}

void TabDlg::Reposition()
{
    Gtk::Window* parent = ParentWindow();
    if (!m_gtk || !parent || !parent->get_realized())
        return;
    int origin_x = 0;
    int origin_y = 0;
    parent->get_window()->get_origin(origin_x, origin_y);
    const TabInfo& tab = *m_skin_window.tab;
    m_gtk->move(m_slide.Left(origin_x + tab.x), m_slide.Top(origin_y + tab.y));
    PlaceBehindParent();
}

void TabDlg::PlaceBehindParent()
{
    Gtk::Window* parent = ParentWindow();
    if (m_gtk && m_gtk->get_realized() && parent && parent->get_realized())
        m_gtk->get_window()->restack(parent->get_window(), false);
}

void TabDlg::PaintBackground(cairo_t* cr)
{
    PlaceBehindParent();
    Dialog::PaintBackground(cr);
    Gtk::Window* parent = ParentWindow();
    if (parent && !parent->get_visible()) {
        // Hiding from inside a paint is not allowed; do it once the paint is over.
        m_pending_hide.disconnect();
        m_pending_hide = Glib::signal_idle().connect([this] {
            if (m_gtk)
                m_gtk->hide();
            return false;
        });
    }
}

bool TabDlg::OnKey(GdkEventKey* event)
{
    // Backspace keeps its normal handling (it must not navigate the page back).
    if (!m_web || event->keyval == GDK_KEY_BackSpace)
        return false;
    GtkWidget* page = GTK_WIDGET(m_web->view());
    if (gtk_widget_has_focus(page))
        return false; // the normal dispatch delivers it there already
    return gtk_widget_event(page, reinterpret_cast<GdkEvent*>(event));
}

bool TabDlg::OnButtonRelease(GdkEventButton* event)
{
    if (event->button != 1 || !m_slide.IsGripClick(int(event->x), int(event->y)))
        return false;
    if (m_slide.state() == TabState::Closed || m_slide.state() == TabState::Closing)
        Open();
    else
        Close();
    return true;
}

} // namespace Skin
