#include "ui/main/main_window.h"

#include <gdkmm/pixbuf.h>
#include <glibmm/main.h>

#include "ui/main/window_placement.h"

namespace {

constexpr unsigned kStillMilliseconds = 400;

} // namespace

MainWindow::~MainWindow()
{
    m_still_timer.disconnect();
}

MainWindow::MainWindow(Handlers handlers) : m_handlers(std::move(handlers))
{
    set_title("Kalvo");
    set_default_size(kMainWindowWidth, kMainWindowHeight);
    set_size_request(kMainWindowWidth, kMainWindowHeight);
    set_resizable(false);
    try {
        set_icon(Gdk::Pixbuf::create_from_resource("/kalvo/res/kalvo.png"));
    } catch (const Glib::Error&) {
    }
    add_events(Gdk::KEY_PRESS_MASK | Gdk::KEY_RELEASE_MASK | Gdk::BUTTON_PRESS_MASK);
}

void MainWindow::MoveToStart(int saved_x, int saved_y)
{
    GdkRectangle screen{0, 0, 1024, 768};
    GdkDisplay* display = gdk_display_get_default();
    if (GdkMonitor* monitor = gdk_display_get_primary_monitor(display))
        gdk_monitor_get_geometry(monitor, &screen);
    else if (GdkMonitor* first = gdk_display_get_monitor(display, 0))
        gdk_monitor_get_geometry(first, &screen);
    WindowPosition position = initial_window_position(screen.width, screen.height, saved_x, saved_y);
    move(position.x, position.y);
}

bool MainWindow::on_button_press_event(GdkEventButton* event)
{
    if (Gtk::Window::on_button_press_event(event))
        return true;
    // The skin's background is the caption: dragging it moves the borderless window.
    if (event->type == GDK_BUTTON_PRESS && event->button == 1) {
        begin_move_drag(static_cast<int>(event->button), static_cast<int>(event->x_root),
            static_cast<int>(event->y_root), event->time);
        return true;
    }
    return false;
}

bool MainWindow::on_delete_event(GdkEventAny*)
{
    // Closing hides the window; the program keeps running until Exit.
    m_handlers.close();
    return true;
}

bool MainWindow::on_key_press_event(GdkEventKey* event)
{
    if (event->keyval == GDK_KEY_Escape) {
        m_handlers.escape();
        return true;
    }
    if ((event->state & GDK_CONTROL_MASK) && (event->keyval == GDK_KEY_q || event->keyval == GDK_KEY_Q)) {
        m_handlers.quit();
        return true;
    }
    m_handlers.key(event->keyval);
    return Gtk::Window::on_key_press_event(event);
}

bool MainWindow::on_key_release_event(GdkEventKey* event)
{
    m_handlers.key(event->keyval);
    return Gtk::Window::on_key_release_event(event);
}

bool MainWindow::on_configure_event(GdkEventConfigure* event)
{
    m_handlers.moved();
    if (get_visible()) {
        m_still_timer.disconnect();
        m_still_timer = Glib::signal_timeout().connect(
            [this] {
                int x = 0, y = 0;
                get_position(x, y);
                if (get_visible())
                    m_handlers.stopped_moving(x, y);
                return false;
            },
            kStillMilliseconds);
    }
    return Gtk::Window::on_configure_event(event);
}
