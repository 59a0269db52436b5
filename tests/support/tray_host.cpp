#include "support/tray_host.h"

#include <X11/Xlib.h>
#include <cstdlib>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <gtk/gtkx.h>

#include "support/display.h"

namespace test_support {

namespace {

constexpr long kRequestDock = 0;

struct Dock {
    GtkWidget* socket;
    Atom opcode;
};

GdkFilterReturn on_client_message(GdkXEvent* native, GdkEvent*, gpointer data)
{
    auto* event = static_cast<XEvent*>(native);
    auto* dock = static_cast<Dock*>(data);
    if (event->type == ClientMessage && event->xclient.message_type == dock->opcode &&
        event->xclient.data.l[1] == kRequestDock && !gtk_socket_get_plug_window(GTK_SOCKET(dock->socket))) {
        gtk_socket_add_id(GTK_SOCKET(dock->socket), static_cast<Window>(event->xclient.data.l[2]));
        return GDK_FILTER_REMOVE;
    }
    return GDK_FILTER_CONTINUE;
}

} // namespace

TrayHost::TrayHost()
{
    m_window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(m_window), "Test tray");
    gtk_window_move(GTK_WINDOW(m_window), 0, 0);
    m_socket = gtk_socket_new();
    gtk_widget_set_size_request(m_socket, 24, 24);
    gtk_container_add(GTK_CONTAINER(m_window), m_socket);
    gtk_widget_show_all(m_window);

    GdkDisplay* display = gtk_widget_get_display(m_window);
    GdkWindow* manager = gtk_widget_get_window(m_window);
    auto* dock =
        new Dock{m_socket, gdk_x11_get_xatom_by_name_for_display(display, "_NET_SYSTEM_TRAY_OPCODE")};
    g_object_set_data_full(
        G_OBJECT(m_window), "dock", dock, [](gpointer data) { delete static_cast<Dock*>(data); });
    gdk_window_add_filter(manager, on_client_message, dock);
    m_owned = gdk_selection_owner_set_for_display(
        display, manager, gdk_atom_intern("_NET_SYSTEM_TRAY_S0", FALSE), GDK_CURRENT_TIME, TRUE);
}

TrayHost::~TrayHost()
{
    gtk_widget_destroy(m_window);
}

bool TrayHost::has_icon() const
{
    return gtk_socket_get_plug_window(GTK_SOCKET(m_socket)) != nullptr;
}

bool TrayHost::double_click_icon()
{
    GdkWindow* window = gtk_widget_get_window(m_window);
    if (!window || !has_icon())
        return false;
    int x = 0, y = 0;
    gdk_window_get_origin(window, &x, &y);
    GtkAllocation allocation;
    gtk_widget_get_allocation(m_socket, &allocation);
    std::string move = "xdotool mousemove --sync " + std::to_string(x + allocation.x + allocation.width / 2) +
        " " + std::to_string(y + allocation.y + allocation.height / 2);
    if (std::system(move.c_str()) != 0)
        return false;
    // The socket passes the pointer's arrival on to the icon: let it.
    run_loop_for(std::chrono::milliseconds(300));
    return std::system("xdotool click --repeat 2 --delay 80 1") == 0;
}

} // namespace test_support
