#include "ui/dialogs/message_box.h"

#include <gtkmm.h>

namespace {
MessageBoxHandler& handler()
{
    static MessageBoxHandler installed;
    return installed;
}

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

int show_message_box(Gtk::Window* parent, const MessageBoxRequest& request)
{
    if (handler())
        return handler()(request);
    Gtk::MessageDialog box(request.text, false, request.type, request.buttons, true);
    if (parent) {
        box.set_transient_for(*parent);
        box.set_position(Gtk::WIN_POS_CENTER_ON_PARENT);
    }
    box.set_title(request.caption);
    return box.run();
}

int message_box(
    const std::string& text, const std::string& title, Gtk::MessageType icon, Gtk::ButtonsType buttons)
{
    return show_message_box(active_window(), {text, title, icon, buttons});
}

void set_message_box_handler(MessageBoxHandler replacement)
{
    handler() = std::move(replacement);
}
