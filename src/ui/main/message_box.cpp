#include "ui/main/message_box.h"

#include <gtkmm.h>

namespace {

Gtk::Window* active_window()
{
    GList* windows = gtk_window_list_toplevels();
    Gtk::Window* active = nullptr;
    for (GList* item = windows; item; item = item->next) {
        GtkWindow* window = GTK_WINDOW(item->data);
        if (gtk_window_is_active(window) && gtk_widget_get_visible(GTK_WIDGET(window))) {
            active = Glib::wrap(window);
            break;
        }
    }
    g_list_free(windows);
    return active;
}

} // namespace

int message_box(const std::string& text, const std::string& title, Gtk::MessageType icon, Gtk::ButtonsType buttons)
{
    Gtk::MessageDialog box(text, false, icon, buttons, true);
    if (Gtk::Window* parent = active_window())
        box.set_transient_for(*parent);
    box.set_title(title);
    box.set_position(Gtk::WIN_POS_CENTER_ON_PARENT);
    return box.run();
}
